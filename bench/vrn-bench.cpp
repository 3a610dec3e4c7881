// vrn-bench: what generation, an edit and a frame cost, per registered style.
//
// BM_Generate/<style>/<nodes>   one build of a random network plus final assembly
// BM_EditToPixels/<style>/<edit> an edit of a 200-node network up to its pixels:
//                                value: the new value written into the uniform
//                                data, no build; rewire: rebuild, program cache
//                                lookup (compile on a miss); then upload, draw
//                                256x256, read back; value edits also count
//                                frame_ms, a frame drawn beside each edit
// BM_Render/<style>              one frame of the 200-node network, program warm

#include "VrnPluginHost.h"
#include "VrnRandomNetwork.h"
#include "VrnNetworkLoader.h"
#include "VrnRenderer.h"
#include "VrnShaderBuild.h"
#include "VrnShaderManager.h"
#include "VrnShaderNetwork.h"
#include "VrnSnBaseGlslCodeGenerator.h"
#include "VrnSnGlslCodeGeneratorManager.h"
#include "VrnSnNodeKind.h"
#include "VrnSurfaceShader.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPair>

#include <chrono>
#include <cstdio>
#include <map>
#include <memory>

namespace {
const quint32 kSeed = 20261205;
const int kEditNodes = 200;
const int kFrameSize = 256;

struct BenchNetwork
{
    std::unique_ptr<QObject> owner{new QObject};
    VrnShaderNetwork* network = nullptr;
    QStringList defines;
    int contexts = 0; // contexts the build visits (the root's upstream)
};

// Random networks of the built-in kinds; see VrnRandomNetwork for the mix.
BenchNetwork* network(int nodes)
{
    static std::map<int, std::unique_ptr<BenchNetwork>> cache;
    std::unique_ptr<BenchNetwork>& slot = cache[nodes];
    if (slot)
        return slot.get();
    slot.reset(new BenchNetwork);
    VrnRandomNetwork::Options options;
    options.seed = kSeed;
    options.nodes = nodes;
    VrnLoadedNetwork loaded;
    QString error;
    if (!VrnNetworkLoader::loadData(QJsonDocument(VrnRandomNetwork::generate(options)).toJson(), QStringLiteral("bench"), QString(),
                                    slot->owner.get(), loaded, error)) {
        std::fprintf(stderr, "vrn-bench: %s\n", error.toLocal8Bit().constData());
        return nullptr;
    }
    slot->network = loaded.network;
    slot->defines = loaded.defines;
    VrnSnBaseGlslCodeGenerator base;
    QMap<unsigned, VrnSnGlslNodeAliases> aliases;
    QMap<unsigned, QList<VrnSnBaseGlslContext*>> contexts;
    base.buildContextsList(nullptr, nullptr, aliases, contexts, loaded.network->root());
    slot->contexts = contexts.value(VrnShaderType::Fragment).size();
    return slot.get();
}

void BM_Generate(benchmark::State& state, const QString& generator, int nodes)
{
    BenchNetwork* net = network(nodes);
    if (!net || !net->network) {
        state.SkipWithError("no network");
        return;
    }
    VrnShaderManager::instance().setShaderDefines(net->defines);
    qint64 bytes = 0;
    double seconds = 0;
    bool fits = true;
    // Kept from build to build, as a host that rebuilds keeps them: each
    // build writes into the buffers of the one before.
    VrnShaderBuildResult result;
    QMap<unsigned, QString> sources;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        VrnSurfaceShader surface;
        // A build whose uniform data exceed the buffer limit still writes its
        // whole text and reports the limit; it is measured all the same.
        fits = VrnShaderBuild::buildStagesInto(generator, net->network, &surface, net->defines, result, sources) && fits;
        if (sources.isEmpty()) {
            state.SkipWithError(result.errorText.toLocal8Bit().constData());
            break;
        }
        for (const QString& source : sources)
            bytes += source.size();
        benchmark::DoNotOptimize(sources);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["fits"] = fits ? 1 : 0;
    state.SetBytesProcessed(bytes);
    // Per context the build visits (the root's upstream), in microseconds.
    if (state.iterations() > 0 && net->contexts > 0)
        state.counters["us_per_node"] = seconds * 1e6 / double(state.iterations()) / net->contexts;
    state.counters["contexts"] = net->contexts;
}

// A network file of the given shape: a chain of pass-through nodes with its
// connections listed from source to sink or from sink to source, or a random
// network of the built-in kinds. Loading, with its cycle check, should cost
// the same for every shape of one size.
QByteArray networkFile(const QString& shape, int nodes)
{
    if (shape == QLatin1String("random")) {
        VrnRandomNetwork::Options options;
        options.seed = kSeed;
        options.nodes = nodes;
        return QJsonDocument(VrnRandomNetwork::generate(options)).toJson();
    }
    QJsonArray list{QJsonObject{{"id", "N0"}, {"kind", "ConstantColor"}}};
    QJsonArray connections;
    for (int i = 1; i < nodes; ++i) {
        list.append(QJsonObject{{"id", QStringLiteral("N%1").arg(i)}, {"kind", "Swizzle"}});
        connections.append(QJsonObject{{"from", QStringLiteral("N%1.Output").arg(i - 1)}, {"to", QStringLiteral("N%1.Input").arg(i)}});
    }
    list.append(QJsonObject{{"id", "Out"}, {"kind", "Output"}});
    connections.append(QJsonObject{{"from", QStringLiteral("N%1.Output").arg(nodes - 1)}, {"to", "Out.Input"}});
    if (shape == QLatin1String("chain-sinks-first")) {
        QJsonArray reversed;
        for (int i = connections.size() - 1; i >= 0; --i)
            reversed.append(connections.at(i));
        connections = reversed;
    }
    return QJsonDocument(QJsonObject{{"format", 1}, {"nodes", list}, {"connections", connections}, {"root", "Out"}}).toJson();
}

void BM_Load(benchmark::State& state, const QString& shape, int nodes)
{
    const QByteArray file = networkFile(shape, nodes);
    for (auto _ : state) {
        QObject owner;
        VrnLoadedNetwork loaded;
        QString error;
        if (!VrnNetworkLoader::loadData(file, QStringLiteral("bench"), QString(), &owner, loaded, error)) {
            state.SkipWithError(error.toLocal8Bit().constData());
            break;
        }
        benchmark::DoNotOptimize(loaded.network);
    }
    state.SetBytesProcessed(state.iterations() * file.size());
}

// A float parameter of the first ConstantFloat or Mix node changes; the node
// and the attribute edited, or a null node when the network has neither.
QPair<VrnSnBaseNode*, QString> applyValueEdit(VrnShaderNetwork* network, int iteration)
{
    for (VrnSnBaseNode* node : network->nodes())
        if (node->kind().name == QLatin1String("ConstantFloat") || node->kind().name == QLatin1String("Mix")) {
            const QString parameter = node->kind().name == QLatin1String("Mix") ? QStringLiteral("Amount") : QStringLiteral("Value");
            node->setUserAttribute(parameter, QVariant(float(iteration % 2 ? 0.25 : 0.75)));
            return {node, parameter};
        }
    return {nullptr, QString()};
}

// The last node with inputs reads another earlier producer at every iteration,
// so that a style whose text follows the wiring meets a new text each time.
void applyRewire(VrnShaderNetwork* network, int iteration)
{
    const QList<VrnSnBaseNode*>& nodes = network->nodes();
    for (int i = nodes.size() - 1; i > 2; --i) {
        VrnSnBaseNode* consumer = nodes.at(i);
        if (consumer->inputNames().isEmpty() || consumer->kind().outputs.isEmpty())
            continue;
        VrnSnBaseNode* producer = nodes.at(iteration % i);
        if (!producer->kind().outputs.isEmpty() && consumer->connectInput(consumer->inputNames().first(), producer, producer->kind().outputs.first()))
            return;
    }
}

// Builds the network with the generator into a frame job.
bool buildFrame(const QString& generator, BenchNetwork* net, VrnSurfaceShader& surface, VrnRenderJob& job, QString& error)
{
    QMap<unsigned, QString> sources;
    if (!net || !net->network || !VrnShaderBuild::buildStages(generator, net->network, &surface, net->defines, sources, error))
        return false;
    job.fragmentSource = sources.value(VrnShaderType::Fragment);
    job.network = net->network;
    job.surfaceShader = &surface;
    job.size = kFrameSize;
    return true;
}

bool drawFrame(const QString& generator, BenchNetwork* net, QString& error)
{
    VrnSurfaceShader surface;
    VrnRenderJob job;
    QImage picture;
    return buildFrame(generator, net, surface, job, error) && VrnRenderer::render(job, picture, error);
}

// A frame job of the edit network; false, and the benchmark skipped, when it cannot be built.
bool prepareFrame(benchmark::State& state, const QString& generator, BenchNetwork* net, VrnSurfaceShader& surface, VrnRenderJob& job)
{
    QString error;
    if (buildFrame(generator, net, surface, job, error))
        return true;
    state.SkipWithError(error.toLocal8Bit().constData());
    return false;
}

void BM_EditToPixels(benchmark::State& state, const QString& generator, const QString& edit)
{
    BenchNetwork* net = network(kEditNodes);
    VrnSurfaceShader surface;
    VrnRenderJob job;
    if (!prepareFrame(state, generator, net, surface, job))
        return;
    QString error;
    QImage picture;
    if (!VrnRenderer::render(job, picture, error)) { // warms the program cache
        state.SkipWithError(error.toLocal8Bit().constData());
        return;
    }
    const int compilesBefore = VrnRenderer::compileCount();
    const int buildsBefore = VrnShaderBuild::buildCount();
    int iteration = 0;
    // A frame without an edit is drawn beside each edited one, untimed, so
    // that the two are compared under the same conditions: the software
    // rasteriser's frame time drifts over a run.
    double frameSeconds = 0;
    for (auto _ : state) {
        bool drawn = false;
        if (edit == QLatin1String("value")) {
            // The program stays; only the uniform data move.
            const QPair<VrnSnBaseNode*, QString> edited = applyValueEdit(net->network, ++iteration);
            VrnShaderBuild::writeValue(&surface, edited.first, edited.second);
            drawn = VrnRenderer::render(job, picture, error);
            state.PauseTiming();
            const auto start = std::chrono::steady_clock::now();
            drawn = VrnRenderer::render(job, picture, error) && drawn;
            frameSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            state.ResumeTiming();
        } else {
            applyRewire(net->network, ++iteration);
            drawn = drawFrame(generator, net, error);
        }
        if (!drawn) {
            state.SkipWithError(error.toLocal8Bit().constData());
            break;
        }
    }
    state.counters["compiles"] = benchmark::Counter(VrnRenderer::compileCount() - compilesBefore, benchmark::Counter::kAvgIterations);
    state.counters["builds"] = benchmark::Counter(VrnShaderBuild::buildCount() - buildsBefore, benchmark::Counter::kAvgIterations);
    if (edit == QLatin1String("value") && state.iterations() > 0)
        state.counters["frame_ms"] = frameSeconds * 1e3 / double(state.iterations());
}

void BM_Render(benchmark::State& state, const QString& generator)
{
    BenchNetwork* net = network(kEditNodes);
    VrnSurfaceShader surface;
    VrnRenderJob job;
    if (!prepareFrame(state, generator, net, surface, job))
        return;
    QString error;
    QImage picture;
    for (auto _ : state)
        if (!VrnRenderer::render(job, picture, error)) {
            state.SkipWithError(error.toLocal8Bit().constData());
            break;
        }
}

QString styleOf(const QString& generator)
{
    return generator.mid(generator.lastIndexOf(QLatin1String("Style")) + 5);
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    VrnLoadedPlugin loaded;
    QString error;
    if (!VrnPluginHost::load(VrnPluginHost::defaultPluginPath(), loaded, error)) {
        std::fprintf(stderr, "vrn-bench: %s\n", error.toLocal8Bit().constData());
        return 2;
    }
    const QStringList generators = VrnSnGlslCodeGeneratorManager::instance().codeGeneratorNames();
    // A fixed number of builds, for a profiler that counts per build
    // (instructions, cache misses) and runs too slowly for timed runs.
    const int fixedIterations = qEnvironmentVariableIntValue("VRN_BENCH_ITERATIONS");
    for (const QString& generator : generators) {
        const std::string style = styleOf(generator).toStdString();
        for (int nodes : {10, 100, 1000, 10000}) {
            auto* b = benchmark::RegisterBenchmark(("BM_Generate/" + style + "/" + std::to_string(nodes)).c_str(),
                                                   [generator, nodes](benchmark::State& s) { BM_Generate(s, generator, nodes); });
            b->Unit(benchmark::kMicrosecond);
            if (fixedIterations > 0)
                b->Iterations(fixedIterations);
        }
    }
    for (const QString& generator : generators)
        for (const char* edit : {"value", "rewire"})
            benchmark::RegisterBenchmark(("BM_EditToPixels/" + styleOf(generator).toStdString() + "/" + edit).c_str(),
                                         [generator, edit](benchmark::State& s) { BM_EditToPixels(s, generator, QString::fromLatin1(edit)); })
                ->Unit(benchmark::kMillisecond);
    for (const char* shape : {"chain-sources-first", "chain-sinks-first", "random"})
        benchmark::RegisterBenchmark((std::string("BM_Load/") + shape + "/10000").c_str(),
                                     [shape](benchmark::State& s) { BM_Load(s, QString::fromLatin1(shape), 10000); })
            ->Unit(benchmark::kMillisecond);
    for (const QString& generator : generators)
        benchmark::RegisterBenchmark(("BM_Render/" + styleOf(generator).toStdString()).c_str(),
                                     [generator](benchmark::State& s) { BM_Render(s, generator); })
            ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
