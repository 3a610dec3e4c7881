#pragma once

#include "VrnDebug.h"
#include "VrnPluginInterface.h"
#include "VrnPluginHost.h"
#include "VrnSnNodeKind.h"

#include <QList>
#include <QString>
#include <QStringList>

class VrnShaderNetwork;

namespace VrnTest {
// The built plug-in, loaded through QPluginLoader and initialised once per
// test process. Fails the calling test when it cannot be loaded.
VrnLoadedPlugin plugin();
QString pluginPath();
QString toolPath(const QString& tool);

// A kind built in code: "in1=default,in2" style lists keep tests short.
VrnSnNodeKindPtr kind(const QString& name, const QStringList& inputs, const QStringList& outputs, const QString& glsl,
                      const QList<VrnCustomAttribute>& parameters = {}, const QString& contextClass = QString());

// Sets the host's shader defines for the lifetime of the object.
class ScopedDefines
{
public:
    explicit ScopedDefines(const QStringList& defines);
    ~ScopedDefines();

private:
    QStringList m_previous;
};
} // namespace VrnTest

// Collects every VrnDebug line written while it lives.
class VrnLogCapture
{
public:
    VrnLogCapture();
    ~VrnLogCapture();
    const QList<VrnDebugLine>& lines() const { return m_lines; }
    QStringList messages() const;

private:
    QList<VrnDebugLine> m_lines;
    VrnDebugSink m_previous;
};
