// The exact text of Styles 2, 3 and 4: node functions behind forward
// declarations, a main body that calls, reads or inlines the nodes, the
// host's cache, bake and nesting decisions, and Style 4's uniform block.

#include "VrnSnGlslContextRecordIndex.h"
#include "VrnTestSupport.h"

#include <memory>
#include <string>

namespace {
using namespace VrnTest;

const unsigned kFragment = VrnShaderType::Fragment;

VrnSnNodeKindPtr variant(const VrnSnNodeKindPtr& base, const std::function<void(VrnSnNodeKind&)>& change)
{
    auto* k = new VrnSnNodeKind(*base);
    change(*k);
    return VrnSnNodeKindPtr(k);
}

struct Styles : VrnTest::NetworkTest
{
    const VrnSnNodeKindPtr source = kind(QStringLiteral("Source"), {}, {QStringLiteral("Output")}, QStringLiteral("Output = vec4(1.0);"));
    const VrnSnNodeKindPtr gained = kind(QStringLiteral("Gained"), {}, {QStringLiteral("Output")}, QStringLiteral("Output = vec4($Gain);"),
                                         {VrnCustomAttribute(QStringLiteral("Gain"), 0.5)});
    const VrnSnNodeKindPtr add2 = kind(QStringLiteral("Add"), {QStringLiteral("A"), QStringLiteral("B")}, {QStringLiteral("Output")},
                                       QStringLiteral("Output = #A + #B;"));
    const VrnSnNodeKindPtr box = variant(kind(QStringLiteral("Box"), {QStringLiteral("A"), QStringLiteral("B")}, {QStringLiteral("Output")},
                                              QStringLiteral("Output = #A * #B;")),
                                         [](VrnSnNodeKind& k) { k.container = true; });
    const VrnSnNodeKindPtr bake = variant(kind(QStringLiteral("Bake"), {QStringLiteral("Input")}, {QStringLiteral("Output")},
                                               QStringLiteral("Output = #Input;"),
                                               {VrnCustomAttribute(QStringLiteral("Channel"), QVariant::fromValue(VrnChannelId(QStringLiteral("Store"))))}),
                                          [](VrnSnNodeKind& k) { k.nodeClass = VrnSnNodeKind::NodeClass::BakePoint; });
    const VrnSnNodeKindPtr terminal = kind(QStringLiteral("Terminal"), {QStringLiteral("Input=vec4(0.0,0.0,0.0,1.0)")}, {},
                                           QStringLiteral("VrnResult = #Input;"));

    Texts generate(int style, QList<VrnSnBaseGlslContext*> contexts, unsigned shaderType = kFragment)
    {
        return NetworkTest::generate(VrnTest::style(style), contexts, shaderType);
    }
    VrnShaderBuildResult build(int style) { return NetworkTest::build(VrnTest::style(style)); }

    // A bake point that reads its baked channel.
    VrnSnBaseNode* bakedPoint(const QString& id)
    {
        VrnSnBaseNode* n = add(bake, id);
        addStoreChannel();
        auto* point = qobject_cast<VrnSnBakePointNode*>(n);
        EXPECT_NE(point, nullptr);
        if (point)
            point->setUseBakedResult(true);
        return n;
    }

    // A node whose context is replaced by one declaring the given text.
    VrnSnBaseNode* declaring(const VrnSnNodeKindPtr& k, const QString& id, const QString& text)
    {
        VrnSnBaseNode* n = add(k, id);
        replaceContext<FixedDeclarationContext>(n, text);
        return n;
    }
};

} // namespace

// --- Style 2: node functions and the main body ---------------------------

