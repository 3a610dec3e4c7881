#include "VrnSnBaseGlslCodeGenerator.h"

#include "VrnAttributeValues.h"
#include "VrnShaderNetwork.h"
#include "VrnShadingContext.h"
#include "VrnShaderNetworkUtils.h"
#include "VrnSnBaseGlslContext.h"
#include "VrnSnBaseNode.h"

#include <functional>
#include <vector>

namespace {
using Point = VrnSnBaseNode::ConnectionPoint;
using ProducersFn = std::function<QList<VrnSnBaseNode*>(VrnSnBaseNode*)>;

bool runsIn(const VrnSnBaseNode* node, unsigned shaderType)
{
    const unsigned t = node->kind().shaderType;
    return shaderType == VrnShaderType::AllStages || t == VrnShaderType::AllStages || t == shaderType;
}

// The nodes that feed the node's inputs, pass-through nodes followed. Alias
// entries for the pass-through points met are added to record when given. In
// a shader type, a producer of another stage supplies nothing: its consumers
// read their default input there (the alias points to no node).
QList<VrnSnBaseNode*> producersOf(VrnSnBaseNode* node, const VrnSnGlslNodeAliases* aliases, VrnSnGlslNodeAliases* record,
                                  unsigned shaderType = VrnShaderType::AllStages)
{
    QList<VrnSnBaseNode*> producers;
    for (int input = 0; input < node->inputCount(); ++input) {
        const Point& connected = node->inputConnectionAt(input);
        if (!connected.node)
            continue;
        Point supplied = VrnSnGlslNodeAliases::resolve(aliases ? aliases->getAlias(connected) : connected);
        const bool otherStage = supplied.node && !runsIn(supplied.node.data(), shaderType);
        if (otherStage)
            supplied = Point();
        if (record && (connected.node->kind().alias || otherStage))
            record->addAlias(connected, supplied);
        if (supplied.node && !producers.contains(supplied.node.data()))
            producers.append(supplied.node.data());
    }
    return producers;
}

// Every node upstream of start, each once, producers before consumers and start
// last. Iterative, so that long chains cannot exhaust the stack; a cycle is cut
// where it closes.
QList<VrnSnBaseNode*> upstreamOrder(VrnSnBaseNode* start, const ProducersFn& producers)
{
    QList<VrnSnBaseNode*> order;
    if (!start)
        return order;
    struct Frame
    {
        VrnSnBaseNode* node;
        QList<VrnSnBaseNode*> next;
        int index;
    };
    QSet<VrnSnBaseNode*> seen{start};
    std::vector<Frame> stack;
    stack.push_back(Frame{start, producers(start), 0});
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.index < top.next.size()) {
            VrnSnBaseNode* n = top.next.at(top.index++);
            if (seen.contains(n))
                continue;
            seen.insert(n);
            stack.push_back(Frame{n, producers(n), 0});
            continue;
        }
        order.append(top.node);
        stack.pop_back();
    }
    return order;
}

