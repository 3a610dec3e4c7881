// The Style 6 generator: its exact text, what it packs into the uniform block
// of each shader type, the sampler-cube lines and what it hands the surface
// shader.

#include "VrnTestSupport.h"

namespace {
using namespace VrnTest;
using Location = VrnShaderUniformBlock::Location;

const QString kStyle6 = QStringLiteral("VrnSnGlslCodeGenerator_Style6");
const unsigned kFragment = VrnShaderType::Fragment;
const Location kNoLocation(-1, -1);

struct Style6 : VrnTest::NetworkTest
{
    std::unique_ptr<VrnSurfaceShader> surface{new VrnSurfaceShader};
    VrnShaderBuildResult result;

    VrnSnNodeKindPtr source = kind(QStringLiteral("Source"), {}, {QStringLiteral("Output")}, QStringLiteral("Output = vec4(1.0);"));
    VrnSnNodeKindPtr terminal = kind(QStringLiteral("Terminal"), {QStringLiteral("In")}, {}, QStringLiteral("VrnResult = #In;"));


    bool build(VrnSnBaseNode* root)
    {
        net->setRoot(root);
        result = VrnShaderBuildResult();
        const bool ok = VrnShaderBuild::run(kStyle6, net.get(), surface.get(), result);
        EXPECT_TRUE(ok) << result.errorText;
        return ok;
    }
    QString declarations(unsigned type = kFragment) const { return result.declarationCodes.value(type); }
    QString body(unsigned type = kFragment) const { return result.bodyCodes.value(type); }

    VrnShaderUniformBlock& block(const QString& name = QStringLiteral("FragmentShaderUniformBlock"))
    {
        static VrnShaderUniformBlock none(QStringLiteral("none"));
        const QSharedPointer<VrnShaderUniformBlock> b = surface->shaderUniformBlock(name);
        EXPECT_FALSE(b.isNull()) << name;
        return b ? *b : none;
    }
    Location location(const VrnSnBaseNode* n, const QString& attribute)
    {
        return block().locationMap().value({n->uuidString(), attribute}, kNoLocation);
    }
    bool everyFrame(const QString& uniform, const VrnSnBaseNode* n, const QString& attribute)
    {
        return block().everyFrameMap().value(uniform) == VrnShaderUniformBlock::Key(n->uuidString(), attribute);
    }
    // A bake point of the built-in kind that reads its baked channel "Occlusion".
    VrnSnBaseNode* bakedOcclusion(const QString& id, const QString& name = QString())
    {
        net->shadingContext()->addChannel(VrnChannel::filled(QStringLiteral("Occlusion"), 1001, 2, 0.2f, 0.3f, 0.4f, 1));
        VrnSnBaseNode* b = add(VrnBuiltinKinds::kind(QStringLiteral("BakePoint")), id, name);
        auto* point = qobject_cast<VrnSnBakePointNode*>(b);
        EXPECT_NE(point, nullptr);
        if (point) {
            b->setUserAttribute(QStringLiteral("Channel"), QVariant::fromValue(VrnChannelId(QStringLiteral("Occlusion"))));
            point->setUseBakedResult(true);
        }
        return b;
    }
};
} // namespace

// --- Text -------------------------------------------------------------------

TEST_F(Style6, AStageWithoutContextsGetsTheHeaderAndAnEmptyMainBlock)
{
    // The only node runs in the tessellation evaluation stage: the fragment stage has no contexts.
    auto* tessKind = new VrnSnNodeKind(*kind(QStringLiteral("Displace"), {}, {}, QStringLiteral("VrnResult = vec4(0.5);")));
    tessKind->shaderType = VrnShaderType::TessEvaluation;
    VrnSnBaseNode* out = add(VrnSnNodeKindPtr(tessKind), QStringLiteral("Out"));
    ASSERT_TRUE(build(out));

    VrnTest::expectText(declarations());
    EXPECT_EQ(body(), QStringLiteral("    {\n    }\n"));
    // The same header, naming the tessellation evaluation block.
    const QString tessDeclarations = declarations(VrnShaderType::TessEvaluation);
    VrnTest::expectText(tessDeclarations);
    VrnTest::expectText(body(VrnShaderType::TessEvaluation));
    // Both tessellation stages are stated, the missing one empty.
    EXPECT_TRUE(result.declarationCodes.contains(VrnShaderType::TessControl));
    EXPECT_EQ(declarations(VrnShaderType::TessControl), QString());
    EXPECT_EQ(surface->tessellationStateString(),
              QStringLiteral("#########TessEval Code########") + tessDeclarations + QStringLiteral("#########TessControl Code########"));
    EXPECT_FALSE(surface->shaderUniformBlock(QStringLiteral("FragmentShaderUniformBlock")).isNull());
    EXPECT_FALSE(surface->shaderUniformBlock(QStringLiteral("TessEvaluationShaderUniformBlock")).isNull());
}

