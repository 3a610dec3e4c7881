#include "VrnSnBaseGlslCodeGenerator.h"

#include "VrnAddressNumbers.h"
#include "VrnAttributeValues.h"
#include "VrnDepthFirst.h"
#include "VrnReadAhead.h"
#include "VrnShaderNetwork.h"
#include "VrnShadingContext.h"
#include "VrnShaderNetworkUtils.h"
#include "VrnSnBaseGlslContext.h"
#include "VrnSnBaseNode.h"
#include "VrnThreadLocal.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {
using Point = VrnSnBaseNode::ConnectionPoint;
using NodeList = std::vector<VrnSnBaseNode*>;

bool runsIn(const VrnSnBaseNode* node, unsigned shaderType)
{
    const unsigned t = node->kind().shaderType;
    return shaderType == VrnShaderType::AllStages || t == VrnShaderType::AllStages || t == shaderType;
}

// The nodes that feed the node's inputs, pass-through nodes followed, each
// once, into producers (emptied first). Alias entries for the pass-through
// points met are added to record when given. In a shader type, a producer of
// another stage supplies nothing: its consumers read their default input
// there (the alias points to no node).
void producersOf(VrnSnBaseNode* node, const VrnSnGlslNodeAliases* aliases, VrnSnGlslNodeAliases* record, NodeList& producers,
                 unsigned shaderType = VrnShaderType::AllStages)
{
    producers.clear();
    for (int input = 0; input < node->inputCount(); ++input) {
        const Point& connected = node->inputConnectionAt(input);
        if (!connected.node)
            continue;
        // Only pass-through points are recorded when every stage counts.
        if ((!record || shaderType == VrnShaderType::AllStages) && VrnSnGlslNodeAliases::suppliesItself(connected, aliases)) {
            // The common case: the producer itself, with nothing to record.
            VrnSnBaseNode* producer = connected.node.data();
            if (!runsIn(producer, shaderType))
                continue;
            if (std::find(producers.begin(), producers.end(), producer) == producers.end())
                producers.push_back(producer);
            continue;
        }
        const bool passThrough = connected.node->kind().alias;
        Point resolved;
        Point supplied = VrnSnGlslNodeAliases::supplierOf(connected, aliases, resolved);
        const bool otherStage = supplied.node && !runsIn(supplied.node.data(), shaderType);
        if (otherStage)
            supplied = Point();
        if (record && (passThrough || otherStage))
            record->addAlias(connected, supplied);
        VrnSnBaseNode* producer = supplied.node.data();
        if (producer && std::find(producers.begin(), producers.end(), producer) == producers.end())
            producers.push_back(producer);
    }
}

// Walks every node upstream of start once, producers before consumers and
// start last, and tells finished(node) of each in that order; a cycle is cut
// where it closes. producers(node, list) fills the list of a node's
// producers. met(number) is told the number of every node met, in the order
// met (start first, then each producer as the walk comes to it): the nodes
// are numbered 0, 1, 2, ... as they are first met. A walk expected to meet
// most of the network says so with wholeNetwork: its table of nodes met is
// then sized once instead of growing.
template <typename Producers, typename Finished, typename Met>
void walkUpstream(VrnSnBaseNode* start, Producers&& producers, bool wholeNetwork, Finished&& finished, Met&& met)
{
    if (!start)
        return;
    const int expected = wholeNetwork && start->network() ? start->network()->nodes().size() : 0;
    VrnAddressNumbers seen{size_t(expected)};
    int count = 0;
    auto firstMeeting = [&](VrnSnBaseNode* n) {
        const int number = seen.numberOrInsert(n, count);
        met(number);
        return number == count ? (++count, true) : false;
    };
    VrnDepthFirst::postOrder(start, producers, firstMeeting, finished);
}

template <typename Producers, typename Finished>
void walkUpstream(VrnSnBaseNode* start, Producers&& producers, bool wholeNetwork, Finished&& finished)
{
    walkUpstream(start, producers, wholeNetwork, finished, [](int) {});
}

