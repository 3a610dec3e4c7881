#include "FuzzSupport.h"

#include "VrnDebug.h"
#include "VrnNetworkLoader.h"
#include "VrnPluginHost.h"
#include "VrnShaderBuild.h"
#include "VrnShaderManager.h"
#include "VrnShaderNetwork.h"
#include "VrnSnGlslCodeGeneratorManager.h"
#include "VrnSurfaceShader.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

void VrnFuzz::initialise()
{
    static int argc = 1;
    static char name[] = "vrn-fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = new QCoreApplication(argc, argv);
    Q_UNUSED(app);
    vrnSetDebugSink({});
    VrnLoadedPlugin loaded;
    QString error;
    if (!VrnPluginHost::load(VrnPluginHost::defaultPluginPath(), loaded, error)) {
        std::fprintf(stderr, "%s\n", error.toLocal8Bit().constData());
        std::abort();
    }
}

bool VrnFuzz::buildEveryStyle(const QByteArray& json, const QString& label)
{
    QObject owner;
    VrnLoadedNetwork loaded;
    QString error;
    // Images are looked up in a folder that does not exist: inputs stay self-contained.
    if (!VrnNetworkLoader::loadData(json, label, QStringLiteral("/nonexistent-fuzz-folder"), &owner, loaded, error)) {
        // Whatever the file, its fault is told on one line.
        if (error.contains(QLatin1Char('\n')) || error.contains(QLatin1Char('\r')))
            std::abort();
        return false;
    }
    VrnShaderManager::instance().setShaderDefines(loaded.defines);
    for (const QString& generator : VrnSnGlslCodeGeneratorManager::instance().codeGeneratorNames()) {
        VrnSurfaceShader surface;
        QMap<unsigned, QString> sources;
        VrnShaderBuild::buildStages(generator, loaded.network, &surface, loaded.defines, sources, error);
    }
    return true;
}