TEST_F(Style6, FragmentOnlyBuildStillStatesBothTessellationStages)
{
    VrnSnBaseNode* out = add(kind(QStringLiteral("Flat"), {}, {}, QStringLiteral("VrnResult = vec4(1.0);")), QStringLiteral("Out"));
    ASSERT_TRUE(build(out));
    EXPECT_EQ(surface->tessellationStateString(), QStringLiteral("#########TessEval Code#################TessControl Code########"));
    EXPECT_EQ(result.declarationCodes.keys(), (QList<unsigned>{kFragment, VrnShaderType::TessEvaluation, VrnShaderType::TessControl}));
    EXPECT_EQ(declarations(VrnShaderType::TessEvaluation), QString());
    // The host assembles the fragment stage alone.
    EXPECT_EQ(VrnShaderBuild::assembleStages(result, net.get(), surface.get(), {}).keys(), QList<unsigned>{kFragment});
}

TEST_F(Style6, PlainNodeWithTwoOutputsAndANodeThatWritesNone)
{
    const QList<VrnCustomAttribute> params{VrnCustomAttribute(QStringLiteral("Gain"), 0.5)};
    VrnSnBaseNode* p = add(kind(QStringLiteral("Pair"), {}, {QStringLiteral("A"), QStringLiteral("B")},
                                QStringLiteral("A = vec4($Gain); B = vec4(1.0);"), params),
                           QStringLiteral("N1"), QStringLiteral("Plain"));
    const QList<VrnCustomAttribute> outParams{VrnCustomAttribute(QStringLiteral("Level"), 3)};
    VrnSnBaseNode* out = add(kind(QStringLiteral("Sink"), {QStringLiteral("In")}, {}, QStringLiteral("VrnResult = #In * float($Level);"), outParams),
                             QStringLiteral("Out"), QStringLiteral("Result"));
    connect(out, "In", p, "B");
    ASSERT_TRUE(build(out));

    VrnTest::expectText(declarations());
    // The node without outputs is inlined where the trail reaches it.
    VrnTest::expectText(body());
}

TEST_F(Style6, CachedNodeWithoutOutputPointsReadsNothingAndIsNotCalled)
{
    auto* k = new RawCacheNode(net.get(), kind(QStringLiteral("Effect"), {}, {}, QStringLiteral("VrnResult = vec4(0.5);")), QStringLiteral("K"));
    ASSERT_TRUE(net->addNode(k));
    replaceContext<WritesOutputsContext>(k);
    k->setCacheEnabled(true);
    k->setCacheValid(true);
    k->setCacheActive(2);
    ASSERT_TRUE(build(k));
    VrnTest::expectText(declarations());
    VrnTest::expectText(body());
}