// Every node upstream of start, each once, in the walk's order.
template <typename Producers>
QList<VrnSnBaseNode*> upstreamOrder(VrnSnBaseNode* start, Producers&& producers, bool wholeNetwork = false)
{
    QList<VrnSnBaseNode*> order;
    if (wholeNetwork && start && start->network())
        order.reserve(start->network()->nodes().size());
    walkUpstream(start, producers, wholeNetwork, [&order](VrnSnBaseNode* n) { order.append(n); });
    return order;
}

// What the calling thread's last fragment list found: the node of every
// listed context and the places in the list of the producers the walk met
// for it (-1: not listed), by place in the list. The records asked for next
// read them instead of the nodes, their contexts and their connections,
// and need no table by address: at many thousand nodes all of these lie far
// apart in memory. They do so only for the same list and the same aliases,
// with the graph unchanged since.
struct FragmentListing
{
    using Range = std::pair<size_t, size_t>; // [first, last) in producerPlaces
    std::vector<VrnSnBaseGlslContext*> contexts;
    std::vector<VrnSnBaseNode*> nodes;
    std::vector<Range> producerRanges;
    std::vector<int> producerPlaces;
    const VrnSnGlslNodeAliases* aliases = nullptr;
    quint64 aliasesStamp = 0;
    quint64 graphStamp = 0;
    bool made = false;

    void forget()
    {
        made = false;
        contexts.clear();
        nodes.clear();
        producerRanges.clear();
        producerPlaces.clear();
    }

    bool describes(const QList<VrnSnBaseGlslContext*>& list, const VrnSnGlslNodeAliases& listAliases) const
    {
        return made && &listAliases == aliases && listAliases.stamp() == aliasesStamp &&
               VrnSnBaseNode::graphStamp() == graphStamp && size_t(list.size()) == contexts.size() &&
               std::equal(contexts.begin(), contexts.end(), list.cbegin());
    }
};

FragmentListing& threadListing()
{
    return vrnThreadInstance<FragmentListing>();
}

// The records of a build, kept in the order they were first asked for; or,
// made from a list whose contexts are all different, in the list's order.
class Records
{
public:
    explicit Records(int expected) : m_numbers(size_t(expected)) { m_records.reserve(size_t(expected)); }
    explicit Records(const QList<VrnSnBaseGlslContext*>& distinct) : m_numbers(0), m_byPlace(true)
    {
        m_records.reserve(size_t(distinct.size()));
        for (VrnSnBaseGlslContext* c : distinct)
            m_records.push_back({c, VrnSnGlslCodeGeneratorContextInfo()});
    }

    // The context's record; place is its place in the list the records were made from, if any.
    VrnSnGlslCodeGeneratorContextInfo& of(VrnSnBaseGlslContext* context, int place)
    {
        if (m_byPlace)
            return m_records[size_t(place)].second;
        int k = m_numbers.numberOf(context);
        if (k < 0) {
            k = int(m_records.size());
            m_numbers.insert(context, k);
            m_records.push_back({context, VrnSnGlslCodeGeneratorContextInfo()});
        }
        return m_records[size_t(k)].second;
    }

