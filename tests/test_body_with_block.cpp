// The host's body code written against a uniform block: each parameter read
// from the slots its location names, everything else as in shaderBodyCode.

#include "VrnBodyCodeScope.h"
#include "VrnTestSupport.h"

namespace {
using Location = VrnShaderUniformBlock::Location;

VrnSnNodeKindPtr everyTypeKind()
{
    const QList<VrnCustomAttribute> params{
        VrnCustomAttribute(QStringLiteral("Flag"), true), VrnCustomAttribute(QStringLiteral("Count"), 3),
        VrnCustomAttribute(QStringLiteral("Rate"), QVariant::fromValue(0.5f)), VrnCustomAttribute(QStringLiteral("Weight"), 0.25),
        VrnCustomAttribute(QStringLiteral("Shift"), QVariant::fromValue(Vector2f(0.1f, 0.2f))),
        VrnCustomAttribute(QStringLiteral("Tilt"), QVariant::fromValue(Vector3f(0.1f, 0.2f, 0.3f))),
        VrnCustomAttribute(QStringLiteral("Bias"), QVariant::fromValue(Vector4f(0.1f, 0.2f, 0.3f, 0.4f))),
        VrnCustomAttribute(QStringLiteral("Tint"), QVariant::fromValue(VrnColor(1, 0, 0, 1))),
        VrnCustomAttribute(QStringLiteral("Pick"), QVariant::fromValue(VrnUserEnum({QStringLiteral("x"), QStringLiteral("y")}, 1))),
        VrnCustomAttribute(QStringLiteral("Mode"), QVariant::fromValue(VrnUserEnum({QStringLiteral("Normal"), QStringLiteral("Multiply"), QStringLiteral("Screen")}, 2, true))),
        VrnCustomAttribute(QStringLiteral("Entries"), QVariant::fromValue(VrnStringList({QStringLiteral("a"), QStringLiteral("b")}, 1))),
        VrnCustomAttribute(QStringLiteral("Paint"), QVariant::fromValue(VrnChannelId(QStringLiteral("Base")))),
        VrnCustomAttribute(QStringLiteral("Layers"), QVariant::fromValue(VrnImageList({QStringLiteral("Base")}))),
        VrnCustomAttribute(QStringLiteral("Ramp"), QVariant::fromValue(VrnGradient(64, 0, true))),
        VrnCustomAttribute(QStringLiteral("Anchor"), QVariant::fromValue(VrnLocatorList(QStringLiteral("vec3"), {0, 1, 0}))),
        VrnCustomAttribute(QStringLiteral("Frame"), QVariant::fromValue(VrnLocatorList(QStringLiteral("mat4x4"), {}))),
        VrnCustomAttribute(QStringLiteral("Env"), QVariant::fromValue(VrnFileList(1))),
    };
    auto* k = new VrnSnNodeKind(*VrnTest::kind(
        QStringLiteral("All"), {QStringLiteral("In")}, {QStringLiteral("Output")},
        QStringLiteral("REVAL\na($Flag) b($Count) c($Rate) d($Weight) e($Shift) f($Tilt) g($Bias) h($Tint) i($Pick) j($Mode) "
                       "k($Entries) l($Paint) m($Layers) n($Ramp) o($Anchor) p($Frame) q($Frame_Inverse) r($Env) s(#In) t(#In_INVERTED)"),
        params));
    k->inputs[0].invertible = true;
    k->reval.append({QStringLiteral("REVAL"), QStringLiteral("In"), QStringLiteral("$Rate"), QStringLiteral("0.5")});
    return VrnSnNodeKindPtr(k);
}

} // namespace

