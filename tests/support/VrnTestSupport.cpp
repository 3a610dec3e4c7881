#include "VrnTestSupport.h"

#include "VrnShadingContext.h"

namespace VrnTest {

QString pluginPath()
{
    return QString::fromUtf8(VRN_TEST_PLUGIN_PATH);
}

QString toolPath(const QString& tool)
{
    return QDir(QString::fromUtf8(VRN_TEST_TOOLS_DIR)).filePath(tool);
}

// Waits for a started process; one past the timeout is killed and fails the test.
static ToolRun finish(QProcess& process, int timeoutMs, const QString& what)
{
    ToolRun run;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << "did not finish: " << what.toStdString();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

ToolRun runTool(const QString& tool, const QStringList& arguments, const QByteArray& hashSeed, int timeoutMs)
{
    QProcess process;
    if (!hashSeed.isNull()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_HASH_SEED"), QString::fromLatin1(hashSeed));
        process.setProcessEnvironment(environment);
    }
    process.start(toolPath(tool), arguments);
    return finish(process, timeoutMs, tool + QLatin1Char(' ') + arguments.join(QLatin1Char(' ')));
}

ToolRun runShell(const QString& command, int timeoutMs)
{
    QTemporaryDir temporary;
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PATH"), QStringLiteral(VRN_TEST_TOOLS_DIR ":") + environment.value(QStringLiteral("PATH")));
    environment.insert(QStringLiteral("TMP"), temporary.path());
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(QStringLiteral(VRN_EXAMPLES_DIR "/.."));
    process.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command});
    return finish(process, timeoutMs, command);
}

QStringList exampleFiles()
{
    const QDir dir(QString::fromUtf8(VRN_EXAMPLES_DIR));
    QStringList files;
    for (const QString& name : dir.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name))
        files.append(dir.filePath(name));
    return files;
}

QString examplePath(const QString& file)
{
    return QDir(QString::fromUtf8(VRN_EXAMPLES_DIR)).filePath(file);
}

QString style(int n)
{
    return QStringLiteral("VrnSnGlslCodeGenerator_Style%1").arg(n);
}

QString dataPath(const QString& file)
{
    return QDir(QString::fromUtf8(VRN_TEST_DATA_DIR)).filePath(file);
}

QByteArray readData(const QString& file)
{
    QFile in(dataPath(file));
    EXPECT_TRUE(in.open(QIODevice::ReadOnly)) << file;
    return in.readAll();
}

namespace {
QString expectedTextPath()
{
    static std::string test;
    static int calls = 0;
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string name = std::string(info->test_suite_name()) + '/' + info->name();
    calls = name == test ? calls + 1 : 1;
    test = name;
    return dataPath(QStringLiteral("expected/%1-%2.glsl").arg(QString::fromStdString(name)).arg(calls));
}

void writeText(const QString& path, const QString& text)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) == text.toUtf8().size()) << path;
}
} // namespace

void expectText(const QString& text)
{
    const QString path = expectedTextPath();
    if (qEnvironmentVariableIntValue("VRN_REWRITE_EXPECTED") == 1)
        return writeText(path, text);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path;
    EXPECT_EQ(text, QString::fromUtf8(file.readAll())) << "expected text: " << path;
}

std::unique_ptr<LoadedNetwork> loadNetwork(const QByteArray& json, const QString& label)
{
    auto l = std::make_unique<LoadedNetwork>();
    QString error;
    if (!VrnNetworkLoader::loadData(json, label, QString(), l->owner.get(), l->loaded, error)) {
        ADD_FAILURE() << label << ": " << error;
        return nullptr;
    }
    return l;
}

std::unique_ptr<LoadedNetwork> loadNetworkFile(const QString& path)
{
    auto l = std::make_unique<LoadedNetwork>();
    QString error;
    if (!VrnNetworkLoader::loadFile(path, l->owner.get(), l->loaded, error)) {
        ADD_FAILURE() << error;
        return nullptr;
    }
    return l;
}