    // Into an empty map in ascending order, each insertion placed after the
    // last, noting in places where each record went when given; merged into
    // a map that already has some.
    void writeInto(VrnSnGlslContextInfoMap& info, VrnSnGlslRecordPlaces* places)
    {
        // The addresses are sorted with the records' numbers, not the records:
        // moving a record moves its list of nested contexts.
        std::vector<std::pair<VrnSnBaseGlslContext*, size_t>> order;
        order.reserve(m_records.size());
        for (size_t k = 0; k < m_records.size(); ++k)
            order.emplace_back(m_records[k].first, k);
        std::sort(order.begin(), order.end(),
                  [](const auto& a, const auto& b) { return std::less<VrnSnBaseGlslContext*>()(a.first, b.first); });
        const bool empty = info.isEmpty();
        if (places) {
            places->contexts.clear();
            places->records.clear();
            if (empty) {
                places->contexts.reserve(m_records.size());
                for (const Record& r : m_records)
                    places->contexts.push_back(r.first);
                places->records.resize(m_records.size());
            }
        }
        for (const auto& byAddress : order) {
            const Record& r = m_records[byAddress.second];
            if (empty) {
                auto at = info.insert(info.constEnd(), r.first, r.second);
                if (places)
                    places->records[byAddress.second] = &at.value();
                continue;
            }
            VrnSnGlslCodeGeneratorContextInfo& existing = info[r.first];
            existing.readsCache = r.second.readsCache;
            existing.readsBakedChannel = r.second.readsBakedChannel;
            existing.hasNestedContexts = existing.hasNestedContexts || r.second.hasNestedContexts;
            existing.nestedContexts += r.second.nestedContexts;
        }
    }

private:
    using Record = std::pair<VrnSnBaseGlslContext*, VrnSnGlslCodeGeneratorContextInfo>;
    VrnAddressNumbers m_numbers;
    bool m_byPlace = false;
    std::vector<Record> m_records;
};
} // namespace

VrnSnBaseGlslCodeGenerator::VrnSnBaseGlslCodeGenerator() = default;

VrnSnBaseGlslCodeGenerator::~VrnSnBaseGlslCodeGenerator() = default;

bool VrnSnBaseGlslCodeGenerator::buildShaderCode(VrnSnGlslContextManager* manager, VrnSvtShadingContext* shadingContext,
                                                 QMap<unsigned, QString>& declarationCodes, QMap<unsigned, QString>& bodyCodes,
                                                 const VrnSnBaseNode* root, VrnSurfaceShader*, QString& errorText)
{
    if (!root || !root->context()) {
        errorText += QStringLiteral("The shader network has no root node to build from.\n");
        return false;
    }
    QMap<unsigned, VrnSnGlslNodeAliases> aliases;
    QMap<unsigned, QList<VrnSnBaseGlslContext*>> contexts;
    buildContextsList(manager, shadingContext, aliases, contexts, root);
    for (auto it = contexts.begin(); it != contexts.end(); ++it)
        buildShaderTypeCode(manager, shadingContext, declarationCodes[it.key()], bodyCodes[it.key()], it.key(),
                            &aliases[it.key()], it.value());
    return true;
}

void VrnSnBaseGlslCodeGenerator::buildShaderTypeCode(VrnSnGlslContextManager*, VrnSvtShadingContext*, QString&, QString&,
                                                     unsigned, VrnSnGlslNodeAliases*, QList<VrnSnBaseGlslContext*>&)
{
}

void VrnSnBaseGlslCodeGenerator::buildShaderContextList(VrnSnGlslContextManager*, VrnSvtShadingContext*,
                                                        VrnSnBaseContext* rootContext, unsigned shaderType,
                                                        VrnSnGlslNodeAliases& aliases, QList<VrnSnBaseGlslContext*>& contexts)
{
    VrnSnBaseNode* root = rootContext ? rootContext->parentNode() : nullptr;
    const QList<VrnSnBaseNode*> order = upstreamOrder(
        root, [&aliases, shaderType](VrnSnBaseNode* n, NodeList& found) { producersOf(n, nullptr, &aliases, found, shaderType); }, true);
    for (VrnSnBaseNode* n : order) {
        VrnSnBaseGlslContext* c = n->context();
        if (c && !n->kind().alias && runsIn(n, shaderType))
            contexts.append(c);
    }
}

