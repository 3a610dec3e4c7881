#include "VrnRenderWatch.h"

#include "VrnCompileMessages.h"
#include "VrnNetworkLoader.h"
#include "VrnNodePreview.h"
#include "VrnRenderCompare.h"
#include "VrnRenderer.h"
#include "VrnShaderBuild.h"
#include "VrnShaderManager.h"
#include "VrnShaderNetwork.h"
#include "VrnSnNodeKind.h"
#include "VrnSurfaceShader.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {
QString milliseconds(qint64 nanoseconds)
{
    return QStringLiteral("%1 ms").arg(double(nanoseconds) / 1e6, 0, 'f', 1);
}

void report(const QString& message)
{
    std::fprintf(stderr, "vrn-render: %s\n", message.toLocal8Bit().constData());
    std::fflush(stderr);
}

// One load, build and draw of the file's content; the line of what it cost,
// or empty with the failure reported.
QString renderOnce(const VrnRenderWatch::Options& options, const QByteArray& content, std::unique_ptr<QObject>& owner, QTextStream& out)
{
    QElapsedTimer timer;
    timer.start();
    // The network of the previous render goes when the next one starts.
    owner.reset(new QObject);
    VrnLoadedNetwork loaded;
    QString error;
    if (!VrnNetworkLoader::loadData(content, options.file, QFileInfo(options.file).absolutePath(), owner.get(), loaded, error)
        || (!options.previewNode.isEmpty() && !VrnNodePreview::attach(loaded.network, options.previewNode, error))) {
        report(error);
        return QString();
    }
    QStringList defines = loaded.defines;
    for (const QString& define : options.extraDefines)
        if (!defines.contains(define))
            defines.append(define);
    VrnShaderManager::instance().setShaderDefines(defines);
    const qint64 load = timer.nsecsElapsed();

    const QString limit = VrnRenderCompare::notApplicableReason(options.generatorName, loaded.network, defines);
    if (!limit.isEmpty())
        out << "note: " << options.generatorName << " does not express this network exactly: " << limit << '\n';
    timer.restart();
    VrnSurfaceShader surface;
    VrnShaderBuildResult result;
    if (!VrnShaderBuild::run(options.generatorName, loaded.network, &surface, result)) {
        report(QStringLiteral("%1: %2").arg(options.file, result.errorText.trimmed()));
        return QString();
    }
    const QMap<unsigned, QString> sources = VrnShaderBuild::assembleStages(result, loaded.network, &surface, defines);
    const qint64 build = timer.nsecsElapsed();

    timer.restart();
    const int compilesBefore = VrnRenderer::compileCount();
    VrnRenderJob job;
    job.fragmentSource = sources.value(VrnShaderType::Fragment);
    job.network = loaded.network;
    job.surfaceShader = &surface;
    job.size = options.size;
    QImage picture;
    if (!VrnRenderer::render(job, picture, error)) {
        report(VrnCompileMessages::explainBuild(options.file, error, options.generatorName, loaded.network, defines));
        return QString();
    }
    qint64 draw = timer.nsecsElapsed();
    // The renderer compiles and draws in one call: after a compile, a second
    // draw from the cache tells the two apart.
    const bool compiled = VrnRenderer::compileCount() != compilesBefore;
    qint64 compile = 0;
    if (compiled) {
        timer.restart();
        QImage again;
        VrnRenderer::render(job, again, error);
        compile = std::max<qint64>(0, draw - timer.nsecsElapsed());
        draw = timer.nsecsElapsed();
    }
    if (!picture.save(options.output, "PNG")) {
        report(QStringLiteral("%1: cannot write the picture").arg(options.output));
        return QString();
    }
    return QStringLiteral("load %1, build %2, %3, draw %4; wrote %5")
        .arg(milliseconds(load), milliseconds(build),
             compiled ? QStringLiteral("compile %1").arg(milliseconds(compile)) : QStringLiteral("cache hit"), milliseconds(draw),
             options.output);
}

QByteArray contentOf(const QString& file)
{
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}
} // namespace

int VrnRenderWatch::run(const Options& options, QTextStream& out)
{
    std::unique_ptr<QObject> owner;
    QByteArray content = contentOf(options.file);
    for (int reload = 0; options.reloads < 0 || reload <= options.reloads; ++reload) {
        if (reload > 0) {
            // The file is read whole and compared, so an edit within the
            // clock's resolution is seen too.
            QByteArray next;
            while ((next = contentOf(options.file)) == content)
                QThread::msleep(ulong(options.pollMs));
            content = next;
        }
        const QString cost = renderOnce(options, content, owner, out);
        out << "reload " << reload << ": " << (cost.isEmpty() ? QStringLiteral("failed") : cost) << '\n';
        out.flush();
    }
    return 0;
}
