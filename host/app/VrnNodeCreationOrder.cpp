#include "VrnNodeCreationOrder.h"

#include "VrnDepthFirst.h"
#include "VrnNetworkLoader.h"

#include <QHash>
#include <QJsonObject>

#include <algorithm>
#include <climits>
#include <vector>

namespace {
struct Producer
{
    int rank; // the input's place among the kind's inputs
    int node;
};

// The node index and the point of "node.point"; -1 when the text names no node of the file.
int nodeOf(const QJsonValue& endpoint, const QHash<QString, int>& byId, QString& point)
{
    QString id;
    return VrnNetworkLoader::splitEndpoint(endpoint.toString(), id, point) ? byId.value(id, -1) : -1;
}
} // namespace

QVector<int> VrnNodeCreationOrder::of(const QJsonArray& nodes, const QJsonArray& connections, const QString& rootId,
                                      const QMap<QString, VrnSnNodeKindPtr>& kinds)
{
    const int count = nodes.size();
    QHash<QString, int> byId;
    byId.reserve(count);
    std::vector<const VrnSnNodeKind*> kindOf(size_t(count), nullptr);
    for (int i = 0; i < count; ++i) {
        const QJsonObject o = nodes.at(i).toObject();
        const QString id = o.value(QLatin1String("id")).toString();
        if (!id.isEmpty() && !byId.contains(id))
            byId.insert(id, i);
        kindOf[size_t(i)] = kinds.value(o.value(QLatin1String("kind")).toString()).data();
    }

    // Each kind's inputs by name, made when a connection first needs them:
    // a kind may have many inputs, and a file many connections.
    QHash<const VrnSnNodeKind*, QHash<QString, int>> inputRanks;
    auto rankOf = [&inputRanks](const VrnSnNodeKind* kind, const QString& input) {
        auto found = inputRanks.find(kind);
        if (found == inputRanks.end()) {
            found = inputRanks.insert(kind, {});
            for (int k = kind->inputs.size() - 1; k >= 0; --k)
                found->insert(kind->inputs.at(k).name, k); // the first of a repeated name counts
        }
        return found->value(input, INT_MAX);
    };
    std::vector<std::vector<Producer>> producers(static_cast<size_t>(count));
    for (const QJsonValue& c : connections) {
        const QJsonObject o = c.toObject();
        QString output, input;
        const int producer = nodeOf(o.value(QLatin1String("from")), byId, output);
        const int consumer = nodeOf(o.value(QLatin1String("to")), byId, input);
        if (producer < 0 || consumer < 0)
            continue;
        const VrnSnNodeKind* kind = kindOf[size_t(consumer)];
        producers[size_t(consumer)].push_back(Producer{kind ? rankOf(kind, input) : INT_MAX, producer});
    }
    for (std::vector<Producer>& p : producers)
        std::stable_sort(p.begin(), p.end(), [](const Producer& a, const Producer& b) { return a.rank < b.rank; });

    // Depth first from the root. A cycle (which the loader refuses later) is
    // cut where it closes.
    QVector<int> order;
    order.reserve(count);
    std::vector<bool> met(size_t(count), false);
    const int root = byId.value(rootId, -1);
    if (root >= 0)
        VrnDepthFirst::postOrder(
            root,
            [&producers](int n, std::vector<int>& found) {
                for (const Producer& p : producers[size_t(n)])
                    found.push_back(p.node);
            },
            [&met](int n) {
                if (met[size_t(n)])
                    return false;
                met[size_t(n)] = true;
                return true;
            },
            [&order](int n) { order.append(n); });
    for (int i = 0; i < count; ++i)
        if (!met[size_t(i)])
            order.append(i);
    return order;
}
