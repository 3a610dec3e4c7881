// vrn-render: draws a network's fragment stage on a sphere to a PNG, or
// renders it through every style and compares the pictures.

#include "VrnCompileMessages.h"
#include "VrnNodePreview.h"
#include "VrnPluginHost.h"
#include "VrnRenderCompare.h"
#include "VrnRenderWatch.h"
#include "VrnRenderer.h"
#include "VrnShaderNetwork.h"
#include "VrnSnGlslCodeGeneratorManager.h"
#include "VrnToolSupport.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QImage>
#include <QTextStream>

namespace {
const int kFailed = 1;
const int kUsageError = 2;

using VrnToolSupport::fail;

bool positiveNumber(const QString& text, int minimum, int maximum, int& value)
{
    bool ok = false;
    value = text.toInt(&ok);
    return ok && value >= minimum && value <= maximum;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vrn-render"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Renders a shader network's fragment stage on a sphere."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption style(QStringLiteral("style"), QStringLiteral("Generator style, 1 to 6 (default 1)."), QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption size(QStringLiteral("size"), QStringLiteral("Picture size in pixels (default 256)."), QStringLiteral("N"), QStringLiteral("256"));
    const QCommandLineOption output(QStringLiteral("o"), QStringLiteral("PNG file to write."), QStringLiteral("FILE"));
    const QCommandLineOption define(QStringLiteral("define"), QStringLiteral("Shader define, added to the file's (repeatable)."), QStringLiteral("NAME"));
    const QCommandLineOption compare(QStringLiteral("compare"), QStringLiteral("Render every registered style that supports the network and compare each with the first."));
    const QCommandLineOption tolerance(QStringLiteral("tolerance"), QStringLiteral("Largest per-channel difference --compare accepts (default 1)."), QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption random(QStringLiteral("random"), QStringLiteral("Render a random network of this seed."), QStringLiteral("SEED"));
    const QCommandLineOption nodes(QStringLiteral("nodes"), QStringLiteral("Nodes of the random network (default 8)."), QStringLiteral("N"), QStringLiteral("8"));
    const QCommandLineOption plugin(QStringLiteral("plugin"), QStringLiteral("Plug-in file to load."), QStringLiteral("PATH"));
    const QCommandLineOption node(QStringLiteral("node"), QStringLiteral("Render this node's output instead of the root's (the first output without .OUTPUT)."), QStringLiteral("ID[.OUTPUT]"));
    const QCommandLineOption watch(QStringLiteral("watch"), QStringLiteral("Render again each time the file changes, writing the PNG each time (see docs/cli.md)."));
    const QCommandLineOption reloads(QStringLiteral("reloads"), QStringLiteral("With --watch, stop after N reloads (default: never)."), QStringLiteral("N"));
    parser.addOptions({style, size, output, define, compare, tolerance, random, nodes, plugin, node, watch, reloads});
    parser.addPositionalArgument(QStringLiteral("network.json"), QStringLiteral("Network file (default: the built-in demo network)."));
    if (!parser.parse(QCoreApplication::arguments()))
        return fail(kUsageError, parser.errorText());
    if (parser.isSet(help))
        parser.showHelp(0);

    QString generator;
    if (!VrnToolSupport::generatorForStyle(parser.value(style), generator))
        return fail(kUsageError, QStringLiteral("unknown style \"%1\": give a number from 1 to 6").arg(parser.value(style)));
    int pictureSize = 0, allowed = 0, nodeCount = 0;
    if (!positiveNumber(parser.value(size), 1, VrnRenderer::kMaximumSize, pictureSize))
        return fail(kUsageError, QStringLiteral("--size must be a number from 1 to %1").arg(VrnRenderer::kMaximumSize));
    if (!positiveNumber(parser.value(tolerance), 0, 255, allowed))
        return fail(kUsageError, QStringLiteral("--tolerance must be a number from 0 to 255"));
    if (!positiveNumber(parser.value(nodes), 1, 100000, nodeCount))
        return fail(kUsageError, QStringLiteral("--nodes must be a number from 1 to 100000"));
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1 || (!files.isEmpty() && parser.isSet(random)))
        return fail(kUsageError, QStringLiteral("give one network: a file, --random SEED, or neither for the demo network"));
    if (!parser.isSet(output) && !parser.isSet(compare))
        return fail(kUsageError, QStringLiteral("give -o FILE to write the picture, or --compare"));
    QString error;
    if (!VrnToolSupport::checkNoEmptyValues(parser, error) || !VrnToolSupport::checkNeeds(parser, nodes, random, error)
        || !VrnToolSupport::checkNeeds(parser, tolerance, compare, error)
        || (parser.isSet(output) && !VrnToolSupport::checkOutputFile(parser.value(output), QStringLiteral("png"), error)))
        return fail(kUsageError, error);

    VrnToolSupport::NetworkSource source;
    source.file = files.value(0);
    if (parser.isSet(random)) {
        bool ok = false;
        source.random = true;
        source.seed = parser.value(random).toUInt(&ok);
        if (!ok)
            return fail(kUsageError, QStringLiteral("--random needs a whole number seed"));
        source.nodes = nodeCount;
    }

    const bool watching = parser.isSet(watch);
    int reloadLimit = -1;
    if (watching && (files.size() != 1 || files.first() == QLatin1String("-") || parser.isSet(compare) || !parser.isSet(output)))
        return fail(kUsageError, QStringLiteral("--watch needs one network file and -o FILE, and no --compare"));
    if (parser.isSet(reloads) && (!watching || !positiveNumber(parser.value(reloads), 0, 1000000, reloadLimit)))
        return fail(kUsageError, QStringLiteral("--reloads needs --watch and a number from 0 to 1000000"));

    VrnLoadedPlugin loaded;
    if (!VrnPluginHost::load(parser.isSet(plugin) ? parser.value(plugin) : VrnPluginHost::defaultPluginPath(), loaded, error))
        return fail(kUsageError, error);
    QTextStream out(stdout);
    if (watching) {
        VrnRenderWatch::Options watchOptions;
        watchOptions.file = files.first();
        watchOptions.generatorName = generator;
        watchOptions.extraDefines = parser.values(define);
        watchOptions.previewNode = parser.value(node);
        watchOptions.size = pictureSize;
        watchOptions.output = parser.value(output);
        watchOptions.reloads = reloadLimit;
        return VrnRenderWatch::run(watchOptions, out);
    }
    VrnShaderNetwork* network = nullptr;
    QStringList defines;
    if (!VrnToolSupport::loadNetwork(source, parser.values(define), &app, network, defines, error))
        return fail(kUsageError, error);
    if (parser.isSet(node) && !VrnNodePreview::attach(network, parser.value(node), error))
        return fail(kUsageError, error);

    // Compile and link failures name the node, kind and glsl line of each message.
    const QString label = VrnCompileMessages::networkLabel(source.file, source.random, source.seed);
    if (!parser.isSet(compare)) {
        const QString reason = VrnRenderCompare::notApplicableReason(generator, network, defines);
        if (!reason.isEmpty())
            out << "note: " << generator << " does not express this network exactly: " << reason << '\n';
        QImage picture;
        if (!VrnRenderCompare::renderWithGenerator(generator, network, defines, pictureSize, picture, error))
            return fail(kFailed, VrnCompileMessages::explainBuild(label, error, generator, network, defines));
        if (!VrnToolSupport::savePicture(picture, parser.value(output), error))
            return fail(kUsageError, error);
        return 0;
    }

    // Every registered style that can express the network, against the first of them.
    QImage referencePicture;
    QString reference;
    bool failed = false;
    for (const VrnRenderCompare::StyleResult& r :
         VrnRenderCompare::compareStyles(VrnSnGlslCodeGeneratorManager::instance().codeGeneratorNames(), network, defines, pictureSize,
                                         referencePicture)) {
        const bool tooLarge = r.difference.maximum > allowed;
        failed = failed || !r.failure.isEmpty() || tooLarge;
        if (!r.notApplicable.isEmpty())
            out << r.generatorName << ": not applicable: " << r.notApplicable << '\n';
        else if (!r.failure.isEmpty())
            out << r.generatorName << ": failed: "
                << VrnCompileMessages::explainBuild(label, r.failure, r.generatorName, network, defines).replace(QLatin1Char('\n'), QLatin1String("\n    ")) << '\n';
        else if (r.reference) {
            reference = r.generatorName;
            out << reference << ": reference\n";
        } else
            out << r.generatorName << " vs " << reference << ": largest difference " << r.difference.maximum << ", differing pixels "
                << r.difference.differingPixels << (tooLarge ? " (over tolerance)" : "") << '\n';
    }
    out.flush();
    if (reference.isEmpty() && !failed)
        return fail(kFailed, QStringLiteral("no registered style can express this network"));
    if (!reference.isEmpty() && parser.isSet(output) && !VrnToolSupport::savePicture(referencePicture, parser.value(output), error))
        return fail(kUsageError, error);
    return failed ? kFailed : 0;
}
