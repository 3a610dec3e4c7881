// Complete stages: the host library and main around a generator's texts, and
// the host's own code for inputs re-evaluated at another texture position.

#include "VrnTestSupport.h"

#include "VrnDemoNetwork.h"
#include "VrnReadAhead.h"
#include "VrnUniformReport.h"

#include <limits>

namespace {
QMap<unsigned, QString> assembledStages(VrnShaderNetwork* network, const QString& generator)
{
    VrnSurfaceShader surface;
    VrnShaderBuildResult result;
    EXPECT_TRUE(VrnShaderBuild::run(generator, network, &surface, result)) << result.errorText.toStdString();
    return VrnShaderBuild::assembleStages(result, network, &surface, {});
}

// Shift(Input re-evaluated at uv + offset) <- Base(source reading State.uv), and Out reads both.
struct RevalNetwork
{
    std::unique_ptr<VrnShaderNetwork> net{new VrnShaderNetwork(QStringLiteral("R"))};
    VrnSnBaseNode* base = nullptr;
    VrnSnBaseNode* shift = nullptr;
    VrnSnBaseNode* out = nullptr;

    RevalNetwork()
    {
        auto* shiftKind = new VrnSnNodeKind;
        shiftKind->name = QStringLiteral("Shift");
        shiftKind->inputs = {{QStringLiteral("Input"), QStringLiteral("vec4(State.uv, 0.0, 1.0)"), false}};
        shiftKind->outputs = QStringList{QStringLiteral("Output")};
        shiftKind->parameters = {VrnCustomAttribute(QStringLiteral("By"), QVariant::fromValue(Vector2f(0.25f, 0.0f)))};
        shiftKind->reval = {{QStringLiteral("REVAL"), QStringLiteral("Input"), QStringLiteral("State.uv.x + $By.x"), QStringLiteral("State.uv.y + $By.y")}};
        shiftKind->glsl = QStringLiteral("REVAL\nOutput = #Input;");
        base = net->createNode(VrnTest::kind(QStringLiteral("Ramp"), {}, {QStringLiteral("Output")}, QStringLiteral("Output = vec4(State.uv, 0.0, 1.0);")), QStringLiteral("Base"));
        shift = net->createNode(VrnSnNodeKindPtr(shiftKind), QStringLiteral("Shift"));
        auto sumKind = VrnTest::kind(QStringLiteral("Sum"), {QStringLiteral("A=vec4(0.0)"), QStringLiteral("B=vec4(0.0)")}, {QStringLiteral("Output")}, QStringLiteral("Output = #A + #B;"));
        VrnSnBaseNode* sum = net->createNode(sumKind, QStringLiteral("Sum"));
        out = net->createNode(VrnTest::kind(QStringLiteral("Out"), {QStringLiteral("Input=vec4(0.0)")}, {}, QStringLiteral("VrnResult = #Input;")), QStringLiteral("Out"));
        shift->connectInput(QStringLiteral("Input"), base, QStringLiteral("Output"));
        sum->connectInput(QStringLiteral("A"), shift, QStringLiteral("Output"));
        sum->connectInput(QStringLiteral("B"), base, QStringLiteral("Output"));
        out->connectInput(QStringLiteral("Input"), sum, QStringLiteral("Output"));
        net->setRoot(out);
    }
};
} // namespace

TEST(Assembly, DemoNetworkStagesCompileAndLink)
{
    VrnTest::plugin();
    std::unique_ptr<VrnShaderNetwork> network(VrnDemoNetwork::create(nullptr));
    ASSERT_NE(network, nullptr);
    const QMap<unsigned, QString> sources = assembledStages(network.get(), QStringLiteral("VrnSnGlslCodeGenerator_Style1"));
    ASSERT_EQ(sources.keys(), QList<unsigned>{35632u});
    QString error;
    EXPECT_TRUE(VrnGlslValidator::validate(sources, error)) << error.toStdString() << "\n" << sources.first().toStdString();
    EXPECT_TRUE(sources.first().startsWith(QStringLiteral("#version 450 core\n")));
}