void VrnSnBaseGlslCodeGenerator::buildContextsList(VrnSnGlslContextManager* manager, VrnSvtShadingContext* shadingContext,
                                                   QMap<unsigned, VrnSnGlslNodeAliases>& aliases,
                                                   QMap<unsigned, QList<VrnSnBaseGlslContext*>>& contexts, const VrnSnBaseNode* root)
{
    if (!root || !root->context())
        return;
    VrnSnBaseNode* start = const_cast<VrnSnBaseNode*>(root);
    FragmentListing& listing = threadListing();
    listing.forget();
    const quint64 graphStamp = VrnSnBaseNode::graphStamp();
    // One walk reads each node once, for everything the list needs of it:
    // its stage, its context, its producers and the aliases of the
    // pass-through points its inputs meet. The fragment stage is always
    // built; a tessellation stage when a node of it is upstream. Where every
    // node runs in the fragment stage, that stage's own walk would meet the
    // same nodes in the same order, so what this walk found is its list.
    QList<unsigned> types{VrnShaderType::Fragment};
    VrnSnGlslNodeAliases passThroughs;
    // The walk asks for a node's producers when it enters the node and places
    // the node when it leaves it, last entered first: a stack of the nodes
    // entered and not yet placed follows it. It then meets the producers in
    // the order they were found: each is noted by its number in the node's
    // range of producerPlaces, which their places in the list replace once
    // every node has one.
    struct Entered
    {
        VrnSnBaseNode* node;
        VrnSnBaseGlslContext* listed; // null for a node without a context and a pass-through node
        FragmentListing::Range producers;
        size_t nextProducer;
        int number;
    };
    std::vector<Entered> entered;
    std::vector<int> placeOfNumber; // -1: not listed
    int lastMet = -1;
    walkUpstream(
        start,
        [&](VrnSnBaseNode* n, NodeList& found) {
            producersOf(n, nullptr, &passThroughs, found);
            const unsigned t = n->kind().shaderType;
            if (t != VrnShaderType::AllStages && !types.contains(t))
                types.append(t);
            VrnSnBaseGlslContext* c = n->kind().alias ? nullptr : n->context();
            const size_t first = listing.producerPlaces.size();
            listing.producerPlaces.resize(first + found.size(), -1);
            entered.push_back(Entered{n, c, {first, listing.producerPlaces.size()}, first, lastMet});
        },
        true,
        [&](VrnSnBaseNode*) {
            const Entered& e = entered.back();
            if (e.listed) {
                placeOfNumber[size_t(e.number)] = int(listing.contexts.size());
                listing.contexts.push_back(e.listed);
                listing.nodes.push_back(e.node);
                listing.producerRanges.push_back(e.producers);
            }
            entered.pop_back();
        },
        [&](int number) {
            if (size_t(number) == placeOfNumber.size())
                placeOfNumber.push_back(-1);
            if (!entered.empty())
                listing.producerPlaces[entered.back().nextProducer++] = number;
            lastMet = number;
        });
    for (int& p : listing.producerPlaces)
        p = p >= 0 ? placeOfNumber[size_t(p)] : -1;
    if (types.size() == 1) {
        VrnSnGlslNodeAliases& fragmentAliases = aliases[VrnShaderType::Fragment];
        QList<VrnSnBaseGlslContext*>& fragmentContexts = contexts[VrnShaderType::Fragment];
        fragmentContexts.reserve(fragmentContexts.size() + int(listing.contexts.size()));
        for (VrnSnBaseGlslContext* c : listing.contexts)
            fragmentContexts.append(c);
        // What the walk found serves the records only where the aliases are all its own.
        const bool keep = fragmentAliases.isEmpty();
        if (keep)
            fragmentAliases = std::move(passThroughs);
        else
            fragmentAliases.addAliases(passThroughs);
        listing.aliases = &fragmentAliases;
        listing.aliasesStamp = fragmentAliases.stamp();
        listing.graphStamp = graphStamp;
        listing.made = keep;
        return;
    }
    listing.forget();
    for (unsigned t : types)
        buildShaderContextList(manager, shadingContext, start->context(), t, aliases[t], contexts[t]);
}

bool VrnSnBaseGlslCodeGenerator::nodeReadsCache(VrnSnBaseNode* node, VrnShadingContext*)
{
    // The node's own test covers completeness, so every style reads all outputs or none.
    return node && node->cacheEnabled() && node->hasValidCache();
}