bool belongsToType(VrnSnBaseGlslContext* context, unsigned shaderType)
{
    return context->parentNode() && runsIn(context->parentNode(), shaderType);
}
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
    const QList<VrnSnBaseNode*> order =
        upstreamOrder(root, [&aliases, shaderType](VrnSnBaseNode* n) { return producersOf(n, nullptr, &aliases, shaderType); });
    for (VrnSnBaseNode* n : order) {
        VrnSnBaseGlslContext* c = n->context();
        if (c && !n->kind().alias && belongsToType(c, shaderType))
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
    // The fragment stage is always built; a tessellation stage when a node of it is upstream.
    QList<unsigned> types{VrnShaderType::Fragment};
    for (VrnSnBaseNode* n : upstreamOrder(start, [](VrnSnBaseNode* n) { return producersOf(n, nullptr, nullptr); })) {
        const unsigned t = n->kind().shaderType;
        if (t != VrnShaderType::AllStages && !types.contains(t))
            types.append(t);
    }
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
    QSet<VrnSnBaseNode*> inList;
    VrnSnBaseNode* root = nullptr;
    for (VrnSnBaseGlslContext* c : contexts) {
        if (!c || !c->parentNode())
            continue;
        inList.insert(c->parentNode());
        root = c->parentNode(); // the list ends with the root
        VrnSnGlslCodeGeneratorContextInfo& record = info[c];
        record.readsCache = nodeReadsCache(c->parentNode(), shadingContext);
        record.readsBakedChannel = !record.readsCache && nodeReadsBakedChannel(c->parentNode(), shadingContext);
    }
    // A node whose outputs are read from a channel does not evaluate its producers.
    auto producers = [&](VrnSnBaseNode* n) {
        VrnSnBaseGlslContext* c = n->context();
        if (c && info.contains(c) && (info[c].readsCache || info[c].readsBakedChannel))
            return QList<VrnSnBaseNode*>();
        return producersOf(n, &aliases, nullptr);
    };
    auto evaluatesInside = [&](VrnSnBaseNode* n) {
        const VrnSnGlslCodeGeneratorContextInfo& record = info[n->context()];
        return n->kind().container && !record.readsCache && !record.readsBakedChannel;
    };
    // Who reads each listed node.
    QHash<VrnSnBaseNode*, QList<VrnSnBaseNode*>> consumers;
    for (VrnSnBaseGlslContext* c : contexts)
        if (c && c->parentNode())
            for (VrnSnBaseNode* p : producers(c->parentNode()))
                if (inList.contains(p))
                    consumers[p].append(c->parentNode());
    // The container that evaluates each node (null: the main body). A node
    // belongs to the innermost container that every one of its consumers is
    // inside of; consumers come before producers when the list is walked
    // backwards, so each node is decided once, after all its readers.
    QHash<VrnSnBaseNode*, VrnSnBaseNode*> owner;
    auto commonOwner = [&owner](VrnSnBaseNode* a, VrnSnBaseNode* b) -> VrnSnBaseNode* {
        QSet<VrnSnBaseNode*> chain;
        for (VrnSnBaseNode* x = a; x; x = owner.value(x))
            chain.insert(x);
        for (VrnSnBaseNode* y = b; y; y = owner.value(y))
            if (chain.contains(y))
                return y;
        return nullptr;
    };
    for (int i = contexts.size() - 1; i >= 0; --i) {
        VrnSnBaseNode* n = contexts.at(i) ? contexts.at(i)->parentNode() : nullptr;
        if (!n || n == root)
            continue;
        VrnSnBaseNode* decided = nullptr;
        bool first = true;
        for (VrnSnBaseNode* consumer : consumers.value(n)) {
            VrnSnBaseNode* inside = evaluatesInside(consumer) ? consumer : owner.value(consumer);
            decided = first ? inside : commonOwner(decided, inside);
            first = false;
            if (!decided)
                break;
        }
        owner.insert(n, decided);
    }
    for (VrnSnBaseGlslContext* c : contexts) {
        VrnSnBaseNode* container = c && c->parentNode() ? owner.value(c->parentNode()) : nullptr;
        if (!container)
            continue;
        VrnSnGlslCodeGeneratorContextInfo& record = info[container->context()];
        record.nestedContexts.append(c);
        record.hasNestedContexts = true;
    }
}

VrnSnGlslContextInfoMap VrnSnBaseGlslCodeGenerator::buildContextInfo(VrnSvtShadingContext* shadingContext, VrnSnGlslNodeAliases* aliases,
                                                                     QList<VrnSnBaseGlslContext*>& contexts)
{
    VrnSnGlslContextInfoMap info;
    VrnSnGlslNodeAliases none;
    buildContextInfo(shadingContext, aliases ? *aliases : none, contexts, info);
    return info;
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
    const QList<VrnSnBaseNode*> order = upstreamOrder(start, [&](VrnSnBaseNode* n) {
        if (stopAtCaches && n != start) {
            VrnShadingContext* sc = n->network() ? n->network()->shadingContext() : nullptr;
            if (nodeReadsCache(n, sc) || nodeReadsBakedChannel(n, sc))
                return QList<VrnSnBaseNode*>();
        }
        return producersOf(n, aliases, nullptr);
    });
    for (VrnSnBaseNode* n : order) {
        if (n->kind().alias)
            continue;
        nodes.append(n);
        VrnSnBaseGlslContext* c = n->context();
        if (c && belongsToType(c, shaderType))
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