// Style 2 calls the node function from the main body; Style 3 repeats the
// node's banner and code there instead.
TEST_F(Styles, NodeFunctionIsForwardDeclaredAndItsHeadStandsOnItsOwnLine)
{
    VrnSnBaseNode* s = add(gained, QStringLiteral("S"), QStringLiteral("Src"));
    VrnSnBaseNode* out = add(terminal, QStringLiteral("Out"));
    connect(out, "Input", s);
    const struct { int style; unsigned shaderType; } rows[] = {{2, VrnShaderType::Fragment}, {2, VrnShaderType::TessControl}, {3, VrnShaderType::Fragment}};
    QString texts; // every row's declarations and body
    for (const auto& row : rows) {
        SCOPED_TRACE(QStringLiteral("Style %1, shader type %2").arg(row.style).arg(row.shaderType).toStdString());
        const Texts t = generate(row.style, {s->context(), out->context()}, row.shaderType);
        texts += t.declarations + t.body;
    }
    VrnTest::expectText(texts);
}

// A list handed to a build may hold a null entry or a context that no node
// owns: the styles that write per-node functions leave them out and write what
// they write without them (Styles 5 and 6 pack into the block of the build
// before when asked type by type, so their texts differ from call to call).
TEST_F(Styles, NullAndOrphanedContextsInTheListAreLeftOut)
{
    VrnSnBaseNode* s = add(gained, QStringLiteral("S"));
    VrnSnBaseNode* out = add(terminal, QStringLiteral("Out"));
    connect(out, "Input", s);
    const std::unique_ptr<VrnSnBaseGlslContext> orphan(new VrnSnBaseGlslContext(nullptr));
    for (int style = 1; style <= 4; ++style) {
        SCOPED_TRACE(style);
        const Texts plain = generate(style, {s->context(), out->context()});
        const Texts withStrays = generate(style, {nullptr, s->context(), orphan.get(), out->context(), nullptr});
        EXPECT_EQ(withStrays.declarations, plain.declarations);
        EXPECT_EQ(withStrays.body, plain.body);
    }
}

TEST_F(Styles, Style2WithoutNodeFunctionsWritesNoHeaders)
{
    VrnSnBaseNode* first = add(terminal, QStringLiteral("First"));
    VrnSnBaseNode* second = add(kind(QStringLiteral("Dim"), {}, {}, QStringLiteral("VrnResult *= 0.5;")), QStringLiteral("Second"));
    const Texts t = generate(2, {first->context(), second->context()});
    VrnTest::expectText(t.declarations);
    VrnTest::expectText(t.body);
}

// Bake mode plays no part in the main body: Style 2 still calls the stub and
// inlines a left-out node that writes no outputs; Style 3 still writes the
// node's code inline, reading the uniform that the stub leaves undeclared.
TEST_F(Styles, NonBakeableStubsAreForwardDeclaredAndCalledInBakeMode)
{
    // outTagged: "Out" is tagged, and its declarations are checked, not only the node's uniform.
    const struct { int style; bool outTagged; } rows[] = {{2, true}, {3, false}};
    VrnTest::ScopedDefines defines({QStringLiteral("NODE_BAKE")});
    QString texts; // Style 2's declarations, and each style's body
    for (const auto& row : rows) {
        SCOPED_TRACE(row.style);
        net.reset(new VrnShaderNetwork(QStringLiteral("Net")));
        VrnSnBaseNode* n = add(gained, QStringLiteral("N"), QStringLiteral("Noise"));
        VrnSnBaseNode* out = add(terminal, QStringLiteral("Out"));
        connect(out, "Input", n);
        n->addTag(QStringLiteral("_notbakeable"));
        if (row.outTagged)
            out->addTag(QStringLiteral("_notbakeable"));
        const Texts t = generate(row.style, {n->context(), out->context()});
        EXPECT_FALSE(t.declarations.contains(QStringLiteral("N_Gain"))) << t.declarations;
        if (row.outTagged)
            texts += t.declarations;
        texts += t.body;
    }
    VrnTest::expectText(texts);
}

TEST_F(Styles, Style2ReadsACachedNodeWithoutCallingItAndCallsOneWithoutOutputPoints)
{
    VrnSnBaseNode* k = add(source, QStringLiteral("K"));
    cache(k);
    auto* e = new RawCacheNode(net.get(), kind(QStringLiteral("Effect"), {}, {}, QStringLiteral("VrnResult = vec4(0.5);")), QStringLiteral("E"));
    ASSERT_TRUE(net->addNode(e));
    e->setCacheEnabled(true);
    e->setCacheValid(true);
    auto* effect = new WritesOutputsContext(e);
    effect->setExpression(e->kind().glsl, false);
    VrnSnBaseNode* out = add(terminal, QStringLiteral("Out"));
    connect(out, "Input", k);

    const Texts t = generate(2, {k->context(), effect, out->context()});
    VrnTest::expectText(t.declarations);
    VrnTest::expectText(t.body);
}

