// The host stand-in: how a node's expression becomes shader code, and how the
// generator base orders and classifies the contexts of a network.

#include "VrnAddressNumbers.h"
#include "VrnChainedArg.h"
#include "VrnTemplatePieces.h"
#include "VrnFlatHash.h"
#include "VrnGlslTokenPlan.h"
#include "VrnObjectArena.h"
#include "VrnRandomNetwork.h"
#include "VrnReusedText.h"
#include "VrnTestSupport.h"

#include <QCoreApplication>
#include <QJsonDocument>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace {
using VrnTest::kind;

QString ids(const QList<VrnSnBaseGlslContext*>& contexts)
{
    QStringList result;
    for (VrnSnBaseGlslContext* c : contexts)
        result.append(c->id());
    return result.join(QLatin1Char(' '));
}

VrnSnNodeKindPtr withFlags(VrnSnNodeKindPtr base, bool alias, bool container, unsigned shaderType = 0)
{
    auto* k = new VrnSnNodeKind(*base);
    k->alias = alias;
    k->container = container;
    k->shaderType = shaderType;
    return VrnSnNodeKindPtr(k);
}

// The host alone: no plug-in is loaded for these.
struct Fixture : VrnTest::NetworkTest
{
    void SetUp() override {}
    VrnSnNodeKindPtr source = kind(QStringLiteral("Source"), {}, {QStringLiteral("Output")}, QStringLiteral("Output = vec4(1.0);"));
    VrnSnNodeKindPtr binary = kind(QStringLiteral("Binary"), {QStringLiteral("A=vec4(0.5)"), QStringLiteral("B")},
                                   {QStringLiteral("Output")}, QStringLiteral("Output = #A + #B;"));
    VrnSnNodeKindPtr sink = kind(QStringLiteral("Sink"), {QStringLiteral("Input")}, {}, QStringLiteral("VrnResult = #Input;"));

    static void wire(VrnSnBaseNode* from, VrnSnBaseNode* to, const QString& input)
    {
        ASSERT_TRUE(to->connectInput(input, from, QStringLiteral("Output")));
    }
    QMap<unsigned, QList<VrnSnBaseGlslContext*>> contextsOf(VrnSnBaseNode* root, QMap<unsigned, VrnSnGlslNodeAliases>* aliasesOut = nullptr)
    {
        VrnSnBaseGlslCodeGenerator generator;
        QMap<unsigned, VrnSnGlslNodeAliases> aliases;
        QMap<unsigned, QList<VrnSnBaseGlslContext*>> contexts;
        generator.buildContextsList(nullptr, nullptr, aliases, contexts, root);
        if (aliasesOut)
            *aliasesOut = aliases;
        return contexts;
    }
};
} // namespace