// A cache channel that packing skips has no location: the reads take slot 0
// (and 1 and 2), and the lookup leaves the key in the map at (0, 0).
TEST_F(Style6, CacheChannelsArePackedOnlyWhenTheTileHasThem)
{
    struct Case { const char* name; QString channel; bool packed; };
    const std::vector<Case> cases{
        {"a channel of the tile", QStringLiteral("Store"), true},
        {"the current channel", QStringLiteral("Current Channel"), false},
        {"no channel name", QString(), false},
        {"a channel the tile lacks", QStringLiteral("Elsewhere"), false},
    };
    const QList<VrnCustomAttribute> countParam{VrnCustomAttribute(QStringLiteral("Count"), 7)};
    QString texts; // every case's declarations and body
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        net.reset(new VrnShaderNetwork(QStringLiteral("Net")));
        // Takes int slot 0, so that a skipped location reads another node's slot.
        VrnSnBaseNode* first = add(kind(QStringLiteral("Counter"), {}, {QStringLiteral("Output")}, QStringLiteral("Output = vec4($Count);"), countParam),
                                   QStringLiteral("I"));
        auto* k = new RawCacheNode(net.get(), source, QStringLiteral("K"));
        ASSERT_TRUE(net->addNode(k));
        addStoreChannel();
        k->setCacheEnabled(true);
        k->setCacheValid(true);
        k->setCacheActive(2);
        const QString cacheName = k->cacheAttributeName(QStringLiteral("Output"));
        k->createUserAttribute(VrnCustomAttribute(cacheName, QVariant::fromValue(VrnChannelId(c.channel))));
        VrnSnBaseNode* out = add(kind(QStringLiteral("Two"), {QStringLiteral("A"), QStringLiteral("B")}, {}, QStringLiteral("VrnResult = #A + #B;")),
                                 QStringLiteral("Out"));
        connect(out, "A", first);
        connect(out, "B", k);
        ASSERT_TRUE(build(out));

        const int at = c.packed ? 1 : 0;
        texts += declarations() + body();
        EXPECT_EQ(location(k, cacheName), Location(0, at));
        EXPECT_EQ(block().intArray(0).size(), c.packed ? 4 : 1);
        EXPECT_EQ(everyFrame(QStringLiteral("K_") + cacheName + QStringLiteral(".ChannelValues"), k, cacheName), c.packed);
        EXPECT_EQ(block().values().contains({k->uuidString(), cacheName}), c.packed) << "recorded only when packed";
    }
    VrnTest::expectText(texts);
}

TEST_F(Style6, BakedResultIsLaidOverTheBackgroundInTheFunctionAndTheTrail)
{
    VrnSnBaseNode* s = add(source, QStringLiteral("S"));
    VrnSnBaseNode* b = bakedOcclusion(QStringLiteral("B"), QStringLiteral("Bake"));
    // Whatever else the node has is neither packed nor recorded.
    b->createUserAttribute(VrnCustomAttribute(QStringLiteral("Strength"), 0.75));
    b->createUserAttribute(VrnCustomAttribute(QStringLiteral("Tint"), QVariant::fromValue(VrnColor(1, 0, 0, 1))));
    VrnSnBaseNode* out = add(terminal, QStringLiteral("Out"));
    connect(b, "Input", s);
    connect(out, "In", b);
    ASSERT_TRUE(build(out));

    VrnTest::expectText(declarations());
    VrnTest::expectText(body());

    EXPECT_EQ(block().intArray(0), (QVector<int>{-1, -1, -1}));
    EXPECT_EQ(block().vec4Array().size(), 1);
    EXPECT_TRUE(block().floatArray().isEmpty());
    EXPECT_EQ(location(b, QStringLiteral("Channel")), Location(0, 0));
    EXPECT_EQ(location(b, QStringLiteral("limitBakeBackground")), Location(0, 0));
    EXPECT_EQ(location(b, QStringLiteral("Strength")), kNoLocation);
    EXPECT_EQ(location(b, QStringLiteral("Tint")), kNoLocation);
    EXPECT_TRUE(everyFrame(QStringLiteral("Channel_B.ChannelValues"), b, QStringLiteral("Channel")));
    EXPECT_TRUE(everyFrame(QStringLiteral("B_limitBakeBackground"), b, QStringLiteral("limitBakeBackground")));
    EXPECT_FALSE(block().values().contains({b->uuidString(), QStringLiteral("Strength")}));
    EXPECT_EQ(block().channelReferences().value({0, 0}), QStringLiteral("Occlusion"));
}

