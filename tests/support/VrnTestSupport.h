#pragma once

#include "VrnDebug.h"
#include "VrnNetworkLoader.h"
#include "VrnShaderBuild.h"
#include "VrnShaderNetwork.h"
#include "VrnSnBaseGlslContext.h"
#include "VrnSnBaseNode.h"
#include "VrnPluginInterface.h"
#include "VrnPluginHost.h"
#include "VrnSnNodeKind.h"
#include "VrnAttributeValues.h"
#include "VrnBuiltinKinds.h"
#include "VrnClassFactory.h"
#include "VrnGlslValidator.h"
#include "VrnProjectManager.h"
#include "VrnRandomNetwork.h"
#include "VrnRenderCompare.h"
#include "VrnShaderAssembler.h"
#include "VrnShaderManager.h"
#include "VrnShaderNetworkManager.h"
#include "VrnShaderUniformBlock.h"
#include "VrnSnBaseGlslCodeGenerator.h"
#include "VrnSnGlslCodeGeneratorManager.h"
#include "VrnSnGlslCodeGenerator_Style5.h"
#include "VrnSnGlslContextManager.h"
#include "VrnSurfaceShader.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <functional>
#include <vector>

class VrnSvtShadingContext;

// Readable QString values in test failure messages.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
inline std::ostream& operator<<(std::ostream& os, const QString& s)
{
    return os << s.toStdString();
}

namespace VrnTest {
// The built plug-in, loaded through QPluginLoader and initialised once per
// test process. Fails the calling test when it cannot be loaded.
VrnLoadedPlugin plugin();
QString pluginPath();
QString toolPath(const QString& tool);
// What a tool run printed and how it ended (-2: crashed, -1: did not finish).
struct ToolRun { int exitCode = -1; QString out; QString err; };
// Runs one of the built tools; a run past the timeout is killed and fails the test.
// A non-null hash seed is handed to the tool as QT_HASH_SEED.
ToolRun runTool(const QString& tool, const QStringList& arguments, const QByteArray& hashSeed = QByteArray(), int timeoutMs = 120000);
// Runs a shell command line in the repository root with the built tools on
// PATH and $TMP a fresh folder.
ToolRun runShell(const QString& command, int timeoutMs = 120000);
// The example network files, as absolute paths in name order.
QStringList exampleFiles();
// A file of the examples directory ("lit-base.json", "README.md").
QString examplePath(const QString& file);
// The registered name of Style n's generator.
QString style(int n);
// A file under tests/data ("networks/full.json").
QString dataPath(const QString& file);
// The contents of a file under tests/data; the test fails where it cannot be read.
QByteArray readData(const QString& file);
// Expects the exact text a generator must write, kept in
// tests/data/expected/SUITE/TEST-N.glsl for the N-th call in the running test.
// With VRN_REWRITE_EXPECTED=1 in the environment the file is written instead:
// for a deliberate change, whose diff is then read line by line.
void expectText(const QString& text);

// A network loaded from text or from a file, owned by the object it comes with.
struct LoadedNetwork
{
    std::unique_ptr<QObject> owner{new QObject};
    VrnLoadedNetwork loaded;
    VrnShaderNetwork* network() const { return loaded.network; }
};
// Null, with the calling test failed, where the network does not load.
std::unique_ptr<LoadedNetwork> loadNetwork(const QByteArray& json, const QString& label = QStringLiteral("test.json"));
std::unique_ptr<LoadedNetwork> loadNetworkFile(const QString& path);

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
struct Texts { QString declarations; QString body; };

// Tests on a network "Net" made in code, with the plug-in loaded.
struct NetworkTest : ::testing::Test
{
    std::unique_ptr<VrnShaderNetwork> net{new VrnShaderNetwork(QStringLiteral("Net"))};

    void SetUp() override { ASSERT_NE(plugin().plugin, nullptr); }

    // A name other than the id gives a path that differs from it, so that swapping the two shows.
    VrnSnBaseNode* add(const VrnSnNodeKindPtr& k, const QString& id, const QString& name = QString());
    static void connect(VrnSnBaseNode* to, const QString& input, VrnSnBaseNode* from, const QString& output = QStringLiteral("Output"));
    // Replaces the node's context by one of the test's own classes.
    template <class Context, class... Args> void replaceContext(VrnSnBaseNode* n, Args... args)
    {
        delete n->context();
        auto* context = new Context(n, args...);
        context->setExpression(n->kind().glsl, false);
        context->init();
    }
    VrnSvtShadingContext* shading() const;
    // Channel "Store" of the tile, made once.
    void addStoreChannel(int tile = 1001);
    // A valid, active cache for every output of the node, each read from "Store".
    void cache(VrnSnBaseNode* n);
    // What the named generator appends for one shader type, with the contexts in the given order.
    Texts generate(const QString& generator, QList<VrnSnBaseGlslContext*> contexts, unsigned shaderType = VrnShaderType::Fragment,
                   VrnSnGlslNodeAliases* aliases = nullptr);
    // A whole build from the network's root; fails the test when the build fails.
    VrnShaderBuildResult build(const QString& generator, VrnSurfaceShader* surface = nullptr);
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
