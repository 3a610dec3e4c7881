// The Style 1 generator's exact text: one GLSL function per node, inputs
// gathered by cache lookup or by calling the producer, bake-mode stubs and
// inline blocks for nodes that write no outputs.

#include "VrnSnGlslEmission.h"
#include "VrnTestSupport.h"

#include <string>

namespace {
using namespace VrnTest;

const unsigned kFragment = VrnShaderType::Fragment;

struct Style1 : VrnTest::NetworkTest
{
    // Two outputs so that per-output lines show their order.
    VrnSnNodeKindPtr twoOutputs = kind(QStringLiteral("Split"), {}, {QStringLiteral("Color"), QStringLiteral("Mask")},
                                       QStringLiteral("Color = vec4(0.25); Mask = vec4(1.0);"));
    VrnSnNodeKindPtr source = kind(QStringLiteral("Source"), {}, {QStringLiteral("Output")}, QStringLiteral("Output = vec4(1.0);"));
    VrnSnNodeKindPtr ternary = kind(QStringLiteral("Mix3"), {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")},
                                    {QStringLiteral("Output")}, QStringLiteral("Output = #A + #B + #C;"));
    // The terminal node: writes the shader's result and has no output points.
    VrnSnNodeKindPtr terminal = kind(QStringLiteral("Terminal"), {QStringLiteral("Input=vec4(0.0,0.0,0.0,1.0)")}, {},
                                     QStringLiteral("VrnResult = #Input;"));

    Texts generate(QList<VrnSnBaseGlslContext*> contexts, unsigned shaderType = kFragment)
    {
        return NetworkTest::generate(VrnTest::style(1), contexts, shaderType);
    }

    // Enables and validates the node's cache and gives the listed outputs their cache
    // attribute and their cache channel in the tile.
    void cacheParts(VrnSnBaseNode* n, const QStringList& withAttribute, const QStringList& withChannel, int tile)
    {
        n->setCacheEnabled(true);
        n->setCacheValid(true);
        n->setCacheActive(2);
        for (const QString& output : withAttribute)
            n->createUserAttribute(VrnCustomAttribute(n->cacheAttributeName(output),
                                                      QVariant::fromValue(VrnChannelId(QStringLiteral("Store")))));
        if (!withChannel.isEmpty())
            addStoreChannel(tile);
        for (const QString& output : withChannel)
            net->shadingContext()->addChannelAlias(tile, n->cacheAttributeName(output), QStringLiteral("Store"));
    }
};
} // namespace

// --- Node functions -------------------------------------------------------

TEST_F(Style1, OneOutputNoInputsGivesBannerDeclarationsAndFunction)
{
    const QList<VrnCustomAttribute> params{VrnCustomAttribute(QStringLiteral("Scale"), 2.0)};
    VrnSnBaseNode* n = add(kind(QStringLiteral("Scaled"), {}, {QStringLiteral("Output")}, QStringLiteral("Output = vec4($Scale);"), params),
                           QStringLiteral("N"), QStringLiteral("Noise"));

    // A type without state names (12345) leaves the names empty.
    for (unsigned shaderType : {unsigned(VrnShaderType::Fragment), unsigned(VrnShaderType::TessEvaluation), unsigned(VrnShaderType::TessControl), 12345u}) {
        SCOPED_TRACE(shaderType);
        const Texts t = generate({n->context()}, shaderType);
        VrnTest::expectText(t.declarations);
        EXPECT_EQ(t.body, QString());
    }
}

TEST_F(Style1, SeveralOutputsAreDeclaredAndCopiedInPointOrder)
{
    VrnSnBaseNode* n = add(twoOutputs, QStringLiteral("Sp"), QStringLiteral("Splitter"));
    const Texts t = generate({n->context()});
    VrnTest::expectText(t.declarations);
}

TEST_F(Style1, NodeWithoutOutputPointsThatWritesOutputsGetsABareFunction)
{
    VrnSnBaseNode* n = add(kind(QStringLiteral("Effect"), {}, {}, QStringLiteral("VrnResult = vec4(0.5);")), QStringLiteral("E"));
    auto* context = new WritesOutputsContext(n);
    context->setExpression(n->kind().glsl, false);
    const Texts t = generate({context});
    VrnTest::expectText(t.declarations);
    EXPECT_EQ(t.body, QString());
}

// --- Input gathering ------------------------------------------------------

TEST_F(Style1, InputsReadingOneUncachedNodeCallItOnce)
{
    VrnSnBaseNode* sp = add(twoOutputs, QStringLiteral("Sp"), QStringLiteral("Splitter"));
    VrnSnBaseNode* m = add(ternary, QStringLiteral("M"), QStringLiteral("Mixer"));
    connect(m, "A", sp, "Color");
    connect(m, "C", sp, "Mask");
    const Texts t = generate({m->context()});
    VrnTest::expectText(t.declarations);
}

TEST_F(Style1, DistinctUncachedProducersAreEachCalledOnce)
{
    VrnSnBaseNode* a = add(source, QStringLiteral("Sa"));
    VrnSnBaseNode* b = add(source, QStringLiteral("Sb"));
    VrnSnBaseNode* m = add(ternary, QStringLiteral("M"));
    connect(m, "A", a);
    connect(m, "B", b);
    connect(m, "C", a);
    const QString callA = QStringLiteral("    Safunc(State,_State); // Evaluating Node '/Net/Sa'\n");
    const QString callB = QStringLiteral("    Sbfunc(State,_State); // Evaluating Node '/Net/Sb'\n");
    const QString head = QStringLiteral("void Mfunc(inout FragmentState State, inout FragmentSystemState _State){\n"
                                        "    vec4 Output; // Output 'Output' \n");
    const QString tail = QStringLiteral("\n"
                                        "Output = SaOutput + SbOutput + SaOutput;\n"
                                        "    MOutput = Output;\n"
                                        "}\n");
    const QString declarations = generate({m->context()}).declarations;
    // The calls may come in either order.
    EXPECT_TRUE(declarations.endsWith(head + callA + callB + tail) || declarations.endsWith(head + callB + callA + tail))
        << declarations;
}

TEST_F(Style1, CacheLookupsOnlyWhenEveryConditionHolds)
{
    struct Case
    {
        const char* name;
        bool enabled;
        bool valid;
        QStringList attributes; // outputs whose cache attribute exists on the node
        QStringList channels;   // outputs whose cache channel the shading context has
        int channelTile;
        QStringList lookups; // outputs expected to be read from the cache
        bool call;           // the producer's function is called instead
    };
    const QStringList both{QStringLiteral("Color"), QStringLiteral("Mask")};
    const QStringList color{QStringLiteral("Color")};
    const std::vector<Case> cases{
        {"every condition holds", true, true, both, both, 1001, both, false},
        {"cache disabled", false, true, both, both, 1001, {}, true},
        {"cache not valid", true, false, both, both, 1001, {}, true},
        {"no attributes", true, true, {}, both, 1001, {}, false},
        {"no channels", true, true, both, {}, 1001, {}, false},
        {"channels in another tile", true, true, both, both, 1002, {}, false},
        {"one output complete", true, true, both, color, 1001, color, false},
        {"attribute of the other output only", true, true, {QStringLiteral("Mask")}, color, 1001, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        net.reset(new VrnShaderNetwork(QStringLiteral("Net")));
        auto* sp = new RawCacheNode(net.get(), twoOutputs, QStringLiteral("Sp"));
        ASSERT_TRUE(net->addNode(sp));
        sp->setName(QStringLiteral("Splitter"));
        VrnSnBaseNode* m = add(kind(QStringLiteral("One"), {QStringLiteral("In")}, {}, QStringLiteral("VrnResult = #In;")), QStringLiteral("M"));
        connect(m, "In", sp, "Color");
        cacheParts(sp, c.attributes, c.channels, c.channelTile);
        sp->setCacheEnabled(c.enabled);
        sp->setCacheValid(c.valid);

        QString gathered;
        for (const QString& output : c.lookups)
            gathered += QStringLiteral("    Sp") + output + QStringLiteral(" = texture_lookup2(Cache_") + sp->hash() + output
                        + QStringLiteral("_Sp,State,_State);\n");
        if (c.call)
            gathered += QStringLiteral("    Spfunc(State,_State); // Evaluating Node '/Net/Splitter'\n");
        const Texts t = generate({m->context()});
        EXPECT_EQ(t.body, QStringLiteral("{\n") + gathered + QStringLiteral("\nVrnResult = SpColor;\n}\n"));
    }
}

TEST_F(Style1, CacheLookupsComeBeforeCallsWhateverTheInputOrder)
{
    VrnSnBaseNode* plain = add(source, QStringLiteral("P"));
    VrnSnBaseNode* cached = add(source, QStringLiteral("K"));
    VrnSnBaseNode* m = add(ternary, QStringLiteral("M"));
    connect(m, "A", plain);
    connect(m, "B", cached);
    cache(cached);
    const QString declarations = generate({m->context()}).declarations;
    VrnTest::expectText(declarations);
}

// --- Nodes without outputs and whole networks -----------------------------

TEST_F(Style1, NodeWithoutOutputsGoesInlineIntoTheBody)
{
    const QList<VrnCustomAttribute> params{VrnCustomAttribute(QStringLiteral("Gain"), 0.5)};
    VrnSnBaseNode* s = add(source, QStringLiteral("S"), QStringLiteral("Src"));
    VrnSnBaseNode* out = add(kind(QStringLiteral("Sink"), {QStringLiteral("Input")}, {}, QStringLiteral("VrnResult = #Input * $Gain;"), params),
                             QStringLiteral("Out"), QStringLiteral("Result"));
    connect(out, "Input", s);
    const Texts t = generate({out->context()});
    VrnTest::expectText(t.declarations);
    VrnTest::expectText(t.body);
}

TEST_F(Style1, WholeNetworkGathersThroughPassThroughFromTheProducer)
{
    VrnSnBaseNode* s = add(source, QStringLiteral("S"), QStringLiteral("Src"));
    auto* passThrough = new VrnSnNodeKind(*kind(QStringLiteral("Pass"), {QStringLiteral("Input")}, {QStringLiteral("Output")},
                                                QStringLiteral("Output = #Input;")));
    passThrough->alias = true;
    VrnSnBaseNode* p = add(VrnSnNodeKindPtr(passThrough), QStringLiteral("P"));
    VrnSnBaseNode* m = add(kind(QStringLiteral("Multiply"), {QStringLiteral("A=vec4(1.0,1.0,1.0,1.0)"), QStringLiteral("B=vec4(1.0,1.0,1.0,1.0)")},
                                {QStringLiteral("Output")}, QStringLiteral("Output = #A * #B;")),
                           QStringLiteral("M"), QStringLiteral("Mul"));
    VrnSnBaseNode* out = add(terminal, QStringLiteral("Out"));
    connect(p, "Input", s);
    connect(m, "A", p);
    connect(out, "Input", m);
    net->setRoot(out);

    const VrnShaderBuildResult result = build(VrnTest::style(1));
    ASSERT_EQ(result.declarationCodes.keys(), QList<unsigned>{kFragment});
    VrnTest::expectText(result.declarationCodes.value(kFragment));
    VrnTest::expectText(result.bodyCodes.value(kFragment));
}

TEST_F(Style1, AppendsToTheTextsItIsGiven)
{
    VrnSnBaseNode* s = add(source, QStringLiteral("S"));
    VrnSnBaseNode* out = add(terminal, QStringLiteral("Out"));
    connect(out, "Input", s);
    const Texts once = generate({s->context(), out->context()});
    ASSERT_FALSE(once.declarations.isEmpty());
    ASSERT_FALSE(once.body.isEmpty());

    QString declarations = QStringLiteral("// declarations so far\n");
    QString body = QStringLiteral("// body so far\n");
    QList<VrnSnBaseGlslContext*> contexts{s->context(), out->context()};
    VrnSnBaseGlslCodeGenerator* generator = VrnSnGlslCodeGeneratorManager::instance().codeGenerator(VrnTest::style(1));
    generator->buildShaderTypeCode(nullptr, shading(), declarations, body, kFragment, nullptr, contexts);
    generator->buildShaderTypeCode(nullptr, shading(), declarations, body, kFragment, nullptr, contexts);
    EXPECT_EQ(declarations, QStringLiteral("// declarations so far\n") + once.declarations + once.declarations);
    EXPECT_EQ(body, QStringLiteral("// body so far\n") + once.body + once.body);
}

// The head is filled as chained QString::arg fills it, which reads a marker
// in the id again; the path goes into the banner last, as it is.
TEST_F(Style1, PercentSignsInIdsAndNamesAreFilledAsChainedArgumentsFillThem)
{
    for (const QString& id : {QStringLiteral("S%2"), QStringLiteral("S%9x"), QStringLiteral("Plain")}) {
        SCOPED_TRACE(id.toStdString());
        VrnSnBaseNode* s = add(source, id, QStringLiteral("a%1b%2"));
        const QString declarations = generate({s->context()}).declarations;
        const QString head = QStringLiteral("void %1func(inout %2 State, inout %3 _State)")
                                 .arg(id)
                                 .arg(QLatin1String(VrnSnBaseGlslCodeGenerator::getShaderTypeStateType(kFragment)))
                                 .arg(QLatin1String(VrnSnBaseGlslCodeGenerator::getShaderTypeSystemStateType(kFragment)));
        EXPECT_TRUE(declarations.contains(head)) << declarations.toStdString();
        EXPECT_TRUE(declarations.contains(QStringLiteral("//--- Style 1 Node '/") + net->name() + QStringLiteral("/a%1b%2' ---\n")));
        // A style number of no generator gets its banner the same way.
        for (int style : {0, 1, 7}) {
            QString banner;
            VrnSnGlslEmission::styleBanner(banner, style, s);
            EXPECT_EQ(banner, QStringLiteral("\n//=====================\n//--- Style ") + QString::number(style) + QStringLiteral(" Node '/")
                                  + net->name() + QStringLiteral("/a%1b%2' ---\n//=====================\n"));
        }
        delete s;
    }
}

// --- Bake mode -------------------------------------------------------------

TEST_F(Style1, NonBakeableNodesAreStubbedOnlyInBakeMode)
{
    const QList<VrnCustomAttribute> params{VrnCustomAttribute(QStringLiteral("Scale"), 2.0)};
    const VrnSnNodeKindPtr paint = kind(QStringLiteral("Paint"), {QStringLiteral("In")}, {QStringLiteral("Color"), QStringLiteral("Mask")},
                                        QStringLiteral("Color = #In * $Scale; Mask = #In;"), params);
    const VrnSnNodeKindPtr sink = kind(QStringLiteral("Sink"), {QStringLiteral("In")}, {}, QStringLiteral("VrnResult = #In;"));

    // In bake mode a tagged node is a stub that only zeroes its outputs (no
    // uniforms, no inputs), and one without outputs leaves only its banner.
    struct Case { const char* name; QStringList defines; bool tagged; bool stubbed; };
    const std::vector<Case> cases{
        {"bake mode, tagged", {QStringLiteral("OTHER"), QStringLiteral("NODE_BAKE")}, true, true},
        {"bake mode, not tagged", {QStringLiteral("NODE_BAKE")}, false, false},
        {"no bake mode, tagged", {}, true, false},
        {"a define that only starts like it", {QStringLiteral("NODE_BAKED")}, true, false},
    };
    QString normal;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        net.reset(new VrnShaderNetwork(QStringLiteral("Net")));
        VrnSnBaseNode* s = add(source, QStringLiteral("S"));
        VrnSnBaseNode* n = add(paint, QStringLiteral("N"), QStringLiteral("Noise"));
        VrnSnBaseNode* out = add(sink, QStringLiteral("Out"), QStringLiteral("Result"));
        connect(n, "In", s);
        connect(out, "In", s);
        if (c.tagged) {
            n->addTag(QStringLiteral("_notbakeable"));
            out->addTag(QStringLiteral("_notbakeable"));
        }
        VrnTest::ScopedDefines defines(c.defines);
        const Texts t = generate({n->context(), out->context()});
        if (c.stubbed || normal.isEmpty()) {
            VrnTest::expectText(t.declarations);
            VrnTest::expectText(t.body);
        }
        if (!c.stubbed) {
            EXPECT_TRUE(normal.isEmpty() || t.declarations + t.body == normal);
            normal = t.declarations + t.body;
        }
    }
}
