#include "VrnRandomNetwork.h"

#include "VrnBuiltinKinds.h"

#include <QJsonArray>

#include <random>

namespace {
// Kinds that run in every stage and can sit anywhere in a graph, equally
// likely: about one node in fifteen is a container (Group), one re-evaluates
// its input (Offset), one is a bake point, and one node in ten of those with
// outputs reads a cache.
const char* const kPool[] = {"ConstantColor", "ConstantFloat", "Multiply", "Add", "Mix", "Swizzle", "Checker", "Offset",
                             "Mask", "Group", "PassThrough", "ChannelInput", "SphericalHarmonicsLight", "BakePoint", "Secret"};
const char* const kChannels[] = {"Base", "Dirt", "Store"};
// Kinds that join two results: chosen when the graph would otherwise leave
// nodes that nothing reads.
const char* const kJoining[] = {"Add", "Multiply", "Mix", "Mask"};

class Random
{
public:
    explicit Random(quint32 seed) : m_engine(seed) {}
    int below(int n) { return n <= 1 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(m_engine); }
    double unit() { return std::uniform_real_distribution<double>(0.0, 1.0)(m_engine); }
    bool chance(double p) { return unit() < p; }
    // Values printed with few digits so that files stay readable.
    double rounded() { return qRound(unit() * 100.0) / 100.0; }
    QJsonArray color() { return QJsonArray{rounded(), rounded(), rounded(), 1.0}; }

private:
    std::mt19937 m_engine;
};

QJsonObject attributesFor(const QString& kind, Random& r)
{
    QJsonObject a;
    if (kind == QLatin1String("ConstantColor")) a.insert(QStringLiteral("Color"), r.color());
    else if (kind == QLatin1String("ConstantFloat")) a.insert(QStringLiteral("Value"), r.rounded());
    else if (kind == QLatin1String("Mix")) {
        const char* modes[] = {"Normal", "Multiply", "Screen"};
        a.insert(QStringLiteral("Mode"), QString::fromLatin1(modes[r.below(3)]));
        a.insert(QStringLiteral("Amount"), r.rounded());
    } else if (kind == QLatin1String("Swizzle")) {
        const char* components[] = {"r", "g", "b", "a"};
        a.insert(QStringLiteral("Component"), QString::fromLatin1(components[r.below(4)]));
    } else if (kind == QLatin1String("Checker")) {
        a.insert(QStringLiteral("Cells"), double(2 + r.below(8)));
        a.insert(QStringLiteral("ColorA"), r.color());
        a.insert(QStringLiteral("ColorB"), r.color());
    } else if (kind == QLatin1String("Offset")) {
        a.insert(QStringLiteral("Shift"), QJsonArray{r.rounded() - 0.5, r.rounded() - 0.5});
    } else if (kind == QLatin1String("ChannelInput") || kind == QLatin1String("BakePoint")) {
        a.insert(QStringLiteral("Channel"), r.chance(0.2) ? QStringLiteral("Current Channel") : QString::fromLatin1(kChannels[r.below(3)]));
    }
    return a;
}
} // namespace