TEST(BodyWithBlock, EachParameterReadsItsSlotsAndTheRestIsAsWithoutBlock)
{
    VrnShaderNetwork net(QStringLiteral("Net"));
    QString error;
    VrnSnBaseNode* n = net.createNode(everyTypeKind(), QStringLiteral("All"), &error);
    ASSERT_NE(n, nullptr) << error.toStdString();
    const QString uuid = n->uuidString();

    // locations: parameter and index in its array; expectedText: the whole text is checked, or only the blend mode's slot.
    struct Case { const char* name; QList<QPair<QString, int>> locations; bool expectedText; };
    const QList<QPair<QString, int>> every{{QStringLiteral("Flag"), 3},    {QStringLiteral("Count"), 4},  {QStringLiteral("Rate"), 1},
                                           {QStringLiteral("Weight"), 2},  {QStringLiteral("Shift"), 5},  {QStringLiteral("Tilt"), 6},
                                           {QStringLiteral("Bias"), 7},    {QStringLiteral("Tint"), 8},   {QStringLiteral("Entries"), 9},
                                           {QStringLiteral("Paint"), 10},  {QStringLiteral("Layers"), 13}, {QStringLiteral("Ramp"), 17},
                                           {QStringLiteral("Anchor"), 20}, {QStringLiteral("Frame"), 21}};
    QList<QPair<QString, int>> blendModeToo = every;
    blendModeToo.append({QStringLiteral("Mode"), 30});
    const std::vector<Case> cases{{"every parameter in the block", every, true}, {"a blend mode with a slot", blendModeToo, false}, {"no locations", {}, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto block = QSharedPointer<VrnShaderUniformBlock>::create(QStringLiteral("FragmentShaderUniformBlock"));
        for (const auto& location : c.locations)
            block->uniformLocationMap().insert({uuid, location.first}, Location(0, location.second));
        const QString body = n->context()->shaderBodyCodeWithShaderUniformBlock(VrnShaderType::Fragment, nullptr, block);
        if (!c.expectedText)
            EXPECT_TRUE(body.contains(QStringLiteral(" j(GET_INT(30)) "))) << body.toStdString();
        else
            VrnTest::expectText(body);
    }
    // Without a block the text is shaderBodyCode's.
    EXPECT_EQ(n->context()->shaderBodyCodeWithShaderUniformBlock(VrnShaderType::Fragment, nullptr, {}),
              n->context()->shaderBodyCode(VrnShaderType::Fragment, nullptr, nullptr));
    EXPECT_TRUE(n->context()->shaderBodyCode(VrnShaderType::Fragment, nullptr, nullptr).contains(QStringLiteral(" j(All_Mode) ")));
}

TEST(BodyWithBlock, ValuesTheHostMustResolveAreKeptForTheRenderer)
{
    VrnShaderUniformBlock::LocationMap locations;
    const QString n = QStringLiteral("node");
    locations.insert({n, QStringLiteral("Entries")}, {0, 0});
    locations.insert({n, QStringLiteral("Channel")}, {0, 1});
    locations.insert({n, QStringLiteral("Ramp")}, {0, 4});
    locations.insert({n, QStringLiteral("Layers")}, {0, 5});
    locations.insert({n, QStringLiteral("LateLayers")}, {0, 6});
    locations.insert({n, QStringLiteral("Anchor")}, {0, 0});
    locations.insert({n, QStringLiteral("Frame")}, {0, 1});
    locations.insert({n, QStringLiteral("Odd")}, {0, 1});
    locations.insert({n, QStringLiteral("LateFrame")}, {0, 2});
    locations.insert({n, QStringLiteral("limitBakeBackground")}, {0, 3});
    VrnShaderUniformBlock::EveryFrameMap everyFrame;
    everyFrame.insert(QStringLiteral("node_limitBakeBackground"), {n, QStringLiteral("limitBakeBackground")});
    QVector<Wm3::Vector4<float>> vec4s(9, Wm3::Vector4<float>(9, 9, 9, 9));
    VrnShaderUniformBlock block(QStringLiteral("b"), QVector<int>(9, -1), {}, {}, locations, everyFrame, {}, vec4s);

    const QStringList entries{QStringLiteral("first"), QStringLiteral("second")};
    EXPECT_TRUE(block.setShaderUniformBlockUniform(nullptr, n, QStringLiteral("Entries"), QVariant::fromValue(VrnStringList(entries, 1))));
    EXPECT_TRUE(block.setShaderUniformBlockUniform(nullptr, n, QStringLiteral("Channel"), QVariant::fromValue(VrnStringList({QStringLiteral("Base")}, 0))));
    EXPECT_TRUE(block.setShaderUniformBlockUniform(nullptr, n, QStringLiteral("Ramp"), QVariant::fromValue(VrnGradient(64, 0, true))));
    EXPECT_TRUE(block.setShaderUniformBlockUniform(nullptr, n, QStringLiteral("Layers"), QVariant::fromValue(VrnImageList({QStringLiteral("Base")}))));
    EXPECT_FALSE(block.setShaderUniformBlockUniform(nullptr, n, QStringLiteral("LateLayers"), QVariant::fromValue(VrnImageList()))) << "4 ints pass the end";
    const VrnLocatorList point(QStringLiteral("vec3"), {1, 2, 3});
    const VrnLocatorList frame(QStringLiteral("mat4x4"), {});
    EXPECT_TRUE(block.setShaderUniformBlockUniform(nullptr, n, QStringLiteral("Anchor"), QVariant::fromValue(point)));
    EXPECT_TRUE(block.setShaderUniformBlockUniform(nullptr, n, QStringLiteral("Frame"), QVariant::fromValue(frame)));
    EXPECT_FALSE(block.setShaderUniformBlockUniform(nullptr, n, QStringLiteral("Odd"), QVariant::fromValue(VrnLocatorList(QStringLiteral("mat3"), {}))));
    EXPECT_FALSE(block.setShaderUniformBlockUniform(nullptr, n, QStringLiteral("LateFrame"), QVariant::fromValue(frame))) << "8 vec4s pass the end";
    // The bake background refreshed every frame is a vec4, not the int at the same index.
    EXPECT_TRUE(block.setShaderUniformBlockUniform(nullptr, n, QStringLiteral("limitBakeBackground"), true));

    EXPECT_EQ(block.intArray(0), (QVector<int>{1, -1, -1, -1, 0, -1, -1, -1, -1}));
    EXPECT_EQ(block.channelReferences().keys(), QList<Location>{Location(0, 1)});
    EXPECT_EQ(block.imageListReferences().value({0, 5}), QStringList{QStringLiteral("Base")});
    EXPECT_EQ(block.imageListReferences().size(), 1);
    EXPECT_EQ(block.locatorLists().value(0), point);
    EXPECT_EQ(block.locatorLists().value(1), frame);
    EXPECT_EQ(block.locatorLists().size(), 2);
    EXPECT_EQ(block.vec4Array().at(3), Wm3::Vector4<float>(0, 0, 0, 0));
    EXPECT_EQ(block.vec4Array().at(4), Wm3::Vector4<float>(9, 9, 9, 9));

    // Not refreshed every frame, the same switch is an ordinary boolean.
    block.uniformsToUpdateEveryFrame().clear();
    block.uniformVec4Array()[3] = Wm3::Vector4<float>(9, 9, 9, 9);
    EXPECT_TRUE(block.setShaderUniformBlockUniform(nullptr, n, QStringLiteral("limitBakeBackground"), true));
    EXPECT_EQ(block.intArray(0).at(3), 1);
    EXPECT_EQ(block.vec4Array().at(3), Wm3::Vector4<float>(9, 9, 9, 9));
}

// A build that asks for a node's body twice gets the first text again while
// its scope lives; other arguments, a scope of its own, or no scope at all
// work the text out from the node as it is.
TEST(BodyWithBlock, AScopeAnswersARepeatedAskWithTheFirstText)
{
    VrnShaderNetwork net(QStringLiteral("Net"));
    QString error;
    const QList<VrnCustomAttribute> params{
        VrnCustomAttribute(QStringLiteral("Pick"), QVariant::fromValue(VrnUserEnum({QStringLiteral("x"), QStringLiteral("y")}, 0)))};
    VrnSnBaseNode* n = net.createNode(VrnTest::kind(QStringLiteral("P"), {}, {QStringLiteral("Output")}, QStringLiteral("Output = $Pick;"), params),
                                      QStringLiteral("P"), &error);
    ASSERT_NE(n, nullptr) << error.toStdString();
    VrnSnBaseGlslContext* c = n->context();
    const auto pick = [&](int index) {
        n->setUserAttribute(QStringLiteral("Pick"), QVariant::fromValue(VrnUserEnum({QStringLiteral("x"), QStringLiteral("y")}, index)));
    };
    const auto body = [&](unsigned type) { return c->shaderBodyCode(type, nullptr, nullptr); };
    const QString x = QStringLiteral("Output = x;");
    const QString y = QStringLiteral("Output = y;");

    EXPECT_EQ(VrnBodyCodeScope::current(), nullptr);
    {
        VrnBodyCodeScope outer(4);
        EXPECT_EQ(VrnBodyCodeScope::current(), &outer);
        EXPECT_EQ(body(VrnShaderType::Fragment), x);
        pick(1);
        EXPECT_EQ(body(VrnShaderType::Fragment), x) << "asked again in the same scope";
        EXPECT_EQ(body(VrnShaderType::TessEvaluation), y) << "another stage is worked out";
        {
            VrnBodyCodeScope inner(4);
            EXPECT_EQ(VrnBodyCodeScope::current(), &inner);
            pick(0);
            EXPECT_EQ(body(VrnShaderType::TessEvaluation), x) << "an inner scope keeps its own answers";
        }
        EXPECT_EQ(VrnBodyCodeScope::current(), &outer);
        EXPECT_EQ(body(VrnShaderType::TessEvaluation), y);
    }
    EXPECT_EQ(VrnBodyCodeScope::current(), nullptr);
    EXPECT_EQ(body(VrnShaderType::TessEvaluation), x);
    pick(1);
    EXPECT_EQ(body(VrnShaderType::TessEvaluation), y) << "without a scope every ask reads the node";
}

// A build that wants only the cube-map samplers gets the very lines the whole
// declaration text holds for them, and nothing else.
TEST(BodyWithBlock, SamplerCubeLinesAreThoseOfTheWholeDeclaration)
{
    VrnShaderNetwork net(QStringLiteral("Net"));
    QString error;
    VrnSnBaseNode* n = net.createNode(everyTypeKind(), QStringLiteral("All"), &error);
    ASSERT_NE(n, nullptr) << error.toStdString();
    QString wanted;
    for (const QString& line : n->context()->shaderDeclarationCode().split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1String("uniform samplerCube")))
            wanted += line + QLatin1Char('\n');
    EXPECT_EQ(wanted, QStringLiteral("uniform samplerCube All_Env;\n"));
    EXPECT_EQ(n->context()->samplerCubeDeclarationLines(), wanted);
}
