#include "VrnRenderCompare.h"

#include "VrnRenderer.h"

#include "VrnShaderBuild.h"
#include "VrnShaderManager.h"
#include "VrnShaderNetwork.h"
#include "VrnSnBaseGlslCodeGenerator.h"
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

QString VrnRenderCompare::notApplicableReason(const QString& generatorName, VrnShaderNetwork* network)
{
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