TEST_F(Style6, CacheReadingWinsOverTheBakedResult)
{
    VrnSnBaseNode* b = bakedOcclusion(QStringLiteral("B"));
    cache(b);
    VrnSnBaseNode* out = add(terminal, QStringLiteral("Out"));
    connect(out, "In", b);
    ASSERT_TRUE(build(out));

    const QString cacheName = b->cacheAttributeName(QStringLiteral("Output"));
    // Every live channel attribute is packed as a cache read, the node's own Channel too,
    // in the host's order: cache attributes first.
    EXPECT_EQ(location(b, cacheName), Location(0, 0));
    EXPECT_EQ(location(b, QStringLiteral("Channel")), Location(0, 3));
    EXPECT_EQ(location(b, QStringLiteral("limitBakeBackground")), kNoLocation);
    EXPECT_TRUE(block().vec4Array().isEmpty());
    EXPECT_TRUE(body().contains(QStringLiteral("    BOutput = texture_lookup2(") + cacheName + QStringLiteral(",State,_State);\n"))) << body();
    EXPECT_FALSE(body().contains(QStringLiteral("Background"))) << body();
}

TEST_F(Style6, BakePointWhoseChannelTheTileLacksComputesItsResult)
{
    VrnSnBaseNode* s = add(source, QStringLiteral("S"));
    VrnSnBaseNode* b = add(VrnBuiltinKinds::kind(QStringLiteral("BakePoint")), QStringLiteral("B"));
    b->setUserAttribute(QStringLiteral("Channel"), QVariant::fromValue(VrnChannelId(QStringLiteral("Occlusion"))));
    qobject_cast<VrnSnBakePointNode*>(b)->setUseBakedResult(true);
    VrnSnBaseNode* out = add(terminal, QStringLiteral("Out"));
    connect(b, "Input", s);
    connect(out, "In", b);
    ASSERT_TRUE(build(out));

    // Its attributes are packed as any node's: the switch is an int after the
    // channel's three, and no background is read.
    EXPECT_EQ(location(b, QStringLiteral("Channel")), Location(0, 0));
    EXPECT_EQ(location(b, QStringLiteral("limitBakeBackground")), Location(0, 3));
    EXPECT_TRUE(block().vec4Array().isEmpty());
    EXPECT_FALSE(body().contains(QStringLiteral("Background"))) << body();
}

TEST_F(Style6, NonBakeableNodesAreStubbedOnlyInBakeMode)
{
    const QList<VrnCustomAttribute> params{VrnCustomAttribute(QStringLiteral("Scale"), 2.0)};
    const VrnSnNodeKindPtr paint = kind(QStringLiteral("Paint"), {QStringLiteral("In")}, {QStringLiteral("Output")},
                                        QStringLiteral("Output = #In * $Scale;"), params);
    struct Case { const char* name; QStringList defines; bool tagged; };
    const std::vector<Case> cases{
        {"bake mode, tagged", {QStringLiteral("NODE_BAKE")}, true},
        {"no bake mode, tagged", {}, true},
    };

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        net.reset(new VrnShaderNetwork(QStringLiteral("Net")));
        VrnSnBaseNode* n = add(paint, QStringLiteral("N"), QStringLiteral("Noise"));
        VrnSnBaseNode* out = add(terminal, QStringLiteral("Out"));
        connect(out, "In", n);
        if (c.tagged)
            n->addTag(QStringLiteral("_notbakeable"));
        VrnTest::ScopedDefines defines(c.defines);
        ASSERT_TRUE(build(out));
        // The stub is called like any other function.
        VrnTest::expectText(declarations() + body());
        // Packing does not depend on the stub: the parameter keeps its slot.
        EXPECT_EQ(location(n, QStringLiteral("Scale")), Location(0, 0));
    }
}

TEST_F(Style6, ContainerEvaluatesItsNestedContextsAndTheTrailLeavesThemOut)
{
    VrnSnBaseNode* s = add(source, QStringLiteral("S"));
    VrnSnBaseNode* g = add(VrnBuiltinKinds::kind(QStringLiteral("Group")), QStringLiteral("G"));
    VrnSnBaseNode* out = add(terminal, QStringLiteral("Out"));
    connect(g, "Input", s);
    connect(out, "In", g);
    ASSERT_TRUE(build(out));
    VrnTest::expectText(declarations());
    VrnTest::expectText(body());
}

// --- Packing ----------------------------------------------------------------

