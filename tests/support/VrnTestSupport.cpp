#include "VrnTestSupport.h"

#include "VrnShaderManager.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>

namespace VrnTest {

QString pluginPath()
{
    return QString::fromUtf8(VRN_TEST_PLUGIN_PATH);
}

QString toolPath(const QString& tool)
{
    return QDir(QString::fromUtf8(VRN_TEST_TOOLS_DIR)).filePath(tool);
}

QStringList exampleFiles()
{
    const QDir dir(QString::fromUtf8(VRN_EXAMPLES_DIR));
    QStringList files;
    for (const QString& name : dir.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name))
        files.append(dir.filePath(name));
    return files;
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
