// The Style 1 generator's exact text: one GLSL function per node, inputs
// gathered by cache lookup or by calling the producer, bake-mode stubs and
// inline blocks for nodes that write no outputs.

#include "VrnTestSupport.h"

#include "VrnAttributeValues.h"
#include "VrnShaderBuild.h"
#include "VrnShaderNetwork.h"
#include "VrnSnBaseGlslCodeGenerator.h"
#include "VrnSnBaseGlslContext.h"
#include "VrnSnGlslCodeGeneratorManager.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {
using VrnTest::RawCacheNode;
using VrnTest::Texts;
using VrnTest::WritesOutputsContext;
using VrnTest::kind;

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

    struct Case
    {
        unsigned shaderType;
        const char* head;
    };
    const std::vector<Case> cases{
        {VrnShaderType::Fragment, "void Nfunc(inout FragmentState State, inout FragmentSystemState _State){\n"},
        {VrnShaderType::TessEvaluation, "void Nfunc(inout TessEvaluationState State, inout TessEvaluationSystemState _State){\n"},
        {VrnShaderType::TessControl, "void Nfunc(inout TessControlState State, inout TessControlSystemState _State){\n"},
        // A type without state names leaves the names empty.
        {12345u, "void Nfunc(inout  State, inout  _State){\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shaderType);
        const Texts t = generate({n->context()}, c.shaderType);
        EXPECT_EQ(t.declarations, QStringLiteral("\n"
                                                 "//=====================\n"
                                                 "//--- Style 1 Node '/Net/Noise' ---\n"
                                                 "//=====================\n"
                                                 "uniform float N_Scale;\n"
                                                 "vec4 NOutput; // Output 'Output' \n")
                                      + QString::fromLatin1(c.head)
                                      + QStringLiteral("    vec4 Output; // Output 'Output' \n"
                                                       "\n"
                                                       "Output = vec4(N_Scale);\n"
                                                       "    NOutput = Output;\n"
                                                       "}\n"));
        EXPECT_EQ(t.body, QString());
    }
}

TEST_F(Style1, SeveralOutputsAreDeclaredAndCopiedInPointOrder)
{
    VrnSnBaseNode* n = add(twoOutputs, QStringLiteral("Sp"), QStringLiteral("Splitter"));
    const Texts t = generate({n->context()});
    EXPECT_EQ(t.declarations, QStringLiteral("\n"
                                             "//=====================\n"
                                             "//--- Style 1 Node '/Net/Splitter' ---\n"
                                             "//=====================\n"
                                             "vec4 SpColor; // Output 'Color' \n"
                                             "vec4 SpMask; // Output 'Mask' \n"
                                             "void Spfunc(inout FragmentState State, inout FragmentSystemState _State){\n"
                                             "    vec4 Color; // Output 'Color' \n"
                                             "    vec4 Mask; // Output 'Mask' \n"
                                             "\n"
                                             "Color = vec4(0.25); Mask = vec4(1.0);\n"
                                             "    SpColor = Color;\n"
                                             "    SpMask = Mask;\n"
                                             "}\n"));
}