TEST_F(Style6, ChannelStringIsThreeRefreshedIntsOtherStringsOnlyRecorded)
{
    net->shadingContext()->addChannel(VrnChannel::filled(QStringLiteral("Base"), 1001, 2, 1, 1, 1, 1));
    const QList<VrnCustomAttribute> params{VrnCustomAttribute(QStringLiteral("Channel"), QStringLiteral("Base")),
                                           VrnCustomAttribute(QStringLiteral("Label"), QStringLiteral("rust")),
                                           VrnCustomAttribute(QStringLiteral("Tint"), QVariant::fromValue(VrnColor(0.5f, 0.5f, 0.5f, 1)))};
    VrnSnBaseNode* n = add(kind(QStringLiteral("Layer"), {}, {}, QStringLiteral("VrnResult = texture_lookup2($Channel, State, _State) * $Tint;"), params),
                           QStringLiteral("L"));
    ASSERT_TRUE(build(n));
    EXPECT_EQ(location(n, QStringLiteral("Channel")), Location(0, 0));
    EXPECT_EQ(location(n, QStringLiteral("Label")), kNoLocation);
    EXPECT_EQ(location(n, QStringLiteral("Tint")), Location(0, 0));
    EXPECT_EQ(block().intArray(0), (QVector<int>{-1, -1, -1}));
    EXPECT_EQ(block().everyFrameMap().size(), 1);
    EXPECT_TRUE(everyFrame(QStringLiteral("Channel_L.ChannelValues"), n, QStringLiteral("Channel")));
    EXPECT_EQ(block().values().value({n->uuidString(), QStringLiteral("Label")}), QVariant(QStringLiteral("rust")));
    EXPECT_EQ(block().channelReferences().value({0, 0}), QStringLiteral("Base"));
    // The node reads its channel through a local filled from the three ints.
    VrnTest::expectText(body());
}

// --- The driver ---------------------------------------------------------------

TEST_F(Style6, SamplerCubeLinesAreGatheredOncePerBuild)
{
    VrnSnBaseNode* a = add(source, QStringLiteral("A"));
    VrnSnBaseNode* out = add(terminal, QStringLiteral("Out"));
    connect(out, "In", a);
    replaceContext<FixedDeclarationContext>(a, QStringLiteral("  uniform samplerCube A_Env;\n"
                                                       "Uniform samplerCube A_Capital;\n"
                                                       "uniform samplercube A_Lower;\n"
                                                       "uniform sampler2D A_Flat;\n"
                                                       "uniform samplerCube Z_Sky;"));
    replaceContext<FixedDeclarationContext>(out, QStringLiteral("uniform samplerCube Z_Sky;\n  uniform samplerCube A_Env;\n"));
    ASSERT_TRUE(build(out));
    // Lines that start a sampler cube declaration (after spaces), each once.
    VrnTest::expectText(declarations());

    // The next build gathers afresh.
    replaceContext<FixedDeclarationContext>(a, QString());
    replaceContext<FixedDeclarationContext>(out, QStringLiteral("uniform samplerCube B_Only;\n"));
    ASSERT_TRUE(build(out));
    VrnTest::expectText(declarations());
}

TEST_F(Style6, ValuesOfEarlierBuildsAreHandedToLaterBlocks)
{
    const QList<VrnCustomAttribute> params{VrnCustomAttribute(QStringLiteral("Rate"), 0.25)};
    VrnSnBaseNode* gone = add(kind(QStringLiteral("Rated"), {}, {QStringLiteral("Output")}, QStringLiteral("Output = vec4($Rate);"), params),
                              QStringLiteral("G"));
    VrnSnBaseNode* out = add(terminal, QStringLiteral("Out"));
    connect(out, "In", gone);
    ASSERT_TRUE(build(out));
    const VrnShaderUniformBlock::Key key(gone->uuidString(), QStringLiteral("Rate"));
    EXPECT_EQ(block().floatArray(), QVector<float>{0.25f});

    delete gone;
    ASSERT_TRUE(build(out));
    EXPECT_TRUE(block().floatArray().isEmpty());
    EXPECT_FALSE(block().locationMap().contains(key));
    EXPECT_EQ(block().values().value(key), QVariant(0.25)) << "a deleted node's value still reaches the new block";
}