TEST(Assembly, ValidatorReportsTheStageAndCompilerMessage)
{
    QString error;
    EXPECT_FALSE(VrnGlslValidator::validate({{35632u, QStringLiteral("#version 450 core\nvoid main() { undefinedThing = 1.0; }\n")}}, error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("fragment stage does not compile:"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("undefinedThing"))) << error.toStdString();
}

TEST(Assembly, ReevaluatedInputRunsProducersAtTheDerivedPositionAndRestoresThem)
{
    VrnTest::plugin();
    RevalNetwork r;
    const QString body = r.shift->context()->shaderBodyCode(35632, nullptr, nullptr);
    VrnTest::expectText(body);

    const QMap<unsigned, QString> sources = assembledStages(r.net.get(), QStringLiteral("VrnSnGlslCodeGenerator_Style1"));
    QString error;
    EXPECT_TRUE(VrnGlslValidator::validate(sources, error)) << error.toStdString();
}

TEST(Assembly, CacheAndBakeChannelsAreDeclaredForTheWholeNetwork)
{
    VrnTest::plugin();
    std::unique_ptr<VrnShaderNetwork> network(VrnDemoNetwork::create(nullptr));
    ASSERT_NE(network, nullptr);
    VrnSnBaseNode* shade = network->node(QStringLiteral("Shade"));
    // A generator may leave a cached node's own declarations out (bake mode), yet its consumers read the cache.
    const QString declared = QStringLiteral("uniform Channel Cache_%1Output_Shade;\n").arg(shade->hash());
    EXPECT_EQ(VrnShaderAssembler::networkChannelDeclarations(network.get()), declared);
    EXPECT_FALSE(shade->context()->shaderDeclarationCode().contains(QStringLiteral("Cache_")));

    // Kept from one build to the next, the text still follows the nodes.
    const VrnCustomAttribute cache = shade->userAttribute(shade->cacheAttributeName(QStringLiteral("Output")));
    ASSERT_TRUE(shade->removeUserAttribute(cache.name()));
    EXPECT_EQ(VrnShaderAssembler::networkChannelDeclarations(network.get()), QString()) << "a cache attribute removed";
    ASSERT_TRUE(shade->createUserAttribute(cache));
    EXPECT_EQ(VrnShaderAssembler::networkChannelDeclarations(network.get()), declared) << "a cache attribute made";
    delete shade;
    EXPECT_EQ(VrnShaderAssembler::networkChannelDeclarations(network.get()), QString()) << "the node gone";
}

TEST(Assembly, StagesTakenInPartsEqualStagesBuiltBeside)
{
    VrnTest::plugin();
    std::unique_ptr<VrnShaderNetwork> network(VrnDemoNetwork::create(nullptr));
    ASSERT_NE(network, nullptr);
    const QString channels = QStringLiteral("\n// ---- channels of the network ----\nuniform Channel Cache_%1Output_Shade;\n")
                                 .arg(network->node(QStringLiteral("Shade"))->hash());
    for (const QString& generator : VrnSnGlslCodeGeneratorManager::instance().codeGeneratorNames()) {
        VrnSurfaceShader surface;
        VrnShaderBuildResult result;
        ASSERT_TRUE(VrnShaderBuild::run(generator, network.get(), &surface, result)) << generator.toStdString();
        const QMap<unsigned, QString> beside = VrnShaderBuild::assembleStages(result, network.get(), &surface, {QStringLiteral("A")});
        const QMap<unsigned, QStringList> taken = VrnShaderBuild::takeStageParts(result, network.get(), &surface, {QStringLiteral("A")});
        EXPECT_EQ(taken.keys(), beside.keys()) << generator.toStdString();
        for (auto it = taken.constBegin(); it != taken.constEnd(); ++it)
            EXPECT_EQ(it.value().join(QString()), beside.value(it.key())) << generator.toStdString();
        EXPECT_TRUE(result.declarationCodes.isEmpty() && result.bodyCodes.isEmpty()) << "the texts were taken";
        EXPECT_TRUE(beside.value(VrnShaderType::Fragment).startsWith(QStringLiteral("#version 450 core\n#define A\n")));
        EXPECT_TRUE(beside.value(VrnShaderType::Fragment).contains(channels)) << generator.toStdString();
    }
}

TEST(Assembly, ARebuildIntoTheBuffersOfTheLastWritesTheSameTexts)
{
    VrnTest::plugin();
    std::unique_ptr<VrnShaderNetwork> network(VrnDemoNetwork::create(nullptr));
    ASSERT_NE(network, nullptr);
    for (const QString& generator : VrnSnGlslCodeGeneratorManager::instance().codeGeneratorNames()) {
        VrnSurfaceShader surface;
        VrnShaderBuildResult result;
        ASSERT_TRUE(VrnShaderBuild::run(generator, network.get(), &surface, result)) << generator.toStdString();
        const VrnShaderBuildResult first = result;
        result.clearTexts();
        VrnSurfaceShader again;
        ASSERT_TRUE(VrnShaderBuild::run(generator, network.get(), &again, result)) << generator.toStdString();
        EXPECT_EQ(result.declarationCodes, first.declarationCodes) << generator.toStdString();
        EXPECT_EQ(result.bodyCodes, first.bodyCodes) << generator.toStdString();
    }
}

TEST(Assembly, StagesBuiltInPlaceEqualStagesBuiltBeside)
{
    VrnTest::plugin();
    std::unique_ptr<VrnShaderNetwork> network(VrnDemoNetwork::create(nullptr));
    ASSERT_NE(network, nullptr);
    // A first build (no room kept), a rebuild into the room the first kept,
    // and one whose prologue is longer than that room.
    const QList<QStringList> defineRuns{{QStringLiteral("A")}, {QStringLiteral("A")}, {QStringLiteral("A"), QStringLiteral("LONGER")}};
    for (const QString& generator : VrnSnGlslCodeGeneratorManager::instance().codeGeneratorNames()) {
        VrnShaderBuildResult result;
        QMap<unsigned, QString> sources;
        for (const QStringList& defines : defineRuns) {
            VrnSurfaceShader besideSurface;
            VrnShaderBuildResult besideResult;
            ASSERT_TRUE(VrnShaderBuild::run(generator, network.get(), &besideSurface, besideResult));
            const QMap<unsigned, QString> beside = VrnShaderBuild::assembleStages(besideResult, network.get(), &besideSurface, defines);
            VrnSurfaceShader surface;
            ASSERT_TRUE(VrnShaderBuild::buildStagesInto(generator, network.get(), &surface, defines, result, sources));
            EXPECT_EQ(sources, beside) << generator.toStdString() << " " << defines.join(QLatin1Char(' ')).toStdString();
            EXPECT_EQ(surface.source(VrnShaderType::Fragment), beside.value(VrnShaderType::Fragment));
            EXPECT_TRUE(result.declarationCodes.value(VrnShaderType::Fragment).isEmpty()) << "the declarations became the stage";
        }
    }
    VrnShaderBuildResult result;
    QMap<unsigned, QString> sources;
    // Failed builds that wrote nothing (no such generator; no root to build from) assemble nothing.
    VrnShaderNetwork rootless(QStringLiteral("Rootless"));
    for (const auto& failed : {qMakePair(QStringLiteral("NoSuchGenerator"), network.get()),
                               qMakePair(VrnTest::style(1), &rootless)}) {
        EXPECT_FALSE(VrnShaderBuild::buildStagesInto(failed.first, failed.second, nullptr, {}, result, sources));
        EXPECT_TRUE(sources.isEmpty()) << failed.first.toStdString();
        EXPECT_FALSE(result.errorText.isEmpty());
    }
}

namespace {
// Writes its fragment declarations by assignment instead of appending to the
// text it is given.
class AssigningGenerator : public VrnSnBaseGlslCodeGenerator
{
public:
    bool buildShaderCode(VrnSnGlslContextManager*, VrnSvtShadingContext*, QMap<unsigned, QString>& declarationCodes,
                         QMap<unsigned, QString>& bodyCodes, const VrnSnBaseNode*, VrnSurfaceShader*, QString&) override
    {
        declarationCodes[VrnShaderType::Fragment] = QStringLiteral("float assigned;\n");
        bodyCodes[VrnShaderType::Fragment] = QStringLiteral("VrnResult = vec4(assigned);\n");
        return true;
    }
};
} // namespace

TEST(Assembly, AGeneratorThatDropsTheRoomIsBuiltAgainWithout)
{
    VrnTest::plugin();
    const QString name = QStringLiteral("TestAssigningGenerator");
    VrnSnGlslCodeGeneratorManager::instance().registerCodeGenerator(name, new AssigningGenerator); // kept once
    std::unique_ptr<VrnShaderNetwork> network(VrnDemoNetwork::create(nullptr));
    ASSERT_NE(network, nullptr);
    VrnShaderBuildResult result;
    QMap<unsigned, QString> sources;
    const int before = VrnShaderBuild::buildCount();
    for (int build = 0; build < 3; ++build)
        ASSERT_TRUE(VrnShaderBuild::buildStagesInto(name, network.get(), nullptr, {}, result, sources));
    EXPECT_EQ(VrnShaderBuild::buildCount() - before, 4) << "the second build ran again without its room, the third had none";
    VrnShaderBuildResult beside;
    ASSERT_TRUE(VrnShaderBuild::run(name, network.get(), nullptr, beside));
    EXPECT_EQ(sources, VrnShaderBuild::assembleStages(beside, network.get(), nullptr, {}));
}

TEST(Assembly, TextsWithoutAFinalLineBreakEndTheirLine)
{
    VrnShaderAssembler::StageInput input;
    input.shaderType = VrnShaderType::Fragment;
    input.declarationCode = QStringLiteral("float Declared()");
    input.bodyCode = QStringLiteral("Body();");
    for (bool taking : {false, true}) {
        VrnShaderAssembler::StageInput copy = input;
        QString source;
        if (taking)
            source = VrnShaderAssembler::assembleTaking(copy).join(QString());
        else
            VrnShaderAssembler::assembleInto(copy, source);
        EXPECT_TRUE(source.contains(QStringLiteral("\nfloat Declared()\n\n// ---- main ----\n"))) << taking;
        EXPECT_TRUE(source.endsWith(QStringLiteral("    _State.uvTile = 1001;\n    _State.depth = 0;\n    VrnResult = vec4(0.0, 0.0, 0.0, 1.0);\n"
                                                   "Body();\n    vrn_FragColor = VrnResult;\n}\n")))
            << taking;
    }
    // An empty body adds no line.
    input.bodyCode.clear();
    EXPECT_TRUE(VrnShaderAssembler::assemble(input).endsWith(QStringLiteral("vec4(0.0, 0.0, 0.0, 1.0);\n    vrn_FragColor = VrnResult;\n}\n")));
}

// Block arrays are declared rounded up to 16 elements while the rounded block
// stays within the uniform-buffer limit, and at their exact sizes beyond it.
TEST(Assembly, BlockArraysAreRoundedWhileTheRoundedBlockFits)
{
    const int limit = VrnShaderUniformBlock::kMaximumBytes / VrnShaderUniformBlock::kBytesPerElement;
    struct Row
    {
        int ints;
        QString declaredInts;
        QString declaredFloats; // the empty arrays take one element, or sixteen
    };
    // Four empty arrays round to 64 elements: the ints' rounded 16s fill the rest.
    const Row rows[] = {
        {1, QStringLiteral("16"), QStringLiteral("16")},
        {limit - 64, QString::number(limit - 64), QStringLiteral("16")},
        {limit - 63, QString::number(limit - 63), QStringLiteral("1")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.ints);
        auto block = QSharedPointer<VrnShaderUniformBlock>::create(QStringLiteral("FragmentShaderUniformBlock"));
        block->uniformIntArray0().resize(row.ints);
        VrnSurfaceShader surface;
        surface.setShaderUniformBlock(block->name(), block);
        const QString text = VrnShaderAssembler::uniformBlockDeclarations(&surface, VrnShaderType::Fragment);
        EXPECT_TRUE(text.contains(QStringLiteral("int FragmentShaderUniformBlock_u_IntUniforms0[%1];").arg(row.declaredInts))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("float FragmentShaderUniformBlock_u_FloatUniforms[%1];").arg(row.declaredFloats))) << text.toStdString();
    }
}