// S feeds only the box, P also feeds the sum: the box evaluates S itself,
// before its own outputs, and S leaves the main body.
TEST_F(Styles, Style2ContainerEvaluatesItsNestedContextsBeforeItsLocalDeclarations)
{
    VrnSnBaseNode* s = add(source, QStringLiteral("S"));
    VrnSnBaseNode* p = add(source, QStringLiteral("P"));
    VrnSnBaseNode* b = add(box, QStringLiteral("B"), QStringLiteral("Box"));
    VrnSnBaseNode* sum = add(add2, QStringLiteral("A"));
    VrnSnBaseNode* out = add(terminal, QStringLiteral("Out"));
    connect(b, "A", s);
    connect(b, "B", p);
    connect(sum, "A", b);
    connect(sum, "B", p);
    connect(out, "Input", sum);

    const Texts t = generate(2, {s->context(), p->context(), b->context(), sum->context(), out->context()});
    VrnTest::expectText(t.declarations + t.body);
}

// --- Baked channels: Style 2 reads them, Style 3 evaluates the node --------

TEST_F(Styles, BakedBakePointIsReadByStyle2AndEvaluatedByStyle3)
{
    VrnSnBaseNode* s = add(source, QStringLiteral("S"));
    VrnSnBaseNode* bk = bakedPoint(QStringLiteral("Bk"));
    VrnSnBaseNode* out = add(terminal, QStringLiteral("Out"));
    connect(bk, "Input", s);
    connect(out, "Input", bk);
    // Style 2's Bkfunc reads the channel, Style 3's evaluates the input.
    QString texts;
    for (int style : {2, 3}) {
        const Texts t = generate(style, {s->context(), bk->context(), out->context()});
        texts += t.declarations + t.body;
    }
    VrnTest::expectText(texts);
}

// --- Style 3: the main body inlines the top-level nodes --------------------

TEST_F(Styles, Style3MainBodyOfCachedNodesIsLookupsWithoutBanners)
{
    VrnSnBaseNode* k1 = add(source, QStringLiteral("K1"));
    VrnSnBaseNode* k2 = add(source, QStringLiteral("K2"));
    cache(k1);
    cache(k2);
    const Texts t = generate(3, {k1->context(), k2->context()});
    VrnTest::expectText(t.body);
    // The functions read the caches too.
    EXPECT_TRUE(t.declarations.contains(QStringLiteral("{\n    K2Output = texture_lookup2(Cache_") + k2->hash()
                                        + QStringLiteral("Output_K2,State,_State);\n}\n")))
        << t.declarations.toStdString();
}

TEST_F(Styles, Style3ContainerSectionStartsWithItsNestedBlock)
{
    VrnSnBaseNode* s = add(source, QStringLiteral("S"));
    VrnSnBaseNode* k = add(source, QStringLiteral("K"));
    cache(k);
    VrnSnBaseNode* b = add(box, QStringLiteral("B"), QStringLiteral("Box"));
    VrnSnBaseNode* out = add(terminal, QStringLiteral("Out"));
    connect(b, "A", s);
    connect(b, "B", k);
    connect(out, "Input", b);
    const Texts t = generate(3, {s->context(), k->context(), b->context(), out->context()});
    // Both producers are the box's own: one is called, the cached one read.
    VrnTest::expectText(t.body);
}

// --- Style 4: one uniform block with the declarations of the whole build ---

TEST_F(Styles, Style4WithoutDeclarationsStillWritesEveryHeaderAndAnEmptyBlock)
{
    VrnSnBaseNode* s = add(source, QStringLiteral("S"));
    VrnSnBaseNode* out = add(terminal, QStringLiteral("Out"));
    connect(out, "Input", s);
    net->setRoot(out);
    const VrnShaderBuildResult result = build(4);
    ASSERT_EQ(result.declarationCodes.keys(), QList<unsigned>{kFragment});
    VrnTest::expectText(result.declarationCodes.value(kFragment));
}