QJsonObject VrnRandomNetwork::generate(const Options& options)
{
    Random r(options.seed);
    const int count = qBound(1, options.nodes, 1000000);

    QJsonArray channels;
    channels.append(QJsonObject{{QStringLiteral("name"), QStringLiteral("Base")}, {QStringLiteral("fill"), r.color()}});
    channels.append(QJsonObject{{QStringLiteral("name"), QStringLiteral("Dirt")},
                                {QStringLiteral("checker"), QJsonObject{{QStringLiteral("cells"), 4 + r.below(6)},
                                                                        {QStringLiteral("colors"), QJsonArray{r.color(), r.color()}}}}});
    channels.append(QJsonObject{{QStringLiteral("name"), QStringLiteral("Store")}, {QStringLiteral("fill"), r.color()}});

    QJsonArray nodes, connections;
    QStringList ids;
    // Nodes that nothing reads yet; inputs prefer them so that the root's
    // upstream holds nearly every node, as in a real graph.
    QList<int> unread;
    for (int i = 0; i < count; ++i) {
        // Once there are more unread nodes than nodes left, every node left
        // joins two of them, so that a single result reaches the root.
        const bool mustJoin = unread.size() > count - i;
        QString kind = mustJoin ? QString::fromLatin1(kJoining[r.below(int(sizeof(kJoining) / sizeof(kJoining[0])))])
                                : QString::fromLatin1(kPool[r.below(int(sizeof(kPool) / sizeof(kPool[0])))]);
        if (!options.bakePoints && kind == QLatin1String("BakePoint"))
            kind = QStringLiteral("Add");
        const VrnSnNodeKindPtr definition = VrnBuiltinKinds::kind(kind);
        const QString id = QStringLiteral("N%1").arg(i);
        QJsonObject node{{QStringLiteral("id"), id}, {QStringLiteral("kind"), kind}};
        const QJsonObject attributes = attributesFor(kind, r);
        if (!attributes.isEmpty())
            node.insert(QStringLiteral("attributes"), attributes);
        if (kind == QLatin1String("Mask") && r.chance(0.7)) {
            QJsonArray tags{QStringLiteral("_invertable")};
            if (r.chance(0.5))
                tags.append(QStringLiteral("_invert"));
            node.insert(QStringLiteral("inputTags"), QJsonObject{{QStringLiteral("Mask"), tags}});
        }
        if (kind == QLatin1String("BakePoint"))
            node.insert(QStringLiteral("bake"), QJsonObject{{QStringLiteral("useBakedResult"), r.chance(0.5)}});
        if (options.caches && kind != QLatin1String("PassThrough") && definition && !definition->outputs.isEmpty() && r.chance(0.1)) {
            QJsonObject cacheChannels;
            for (const QString& output : definition->outputs)
                cacheChannels.insert(output, QStringLiteral("Store"));
            node.insert(QStringLiteral("cache"), QJsonObject{{QStringLiteral("enabled"), true},
                                                             {QStringLiteral("valid"), true},
                                                             {QStringLiteral("active"), 2},
                                                             {QStringLiteral("channels"), cacheChannels}});
        }
        nodes.append(node);
        // Inputs read earlier nodes only, so the graph has no cycle.
        if (definition && i > 0)
            for (const VrnSnNodeInputDefinition& input : definition->inputs) {
                if (!mustJoin && !r.chance(0.85))
                    continue;
                int from = r.below(i);
                if (!unread.isEmpty() && (mustJoin || r.chance(0.9)))
                    from = unread.takeAt(r.below(int(unread.size())));
                else
                    unread.removeOne(from);
                connections.append(QJsonObject{{QStringLiteral("from"), QString(ids.at(from) + QStringLiteral(".Output"))},
                                               {QStringLiteral("to"), QString(id + QLatin1Char('.') + input.name)}});
            }
        ids.append(id);
        unread.append(i);
    }
    nodes.append(QJsonObject{{QStringLiteral("id"), QStringLiteral("Out")}, {QStringLiteral("kind"), QStringLiteral("Output")}});
    connections.append(QJsonObject{{QStringLiteral("from"), QString(ids.last() + QStringLiteral(".Output"))}, {QStringLiteral("to"), QStringLiteral("Out.Input")}});

    return QJsonObject{{QStringLiteral("format"), 1},
                       {QStringLiteral("name"), QStringLiteral("Random%1").arg(options.seed)},
                       {QStringLiteral("currentChannel"), QStringLiteral("Base")},
                       {QStringLiteral("channels"), channels},
                       {QStringLiteral("nodes"), nodes},
                       {QStringLiteral("connections"), connections},
                       {QStringLiteral("root"), QStringLiteral("Out")}};
}