TEST_F(Style1, NodeWithoutOutputPointsThatWritesOutputsGetsABareFunction)
{
    VrnSnBaseNode* n = add(kind(QStringLiteral("Effect"), {}, {}, QStringLiteral("VrnResult = vec4(0.5);")), QStringLiteral("E"));
    auto* context = new WritesOutputsContext(n);
    context->setExpression(n->kind().glsl, false);
    const Texts t = generate({context});
    EXPECT_EQ(t.declarations, QStringLiteral("\n"
                                             "//=====================\n"
                                             "//--- Style 1 Node '/Net/E' ---\n"
                                             "//=====================\n"
                                             "void Efunc(inout FragmentState State, inout FragmentSystemState _State){\n"
                                             "\n"
                                             "VrnResult = vec4(0.5);\n"
                                             "}\n"));
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
    EXPECT_EQ(t.declarations, QStringLiteral("\n"
                                             "//=====================\n"
                                             "//--- Style 1 Node '/Net/Mixer' ---\n"
                                             "//=====================\n"
                                             "vec4 MOutput; // Output 'Output' \n"
                                             "void Mfunc(inout FragmentState State, inout FragmentSystemState _State){\n"
                                             "    vec4 Output; // Output 'Output' \n"
                                             "    Spfunc(State,_State); // Evaluating Node '/Net/Splitter'\n"
                                             "\n"
                                             "Output = SpColor + (vec4(0.0,0.0,0.0,0.0)) + SpMask;\n"
                                             "    MOutput = Output;\n"
                                             "}\n"));
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
    const QString expected = QStringLiteral("    vec4 Output; // Output 'Output' \n"
                                            "    KOutput = texture_lookup2(Cache_")
                             + cached->hash()
                             + QStringLiteral("Output_K,State,_State);\n"
                                              "    Pfunc(State,_State); // Evaluating Node '/Net/P'\n"
                                              "\n"
                                              "Output = POutput + KOutput + (vec4(0.0,0.0,0.0,0.0));\n"
                                              "    MOutput = Output;\n"
                                              "}\n");
    const QString declarations = generate({m->context()}).declarations;
    EXPECT_TRUE(declarations.endsWith(expected)) << declarations;
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
    EXPECT_EQ(t.declarations, QStringLiteral("\n"
                                             "//=====================\n"
                                             "//--- Style 1 Node '/Net/Result' ---\n"
                                             "//=====================\n"
                                             "uniform float Out_Gain;\n"));
    EXPECT_EQ(t.body, QStringLiteral("{\n"
                                     "    Sfunc(State,_State); // Evaluating Node '/Net/Src'\n"
                                     "\n"
                                     "VrnResult = SOutput * Out_Gain;\n"
                                     "}\n"));
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
    EXPECT_EQ(result.declarationCodes.value(kFragment),
              QStringLiteral("\n"
                             "//=====================\n"
                             "//--- Style 1 Node '/Net/Src' ---\n"
                             "//=====================\n"
                             "vec4 SOutput; // Output 'Output' \n"
                             "void Sfunc(inout FragmentState State, inout FragmentSystemState _State){\n"
                             "    vec4 Output; // Output 'Output' \n"
                             "\n"
                             "Output = vec4(1.0);\n"
                             "    SOutput = Output;\n"
                             "}\n"
                             "\n"
                             "//=====================\n"
                             "//--- Style 1 Node '/Net/Mul' ---\n"
                             "//=====================\n"
                             "vec4 MOutput; // Output 'Output' \n"
                             "void Mfunc(inout FragmentState State, inout FragmentSystemState _State){\n"
                             "    vec4 Output; // Output 'Output' \n"
                             "    Sfunc(State,_State); // Evaluating Node '/Net/Src'\n"
                             "\n"
                             "Output = SOutput * (vec4(1.0,1.0,1.0,1.0));\n"
                             "    MOutput = Output;\n"
                             "}\n"
                             "\n"
                             "//=====================\n"
                             "//--- Style 1 Node '/Net/Out' ---\n"
                             "//=====================\n"));
    EXPECT_EQ(result.bodyCodes.value(kFragment), QStringLiteral("{\n"
                                                                "    Mfunc(State,_State); // Evaluating Node '/Net/Mul'\n"
                                                                "\n"
                                                                "VrnResult = MOutput;\n"
                                                                "}\n"));
}

