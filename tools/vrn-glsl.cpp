// vrn-glsl: runs one of the plug-in's code generators on a shader network and
// prints what it wrote for each shader type.

#include "VrnDebug.h"
#include "VrnDemoNetwork.h"
#include "VrnPluginHost.h"
#include "VrnShaderBuild.h"
#include "VrnShaderNetwork.h"
#include "VrnSnGlslCodeGeneratorManager.h"
#include "VrnSurfaceShader.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

namespace {
const int kUsageError = 2;

int fail(const QString& message)
{
    std::fprintf(stderr, "vrn-glsl: %s\n", message.toLocal8Bit().constData());
    return kUsageError;
}

// "--style N" names the generator registered for that style.
bool generatorFromStyle(const QString& style, QString& name)
{
    bool ok = false;
    const int n = style.toInt(&ok);
    if (!ok || n < 1 || n > 6)
        return false;
    name = QStringLiteral("VrnSnGlslCodeGenerator_Style%1").arg(n);
    return true;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vrn-glsl"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Generates the GLSL of a shader network with one of the plug-in's code generators."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption styleOption(QStringLiteral("style"), QStringLiteral("Generator style, 1 to 6."), QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption generatorOption(QStringLiteral("generator"), QStringLiteral("Generator by registered name."), QStringLiteral("NAME"));
    const QCommandLineOption listOption(QStringLiteral("list-generators"), QStringLiteral("List the registered generators and exit."));
    const QCommandLineOption pluginOption(QStringLiteral("plugin"), QStringLiteral("Plug-in file to load."), QStringLiteral("PATH"));
    const QCommandLineOption logOption(QStringLiteral("log"), QStringLiteral("Print the plug-in's log lines to stderr."));
    parser.addOptions({styleOption, generatorOption, listOption, pluginOption, logOption});
    if (!parser.parse(QCoreApplication::arguments()))
        return fail(parser.errorText());
    if (parser.isSet(helpOption))
        parser.showHelp(0);

    if (parser.isSet(logOption))
        vrnSetDebugSink(vrnStderrDebugSink());

    QString generatorName;
    if (parser.isSet(generatorOption))
        generatorName = parser.value(generatorOption);
    else if (!generatorFromStyle(parser.value(styleOption), generatorName))
        return fail(QStringLiteral("unknown style \"%1\": give a number from 1 to 6").arg(parser.value(styleOption)));
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("network files are not read yet: run without a file to build the demo network"));

    const QString pluginPath = parser.isSet(pluginOption) ? parser.value(pluginOption) : VrnPluginHost::defaultPluginPath();
    VrnLoadedPlugin loaded;
    QString error;
    if (!VrnPluginHost::load(pluginPath, loaded, error))
        return fail(error);

    QTextStream out(stdout);
    const QStringList registered = VrnSnGlslCodeGeneratorManager::instance().codeGeneratorNames();
    if (parser.isSet(listOption)) {
        for (const QString& name : registered)
            out << name << '\n';
        return 0;
    }
    if (!registered.contains(generatorName))
        return fail(QStringLiteral("no generator named \"%1\" is registered (see --list-generators)").arg(generatorName));

    VrnShaderNetwork* network = VrnDemoNetwork::create(&app, &error);
    if (!network)
        return fail(QStringLiteral("the demo network could not be built: %1").arg(error));

    VrnSurfaceShader surfaceShader;
    VrnShaderBuildResult result;
    if (!VrnShaderBuild::run(generatorName, network, &surfaceShader, result))
        return fail(result.errorText.trimmed());

    for (auto it = result.declarationCodes.constBegin(); it != result.declarationCodes.constEnd(); ++it) {
        const QString type = VrnShaderBuild::shaderTypeName(it.key());
        out << "// ---- " << type << " declarations ----\n" << it.value();
        out << "// ---- " << type << " body ----\n" << result.bodyCodes.value(it.key());
    }
    return 0;
}