VrnLoadedPlugin plugin()
{
    static int argc = 1;
    static char name[] = "vrn-tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv); // kept for the process: QPluginLoader needs an application
    VrnLoadedPlugin loaded;
    QString error;
    if (!VrnPluginHost::load(pluginPath(), loaded, error))
        ADD_FAILURE() << error.toStdString();
    return loaded;
}

VrnSnNodeKindPtr kind(const QString& name, const QStringList& inputs, const QStringList& outputs, const QString& glsl,
                      const QList<VrnCustomAttribute>& parameters, const QString& contextClass)
{
    auto* k = new VrnSnNodeKind;
    k->name = name;
    for (const QString& input : inputs) {
        const int eq = input.indexOf(QLatin1Char('='));
        k->inputs.append({eq < 0 ? input : input.left(eq), eq < 0 ? QString() : input.mid(eq + 1), false});
    }
    k->outputs = outputs;
    k->glsl = glsl;
    k->parameters = parameters;
    k->contextClass = contextClass;
    return VrnSnNodeKindPtr(k);
}

VrnSnBaseNode* NetworkTest::add(const VrnSnNodeKindPtr& k, const QString& id, const QString& name)
{
    QString error;
    VrnSnBaseNode* n = net->createNode(k, id, &error);
    EXPECT_NE(n, nullptr) << error;
    if (n && !name.isEmpty())
        n->setName(name);
    return n;
}

void NetworkTest::connect(VrnSnBaseNode* to, const QString& input, VrnSnBaseNode* from, const QString& output)
{
    ASSERT_TRUE(to && from && to->connectInput(input, from, output)) << input << " <- " << output;
}

VrnSvtShadingContext* NetworkTest::shading() const
{
    return qobject_cast<VrnSvtShadingContext*>(net->shadingContext());
}

void NetworkTest::addStoreChannel(int tile)
{
    if (!net->shadingContext()->channel(tile, QStringLiteral("Store")))
        net->shadingContext()->addChannel(VrnChannel::filled(QStringLiteral("Store"), tile, 2, 0.5f, 0.5f, 0.5f, 1));
}

void NetworkTest::cache(VrnSnBaseNode* n)
{
    addStoreChannel();
    n->setCacheEnabled(true);
    n->setCacheValid(true);
    n->setCacheActive(2);
    for (const QString& output : n->kind().outputs) {
        n->createUserAttribute(VrnCustomAttribute(n->cacheAttributeName(output), QVariant::fromValue(VrnChannelId(QStringLiteral("Store")))));
        net->shadingContext()->addChannelAlias(1001, n->cacheAttributeName(output), QStringLiteral("Store"));
    }
}

Texts NetworkTest::generate(const QString& generator, QList<VrnSnBaseGlslContext*> contexts, unsigned shaderType,
                            VrnSnGlslNodeAliases* aliases)
{
    Texts t;
    VrnSnBaseGlslCodeGenerator* g = VrnSnGlslCodeGeneratorManager::instance().codeGenerator(generator);
    EXPECT_NE(g, nullptr) << generator;
    if (g)
        g->buildShaderTypeCode(nullptr, shading(), t.declarations, t.body, shaderType, aliases, contexts);
    return t;
}

VrnShaderBuildResult NetworkTest::build(const QString& generator, VrnSurfaceShader* surface)
{
    VrnShaderBuildResult result;
    EXPECT_TRUE(VrnShaderBuild::run(generator, net.get(), surface, result)) << result.errorText;
    return result;
}

ScopedDefines::ScopedDefines(const QStringList& defines) : m_previous(VrnShaderManager::instance().shaderDefines())
{
    VrnShaderManager::instance().setShaderDefines(defines);
}

ScopedDefines::~ScopedDefines()
{
    VrnShaderManager::instance().setShaderDefines(m_previous);
}

} // namespace VrnTest

VrnLogCapture::VrnLogCapture()
{
    m_previous = vrnSetDebugSink([this](const VrnDebugLine& line) { m_lines.append(line); });
}

VrnLogCapture::~VrnLogCapture()
{
    vrnSetDebugSink(m_previous);
}

QStringList VrnLogCapture::messages() const
{
    QStringList result;
    for (const VrnDebugLine& l : m_lines)
        result.append(l.message);
    return result;
}
