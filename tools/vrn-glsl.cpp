// vrn-glsl: runs one of the plug-in's code generators on a shader network and
// prints the complete stages, the generator's own texts, the uniform data or
// the log of the build.

#include "VrnBuildFaults.h"
#include "VrnDebug.h"
#include "VrnCompileMessages.h"
#include "VrnGlslValidator.h"
#include "VrnKindListing.h"
#include "VrnNodePreview.h"
#include "VrnPluginHost.h"
#include "VrnRenderCompare.h"
#include "VrnShaderBuild.h"
#include "VrnShaderManager.h"
#include "VrnShaderNetwork.h"
#include "VrnStageFileWriter.h"
#include "VrnStageLineMap.h"
#include "VrnSnGlslCodeGeneratorManager.h"
#include "VrnSnNodeKind.h"
#include "VrnSurfaceShader.h"
#include "VrnToolSupport.h"
#include "VrnUniformReport.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QJsonDocument>
#include <QFile>
#include <QTextStream>

namespace {
const int kBuildFailed = 1;
const int kUsageError = 2;

using VrnToolSupport::fail;

bool shaderTypeFromName(const QString& name, unsigned& type)
{
    for (unsigned t : {VrnShaderType::Fragment, VrnShaderType::TessEvaluation, VrnShaderType::TessControl})
        if (VrnShaderBuild::shaderTypeName(t) == name) {
            type = t;
            return true;
        }
    return false;
}

struct Options
{
    QString generator;
    QString networkFile;
    VrnToolSupport::NetworkSource source;
    QStringList defines;
    bool hasStage = false;
    unsigned stage = 0;
    QString what = QStringLiteral("source");
    bool validate = false;
    bool list = false;
    bool listKinds = false;
    QString outputPrefix;
    QString previewNode;
    bool logToStderr = false;
    QString plugin;
};

// Reads the command line; false with the message to print.
bool parseOptions(QCommandLineParser& parser, Options& options, QString& error)
{
    parser.setApplicationDescription(QStringLiteral("Generates the GLSL of a shader network with one of the plug-in's code generators.\n"
                                                    "docs/styles.md says what each style writes, costs and cannot express, and which to pick."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption style(QStringLiteral("style"), QStringLiteral("Generator style, 1 to 6 (default 1)."), QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption generator(QStringLiteral("generator"), QStringLiteral("Generator by registered name."), QStringLiteral("NAME"));
    const QCommandLineOption list(QStringLiteral("list-generators"), QStringLiteral("List the registered generators and exit."));
    const QCommandLineOption define(QStringLiteral("define"), QStringLiteral("Shader define, added to the file's (repeatable)."), QStringLiteral("NAME"));
    const QCommandLineOption stage(QStringLiteral("stage"), QStringLiteral("Only this stage, without a header: fragment, tess-eval or tess-control."), QStringLiteral("STAGE"));
    const QCommandLineOption emitOption(QStringLiteral("emit"), QStringLiteral("What to print: source, declaration, body, uniforms or log (default source)."), QStringLiteral("WHAT"), QStringLiteral("source"));
    const QCommandLineOption validate(QStringLiteral("validate"), QStringLiteral("Compile every stage with glslang; exit status 1 when one fails."));
    const QCommandLineOption plugin(QStringLiteral("plugin"), QStringLiteral("Plug-in file to load."), QStringLiteral("PATH"));
    const QCommandLineOption log(QStringLiteral("log"), QStringLiteral("Also print log lines to stderr as they are written."));
    const QCommandLineOption random(QStringLiteral("random"), QStringLiteral("A random network of this seed instead of a file."), QStringLiteral("SEED"));
    const QCommandLineOption nodes(QStringLiteral("nodes"), QStringLiteral("Nodes of the random network (default 8)."), QStringLiteral("N"), QStringLiteral("8"));
    const QCommandLineOption listKinds(QStringLiteral("list-kinds"), QStringLiteral("List the built-in node kinds with their inputs, outputs and parameters, and exit."));
    const QCommandLineOption output(QStringLiteral("o"), QStringLiteral("Write each stage's source to PREFIX.frag, PREFIX.tese and PREFIX.tesc instead of printing."), QStringLiteral("PREFIX"));
    const QCommandLineOption node(QStringLiteral("node"), QStringLiteral("Build with this node's output as the result (the first output without .OUTPUT)."), QStringLiteral("ID[.OUTPUT]"));
    parser.addOptions({style, generator, list, define, stage, emitOption, validate, plugin, log, random, nodes, listKinds, output, node});
    parser.addPositionalArgument(QStringLiteral("network.json"), QStringLiteral("Network file (default: the built-in demo network)."));

    if (!parser.parse(QCoreApplication::arguments())) {
        error = parser.errorText();
        return false;
    }
    if (parser.isSet(help))
        parser.showHelp(0);
    options.list = parser.isSet(list);
    options.listKinds = parser.isSet(listKinds);
    options.outputPrefix = parser.value(output);
    options.previewNode = parser.value(node);
    if (parser.isSet(generator))
        options.generator = parser.value(generator);
    else if (!VrnToolSupport::generatorForStyle(parser.value(style), options.generator) && !options.list && !options.listKinds) {
        error = QStringLiteral("unknown style \"%1\": give a number from 1 to 6").arg(parser.value(style));
        return false;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        error = QStringLiteral("give at most one network file");
        return false;
    }
    options.networkFile = files.value(0);
    if (!VrnToolSupport::checkNoEmptyValues(parser, error) || !VrnToolSupport::checkNeeds(parser, nodes, random, error))
        return false;
    if (parser.isSet(random)) {
        bool seedOk = false, nodesOk = false;
        options.source.random = true;
        options.source.seed = parser.value(random).toUInt(&seedOk);
        options.source.nodes = parser.value(nodes).toInt(&nodesOk);
        if (!seedOk || !nodesOk || options.source.nodes < 1 || options.source.nodes > 1000000 || !files.isEmpty()) {
            error = QStringLiteral("--random needs a whole number seed, --nodes a number from 1 to 1000000, and no file");
            return false;
        }
    }
    options.source.file = options.networkFile;
    options.defines = parser.values(define);
    options.hasStage = parser.isSet(stage);
    if (options.hasStage && !shaderTypeFromName(parser.value(stage), options.stage)) {
        error = QStringLiteral("unknown stage \"%1\": give fragment, tess-eval or tess-control").arg(parser.value(stage));
        return false;
    }
    options.what = parser.value(emitOption);
    static const QStringList emits{QStringLiteral("source"), QStringLiteral("declaration"), QStringLiteral("body"),
                                   QStringLiteral("uniforms"), QStringLiteral("log")};
    if (!emits.contains(options.what)) {
        error = QStringLiteral("unknown --emit \"%1\": give source, declaration, body, uniforms or log").arg(options.what);
        return false;
    }
    options.validate = parser.isSet(validate);
    options.logToStderr = parser.isSet(log);
    options.plugin = parser.isSet(plugin) ? parser.value(plugin) : VrnPluginHost::defaultPluginPath();
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vrn-glsl"));

    // Every log line of the run is kept for --emit log.
    QList<VrnDebugLine> logLines;
    bool echoLog = false;
    const VrnDebugSink stderrSink = vrnStderrDebugSink();
    vrnSetDebugSink([&](const VrnDebugLine& line) {
        logLines.append(line);
        if (echoLog)
            stderrSink(line);
    });

    QCommandLineParser parser;
    Options options;
    QString error;
    if (!parseOptions(parser, options, error))
        return fail(kUsageError, error);
    echoLog = options.logToStderr;

    VrnLoadedPlugin loaded;
    if (!VrnPluginHost::load(options.plugin, loaded, error))
        return fail(kUsageError, error);

    QFile standardOutput;
    standardOutput.open(stdout, QIODevice::WriteOnly);
    QTextStream out(&standardOutput);
    const QStringList registered = VrnSnGlslCodeGeneratorManager::instance().codeGeneratorNames();
    if (options.list) {
        for (const QString& name : registered)
            out << name << '\n';
        return 0;
    }
    if (options.listKinds) {
        out << VrnKindListing::builtinKinds();
        return 0;
    }
    if (!registered.contains(options.generator))
        return fail(kUsageError, QStringLiteral("no generator named \"%1\" is registered (see --list-generators)").arg(options.generator));

    VrnShaderNetwork* network = nullptr;
    QStringList defines;
    if (!VrnToolSupport::loadNetwork(options.source, options.defines, &app, network, defines, error))
        return fail(kUsageError, error);
    if (!options.previewNode.isEmpty() && !VrnNodePreview::attach(network, options.previewNode, error))
        return fail(kUsageError, error);
    VrnShaderManager::instance().setShaderDefines(defines);

    VrnSurfaceShader surface;
    VrnShaderBuildResult result;
    if (!VrnShaderBuild::run(options.generator, network, &surface, result)) {
        // The uniform report shows what did not fit ("valid": false).
        if (options.what == QLatin1String("uniforms"))
            out << QJsonDocument(VrnUniformReport::build(network, &surface)).toJson(QJsonDocument::Indented);
        return fail(kBuildFailed, result.errorText.trimmed());
    }
    if (options.hasStage && !result.declarationCodes.contains(options.stage))
        return fail(kUsageError, QStringLiteral("the network has no %1 stage").arg(VrnShaderBuild::shaderTypeName(options.stage)));

    // The same note as vrn-render's; a failed validation names it as the cause.
    const QString limit = VrnRenderCompare::notApplicableReason(options.generator, network, defines);
    if (!limit.isEmpty())
        std::fprintf(stderr, "note: %s does not express this network exactly: %s\n", qPrintable(options.generator), qPrintable(limit));

    // The generator's texts are kept only where they are printed or a failed
    // validation maps its lines back; otherwise each stage is handed over in
    // parts written one after the other (a large network's text runs to
    // megabytes and is not held twice).
    const bool keepTexts = options.validate || options.what == QLatin1String("declaration") || options.what == QLatin1String("body");
    QMap<unsigned, QString> sources;
    QMap<unsigned, QStringList> stages;
    if (keepTexts) {
        sources = VrnShaderBuild::assembleStages(result, network, &surface, defines);
        for (auto it = sources.constBegin(); it != sources.constEnd(); ++it)
            stages.insert(it.key(), QStringList{it.value()});
    } else {
        stages = VrnShaderBuild::takeStageParts(result, network, &surface, defines);
    }
    if (options.validate && !VrnGlslValidator::validate(sources, error)) {
        QMap<unsigned, VrnStageLineMap> lineMaps;
        VrnShaderBuild::assembleStages(result, network, &surface, defines, &lineMaps);
        error = VrnCompileMessages::explain(VrnCompileMessages::networkLabel(options.networkFile, options.source.random, options.source.seed),
                                            error, lineMaps);
        const QString cause = VrnBuildFaults::compileFault(options.generator, network, defines);
        if (!cause.isEmpty())
            error.insert(error.indexOf(QLatin1Char(':')), QStringLiteral(" (likely cause: %1)").arg(cause));
        return fail(kBuildFailed, error);
    }

    if (options.what == QLatin1String("uniforms")) {
        out << QJsonDocument(VrnUniformReport::build(network, &surface)).toJson(QJsonDocument::Indented);
        return 0;
    }
    if (options.what == QLatin1String("log")) {
        for (const VrnDebugLine& line : logLines)
            out << line.toString() << '\n';
        return 0;
    }
    if (!options.outputPrefix.isEmpty()) {
        for (auto it = stages.constBegin(); it != stages.constEnd(); ++it)
            if (!options.hasStage || it.key() == options.stage)
                if (!VrnStageFileWriter::write(options.outputPrefix, it.key(), it.value(), error))
                    return fail(kUsageError, error);
        return 0;
    }
    for (auto it = stages.constBegin(); it != stages.constEnd(); ++it) {
        if (options.hasStage && it.key() != options.stage)
            continue;
        if (!options.hasStage)
            out << "// ==== " << VrnShaderBuild::shaderTypeName(it.key()) << " stage ====\n";
        out.flush();
        const QStringList text = options.what == QLatin1String("declaration") ? QStringList{result.declarationCodes.value(it.key())}
                               : options.what == QLatin1String("body")        ? QStringList{result.bodyCodes.value(it.key())}
                                                                              : it.value();
        VrnToolSupport::writeText(standardOutput, text);
    }
    return 0;
}