bool VrnSnBaseGlslCodeGenerator::nodeReadsBakedChannel(VrnSnBaseNode* node, VrnShadingContext* shadingContext)
{
    VrnSnBakePointNode* bakePoint = VrnShaderNetworkUtils::asTrueBakePointNode(node);
    if (!bakePoint || !bakePoint->shouldUseBakedResult())
        return false;
    const QString channelName = node->userAttribute(QStringLiteral("Channel")).toString();
    return !shadingContext || shadingContext->channel(shadingContext->getCurrentUvChannel(), channelName);
}

void VrnSnBaseGlslCodeGenerator::buildContextInfo(VrnSvtShadingContext* shadingContext, VrnSnGlslNodeAliases& aliases,
                                                  QList<VrnSnBaseGlslContext*>& contexts, VrnSnGlslContextInfoMap& info)
{
    contextInfoInto(shadingContext, aliases, contexts, info, nullptr);
}

void VrnSnBaseGlslCodeGenerator::contextInfoInto(VrnSvtShadingContext* shadingContext, VrnSnGlslNodeAliases& aliases,
                                                 QList<VrnSnBaseGlslContext*>& contexts, VrnSnGlslContextInfoMap& info,
                                                 VrnSnGlslRecordPlaces* places)
{
    // Worked out on the listed nodes by number (their first place in the
    // list), then written into the map once per context.
    struct Listed
    {
        VrnSnBaseNode* node;
        VrnSnBaseGlslContext* context; // the node's own, whose record decides
        bool container = false;
        bool readsCache = false;
        bool readsBakedChannel = false;
        int owner = -1; // the container that evaluates it; -1: the main body
        int depth = 0;  // containers above it, itself included
    };
    // The list just made by this thread's walk names each context's node and producers.
    const FragmentListing& listing = threadListing();
    const bool walked = listing.describes(contexts, aliases);
    std::vector<Listed> listed;
    listed.reserve(size_t(contexts.size()));
    VrnAddressNumbers number{walked ? 0 : size_t(contexts.size())};
    std::vector<int> place(size_t(contexts.size()), -1);
    for (int i = 0; i < contexts.size(); ++i) {
        VrnSnBaseGlslContext* c = contexts.at(i);
        if (walked) {
            // Every node once, each with its own context.
            listed.push_back(Listed{listing.nodes[size_t(i)], c});
            place[size_t(i)] = i;
            continue;
        }
        VrnSnBaseNode* n = c ? c->parentNode() : nullptr;
        if (!n)
            continue;
        if (number.insert(n, int(listed.size())))
            listed.push_back(Listed{n, n->context()});
        place[size_t(i)] = number.numberOf(n);
    }
    // Records of the listed contexts, and of any other context a step below
    // looks at; by place when the list is the walk's.
    Records records = walked ? Records(contexts) : Records(contexts.size());
    const VrnReadAhead ahead(contexts);
    for (int i = 0; i < contexts.size(); ++i) {
        ahead.reach(i);
        if (place[size_t(i)] < 0)
            continue;
        Listed& l = listed[size_t(place[size_t(i)])];
        VrnSnBaseNode* node = l.node; // the context's parent, found above
        l.container = node->kind().container; // read while the node is near
        VrnSnGlslCodeGeneratorContextInfo& record = records.of(contexts.at(i), i);
        record.readsCache = nodeReadsCache(node, shadingContext);
        record.readsBakedChannel = !record.readsCache && nodeReadsBakedChannel(node, shadingContext);
    }
    for (size_t k = 0; k < listed.size(); ++k) {
        Listed& l = listed[k];
        const VrnSnGlslCodeGeneratorContextInfo& record = records.of(l.context, int(k));
        l.readsCache = record.readsCache;
        l.readsBakedChannel = record.readsBakedChannel;
    }
    // Who reads each listed node. A node whose outputs are read from a channel
    // does not evaluate its producers.
    struct Read
    {
        int producer;
        int consumer;
    };
    std::vector<Read> reads;
    reads.reserve(listed.size() * 2);
    NodeList producers;
    for (int i = 0; i < contexts.size(); ++i) {
        const int consumer = place[size_t(i)];
        if (consumer < 0)
            continue;
        const Listed& l = listed[size_t(consumer)];
        if (l.readsCache || l.readsBakedChannel)
            continue;
        if (walked) {
            const FragmentListing::Range range = listing.producerRanges[size_t(i)];
            for (size_t k = range.first; k < range.second; ++k)
                if (listing.producerPlaces[k] >= 0)
                    reads.push_back({listing.producerPlaces[k], consumer});
            continue;
        }
        producersOf(l.node, &aliases, nullptr, producers);
        for (VrnSnBaseNode* p : producers) {
            const int producer = number.numberOf(p);
            if (producer >= 0)
                reads.push_back({producer, consumer});
        }
    }
    // The consumers of listed node k, in the order found: consumers[firstConsumer[k]] up to
    // consumers[firstConsumer[k + 1]]; one array for all, instead of one per node.
    std::vector<int> firstConsumer(listed.size() + 1, 0);
    for (const Read& r : reads)
        ++firstConsumer[size_t(r.producer) + 1];
    for (size_t k = 1; k < firstConsumer.size(); ++k)
        firstConsumer[k] += firstConsumer[k - 1];
    std::vector<int> consumers(reads.size());
    {
        std::vector<int> next(firstConsumer.begin(), firstConsumer.end() - 1);
        for (const Read& r : reads)
            consumers[size_t(next[size_t(r.producer)]++)] = r.consumer;
    }
    // The container that evaluates each node. A node belongs to the innermost
    // container that every one of its consumers is inside of; consumers come
    // before producers when the list is walked backwards, so each node is
    // decided once, after all its readers. The root (last) is never inside one.
    auto commonOwner = [&listed](int a, int b) {
        while (a >= 0 && b >= 0 && a != b) {
            if (listed[size_t(a)].depth >= listed[size_t(b)].depth)
                a = listed[size_t(a)].owner;
            else
                b = listed[size_t(b)].owner;
        }
        return a == b ? a : -1;
    };
    int root = -1;
    for (int i = contexts.size() - 1; i >= 0 && root < 0; --i)
        root = place[size_t(i)];
    for (int i = contexts.size() - 1; i >= 0; --i) {
        const int n = place[size_t(i)];
        if (n < 0 || n == root)
            continue;
        Listed& l = listed[size_t(n)];
        int decided = -1;
        bool first = true;
        for (int k = firstConsumer[size_t(n)]; k < firstConsumer[size_t(n) + 1]; ++k) {
            const int consumer = consumers[size_t(k)];
            const Listed& c = listed[size_t(consumer)];
            const bool evaluatesInside = c.container && !c.readsCache && !c.readsBakedChannel;
            const int inside = evaluatesInside ? consumer : c.owner;
            decided = first ? inside : commonOwner(decided, inside);
            first = false;
            if (decided < 0)
                break;
        }
        l.owner = decided;
        l.depth = decided < 0 ? 1 : listed[size_t(decided)].depth + 1;
    }
    for (int i = 0; i < contexts.size(); ++i) {
        const int n = place[size_t(i)];
        if (n < 0 || listed[size_t(n)].owner < 0)
            continue;
        const int owner = listed[size_t(n)].owner;
        VrnSnGlslCodeGeneratorContextInfo& record = records.of(listed[size_t(owner)].context, owner);
        record.nestedContexts.append(contexts.at(i));
        record.hasNestedContexts = true;
    }
    records.writeInto(info, places);
}