// Reading ahead asks the processor for memory and nothing else: with every
// list asked for, each style writes the texts and leaves the uniform data it
// does with none asked for, also where a producer was deleted.
TEST(Assembly, ReadingAheadChangesNoByte)
{
    VrnTest::plugin();
    VrnRandomNetwork::Options options;
    options.seed = 7;
    options.nodes = 300;
    const auto loaded = VrnTest::loadNetwork(QJsonDocument(VrnRandomNetwork::generate(options)).toJson(QJsonDocument::Compact));
    ASSERT_NE(loaded, nullptr);
    VrnShaderNetwork* network = loaded->network();
    delete network->nodes().at(network->nodes().at(0) == network->root() ? 1 : 0);
    const int fewest = VrnReadAhead::fewestContexts();
    for (const QString& generator : VrnSnGlslCodeGeneratorManager::instance().codeGeneratorNames()) {
        SCOPED_TRACE(generator.toStdString());
        VrnShaderBuildResult results[2];
        QJsonObject reports[2];
        for (int asked : {0, 1}) {
            VrnReadAhead::setFewestContexts(asked ? 0 : std::numeric_limits<int>::max());
            VrnSurfaceShader surface;
            VrnShaderBuild::run(generator, network, &surface, results[asked]);
            reports[asked] = VrnUniformReport::build(network, &surface);
        }
        EXPECT_FALSE(results[0].bodyCodes.isEmpty());
        EXPECT_EQ(results[1].declarationCodes, results[0].declarationCodes);
        EXPECT_EQ(results[1].bodyCodes, results[0].bodyCodes);
        EXPECT_EQ(reports[1], reports[0]);
    }
    VrnReadAhead::setFewestContexts(fewest);
}