// Lines are split at "\n" with empty parts kept, counted once and sorted;
// sampler cubes go after the block, untrimmed.
TEST_F(Styles, Style4GathersDistinctDeclarationLinesInSortedOrder)
{
    const struct { const char* name; QString first, second; } rows[] = {
        {"nothing declared", QString(), QString()}, {"a trailing newline leaves an empty part", QStringLiteral("uniform float b;\n"), QString()},
        {"empty parts of all contexts collapse", QStringLiteral("uniform float b;\n"), QStringLiteral("uniform float a;\n")},
        {"as many lines as the build before, in another order", QStringLiteral("uniform float a;\n"), QStringLiteral("uniform float b;\n")},
        {"a line of two contexts is written once", QStringLiteral("uniform float b;"), QStringLiteral("uniform float b;")},
        {"sampler cubes apart", QStringLiteral("uniform vec4 z;\nuniform samplerCube Sky;"), QStringLiteral("uniform float a;\n  uniform samplerCube Env;")},
    };
    QString texts;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        net.reset(new VrnShaderNetwork(QStringLiteral("Net")));
        VrnSnBaseNode* out = declaring(terminal, QStringLiteral("Out"), row.second);
        VrnSnBaseNode* s = declaring(source, QStringLiteral("S"), row.first);
        connect(out, "Input", s);
        net->setRoot(out);
        texts += build(4).declarationCodes.value(kFragment);
    }
    VrnTest::expectText(texts);
}

TEST_F(Styles, Style4BlockOfEveryTypeHoldsTheDeclarationsOfTheWholeBuild)
{
    const VrnSnNodeKindPtr lift = variant(kind(QStringLiteral("Lift"), {QStringLiteral("Input")}, {QStringLiteral("Output")},
                                               QStringLiteral("Output = #Input * $Height;"), {VrnCustomAttribute(QStringLiteral("Height"), 0.1)}),
                                          [](VrnSnNodeKind& k) { k.shaderType = VrnShaderType::TessEvaluation; });
    const VrnSnNodeKindPtr displace = variant(terminal, [](VrnSnNodeKind& k) { k.shaderType = VrnShaderType::TessEvaluation; });
    VrnSnBaseNode* s = add(gained, QStringLiteral("S"));
    VrnSnBaseNode* l = add(lift, QStringLiteral("L"));
    VrnSnBaseNode* out = add(displace, QStringLiteral("Out"));
    connect(l, "Input", s);
    connect(out, "Input", l);
    net->setRoot(out);
    const VrnShaderBuildResult result = build(4);
    ASSERT_EQ(result.declarationCodes.keys(), (QList<unsigned>{kFragment, VrnShaderType::TessEvaluation}));
    // S runs in both stages and L in tess-eval only; both blocks hold both, once.
    const QString block = QStringLiteral("uniform ShaderNetworkUniformBlock\n"
                                         "{\n"
                                         "\n"
                                         "uniform float L_Height;\n"
                                         "uniform float S_Gain;};\n");
    for (unsigned type : result.declarationCodes.keys()) {
        SCOPED_TRACE(type);
        const QString declarations = result.declarationCodes.value(type);
        EXPECT_TRUE(declarations.contains(block)) << declarations.toStdString();
        EXPECT_EQ(declarations.count(QStringLiteral("uniform float")), 2);
    }
    EXPECT_FALSE(result.declarationCodes.value(kFragment).contains(QStringLiteral("Lfunc")));
}

