#include "VrnRenderCompare.h"

#include "VrnRenderer.h"

#include "VrnBuildFaults.h"
#include "VrnShaderBuild.h"
#include "VrnShaderManager.h"
#include "VrnShaderNetwork.h"
#include "VrnSnBaseGlslCodeGenerator.h"
#include "VrnSnBaseGlslContext.h"
#include "VrnSnBaseNode.h"
#include "VrnShadingContext.h"
#include "VrnSnNodeKind.h"
#include "VrnSurfaceShader.h"

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
using VrnBuildFaults::builtContexts;

// Whether any texel of the channel is translucent.
bool translucent(VrnShadingContext* sc, const QString& channelName)
{
    const VrnChannel* channel = sc ? sc->channel(sc->getCurrentUvChannel(), channelName) : nullptr;
    const QVector<float> texels = channel ? channel->pixels() : QVector<float>();
    for (int i = 3; i < texels.size(); i += 4)
        if (texels.at(i) < 1.0f)
            return true;
    return false;
}

bool readsChannel(VrnSnBaseNode* node, VrnShadingContext* sc)
{
    return VrnSnBaseGlslCodeGenerator::nodeReadsCache(node, sc) || VrnSnBaseGlslCodeGenerator::nodeReadsBakedChannel(node, sc);
}

// The producers of the node's re-evaluated inputs that are connected.
QList<VrnSnBaseNode*> reevaluatedProducers(VrnSnBaseNode* node)
{
    QList<VrnSnBaseNode*> producers;
    VrnSnBaseGlslContext* context = node->context();
    if (!context)
        return producers;
    for (const VrnSnGlslRevalInfo& reval : context->revalInfo()) {
        VrnSnBaseNode* producer = VrnSnGlslNodeAliases::resolve(node->inputConnection(reval.inputName)).node.data();
        if (producer)
            producers.append(producer);
    }
    return producers;
}

// Style 5 shows a stored result through one lookup that lays the channel over
// a background, evaluates every node of a bake, and cannot run a
// re-evaluation inside another (its shader would have to be recursive).
QString style5Reason(VrnShaderNetwork* network, const QStringList& defines)
{
    VrnShadingContext* sc = network->shadingContext();
    const bool bake = defines.contains(QStringLiteral("NODE_BAKE"));
    const QList<VrnSnBaseGlslContext*> contexts = builtContexts(network);
    for (VrnSnBaseGlslContext* context : contexts) {
        VrnSnBaseNode* node = context->parentNode();
        if (bake && node->hasTag(QStringLiteral("_notbakeable")))
            return QStringLiteral("node \"%1\" is not bakeable, and this style runs its code in a bake").arg(node->id());
        if (VrnSnBaseGlslCodeGenerator::nodeReadsCache(node, sc)) {
            if (node->kind().outputs.size() > 1)
                return QStringLiteral("node \"%1\" reads its cache for %2 outputs, and this style's cache lookup writes one")
                    .arg(node->id())
                    .arg(node->kind().outputs.size());
            const QString channel = node->userAttribute(node->cacheAttributeName(node->kind().outputs.value(0))).value().value<VrnChannelId>().channelName();
            if (translucent(sc, channel))
                return QStringLiteral("node \"%1\" reads a translucent cache, which this style lays over opaque black").arg(node->id());
        } else if (VrnSnBaseGlslCodeGenerator::nodeReadsBakedChannel(node, sc)
                   && translucent(sc, node->userAttribute(QStringLiteral("Channel")).toString())) {
            return QStringLiteral("bake point \"%1\" reads a translucent baked channel, which this style lays over its background").arg(node->id());
        }
    }
    // A node whose re-evaluated input depends on another node's re-evaluation.
    for (VrnSnBaseGlslContext* context : contexts) {
        VrnSnBaseNode* outer = context->parentNode();
        if (readsChannel(outer, sc))
            continue;
        QList<VrnSnBaseNode*> pending = reevaluatedProducers(outer);
        QSet<VrnSnBaseNode*> seen(pending.begin(), pending.end());
        while (!pending.isEmpty()) {
            VrnSnBaseNode* n = pending.takeLast();
            if (readsChannel(n, sc))
                continue;
            if (!reevaluatedProducers(n).isEmpty())
                return QStringLiteral("node \"%1\" re-evaluates its input inside the re-evaluation of node \"%2\", which this style cannot nest")
                    .arg(n->id(), outer->id());
            for (const QString& input : n->inputNames()) {
                VrnSnBaseNode* producer = VrnSnGlslNodeAliases::resolve(n->inputConnection(input)).node.data();
                if (producer && !seen.contains(producer)) {
                    seen.insert(producer);
                    pending.append(producer);
                }
            }
        }
    }
    return QString();
}
} // namespace

QString VrnRenderCompare::notApplicableReason(const QString& generatorName, VrnShaderNetwork* network)
{
    return notApplicableReason(generatorName, network, VrnShaderManager::instance().shaderDefines());
}

QString VrnRenderCompare::notApplicableReason(const QString& generatorName, VrnShaderNetwork* network, const QStringList& defines)
{
    // In a bake Style 1 leaves out the code of a non-bakeable node that writes
    // no outputs; the other styles run it in their main body.
    if (generatorName.endsWith(QLatin1String("_Style1")) && defines.contains(QStringLiteral("NODE_BAKE")))
        for (VrnSnBaseGlslContext* context : builtContexts(network))
            if (context->parentNode()->hasTag(QStringLiteral("_notbakeable")) && !context->shaderBodyCodeUsesOutputs())
                return QStringLiteral("node \"%1\" is left out of the bake and writes no outputs; this style drops its code, the others run it")
                    .arg(context->parentNode()->id());
    const QString fault = VrnBuildFaults::compileFault(generatorName, network, defines);
    if (!fault.isEmpty())
        return fault;
    // In a bake Style 3 runs the code of a left-out node inline, where the others zero its outputs.
    if (generatorName.endsWith(QLatin1String("_Style3"))) {
        const VrnBuildFaults::InlinedStub stub = VrnBuildFaults::style3InlinedStub(network, defines);
        if (stub.node)
            return QStringLiteral("node \"%1\" is left out of the bake, but this style runs its code inline").arg(stub.node->id());
    }
    if (generatorName.endsWith(QLatin1String("_Style5"))) {
        const QString reason = style5Reason(network, defines);
        if (!reason.isEmpty())
            return reason;
    }
    // Style 6 lays a baked result over the bake background by its alpha (this
    // host's background is transparent black): a translucent baked channel
    // shows premultiplied, where the other styles show it as stored.
    if (generatorName.endsWith(QLatin1String("_Style6"))) {
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

QList<VrnRenderCompare::StyleResult> VrnRenderCompare::compareStyles(const QStringList& generatorNames, VrnShaderNetwork* network,
                                                                     const QStringList& defines, int size, QImage& referencePicture)
{
    QList<StyleResult> results;
    bool haveReference = false;
    for (const QString& name : generatorNames) {
        StyleResult result;
        result.generatorName = name;
        result.notApplicable = notApplicableReason(name, network, defines);
        QImage picture;
        if (result.notApplicable.isEmpty() && renderWithGenerator(name, network, defines, size, picture, result.failure)) {
            result.failure.clear();
            result.reference = !haveReference;
            if (result.reference)
                referencePicture = picture;
            haveReference = true;
            result.difference = difference(referencePicture, picture);
        }
        results.append(result);
    }
    return results;
}
