#include "VrnPluginHost.h"

#include "VrnPluginInterface.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QJsonObject>
#include <QPluginLoader>

#ifndef VRN_DEFAULT_PLUGIN_PATH
#define VRN_DEFAULT_PLUGIN_PATH ""
#endif

QString VrnPluginHost::defaultPluginPath()
{
    const QString fileName = QStringLiteral("libVrnShaderNetworkGlslContext.so");
    if (QCoreApplication::instance()) {
        const QString besideTools = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../plugins/") + fileName);
        if (QFileInfo::exists(besideTools))
            return QFileInfo(besideTools).canonicalFilePath();
    }
    return QString::fromUtf8(VRN_DEFAULT_PLUGIN_PATH);
}

bool VrnPluginHost::load(const QString& path, VrnLoadedPlugin& loaded, QString& error)
{
    if (!QFileInfo(path).isFile()) {
        error = QStringLiteral("%1: no such plug-in file").arg(path);
        return false;
    }
    QPluginLoader loader(path);
    const QJsonObject metaData = loader.metaData();
    if (metaData.value(QStringLiteral("IID")).toString() != QLatin1String(VrnPluginInterface_iid)) {
        error = QStringLiteral("%1: not a plug-in of this application (%2)")
                    .arg(path, metaData.isEmpty() ? loader.errorString() : QStringLiteral("interface \"%1\"").arg(metaData.value(QStringLiteral("IID")).toString()));
        return false;
    }
    QObject* instance = loader.instance();
    auto* plugin = qobject_cast<VrnPluginInterface*>(instance);
    if (!plugin) {
        error = QStringLiteral("%1: the plug-in could not be loaded: %2").arg(path, loader.errorString());
        return false;
    }
    // The application initialises each plug-in object once.
    static QHash<QObject*, bool> initialised;
    if (!initialised.value(instance)) {
        if (!plugin->initialize()) {
            error = QStringLiteral("%1: the plug-in failed to initialise").arg(path);
            return false;
        }
        initialised.insert(instance, true);
    }
    loaded.instance = instance;
    loaded.plugin = plugin;
    return true;
}