TEST_F(Styles, Style4BodyIsStyle2s)
{
    VrnSnBaseNode* s = add(source, QStringLiteral("S"));
    VrnSnBaseNode* k = add(gained, QStringLiteral("K"));
    cache(k);
    VrnSnBaseNode* bk = bakedPoint(QStringLiteral("Bk"));
    VrnSnBaseNode* b = add(box, QStringLiteral("B"));
    VrnSnBaseNode* sum = add(add2, QStringLiteral("A"));
    VrnSnBaseNode* out = add(terminal, QStringLiteral("Out"));
    connect(bk, "Input", s);
    connect(b, "A", bk);
    connect(b, "B", k);
    connect(sum, "A", b);
    connect(sum, "B", k);
    connect(out, "Input", sum);
    net->setRoot(out);
    const QString style2 = build(2).bodyCodes.value(kFragment);
    EXPECT_TRUE(style2.contains(QStringLiteral("Bfunc(State,_State)"))) << style2.toStdString();
    EXPECT_EQ(build(4).bodyCodes.value(kFragment), style2);
}

// The index finds what the map's own lookup finds: the map's record, a default
// one inserted for a context without, and never a record a copy of the map
// changed after the copy detached from it; made from the map, from where its
// records lie, or from places that are not this map's.
TEST(ContextRecordIndex, FindsTheMapsOwnRecords)
{
    auto* a = reinterpret_cast<VrnSnBaseGlslContext*>(quintptr(0x1000));
    auto* b = reinterpret_cast<VrnSnBaseGlslContext*>(quintptr(0x2000));
    auto* late = reinterpret_cast<VrnSnBaseGlslContext*>(quintptr(0x800));
    for (const char* madeFrom : {"the map", "its places", "other places"}) {
        SCOPED_TRACE(madeFrom);
        VrnSnGlslContextInfoMap map;
        map[b].hasNestedContexts = true;
        map[a].readsCache = true;
        VrnSnGlslContextInfoMap other{{a, VrnSnGlslCodeGeneratorContextInfo()}};
        VrnSnGlslRecordPlaces places;
        if (madeFrom != std::string("the map")) // in the order made, not the map's
            places = {{b, a}, {&map[b], &map[a]}};
        if (madeFrom == std::string("other places"))
            places = {{a}, {&other[a]}};
        auto index = madeFrom == std::string("the map") ? std::make_unique<VrnSnGlslContextRecordIndex>(map)
                                                        : std::make_unique<VrnSnGlslContextRecordIndex>(map, std::move(places));
        EXPECT_EQ(&VrnSnGlslContextRecordIndex::recordOf(map, a), &map[a]);
        EXPECT_TRUE(VrnSnGlslContextRecordIndex::recordOf(map, b).hasNestedContexts);
        EXPECT_EQ(&VrnSnGlslContextRecordIndex::recordOf(map, a), &map[a]) << "asked again, out of order";
        EXPECT_FALSE(VrnSnGlslContextRecordIndex::recordOf(other, a).readsCache) << "another map is asked itself";
        EXPECT_EQ(VrnSnGlslContextRecordIndex::findRecord(map, late), nullptr) << "found, not made";
        EXPECT_EQ(VrnSnGlslContextRecordIndex::findRecord(map, b), &map[b]);

        VrnSnGlslContextRecordIndex::recordOf(map, late).readsBakedChannel = true;
        ASSERT_EQ(map.size(), 3);
        EXPECT_TRUE(map.value(late).readsBakedChannel);
        EXPECT_EQ(&VrnSnGlslContextRecordIndex::recordOf(map, late), &map[late]);

        VrnSnGlslContextInfoMap copy = map;
        copy[a].readsCache = false; // the copy detaches; map keeps its nodes
        VrnSnGlslContextRecordIndex::recordOf(map, b).readsCache = true;
        EXPECT_TRUE(VrnSnGlslContextRecordIndex::recordOf(map, a).readsCache);
        EXPECT_TRUE(map.value(b).readsCache);

        VrnSnGlslContextInfoMap shared = map;
        VrnSnGlslContextRecordIndex::recordOf(map, a).readsCache = false; // detaches map from shared
        EXPECT_FALSE(map.value(a).readsCache);
        EXPECT_TRUE(shared.value(a).readsCache);
        EXPECT_EQ(&VrnSnGlslContextRecordIndex::recordOf(map, b), &map[b]);
        index.reset();
        EXPECT_EQ(&VrnSnGlslContextRecordIndex::recordOf(map, a), &map[a]);
    }
}