TEST_F(Style1, SameNetworkGivesTheSameTextEveryTime)
{
    // Many producers of one node, so that an order taken from addresses would show.
    auto make = [this]() {
        net.reset(new VrnShaderNetwork(QStringLiteral("Net")));
        QStringList inputs;
        for (int i = 0; i < 8; ++i)
            inputs.append(QStringLiteral("I%1").arg(i));
        VrnSnBaseNode* wide = add(kind(QStringLiteral("Wide"), inputs, {QStringLiteral("Output")}, QStringLiteral("Output = #I0 + #I7;")),
                                  QStringLiteral("W"));
        for (int i = 0; i < 8; ++i) {
            VrnSnBaseNode* s = add(source, QStringLiteral("S%1").arg(i));
            wide->connectInput(inputs.at(i), s, QStringLiteral("Output"));
        }
        VrnSnBaseNode* out = add(terminal, QStringLiteral("Out"));
        out->connectInput(QStringLiteral("Input"), wide, QStringLiteral("Output"));
        net->setRoot(out);
    };
    auto generate = [this]() {
        const VrnShaderBuildResult result = build(VrnTest::style(1));
        return result.declarationCodes.value(kFragment) + QStringLiteral("---\n") + result.bodyCodes.value(kFragment);
    };
    make();
    const QString first = generate();
    EXPECT_TRUE(first.contains(QStringLiteral("    S7func(State,_State); // Evaluating Node '/Net/S7'\n"))) << first;
    EXPECT_EQ(generate(), first);
    make();
    EXPECT_EQ(generate(), first);
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

// --- Bake mode -------------------------------------------------------------

TEST_F(Style1, NonBakeableNodesAreStubbedOnlyInBakeMode)
{
    const QList<VrnCustomAttribute> params{VrnCustomAttribute(QStringLiteral("Scale"), 2.0)};
    const VrnSnNodeKindPtr paint = kind(QStringLiteral("Paint"), {QStringLiteral("In")}, {QStringLiteral("Color"), QStringLiteral("Mask")},
                                        QStringLiteral("Color = #In * $Scale; Mask = #In;"), params);
    const VrnSnNodeKindPtr sink = kind(QStringLiteral("Sink"), {QStringLiteral("In")}, {}, QStringLiteral("VrnResult = #In;"));

    const QString normalNode = QStringLiteral("\n"
                                              "//=====================\n"
                                              "//--- Style 1 Node '/Net/Noise' ---\n"
                                              "//=====================\n"
                                              "uniform float N_Scale;\n"
                                              "vec4 NColor; // Output 'Color' \n"
                                              "vec4 NMask; // Output 'Mask' \n"
                                              "void Nfunc(inout FragmentState State, inout FragmentSystemState _State){\n"
                                              "    vec4 Color; // Output 'Color' \n"
                                              "    vec4 Mask; // Output 'Mask' \n"
                                              "    Sfunc(State,_State); // Evaluating Node '/Net/S'\n"
                                              "\n"
                                              "Color = SOutput * N_Scale; Mask = SOutput;\n"
                                              "    NColor = Color;\n"
                                              "    NMask = Mask;\n"
                                              "}\n");
    // Neither the node's uniforms nor its inputs: the stub only zeroes outputs.
    const QString stubbedNode = QStringLiteral("\n"
                                               "//=====================\n"
                                               "//--- Non-Bakeable Node '/Net/Noise' ---\n"
                                               "//=====================\n"
                                               "vec4 NColor; // Output 'Color' \n"
                                               "vec4 NMask; // Output 'Mask' \n"
                                               "void Nfunc(inout FragmentState State, inout FragmentSystemState _State){\n"
                                               "    NColor = vec4(0,0,0,0);\n"
                                               "    NMask = vec4(0,0,0,0);\n"
                                               "}\n");
    const QString normalSinkDeclarations = QStringLiteral("\n"
                                                          "//=====================\n"
                                                          "//--- Style 1 Node '/Net/Result' ---\n"
                                                          "//=====================\n");
    const QString normalSinkBody = QStringLiteral("{\n"
                                                  "    Sfunc(State,_State); // Evaluating Node '/Net/S'\n"
                                                  "\n"
                                                  "VrnResult = SOutput;\n"
                                                  "}\n");
    // A stubbed node without outputs leaves only its banner.
    const QString stubbedSink = QStringLiteral("\n"
                                               "//=====================\n"
                                               "//--- Non-Bakeable Node '/Net/Result' ---\n"
                                               "//=====================\n");

    struct Case
    {
        const char* name;
        QStringList defines;
        bool tagged;
        QString declarations;
        QString body;
    };
    const QStringList bake{QStringLiteral("NODE_BAKE")};
    const std::vector<Case> cases{
        {"bake mode, tagged", {QStringLiteral("OTHER"), QStringLiteral("NODE_BAKE")}, true, stubbedNode + stubbedSink, QString()},
        {"bake mode, not tagged", bake, false, normalNode + normalSinkDeclarations, normalSinkBody},
        {"no bake mode, tagged", {}, true, normalNode + normalSinkDeclarations, normalSinkBody},
        {"a define that only starts like it", {QStringLiteral("NODE_BAKED")}, true, normalNode + normalSinkDeclarations, normalSinkBody},
    };
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
        EXPECT_EQ(t.declarations, c.declarations);
        EXPECT_EQ(t.body, c.body);
    }
}