VrnSnGlslContextInfoMap VrnSnBaseGlslCodeGenerator::buildContextInfo(VrnSvtShadingContext* shadingContext, VrnSnGlslNodeAliases* aliases,
                                                                     QList<VrnSnBaseGlslContext*>& contexts)
{
    VrnSnGlslContextInfoMap info;
    VrnSnGlslNodeAliases none;
    contextInfoInto(shadingContext, aliases ? *aliases : none, contexts, info, nullptr);
    return info;
}

VrnSnGlslContextInfoMap VrnSnBaseGlslCodeGenerator::buildContextInfo(VrnSvtShadingContext* shadingContext, VrnSnGlslNodeAliases* aliases,
                                                                     QList<VrnSnBaseGlslContext*>& contexts, VrnSnGlslRecordPlaces& places)
{
    VrnSnGlslContextInfoMap info;
    VrnSnGlslNodeAliases none;
    contextInfoInto(shadingContext, aliases ? *aliases : none, contexts, info, &places);
    return info; // moved or made in place: the map keeps the nodes the places point into
}

QList<VrnSnBaseGlslContext*> VrnSnBaseGlslCodeGenerator::filterConextList_Remove(const QList<VrnSnBaseGlslContext*>& list,
                                                                                 const QSet<VrnSnBaseGlslContext*>& remove)
{
    QList<VrnSnBaseGlslContext*> kept;
    for (VrnSnBaseGlslContext* c : list)
        if (!remove.contains(c))
            kept.append(c);
    return kept;
}

