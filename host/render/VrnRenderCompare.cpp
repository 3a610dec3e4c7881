#include "VrnRenderCompare.h"

#include "VrnRenderer.h"

#include "VrnShaderBuild.h"
#include "VrnShaderManager.h"
#include "VrnShaderNetwork.h"
#include "VrnSnBaseGlslCodeGenerator.h"
#include "VrnSnBaseGlslContext.h"
#include "VrnSnBaseNode.h"
#include "VrnShadingContext.h"
#include "VrnSnNodeKind.h"
#include "VrnSurfaceShader.h"

#include <QRegularExpression>

#include <cstdlib>

bool VrnRenderCompare::renderWithGenerator(const QString& generatorName, VrnShaderNetwork* network, const QStringList& defines,
                                           int size, QImage& picture, QString& error)
{
    VrnShaderManager::instance().setShaderDefines(defines);
    VrnSurfaceShader surface;
    QMap<unsigned, QString> sources;
    if (!VrnShaderBuild::buildStages(generatorName, network, &surface, defines, sources, error))
        return false;
    if (!sources.contains(VrnShaderType::Fragment)) {
        error = QStringLiteral("the build has no fragment stage");
        return false;
    }
    VrnRenderJob job;
    job.fragmentSource = sources.value(VrnShaderType::Fragment);
    job.network = network;
    job.surfaceShader = &surface;
    job.size = size;
    return VrnRenderer::render(job, picture, error);
}

namespace {
// The contexts of every shader type that a build of the network writes.
QList<VrnSnBaseGlslContext*> builtContexts(VrnShaderNetwork* network)
{
    QMap<unsigned, VrnSnGlslNodeAliases> aliases;
    QMap<unsigned, QList<VrnSnBaseGlslContext*>> contexts;
    VrnSnBaseGlslCodeGenerator().buildContextsList(nullptr, qobject_cast<VrnSvtShadingContext*>(network->shadingContext()), aliases,
                                                   contexts, network->root());
    QList<VrnSnBaseGlslContext*> all;
    for (const QList<VrnSnBaseGlslContext*>& list : contexts)
        for (VrnSnBaseGlslContext* context : list)
            if (context && context->parentNode() && !all.contains(context))
                all.append(context);
    return all;
}

// Style 4 moves every declaration line of the build into one uniform block,
// setting only sampler cubes apart. A block needs at least one member and
// cannot hold any other opaque type, so such builds do not compile.
QString uniformBlockReason(VrnShaderNetwork* network)
{
    static const QRegularExpression opaque(QStringLiteral("^uniform\\s+(sampler|isampler|usampler|image|atomic_uint)"));
    bool anyMember = false;
    for (VrnSnBaseGlslContext* context : builtContexts(network))
        for (const QString& line : context->shaderDeclarationCode().split(QLatin1Char('\n'))) {
            const QString declaration = line.trimmed();
            if (declaration.isEmpty() || declaration.startsWith(QLatin1String("uniform samplerCube")))
                continue;
            if (opaque.match(declaration).hasMatch())
                return QStringLiteral("node \"%1\" declares \"%2\", which its uniform block cannot hold")
                    .arg(context->parentNode()->id(), declaration);
            anyMember = true;
        }
    return anyMember ? QString() : QStringLiteral("no node declares a uniform, and its uniform block cannot be empty");
}
} // namespace

QString VrnRenderCompare::notApplicableReason(const QString& generatorName, VrnShaderNetwork* network)
{
    if (generatorName.endsWith(QLatin1String("_Style4"))) {
        const QString reason = uniformBlockReason(network);
        if (!reason.isEmpty())
            return reason;
    }
    // Style 5 writes its interpreter but does not pack the graph into its
    // uniform data yet; until it does, its picture shows no network.
    if (generatorName.endsWith(QLatin1String("_Style5")))
        return QStringLiteral("its uniform data are not packed yet");
    // Style 6 lays a baked result over the bake background by its alpha (this
    // host's background is transparent black): a translucent baked channel
    // shows premultiplied, where the other styles show it as stored.
    if (generatorName.endsWith(QLatin1String("_Style6"))) {
        // Of a node's own uniforms Style 6 keeps only sampler cubes; other samplers stay undeclared.
        for (VrnSnBaseGlslContext* context : builtContexts(network)) {
            VrnSnBaseNode* node = context->parentNode();
            for (const VrnCustomAttribute& parameter : node->kind().parameters) {
                const QString type = context->getOpenGLType(node->userAttribute(parameter.name()).value());
                if (type.startsWith(QLatin1String("sampler")) && type != QLatin1String("samplerCube")
                    && context->expression().contains(QLatin1Char('$') + parameter.name()))
                    return QStringLiteral("node \"%1\" reads its %2 \"%3\", which this style does not declare")
                        .arg(node->id(), type, parameter.name());
            }
        }
        VrnShadingContext* sc = network->shadingContext();
        for (VrnSnBaseNode* node : network->nodes()) {
            if (!sc || !VrnSnBaseGlslCodeGenerator::nodeReadsBakedChannel(node, sc))
                continue;
            const VrnChannel* channel = sc->channel(sc->getCurrentUvChannel(), node->userAttribute(QStringLiteral("Channel")).toString());
            const QVector<float> texels = channel ? channel->pixels() : QVector<float>();
            for (int i = 3; i < texels.size(); i += 4)
                if (texels.at(i) < 1.0f)
                    return QStringLiteral("bake point \"%1\" reads a translucent baked channel, which this style lays over its background")
                        .arg(node->id());
        }
    }
    // Styles 1 and 3 evaluate a bake point's input instead of reading its baked channel.
    const bool readsNoBakedChannel = generatorName.endsWith(QLatin1String("_Style1")) || generatorName.endsWith(QLatin1String("_Style3"));
    if (!readsNoBakedChannel)
        return QString();
    for (VrnSnBaseNode* node : network->nodes())
        if (VrnSnBaseGlslCodeGenerator::nodeReadsBakedChannel(node, network->shadingContext()))
            return QStringLiteral("bake point \"%1\" reads its baked channel, which this style does not read").arg(node->id());
    return QString();
}

VrnRenderCompare::Difference VrnRenderCompare::difference(const QImage& a, const QImage& b)
{
    Difference d;
    if (a.size() != b.size()) {
        d.maximum = 255;
        d.differingPixels = std::max(a.width() * a.height(), b.width() * b.height());
        return d;
    }
    const QImage x = a.convertToFormat(QImage::Format_RGBA8888);
    const QImage y = b.convertToFormat(QImage::Format_RGBA8888);
    for (int row = 0; row < x.height(); ++row) {
        const uchar* p = x.constScanLine(row);
        const uchar* q = y.constScanLine(row);
        for (int column = 0; column < x.width(); ++column) {
            int pixelMaximum = 0;
            for (int channel = 0; channel < 4; ++channel)
                pixelMaximum = std::max(pixelMaximum, std::abs(int(p[column * 4 + channel]) - int(q[column * 4 + channel])));
            if (pixelMaximum > 0)
                ++d.differingPixels;
            d.maximum = std::max(d.maximum, pixelMaximum);
        }
    }
    return d;
}