TEST_F(Fixture, DeclarationsFollowParameterTypes)
{
    const QList<VrnCustomAttribute> params{
        VrnCustomAttribute(QStringLiteral("F"), 1.0),
        VrnCustomAttribute(QStringLiteral("B"), true),
        VrnCustomAttribute(QStringLiteral("V"), QVariant::fromValue(Vector3f(1, 2, 3))),
        VrnCustomAttribute(QStringLiteral("C"), QVariant::fromValue(VrnColor(1, 0, 0, 1))),
        VrnCustomAttribute(QStringLiteral("Mode"), QVariant::fromValue(VrnUserEnum({QStringLiteral("a")}, 0))),
        VrnCustomAttribute(QStringLiteral("Blend"), QVariant::fromValue(VrnUserEnum({QStringLiteral("a")}, 0, true))),
        VrnCustomAttribute(QStringLiteral("Xf"), QVariant::fromValue(VrnLocatorList(QStringLiteral("mat4x4"), {}))),
        VrnCustomAttribute(QStringLiteral("Tex"), QVariant::fromValue(VrnChannelId(QStringLiteral("Base")))),
    };
    VrnSnBaseNode* n = add(kind(QStringLiteral("Typed"), {}, {QStringLiteral("Output")}, QString(), params), QStringLiteral("N"));
    VrnTest::expectText(n->context()->shaderDeclarationCode());
    EXPECT_EQ(n->context()->uniformName(QStringLiteral("Tex"), n), QStringLiteral("N_Tex.ChannelValues"));

    // A channel id is a channel under any name; a name or a list of names only as "Channel".
    const QVariant name(QStringLiteral("Base"));
    const QVariant names = QVariant::fromValue(VrnStringList({QStringLiteral("Base")}));
    const struct { const char* attribute; QVariant value; bool channel; } rows[] = {
        {"Tex", params.last().value(), true}, {"Channel", name, true}, {"Channel", names, true},
        {"Label", name, false}, {"Label", names, false}, {"Channel", QVariant(1.0), false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(VrnSnBaseGlslContext::isChannelParameter(QLatin1String(row.attribute), row.value), row.channel) << row.attribute;
}

TEST_F(Fixture, ContextsAreListedProducersFirstEachOnceRootLast)
{
    // S feeds both inputs of M through two paths: S -> P(alias) -> M.A and S -> M.B.
    VrnSnBaseNode* s = add(source, QStringLiteral("S"));
    VrnSnBaseNode* p = add(withFlags(kind(QStringLiteral("Pass"), {QStringLiteral("Input")}, {QStringLiteral("Output")}, QStringLiteral("Output = #Input;")), true, false), QStringLiteral("P"));
    VrnSnBaseNode* m = add(binary, QStringLiteral("M"));
    VrnSnBaseNode* out = add(sink, QStringLiteral("Out"));
    wire(s, p, QStringLiteral("Input"));
    wire(p, m, QStringLiteral("A"));
    wire(s, m, QStringLiteral("B"));
    wire(m, out, QStringLiteral("Input"));

    QMap<unsigned, VrnSnGlslNodeAliases> aliases;
    const auto contexts = contextsOf(out, &aliases);
    ASSERT_EQ(contexts.keys(), QList<unsigned>{35632u});
    EXPECT_EQ(ids(contexts.value(35632)), QStringLiteral("S M Out"));
    // The pass-through's output reads as the producer's.
    const VrnSnGlslNodeAliases::Point resolved = aliases[35632].getAlias(m->inputConnection(QStringLiteral("A")));
    EXPECT_EQ(resolved.node.data(), s);
    EXPECT_EQ(resolved.name, QStringLiteral("Output"));
    EXPECT_TRUE(aliases[35632].containsAlias(m->inputConnection(QStringLiteral("A"))));
    EXPECT_FALSE(aliases[35632].containsAlias(m->inputConnection(QStringLiteral("B")))) << "only pass-through points have aliases";
    EXPECT_EQ(m->context()->shaderBodyCode(35632, &aliases[35632], nullptr), QStringLiteral("Output = SOutput + SOutput;"));
}

TEST_F(Fixture, StageSpecificNodesOpenTheirShaderType)
{
    VrnSnBaseNode* s = add(source, QStringLiteral("S"));
    VrnSnBaseNode* t = add(withFlags(binary, false, false, 36488), QStringLiteral("T"));
    VrnSnBaseNode* out = add(sink, QStringLiteral("Out"));
    wire(s, t, QStringLiteral("A"));
    wire(t, out, QStringLiteral("Input"));
    const auto contexts = contextsOf(out);
    EXPECT_EQ(contexts.keys(), (QList<unsigned>{35632u, 36488u}));
    // In the fragment stage the tessellation node supplies nothing: Out reads its default.
    EXPECT_EQ(ids(contexts.value(35632)), QStringLiteral("Out"));
    EXPECT_EQ(ids(contexts.value(36488)), QStringLiteral("S T Out"));
    QMap<unsigned, VrnSnGlslNodeAliases> aliases;
    contextsOf(out, &aliases);
    EXPECT_TRUE(aliases[35632].getAlias(out->inputConnection(QStringLiteral("Input"))).node.isNull());
    EXPECT_EQ(out->context()->shaderBodyCode(35632, &aliases[35632], nullptr), QStringLiteral("VrnResult = (vec4(0.0,0.0,0.0,0.0));"));
    EXPECT_EQ(out->context()->shaderBodyCode(36488, &aliases[36488], nullptr), QStringLiteral("VrnResult = TOutput;"));
}

TEST_F(Fixture, CyclesAndLongChainsTerminate)
{
    VrnSnBaseNode* a = add(binary, QStringLiteral("A"));
    VrnSnBaseNode* b = add(binary, QStringLiteral("B"));
    wire(a, b, QStringLiteral("A"));
    wire(b, a, QStringLiteral("A"));
    VrnSnBaseNode* out = add(sink, QStringLiteral("Out"));
    wire(b, out, QStringLiteral("Input"));
    EXPECT_EQ(ids(contextsOf(out).value(35632)), QStringLiteral("A B Out"));

    // Deep enough to overflow a recursive walk.
    VrnSnBaseNode* previous = add(source, QStringLiteral("C0"));
    for (int i = 1; i < 20000; ++i) {
        VrnSnBaseNode* next = add(binary, QStringLiteral("C%1").arg(i));
        wire(previous, next, QStringLiteral("A"));
        previous = next;
    }
    EXPECT_EQ(contextsOf(previous).value(35632).size(), 20000);
}

TEST_F(Fixture, PassThroughChainsResolveToTheirSourceAndLoopsToNothing)
{
    const VrnSnNodeKindPtr pass =
        withFlags(kind(QStringLiteral("Pass"), {QStringLiteral("Input")}, {QStringLiteral("Output")}, QStringLiteral("Output = #Input;")), true, false);
    // A chain of pass-through nodes read from its first; each reads the next.
    // With a loop, the first `tail` nodes lead into a loop of the others.
    const struct { int tail; int loop; int free; bool sourceDeleted; } rows[] = {
        {0, 1, 0, false}, {0, 2, 0, false}, {1, 3, 0, false}, {3, 5, 0, false}, {2, 9, 0, false},
        {0, 0, 1, false}, {0, 0, 13, false}, {0, 0, 2, true},
    };
    int row = 0;
    for (const auto& r : rows) {
        const int count = r.tail + r.loop + r.free;
        VrnSnBaseNode* source = add(this->source, QStringLiteral("S%1").arg(row));
        QList<VrnSnBaseNode*> chain;
        for (int i = 0; i < count; ++i)
            chain.append(add(pass, QStringLiteral("P%1_%2").arg(row).arg(i)));
        for (int i = 0; i + 1 < count; ++i)
            wire(chain[i + 1], chain[i], QStringLiteral("Input"));
        wire(r.loop > 0 ? chain[r.tail] : source, chain.last(), QStringLiteral("Input"));
        if (r.sourceDeleted)
            delete source;
        const VrnSnGlslNodeAliases::Point supplied = VrnSnGlslNodeAliases::resolve(chain.first()->outputPoint(QStringLiteral("Output")));
        EXPECT_EQ(supplied.node.data(), r.loop > 0 || r.sourceDeleted ? nullptr : source) << "row " << row;
        ++row;
    }
}

TEST_F(Fixture, ContextInfoReadsCachesOnlyWhenTheirChannelsExist)
{
    VrnSnBaseNode* s = add(source, QStringLiteral("S"));
    VrnSnBaseNode* out = add(sink, QStringLiteral("Out"));
    wire(s, out, QStringLiteral("Input"));
    s->setCacheEnabled(true);
    s->setCacheValid(true);
    s->setCacheActive(2);
    const QString cacheName = s->cacheAttributeName(QStringLiteral("Output"));
    s->createUserAttribute(VrnCustomAttribute(cacheName, QVariant::fromValue(VrnChannelId(QStringLiteral("Store")))));

    auto readsCache = [&]() {
        VrnSnBaseGlslCodeGenerator generator;
        VrnSnGlslNodeAliases aliases;
        QList<VrnSnBaseGlslContext*> contexts{s->context(), out->context()};
        VrnSnGlslContextInfoMap info;
        generator.buildContextInfo(qobject_cast<VrnSvtShadingContext*>(net->shadingContext()), aliases, contexts, info);
        return info[s->context()].readsCache;
    };
    EXPECT_FALSE(readsCache()) << "no channel holds the cache yet";
    net->shadingContext()->addChannel(VrnChannel::filled(QStringLiteral("Store"), 1001, 4, 1, 1, 1, 1));
    net->shadingContext()->addChannelAlias(1001, cacheName, QStringLiteral("Store"));
    EXPECT_TRUE(readsCache());
    // Names come sorted, whatever order the tile's table keeps them in.
    for (const char* name : {"Zinc", "Alpha", "Mica", "Beryl"})
        net->shadingContext()->addChannel(VrnChannel::filled(QString::fromLatin1(name), 1001, 1, 0, 0, 0, 1));
    EXPECT_EQ(net->shadingContext()->channelNames(1001), (QStringList{"Alpha", "Beryl", cacheName, "Mica", "Store", "Zinc"}));
    s->setCacheActive(1);
    EXPECT_FALSE(readsCache());
}

TEST_F(Fixture, ContainerNestsOnlyWhatNoOtherPathUses)
{
    // Root <- Mix(A: Box, B: Shared); Box(container) <- Inner(A: Own, B: Shared).
    VrnSnBaseNode* own = add(source, QStringLiteral("Own"));
    VrnSnBaseNode* shared = add(source, QStringLiteral("Shared"));
    VrnSnBaseNode* inner = add(binary, QStringLiteral("Inner"));
    VrnSnBaseNode* box = add(withFlags(binary, false, true), QStringLiteral("Box"));
    VrnSnBaseNode* mix = add(binary, QStringLiteral("Mix"));
    VrnSnBaseNode* out = add(sink, QStringLiteral("Out"));
    wire(own, inner, QStringLiteral("A"));
    wire(shared, inner, QStringLiteral("B"));
    wire(inner, box, QStringLiteral("A"));
    wire(box, mix, QStringLiteral("A"));
    wire(shared, mix, QStringLiteral("B"));
    wire(mix, out, QStringLiteral("Input"));

    // The records follow the graph and the aliases as they are when asked
    // for, whatever changed since the list was made or was there before it.
    VrnSnBaseGlslCodeGenerator generator;
    auto records = [&](const std::function<void(VrnSnGlslNodeAliases&)>& change, bool beforeList = false) {
        QMap<unsigned, VrnSnGlslNodeAliases> aliases;
        QMap<unsigned, QList<VrnSnBaseGlslContext*>> contexts;
        if (beforeList)
            change(aliases[35632]);
        generator.buildContextsList(nullptr, nullptr, aliases, contexts, out);
        if (!beforeList)
            change(aliases[35632]);
        VrnSnGlslContextInfoMap info;
        generator.buildContextInfo(nullptr, aliases[35632], contexts[35632], info);
        return info;
    };
    const VrnSnGlslContextInfoMap info = records([](VrnSnGlslNodeAliases&) {});
    EXPECT_TRUE(info[box->context()].hasNestedContexts);
    EXPECT_EQ(ids(info[box->context()].nestedContexts), QStringLiteral("Own Inner"));
    EXPECT_FALSE(info[mix->context()].hasNestedContexts);
    // An alias of Own's output to nothing: no one reads Own, so it goes to the main body.
    auto unread = [&](VrnSnGlslNodeAliases& a) { a.addAlias(inner->inputConnection(QStringLiteral("A")), {}); };
    EXPECT_EQ(ids(records(unread)[box->context()].nestedContexts), QStringLiteral("Inner")) << "an alias added";
    EXPECT_EQ(ids(records(unread, true)[box->context()].nestedContexts), QStringLiteral("Inner")) << "an alias given";
    auto unwired = [&](VrnSnGlslNodeAliases&) { mix->disconnectInput(QStringLiteral("B")); };
    EXPECT_EQ(ids(records(unwired)[box->context()].nestedContexts), QStringLiteral("Own Shared Inner")) << "a connection removed";
}

TEST_F(Fixture, InputConnectionsCarryTheProducersKey)
{
    VrnSnBaseNode* s = add(kind(QStringLiteral("Two"), {}, {QStringLiteral("X"), QStringLiteral("Y")}, QString()), QStringLiteral("S"));
    VrnSnBaseNode* m = add(binary, QStringLiteral("M"));
    connect(m, "A", s, "X");
    connect(m, "B", s, "Y");
    EXPECT_FALSE(m->connectInput(QStringLiteral("C"), s, QStringLiteral("X")));
    EXPECT_FALSE(m->connectInput(QStringLiteral("A"), s, QStringLiteral("Z")));
    EXPECT_FALSE(m->connectInput(QStringLiteral("A"), nullptr, QStringLiteral("X")));
    EXPECT_EQ(m->inputConnection(QStringLiteral("A")).connectionKey, VrnSnBaseNode::connectionKey(s, QStringLiteral("X")));
    EXPECT_NE(m->inputConnection(QStringLiteral("A")).connectionKey, m->inputConnection(QStringLiteral("B")).connectionKey);
    m->disconnectInput(QStringLiteral("A"));
    EXPECT_TRUE(m->inputConnection(QStringLiteral("A")).node.isNull());
    EXPECT_EQ(m->inputConnection(QStringLiteral("B")).node.data(), s);
    delete s;
    EXPECT_TRUE(m->inputConnection(QStringLiteral("B")).node.isNull()) << "a deleted producer reads as unconnected";
}

TEST_F(Fixture, NestedContainersTakeWhatOnlyTheyUse)
{
    // Out <- Outer(container) <- Mid(container) <- Deep; Both feeds Mid and
    // Outer's B, so it belongs to Outer; Free also feeds Out, so the main body.
    VrnSnNodeKindPtr box = withFlags(binary, false, true);
    VrnSnBaseNode* deep = add(source, QStringLiteral("Deep"));
    VrnSnBaseNode* both = add(source, QStringLiteral("Both"));
    VrnSnBaseNode* free = add(source, QStringLiteral("Free"));
    VrnSnBaseNode* mid = add(box, QStringLiteral("Mid"));
    VrnSnBaseNode* outer = add(box, QStringLiteral("Outer"));
    VrnSnBaseNode* top = add(binary, QStringLiteral("Top"));
    VrnSnBaseNode* out = add(sink, QStringLiteral("Out"));
    wire(deep, mid, QStringLiteral("A"));
    wire(both, mid, QStringLiteral("B"));
    wire(mid, outer, QStringLiteral("A"));
    wire(both, outer, QStringLiteral("B"));
    wire(outer, top, QStringLiteral("A"));
    wire(free, top, QStringLiteral("B"));
    wire(top, out, QStringLiteral("Input"));
    QMap<unsigned, VrnSnGlslNodeAliases> aliases;
    auto contexts = contextsOf(out, &aliases);
    VrnSnBaseGlslCodeGenerator generator;
    VrnSnGlslContextInfoMap info;
    generator.buildContextInfo(nullptr, aliases[35632], contexts[35632], info);
    EXPECT_EQ(ids(info[mid->context()].nestedContexts), QStringLiteral("Deep"));
    EXPECT_EQ(ids(info[outer->context()].nestedContexts), QStringLiteral("Both Mid"));
    EXPECT_TRUE(info[top->context()].nestedContexts.isEmpty());
    EXPECT_EQ(info.size(), contexts[35632].size()) << "one record per listed context";
    EXPECT_TRUE(std::is_sorted(info.keyBegin(), info.keyEnd(), std::less<VrnSnBaseGlslContext*>()));
}

TEST_F(Fixture, TokenPlanWritesWhatTwoPassesWrite)
{
    using Texts = VrnGlslTokenTexts;
    struct Row
    {
        const char* code;
        Texts parameters;
        Texts inputs;
    };
    const Texts twoInputs{{QStringLiteral("In"), QStringLiteral("a.Output")}, {QStringLiteral("Input"), QStringLiteral("b.Output")}};
    const Row rows[] = {
        {"Output = $Scale * #In + $ScaleX;", {{"Scale", "S"}, {"ScaleX", "SX"}}, twoInputs},
        {"x = #Input#In#I $ $S #", {{"S", "1.0"}}, twoInputs},
        {"x = #In$P;", {{"P", "put"}}, twoInputs},            // the token may run on into the parameter's text
        {"x = $P;", {{"P", "#In"}}, twoInputs},                // a parameter's text is searched for inputs
        {"x = #In$P;", {{"P", "1"}}, {{"In", "i"}}},          // no longer input name: the plan holds
        {"$A$B#In", {{"A", "1"}, {"B", "2"}}, {{"In", "i"}}},
        {"##In $$A", {{"A", "1"}}, {{"In", "i"}}},            // a sigil right before a token
        {"no tokens", {}, {}},
        {"$Gone #Gone", {}, {}},
        {"", {{"A", "1"}}, {{"In", "i"}}},
    };
    for (const Row& row : rows) {
        const QString code = QString::fromLatin1(row.code);
        const QString expected = VrnSnBaseGlslContext::replaceTokens(
            VrnSnBaseGlslContext::replaceTokens(code, QLatin1Char('$'), row.parameters), QLatin1Char('#'), row.inputs);
        // Twice: the second call finds the plan the first one made.
        for (int pass = 0; pass < 2; ++pass)
            EXPECT_EQ(VrnGlslTokenPlan::substitute(code, row.parameters, row.inputs, &VrnSnBaseGlslContext::replaceTokens), expected)
                << row.code << " pass " << pass;
    }
    // The same characters with other names make a new plan.
    const QString code = QStringLiteral("$A + #B");
    EXPECT_EQ(VrnGlslTokenPlan::substitute(code, {{QStringLiteral("A"), QStringLiteral("1")}}, {}, &VrnSnBaseGlslContext::replaceTokens),
              QStringLiteral("1 + #B"));
    EXPECT_EQ(VrnGlslTokenPlan::substitute(code, {}, {{QStringLiteral("B"), QStringLiteral("b")}}, &VrnSnBaseGlslContext::replaceTokens),
              QStringLiteral("$A + b"));
    // Texts given out of name order, and a name given twice: its last text counts.
    EXPECT_EQ(VrnGlslTokenPlan::substitute(QStringLiteral("#B #A #B"), {}, {{"B", "b"}, {"A", "a"}, {"B", "bb"}},
                                           &VrnSnBaseGlslContext::replaceTokens),
              QStringLiteral("bb a bb"));
}

// The node hears a context it made leave through Qt's child events, which
// arrive only while an application object exists; without one it asks the
// parent each time. Both ways must give the same answers.
TEST_F(Fixture, NodeAndContextFindEachOtherWhileTheyBelongTogether)
{
    for (const bool withApplication : {false, true}) {
        SCOPED_TRACE(withApplication ? "with an application object" : "without one");
        int argc = 1;
        char name[] = "test";
        char* argv[] = {name, nullptr};
        std::unique_ptr<QCoreApplication> app(withApplication ? new QCoreApplication(argc, argv) : nullptr);
        VrnSnBaseNode* n = add(source, withApplication ? QStringLiteral("A") : QStringLiteral("N"));
        VrnSnBaseGlslContext* first = n->context();
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(first->parentNode(), n);
        auto* second = new VrnSnBaseGlslContext(n);
        EXPECT_EQ(n->context(), first) << "the first context child answers";
        EXPECT_EQ(second->parentNode(), n);

        QObject elsewhere;
        first->setParent(&elsewhere);
        EXPECT_EQ(first->parentNode(), nullptr) << "a context moved away names no node";
        EXPECT_EQ(n->context(), second);
        first->setParent(n);
        EXPECT_EQ(first->parentNode(), n) << "a context moved back names the node again";
        EXPECT_EQ(n->context(), first) << "the context made for the node answers while it is the node's child";

        delete second;
        EXPECT_EQ(n->context(), first);
        auto* orphan = new VrnSnBaseGlslContext(nullptr);
        EXPECT_EQ(orphan->parentNode(), nullptr);
        delete orphan;
        first->setParent(&elsewhere); // it goes with elsewhere, after the node
        delete n; // its contexts go with it and must not write to it
        EXPECT_EQ(first->parentNode(), nullptr);
    }
}

TEST_F(Fixture, ADeletedNodeLeavesTheNetworkAndANodeRefusedForItsIdTakesNothingWithIt)
{
    VrnSnBaseNode* a = add(source, QStringLiteral("A"));
    VrnSnBaseNode* b = add(source, QStringLiteral("B"));
    QString error;
    EXPECT_FALSE(net->addNode(new VrnSnBaseNode(net.get(), source, QStringLiteral("A")), &error));
    EXPECT_EQ(net->node(QStringLiteral("A")), a) << "the refused node keeps the id's owner";
    EXPECT_EQ(net->nodes(), (QList<VrnSnBaseNode*>{a, b}));

    delete a;
    EXPECT_EQ(net->node(QStringLiteral("A")), nullptr);
    EXPECT_EQ(net->nodes(), QList<VrnSnBaseNode*>{b});

    // A node moved to another parent is still the network's until it goes.
    QObject elsewhere;
    b->setParent(&elsewhere);
    EXPECT_EQ(net->node(QStringLiteral("B")), b);
    net.reset(); // b outlives the network and must not tell it when it goes
}

// Nodes and contexts made while an arena is open lie one after another, each
// on a cache line and each kind in blocks of its own; a block goes with its
// last object once the arena has closed; an object made with none open lies
// in no block.
TEST_F(Fixture, AnArenaPlacesNodesAndContextsInTurnAndABlockGoesWithItsLastObject)
{
    const auto bytesApart = [](const void* a, const void* b) { return reinterpret_cast<quintptr>(b) - reinterpret_cast<quintptr>(a); };
    const auto onLines = [](std::size_t bytes) { return quintptr((bytes + 63) / 64 * 64); };
    const int before = VrnObjectArena::blocksHeld();
    std::vector<VrnSnBaseNode*> made;
    {
        const VrnObjectArena arena;
        // Enough to fill several blocks, each object gone before the next: a
        // block stays while objects are placed in it, one left empty goes.
        for (int i = 0; i < 2000; ++i)
            delete add(source, QStringLiteral("Passing"));
        EXPECT_EQ(VrnObjectArena::blocksHeld(), before + 2) << "a block of nodes and one of contexts";
        for (int i = 0; i < 3; ++i)
            made.push_back(add(source, QStringLiteral("N%1").arg(i)));
        EXPECT_EQ(VrnObjectArena::blocksHeld(), before + 2);
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(bytesApart(made[i], made[i + 1]), onLines(sizeof(VrnSnBaseNode)));
            EXPECT_EQ(bytesApart(made[i]->context(), made[i + 1]->context()), onLines(sizeof(VrnSnBaseGlslContext)));
        }
        delete made[0];
        EXPECT_EQ(VrnObjectArena::blocksHeld(), before + 2) << "the arena still places objects in its blocks";
    }
    std::unique_ptr<VrnSnBaseNode> outside(add(source, QStringLiteral("Outside")));
    EXPECT_EQ(VrnObjectArena::blocksHeld(), before + 2);
    delete made[1];
    EXPECT_EQ(VrnObjectArena::blocksHeld(), before + 2);
    delete made[2];
    EXPECT_EQ(VrnObjectArena::blocksHeld(), before) << "each block went with its last object";

    // A loader fills the network in an arena; the network takes its blocks with it.
    VrnTest::plugin();
    VrnRandomNetwork::Options options;
    options.nodes = 300;
    auto loaded = VrnTest::loadNetwork(QJsonDocument(VrnRandomNetwork::generate(options)).toJson(QJsonDocument::Compact));
    ASSERT_NE(loaded, nullptr);
    EXPECT_GT(VrnObjectArena::blocksHeld(), before);
    loaded.reset();
    EXPECT_EQ(VrnObjectArena::blocksHeld(), before);
}

TEST_F(Fixture, TheNodeListTakesAnOrderOnlyWhenItHoldsEveryNodeOnce)
{
    VrnSnBaseNode* a = add(source, QStringLiteral("A"));
    VrnSnBaseNode* b = add(source, QStringLiteral("B"));
    VrnShaderNetwork other(QStringLiteral("Other"));
    VrnSnBaseNode* foreign = other.createNode(source, QStringLiteral("C"));
    const QList<QList<VrnSnBaseNode*>> refused{{a}, {a, a}, {a, foreign}, {b, a, foreign}};
    for (const QList<VrnSnBaseNode*>& order : refused) {
        EXPECT_FALSE(net->setNodeOrder(order)) << order.size();
        EXPECT_EQ(net->nodes(), (QList<VrnSnBaseNode*>{a, b}));
    }
    EXPECT_TRUE(net->setNodeOrder({b, a}));
    EXPECT_EQ(net->nodes(), (QList<VrnSnBaseNode*>{b, a}));
}

TEST(AddressNumbers, AnAddressKeepsItsFirstNumberThroughGrowthAndNullHasAPlaceOfItsOwn)
{
    std::vector<int> objects(100);
    VrnAddressNumbers numbers{0}; // grows several times below
    for (int i = 0; i < 100; ++i)
        ASSERT_TRUE(numbers.insert(&objects[size_t(i)], i));
    EXPECT_FALSE(numbers.insert(&objects[7], 70));
    EXPECT_EQ(numbers.numberOf(&objects[7]), 7);
    EXPECT_EQ(numbers.numberOf(&objects[99]), 99);
    const int other = 0;
    EXPECT_EQ(numbers.numberOf(&other), -1);
    EXPECT_EQ(numbers.numberOf(nullptr), -1);
    EXPECT_TRUE(numbers.insert(nullptr, 5));
    EXPECT_FALSE(numbers.insert(nullptr, 6));
    EXPECT_EQ(numbers.numberOf(nullptr), 5);
}

namespace {
// Keys of one hash: they all lie on one run of the flat table.
struct OneHashKey
{
    int k;
    bool operator==(const OneHashKey& o) const { return k == o.k; }
};
uint qHash(const OneHashKey&, uint = 0)
{
    return 7;
}
} // namespace

TEST(FlatHash, ARemovedKeyIsGoneUntilItComesBackAndKeysPlacedAfterItStayFound)
{
    VrnFlatHash<OneHashKey, int> table;
    for (int k = 0; k < 40; ++k) // grows twice on the way
        table.insert({k}, k);
    EXPECT_TRUE(table.remove({5}));
    EXPECT_FALSE(table.remove({5}));
    EXPECT_EQ(table.find({5}), nullptr);
    EXPECT_EQ(table.value({39}, -1), 39);
    EXPECT_EQ(table.size(), 39);
    table[{5}] += 7; // back, from a default value
    EXPECT_EQ(table.value({5}, -1), 7);
    table.insert({6}, 60);
    EXPECT_EQ(table.value({6}), 60);
    EXPECT_EQ(table.size(), 40);
    table.clear();
    EXPECT_FALSE(table.contains({6}));
    EXPECT_TRUE(table.isEmpty());
}

// A text handed out keeps its characters whatever is written after it; the
// buffer of a text let go is written again, one far too large is not.
TEST(ReusedText, AHeldTextNeverChangesAndALetGoBufferIsWrittenAgain)
{
    auto write = [](const QString& characters) {
        QString& buffer = VrnReusedText::take(VrnReusedText::Body, characters.size());
        buffer += characters;
        return QString(buffer);
    };
    const QString held = write(QStringLiteral("first"));
    QString dropped = write(QStringLiteral("second"));
    EXPECT_EQ(held, QStringLiteral("first"));
    EXPECT_EQ(dropped, QStringLiteral("second"));

    const QChar* const place = dropped.constData();
    dropped = QString();
    const QString third = write(QStringLiteral("third"));
    EXPECT_EQ(third, QStringLiteral("third"));
    EXPECT_EQ(third.constData(), place);
    EXPECT_EQ(held, QStringLiteral("first"));

    QString large = write(QString(9000, QLatin1Char('x')));
    large = QString();
    EXPECT_LT(write(QStringLiteral("small")).capacity(), 1000) << "a small text does not keep a large buffer";
}

// An attribute is found by its text, whether the name asked for shares the
// attribute's characters, shares only their start, or is a copy of its own.
TEST(SerializableObject, FindsAttributesByText)
{
    static const QChar raw[] = {QLatin1Char('a'), QLatin1Char('b'), QLatin1Char('c')};
    const QString ab = QString::fromRawData(raw, 2);
    const QString abc = QString::fromRawData(raw, 3);
    VrnSerializableObject object;
    ASSERT_TRUE(object.createUserAttribute(VrnCustomAttribute(abc, 3)));
    ASSERT_TRUE(object.createUserAttribute(VrnCustomAttribute(ab, 2)));
    const struct
    {
        QString name;
        QVariant value;
    } rows[] = {
        {abc, 3}, {ab, 2}, {QStringLiteral("ab"), 2}, {QString(raw, 3), 3}, {QString(), QVariant()},
        {QString::fromRawData(raw, 1), QVariant()}, {QStringLiteral("abd"), QVariant()},
    };
    for (const auto& row : rows)
        EXPECT_EQ(object.userAttributeValue(row.name), row.value) << row.name.toStdString();
    // Removed by a copy of its name, it goes alone, and only once.
    EXPECT_TRUE(object.removeUserAttribute(QStringLiteral("ab")));
    EXPECT_FALSE(object.removeUserAttribute(ab));
    EXPECT_FALSE(object.exists(ab));
    EXPECT_EQ(object.userAttributeValue(abc), QVariant(3));
    EXPECT_TRUE(object.removeUserAttribute(abc)) << "the first attribute goes as well";
    EXPECT_TRUE(object.userAttributeNames().isEmpty());
}

TEST(SerializableObject, WritesItsUuidAsQUuidDoes)
{
    for (int i = 0; i < 200; ++i) {
        const VrnSerializableObject object;
        ASSERT_EQ(object.uuidString(), object.uuid().toString());
    }
}

// Filled in one pass or call by call, a chain writes what QString::arg writes
// called once per argument, and warns where it warns: markers in inserted
// text, "%L", two-digit and non-Latin digits, adjacent and missing markers.
namespace {
int g_warnings = 0;
}

TEST(ChainedArg, WritesWhatQStringArgWritesCallByCall)
{
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) { ++g_warnings; });
    const QString letters = QStringLiteral("%%%L0129 x") + QChar(0x0663); // ARABIC-INDIC DIGIT THREE
    const QString argumentLetters = QStringLiteral("%1ab2");
    quint32 state = 20261206;
    auto next = [&state](int n) {
        state = state * 1664525u + 1013904223u;
        return int((state >> 8) % quint32(n));
    };
    auto randomText = [&](const QString& from, int length) {
        QString text;
        for (int i = next(length + 1); i > 0; --i)
            text += from.at(next(from.size()));
        return text;
    };
    int onePass = 0;
    for (int round = 0; round < 20000; ++round) {
        const QString text = round % 2 ? randomText(letters, 10) : QStringLiteral("vec4 %1; // '%2' %3 %L4");
        VrnChainedArg chain(text);
        QString expected = text;
        g_warnings = 0;
        for (int k = next(6); k > 0; --k) {
            switch (next(3)) {
            case 0: {
                const QString a = next(4) ? randomText(QStringLiteral("ab12_"), 4) : randomText(argumentLetters, 12);
                chain.arg(a);
                expected = expected.arg(a);
                break;
            }
            case 1:
                chain.arg(QLatin1String("St"));
                expected = expected.arg(QLatin1String("St"));
                break;
            default: {
                const int a = next(4000) - 2000;
                chain.arg(a);
                expected = expected.arg(a);
            }
            }
        }
        const int expectedWarnings = g_warnings;
        g_warnings = 0;
        const QString filled = chain;
        ASSERT_EQ(filled, expected) << text.toStdString();
        ASSERT_EQ(g_warnings, expectedWarnings) << text.toStdString();
        // Appended, to a text that has some or to one that has none.
        QString appended = round % 3 ? QStringLiteral("head ") : QString();
        const QString head = appended;
        chain.appendTo(appended);
        ASSERT_EQ(appended, head + expected) << text.toStdString();
        onePass += chain.fillsInOnePass();

        // A chain of one expression reads its texts where they lie, a joined
        // text part by part.
        const QString a = randomText(QStringLiteral("ab12_"), 12);
        const QString b = randomText(argumentLetters, 12);
        const QString c = randomText(QStringLiteral("ab12_"), 12);
        QString inPlace = head;
        VrnChainedArg(text).arg(a).arg(VrnJoinedText(b, c)).arg(QLatin1String("St")).appendTo(inPlace);
        ASSERT_EQ(inPlace, head + text.arg(a).arg(b + c).arg(QLatin1String("St"))) << text.toStdString();
        // A template made into pieces once and filled with texts.
        QString pieces = head;
        VrnTemplatePieces(text, 2).appendTo(pieces, {VrnJoinedText(b, c), VrnJoinedText(a)});
        ASSERT_EQ(pieces, head + text.arg(b + c).arg(a)) << text.toStdString();
    }
    // A '%' that starts no marker takes the digits of an argument and becomes
    // one: such a template is filled by the chain.
    const QString joining = QStringLiteral("%%1x%2");
    QString joined;
    VrnTemplatePieces(joining, 2).appendTo(joined, {VrnJoinedText(QStringLiteral("2")), VrnJoinedText(QStringLiteral("y"))});
    EXPECT_EQ(joined, joining.arg(QStringLiteral("2")).arg(QStringLiteral("y")));
    qInstallMessageHandler(previous);
    // Both ways are taken often.
    EXPECT_GT(onePass, 5000);
    EXPECT_LT(onePass, 15000);
}
