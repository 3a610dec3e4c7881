#pragma once

#include "VrnDebug.h"
#include "VrnSnBaseGlslContext.h"
#include "VrnSnBaseNode.h"
#include "VrnPluginInterface.h"
#include "VrnPluginHost.h"
#include "VrnSnNodeKind.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <ostream>

// Readable QString values in test failure messages.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

class VrnShaderNetwork;

namespace VrnTest {
// The built plug-in, loaded through QPluginLoader and initialised once per
// test process. Fails the calling test when it cannot be loaded.
VrnLoadedPlugin plugin();
QString pluginPath();
QString toolPath(const QString& tool);
// The example network files, as absolute paths in name order.
QStringList exampleFiles();

// A kind built in code: "in1=default,in2" style lists keep tests short.
VrnSnNodeKindPtr kind(const QString& name, const QStringList& inputs, const QStringList& outputs, const QString& glsl,
                      const QList<VrnCustomAttribute>& parameters = {}, const QString& contextClass = QString());

// A node whose cache validity is exactly its flag, so that a generator's own
// tests on attributes and channels decide.
class RawCacheNode : public VrnSnBaseNode
{
public:
    using VrnSnBaseNode::VrnSnBaseNode;
    bool hasValidCache() const override { return cacheUpToDate(); }
};

// A context that says its code writes outputs, whatever its node has.
class WritesOutputsContext : public VrnSnBaseGlslContext
{
public:
    using VrnSnBaseGlslContext::VrnSnBaseGlslContext;
    bool shaderBodyCodeUsesOutputs() const override { return true; }
};

// A context that declares the text it is given.
class FixedDeclarationContext : public VrnSnBaseGlslContext
{
public:
    FixedDeclarationContext(QObject* parent, const QString& text) : VrnSnBaseGlslContext(parent), m_text(text) {}
    QString shaderDeclarationCode() const override { return m_text; }

private:
    QString m_text;
};

// What a generator appended for one shader type.
struct Texts
{
    QString declarations;
    QString body;
};

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
