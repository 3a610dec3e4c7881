#pragma once

#include <QString>

class QObject;
class VrnPluginInterface;

// Loads a plug-in library the way the application does: reads its metadata,
// checks that it implements the host's plug-in interface, takes its instance
// and initialises it once per process.
struct VrnLoadedPlugin
{
    QObject* instance = nullptr;
    VrnPluginInterface* plugin = nullptr;
};

namespace VrnPluginHost {
// The plug-in file built with this host (next to the tools, or in the build tree).
QString defaultPluginPath();
// False, with one sentence in error, when the file is missing, is no plug-in of
// this host, or fails to initialise.
bool load(const QString& path, VrnLoadedPlugin& loaded, QString& error);
} // namespace VrnPluginHost