void VrnSnBaseGlslCodeGenerator::topologicalSortUsedContextTo(VrnSnBaseGlslContext* context, QList<VrnSnBaseNode*>& nodes,
                                                              QList<VrnSnBaseGlslContext*>& contexts,
                                                              VrnSnGlslNodeAliases* aliases, unsigned shaderType,
                                                              bool stopAtCaches)
{
    VrnSnBaseNode* start = context ? context->parentNode() : nullptr;
    const QList<VrnSnBaseNode*> order = upstreamOrder(start, [&](VrnSnBaseNode* n, NodeList& found) {
        if (stopAtCaches && n != start) {
            VrnShadingContext* sc = n->network() ? n->network()->shadingContext() : nullptr;
            if (nodeReadsCache(n, sc) || nodeReadsBakedChannel(n, sc)) {
                found.clear();
                return;
            }
        }
        producersOf(n, aliases, nullptr, found);
    });
    for (VrnSnBaseNode* n : order) {
        if (n->kind().alias)
            continue;
        nodes.append(n);
        VrnSnBaseGlslContext* c = n->context();
        if (c && runsIn(n, shaderType))
            contexts.append(c);
    }
}

const char* VrnSnBaseGlslCodeGenerator::getShaderTypePrefix(unsigned shaderType)
{
    switch (shaderType) {
    case VrnShaderType::Fragment: return "Fragment";
    case VrnShaderType::TessEvaluation: return "TessEvaluation";
    case VrnShaderType::TessControl: return "TessControl";
    default: return nullptr;
    }
}

const char* VrnSnBaseGlslCodeGenerator::getShaderTypeStateType(unsigned shaderType)
{
    switch (shaderType) {
    case VrnShaderType::Fragment: return "FragmentState";
    case VrnShaderType::TessEvaluation: return "TessEvaluationState";
    case VrnShaderType::TessControl: return "TessControlState";
    default: return nullptr;
    }
}

const char* VrnSnBaseGlslCodeGenerator::getShaderTypeSystemStateType(unsigned shaderType)
{
    switch (shaderType) {
    case VrnShaderType::Fragment: return "FragmentSystemState";
    case VrnShaderType::TessEvaluation: return "TessEvaluationSystemState";
    case VrnShaderType::TessControl: return "TessControlSystemState";
    default: return nullptr;
    }
}

const char* VrnSnBaseGlslCodeGenerator::getShaderTypeStateStackType(unsigned shaderType)
{
    switch (shaderType) {
    case VrnShaderType::Fragment: return "FragmentStateStack";
    case VrnShaderType::TessEvaluation: return "TessEvaluationStateStack";
    case VrnShaderType::TessControl: return "TessControlStateStack";
    default: return nullptr;
    }
}
