// The Style 5 generator: the interpreter's declarations and dispatch, one
// node function per kind and variant, and the driver that hands blocks and
// result attributes to the surface shader.
//
// Single steps run on records made here, through the plug-in's library that
// the test links; whole builds go through the generator that the loaded
// plug-in registered.

#include "VrnTestSupport.h"

#include "VrnUniformReport.h"

#include <algorithm>
#include <thread>

namespace {
using Info = VrnSnGlslStyle5ShaderTypeInfo;
using Style5 = VrnSnGlslCodeGenerator_Style5;
using VrnTest::kind;

const QString kStyle5 = QStringLiteral("VrnSnGlslCodeGenerator_Style5");
const QString kSource = QStringLiteral("VrnPlugins/VrnShaderNetworkGlslContext/VrnSnGlslCodeGenerator_Style5");
const QString kTooComplex = QStringLiteral(
    "Shader set-up is too complex to fit all data into maximum UBO size the video card supports. Either reduce the "
    "complexity of shader, layer or node graph set-up OR switch Preferences > GPU > Shader Compilation to Optimized or Legacy.");

// A record as the driver makes it, ready for a single step.
Info record(unsigned shaderType)
{
    Info r;
    r.Ok = true;
    r.ShaderType = shaderType;
    r.StateType = QString::fromLatin1(VrnSnBaseGlslCodeGenerator::getShaderTypeStateType(shaderType));
    r.SystemStateType = QString::fromLatin1(VrnSnBaseGlslCodeGenerator::getShaderTypeSystemStateType(shaderType));
    r.StateStackType = QString::fromLatin1(VrnSnBaseGlslCodeGenerator::getShaderTypeStateStackType(shaderType));
    r.UniformBlockName = QString::fromLatin1(VrnSnBaseGlslCodeGenerator::getShaderTypePrefix(shaderType)) + QStringLiteral("ShaderUniformBlock");
    return r;
}

QPair<QString, VrnCustomAttribute> parameter(const QString& name, const QVariant& value)
{
    return qMakePair(name, VrnCustomAttribute(name, value));
}

QVariant userEnum(const QStringList& options, int current, bool blendMode = false)
{
    return QVariant::fromValue(VrnUserEnum(options, current, blendMode));
}

// A fragment record with one used kind "k1" and the given analysis.
Info oneKind(const VrnSnNodeGlslInfo& info, const QString& pathKey = QStringLiteral("lib/K"))
{
    Info r = record(VrnShaderType::Fragment);
    r.UsedVersionHashes.insert(QStringLiteral("k1"));
    r.VersionHashGlslInfoMap[QStringLiteral("k1")][VrnShaderType::AllStages] = info;
    if (!pathKey.isEmpty())
        r.NodePathKeys[QStringLiteral("k1")] = pathKey;
    return r;
}

// A kind's analysis; inputs are "name=default" as in VrnTest::kind.
VrnSnNodeGlslInfo analysis(const QString& code, const QList<QPair<QString, VrnCustomAttribute>>& parameters, const QStringList& inputs,
                           const QStringList& outputs)
{
    VrnSnNodeGlslInfo info;
    info.glslCode = code;
    info.parameters = parameters;
    for (const QString& input : inputs) {
        const QString name = input.section(QLatin1Char('='), 0, 0);
        info.inputs.append(name);
        if (input.contains(QLatin1Char('=')))
            info.defaultInputs.insert(name, input.section(QLatin1Char('='), 1));
    }
    info.outputs = outputs;
    return info;
}

// The function's text between its head and its closing line.
QString functionBody(const QString& declarations, const QString& head)
{
    const int start = declarations.indexOf(head);
    if (start < 0)
        return QStringLiteral("<no %1>").arg(head);
    const int open = declarations.indexOf(QStringLiteral("{\n"), start) + 2;
    const int close = declarations.indexOf(QStringLiteral("\n}\n\n"), open);
    return declarations.mid(open, close + 1 - open);
}

// Everything a build wrote: each stage's declaration and body texts.
QString builtText(const VrnShaderBuildResult& result)
{
    QString text;
    for (auto it = result.declarationCodes.constBegin(); it != result.declarationCodes.constEnd(); ++it)
        text += QStringLiteral("== %1\n").arg(it.key()) + it.value() + QStringLiteral("== body\n") + result.bodyCodes.value(it.key());
    return text;
}

QString rebuild(VrnShaderNetwork* network)
{
    VrnSurfaceShader surface;
    VrnShaderBuildResult result;
    EXPECT_TRUE(VrnShaderBuild::run(kStyle5, network, &surface, result)) << result.errorText;
    return builtText(result);
}

struct Style5Test : VrnTest::NetworkTest
{

    static VrnSnNodeKindPtr stageKind(const QString& name, unsigned shaderType, const QStringList& inputs,
                                      const QList<VrnCustomAttribute>& parameters = {}, const QString& glsl = QStringLiteral("Output = vec4(1.0);"))
    {
        auto* k = new VrnSnNodeKind(*kind(name, inputs, {QStringLiteral("Output")}, glsl, parameters));
        k->shaderType = shaderType;
        return VrnSnNodeKindPtr(k);
    }
};
} // namespace

// --- Declarations and dispatch ----------------------------------------------

TEST(Style5Declarations, PrologueByStageCubeMapsAndReEvaluation)
{
    // Tessellation control has no channel to show: node function 0 is empty there.
    const struct { unsigned shaderType; int cubeMaps; bool reval; } rows[] = {{VrnShaderType::Fragment, 0, false}, {VrnShaderType::TessEvaluation, 2, true}, {VrnShaderType::TessControl, 0, true}};
    for (const auto& row : rows) {
        Info r = record(row.shaderType);
        if (row.cubeMaps == 2)
            r.CubemapFiles = {QStringLiteral("sky.png"), QStringLiteral("studio.png")};
        if (row.reval)
            r.RevalInfoMap[QStringLiteral("k1")].append(
                Info::RevalEntry{QStringLiteral("REVAL"), QStringLiteral("In"), QStringLiteral("u"), QStringLiteral("v"), 0});
        Style5::buildDeclarationCode(r);
        VrnTest::expectText(r.DeclarationCode);
        EXPECT_TRUE(r.BodyCode.isEmpty());
    }
}

TEST(Style5Declarations, StorageSizeIsTheNextMultipleOfTenAboveTheSlotCount)
{
    const struct { int slotCount; int size; } rows[] = {{0, 10}, {9, 10}, {10, 20}, {19, 20}, {20, 30}};
    for (const auto& row : rows) {
        Info r = record(VrnShaderType::Fragment);
        r.DeclarationCode = QStringLiteral("// prologue %1\n");
        r.StorageSlotCount = row.slotCount;
        r.FloatCount = 3;
        r.Vec4Count = 2;
        r.Vec4Uniforms = {Wm3::Vector4<float>(1, 2, 3, 4)};
        Style5::finishDeclarationCode(r);
        EXPECT_EQ(r.DeclarationCode, QStringLiteral("#define VRN_OUTPUT_INPUT_STORAGE_SIZE ") + QString::number(row.size) + QStringLiteral("\n// prologue %1\n")) << row.slotCount;
        EXPECT_EQ(r.FloatUniforms, QVector<float>(3, 0.0f));
        ASSERT_EQ(r.Vec4Uniforms.size(), 2);
        EXPECT_EQ(r.Vec4Uniforms.first(), Wm3::Vector4<float>(1, 2, 3, 4)) << "growing keeps what is there";
    }
}

// Without re-evaluation one pass calls every function; with it a second pass
// calls only the twins of the functions that re-evaluate.
TEST(Style5Declarations, DispatchHasASecondPassOfTheTwinsOnlyWithReEvaluation)
{
    Info plain = record(VrnShaderType::Fragment);
    plain.NodeFuncCount = 1;
    Style5::buildDispatchCode(plain);
    VrnTest::expectText(plain.DeclarationCode);
    VrnTest::expectText(plain.BodyCode);

    Info reval = record(VrnShaderType::TessControl);
    reval.NodeFuncCount = 3;
    reval.RevalNodeFuncIndices = {0, 2};
    reval.RevalInfoMap[QStringLiteral("k1")];
    Style5::buildDispatchCode(reval);
    VrnTest::expectText(reval.DeclarationCode);
    EXPECT_EQ(reval.BodyCode, plain.BodyCode);
}

// --- Node functions ---------------------------------------------------------

TEST(Style5NodeFunctions, OneParameterInputAndOutput)
{
    Info r = oneKind(analysis(QStringLiteral("result = #in * $gain;"), {parameter(QStringLiteral("gain"), 0.5)}, {QStringLiteral("in=vec4(1.0)")},
                              {QStringLiteral("result")}),
                     QStringLiteral("lib/Gain"));
    VrnLogCapture log;
    Style5::buildNodeFunctions(r);

    VrnTest::expectText(r.DeclarationCode);
    EXPECT_EQ(r.NodeFuncCount, 2);
    EXPECT_EQ(r.NodeFuncIndexByKey.value(QStringLiteral("k1")), 1);
    EXPECT_EQ(r.NodeFuncParameterCount.value(QStringLiteral("k1")), 1);
    EXPECT_EQ(r.NodeFuncWiringCount.value(QStringLiteral("k1")), 2);
    EXPECT_EQ(r.RevalNodeFuncIndices, QSet<int>{0});
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_EQ(log.lines().first().file, kSource);
    EXPECT_EQ(log.lines().first().line, 898);
    EXPECT_EQ(log.lines().first().message, QStringLiteral("Generate NodeFunc : 1 k1 "));
}

TEST(Style5NodeFunctions, VariantsOfOneKindDifferOnlyInHeaderEnumTextAndIndex)
{
    Info r = oneKind(analysis(QStringLiteral("Output = vec4(#In.$mode);"),
                              {parameter(QStringLiteral("mode"), userEnum({QStringLiteral("r"), QStringLiteral("g")}, 0))},
                              {QStringLiteral("In=vec4(0.5)")}, {QStringLiteral("Output")}),
                     QStringLiteral("lib/Pick"));
    // Inserted in the order opposite to the one the functions get.
    r.VersionHashVariants[QStringLiteral("k1")] = {QStringLiteral("_modeg"), QStringLiteral("_moder")};
    r.VariantEnumValues[QStringLiteral("_moder")].insert(QStringLiteral("mode"), QStringLiteral("r"));
    r.VariantEnumValues[QStringLiteral("_modeg")].insert(QStringLiteral("mode"), QStringLiteral("g"));
    Style5::buildNodeFunctions(r);

    VrnTest::expectText(r.DeclarationCode);
    EXPECT_EQ(r.NodeFuncIndexByKey.value(QStringLiteral("k1_modeg")), 1);
    EXPECT_EQ(r.NodeFuncIndexByKey.value(QStringLiteral("k1_moder")), 2);
    EXPECT_EQ(r.NodeFuncParameterCount.value(QStringLiteral("k1_moder")), 0) << "the enum is compiled in, not read";
    EXPECT_EQ(r.NodeFuncCount, 3);
}

TEST(Style5NodeFunctions, ReEvaluatedKindGetsATwinThatDoesNotReEvaluateAgain)
{
    VrnSnNodeGlslInfo info = analysis(QStringLiteral("REVAL_IN\nresult = #in;"), {parameter(QStringLiteral("shift"), 0.25)},
                                      {QStringLiteral("in=vec4(0.0)")}, {QStringLiteral("result")});
    info.invertibleInputs.insert(QStringLiteral("in"));
    Info r = oneKind(info, QStringLiteral("lib/Shift"));
    r.RevalInfoMap[QStringLiteral("k1")].append(
        Info::RevalEntry{QStringLiteral("REVAL_IN"), QStringLiteral("in"), QStringLiteral("State.uv.x + $shift"), QStringLiteral("State.uv.y"), 0});
    r.RevalVersionHashes.insert(QStringLiteral("k1"));
    Style5::buildNodeFunctions(r);

    // The twin runs inside another node's re-evaluation: calling the loop
    // again would make the shader recursive. Its slots stay those of the plain function.
    VrnTest::expectText(r.DeclarationCode);
    EXPECT_EQ(r.RevalNodeFuncIndices, (QSet<int>{0, 1}));
    EXPECT_EQ(r.NodeFuncWiringCount.value(QStringLiteral("k1")), 5) << "input, its flag, two re-evaluation slotCount, output";
}

TEST(Style5NodeFunctions, LongerNamesAreReplacedFirst)
{
    Info r = oneKind(analysis(QStringLiteral("o = ($ab ? #xy : #x) * float($a) + $unknown + #y;"),
                              {parameter(QStringLiteral("a"), 2), parameter(QStringLiteral("ab"), true)}, {QStringLiteral("x"), QStringLiteral("xy")}, {}));
    Style5::buildNodeFunctions(r);
    EXPECT_TRUE(r.DeclarationCode.contains(QStringLiteral("\no = (Parameter1 ? Input1 : Input0) * float(Parameter0) + $unknown + #y;\n")))
        << r.DeclarationCode;
}

TEST(Style5NodeFunctions, HeaderShowsThePathKeyOrTheSourceBetweenTokens)
{
    const QString begin = VrnShaderManager::startTokenForSecureShaderLog();
    const QString end = VrnShaderManager::endTokenForSecureShaderLog();
    enum class Flag { Absent, Encrypted, Open };
    const struct { const char* pathKey; Flag flag; const char* source; QString header; } rows[] = {
        // A path key hides the source whatever the flag says.
        {"lib/Secret", Flag::Encrypted, "kind Secret", QStringLiteral("// lib/Secret _m1\n")},
        {"", Flag::Encrypted, "kind Secret\n\nOut = $p;",
         begin + QStringLiteral("// (No NodePathKey) _m1\n// VersionHashSource :\n// kind Secret\n// \n// Out = $p;\n") + end},
        {"", Flag::Absent, "kind Unknown", begin + QStringLiteral("// (No NodePathKey) _m1\n// VersionHashSource :\n// kind Unknown\n") + end},
        {"", Flag::Open, "kind Open", QStringLiteral("// (No NodePathKey) _m1\n// VersionHashSource :\n// kind Open\n")},
        {"", Flag::Open, "", QStringLiteral("// (No NodePathKey) _m1\n// VersionHashSource :\n// \n")},
    };
    for (const auto& row : rows) {
        Info r = oneKind(VrnSnNodeGlslInfo(), QString::fromLatin1(row.pathKey));
        r.VersionHashVariants[QStringLiteral("k1")] = {QStringLiteral("_m1")};
        r.VersionHashSources[QStringLiteral("k1")] = QString::fromLatin1(row.source);
        if (row.flag != Flag::Absent)
            r.VersionHashEncrypted[QStringLiteral("k1")] = row.flag == Flag::Encrypted;
        Style5::buildNodeFunctions(r);
        const QString banner = QStringLiteral("//--------------------------\n");
        EXPECT_EQ(r.DeclarationCode.left(r.DeclarationCode.indexOf(QStringLiteral("void NodeFunc1 "))), banner + row.header + banner)
            << row.source;
    }
}

TEST(Style5NodeFunctions, EachParameterTypeHasItsDeclarationAndSlots)
{
    VrnLogCapture log;
    const struct { const char* name; QVariant value; int slotCount; } rows[] = {
        {"p", QVariant(true), 1}, {"p", QVariant(7), 1}, {"p", QVariant(0.5), 1}, {"p", QVariant(0.5f), 1},
        {"Channel", QVariant(QStringLiteral("Albedo")), 3}, {"p", QVariant(QStringLiteral("label")), 0},
        {"Channel", QVariant::fromValue(VrnStringList({QStringLiteral("Albedo")}, 0)), 3},
        {"p", QVariant::fromValue(VrnStringList({QStringLiteral("one")}, 0)), 1}, {"p", QVariant::fromValue(Vector2f(1, 2)), 1},
        {"p", QVariant::fromValue(Vector3f(1, 2, 3)), 1}, {"p", QVariant::fromValue(Vector4f(1, 2, 3, 4)), 1},
        {"p", QVariant::fromValue(VrnColor(1, 0, 0)), 1}, {"p", userEnum({QStringLiteral("Normal"), QStringLiteral("Screen")}, 1, true), 1},
        {"p", userEnum({QStringLiteral("x"), QStringLiteral("y")}, 1), 0}, {"p", QVariant::fromValue(VrnFileList(1, {QStringLiteral("sky.png")})), 2},
        {"p", QVariant::fromValue(VrnImageList({QStringLiteral("A")})), 4}, {"p", QVariant::fromValue(VrnGradient(64, 0, true)), 1},
        {"p", QVariant::fromValue(VrnGradient(64, 0, false)), 0}, {"p", QVariant::fromValue(VrnChannelId(QStringLiteral("Albedo"))), 3},
        {"p", QVariant::fromValue(VrnLocatorList(QStringLiteral("vec3"), {0, 1, 0})), 1},
        {"p", QVariant::fromValue(VrnLocatorList(QStringLiteral("mat4x4"), {})), 1},
        {"p", QVariant::fromValue(VrnLocatorList(QStringLiteral("vec2"), {})), 1}, {"p", QVariant(qlonglong(5)), 0},
    };
    // Each row's function body, after a one-slot parameter so that the row's offsets start at 1.
    QString bodies;
    for (const auto& row : rows) {
        VrnSnNodeGlslInfo info;
        info.parameters = {parameter(QStringLiteral("first"), false), parameter(QString::fromLatin1(row.name), row.value)};
        Info r = oneKind(info);
        Style5::buildNodeFunctions(r);
        EXPECT_EQ(r.NodeFuncParameterCount.value(QStringLiteral("k1")), 1 + row.slotCount) << row.value.typeName();
        bodies += QStringLiteral("// %1\n").arg(QString::fromLatin1(row.value.typeName())) + functionBody(r.DeclarationCode, QStringLiteral("void NodeFunc1 "));
    }
    VrnTest::expectText(bodies);
    ASSERT_EQ(log.lines().size(), int(sizeof(rows) / sizeof(rows[0])) + 1) << "one line per function and the unsupported locator";
    const auto unsupported = std::find_if(log.lines().cbegin(), log.lines().cend(), [](const VrnDebugLine& l) { return l.line == 1109; });
    ASSERT_NE(unsupported, log.lines().cend());
    EXPECT_EQ(unsupported->file, kSource);
    EXPECT_EQ(unsupported->message, QStringLiteral("Unsupported GLSL type for LocatorList: vec2"));
}

TEST(Style5NodeFunctions, KindWithoutAnalysisForTheStageGetsAnEmptyBody)
{
    Info r = record(VrnShaderType::Fragment);
    r.UsedVersionHashes.insert(QStringLiteral("k1"));
    r.VersionHashGlslInfoMap[QStringLiteral("k1")][VrnShaderType::TessEvaluation] =
        analysis(QStringLiteral("Output = vec4(1.0);"), {}, {}, {QStringLiteral("Output")});
    Style5::buildNodeFunctions(r);
    EXPECT_EQ(functionBody(r.DeclarationCode, QStringLiteral("void NodeFunc1 ")), QStringLiteral("\n\n"));
}

// --- Node information -------------------------------------------------------

// --- Driver -----------------------------------------------------------------

namespace {
// Replaces the instruction list of every record of the given shader type once
// it is built, standing in for the uniform data of a larger graph.
// Replaces the instruction list of one stage (0: every stage); with
// instructionsOnly the stage's other arrays are emptied, so that the block's
// size is the instruction list's.
class InstructionsOverride : public VrnSnGlslCodeGenerator_Style5
{
public:
    InstructionsOverride(unsigned shaderType, const QVector<int>& instructions, bool instructionsOnly = false)
        : m_shaderType(shaderType), m_instructions(instructions), m_instructionsOnly(instructionsOnly)
    {
    }
    void buildShaderTypeCodeFromContextInfo(QString& declarationCode, QString& bodyCode, unsigned shaderType, VrnSnGlslNodeAliases* aliases,
                                            QList<VrnSnBaseGlslContext*>& contexts, VrnSnGlslContextInfoMap& contextInfo) override
    {
        VrnSnGlslCodeGenerator_Style5::buildShaderTypeCodeFromContextInfo(declarationCode, bodyCode, shaderType, aliases, contexts, contextInfo);
        if (m_shaderType != 0 && shaderType != m_shaderType)
            return;
        Info& r = currentThreadShaderTypeInfos().last();
        r.InstructionList = m_instructions;
        if (m_instructionsOnly) {
            r.WiringList.clear();
            r.ParameterList.clear();
            r.FloatUniforms.clear();
            r.Vec4Uniforms.clear();
        }
    }

private:
    unsigned m_shaderType;
    QVector<int> m_instructions;
    bool m_instructionsOnly;
};

struct DriverTest : Style5Test
{
    VrnSnBaseNode* root = nullptr;

    void SetUp() override
    {
        Style5Test::SetUp();
        // One node per stage.
        VrnSnBaseNode* level = add(stageKind(QStringLiteral("Style5Level"), VrnShaderType::TessControl, {}), QStringLiteral("Level"));
        VrnSnBaseNode* height = add(stageKind(QStringLiteral("Style5Height"), VrnShaderType::TessEvaluation, {}), QStringLiteral("Height"));
        VrnSnBaseNode* colour = add(stageKind(QStringLiteral("Style5Colour"), VrnShaderType::Fragment, {}), QStringLiteral("Colour"));
        root = add(kind(QStringLiteral("Style5Out"), {QStringLiteral("Input"), QStringLiteral("Height"), QStringLiteral("Level")}, {},
                        QStringLiteral("VrnResult = #Input;")),
                   QStringLiteral("Out"));
        ASSERT_TRUE(level && height && colour && root);
        root->connectInput(QStringLiteral("Input"), colour, QStringLiteral("Output"));
        root->connectInput(QStringLiteral("Height"), height, QStringLiteral("Output"));
        root->connectInput(QStringLiteral("Level"), level, QStringLiteral("Output"));
        net->setRoot(root);
    }

    bool build(VrnSnBaseGlslCodeGenerator& generator, VrnSurfaceShader& surface, VrnShaderBuildResult& result)
    {
        return generator.buildShaderCode(&VrnSnGlslContextManager::instance(), qobject_cast<VrnSvtShadingContext*>(net->shadingContext()),
                                         result.declarationCodes, result.bodyCodes, net->root(), &surface, result.errorText);
    }
};
} // namespace

TEST_F(DriverTest, SuccessSetsTheResultAndTheTessellationText)
{
    InstructionsOverride generator(VrnShaderType::TessEvaluation, {3, -1});
    VrnSurfaceShader surface;
    // Existing attributes are changed in place, flags and all kept.
    surface.createUserAttribute(VrnCustomAttribute(QStringLiteral("VrnGenericShaderCompilationResult"), false, 0));
    surface.createUserAttribute(VrnCustomAttribute(QStringLiteral("VrnGenericShaderRequestOptimizedShaderCompilation"), false, 0));
    VrnShaderBuildResult result;
    ASSERT_TRUE(build(generator, surface, result)) << result.errorText;
    EXPECT_TRUE(result.errorText.isEmpty());
    const VrnCustomAttribute outcome = surface.userAttribute(QStringLiteral("VrnGenericShaderCompilationResult"));
    EXPECT_EQ(outcome.value(), QVariant(true));
    EXPECT_EQ(outcome.flags(), 0);
    EXPECT_EQ(surface.userAttribute(QStringLiteral("VrnGenericShaderRequestOptimizedShaderCompilation")).value(), QVariant(false));
    // Wiring: each stage's own producer in slot 0, the others' read as unconnected (-1).
    EXPECT_EQ(surface.tessellationStateString(),
              QStringLiteral("\n#########TessEval UBO Int0########\n,3,-1\n#########TessEval UBO Int1########\n,0,-1,0,-1"
                             "\n#########TessControl UBO Int0########\n,1,0,0,2,0,1,-8888,-8888,-8888"
                             "\n#########TessControl UBO Int1########\n,0,-1,-1,0"
                             "\n#########TessEval Code########\n")
                  + result.declarationCodes.value(VrnShaderType::TessEvaluation) + QStringLiteral("\n#########TessControl Code########\n")
                  + result.declarationCodes.value(VrnShaderType::TessControl));
}

TEST_F(DriverTest, EachBlockTooLargeIsReportedAndAsksForTheOptimizedCompilation)
{
    // 4097 ints of 16 bytes each pass the 65,536 bytes of a uniform buffer.
    InstructionsOverride generator(0, QVector<int>(4097, -8888), true);
    VrnSurfaceShader surface;
    surface.setTessellationStateString(QStringLiteral("earlier"));
    VrnShaderBuildResult result;
    result.errorText = QStringLiteral("before:");
    EXPECT_FALSE(build(generator, surface, result));
    EXPECT_EQ(result.errorText, QStringLiteral("before:") + kTooComplex + kTooComplex + kTooComplex) << "once per block, nothing between";
    const VrnCustomAttribute outcome = surface.userAttribute(QStringLiteral("VrnGenericShaderCompilationResult"));
    EXPECT_EQ(outcome.value(), QVariant(false));
    EXPECT_TRUE(outcome.isVisible());
    EXPECT_FALSE(outcome.isTweakable());
    const VrnCustomAttribute request = surface.userAttribute(QStringLiteral("VrnGenericShaderRequestOptimizedShaderCompilation"));
    EXPECT_EQ(request.value(), QVariant(true));
    EXPECT_TRUE(request.isVisible());
    EXPECT_FALSE(request.isTweakable());
    EXPECT_EQ(surface.tessellationStateString(), QStringLiteral("earlier"));
    ASSERT_EQ(surface.shaderUniformBlocks().size(), 3) << "blocks are handed over all the same";
    EXPECT_EQ(surface.shaderUniformBlock(QStringLiteral("FragmentShaderUniformBlock"))->intArray(0).size(), 4097);

    // One block just inside the limit is fine.
    InstructionsOverride fits(0, QVector<int>(4096, -8888), true);
    VrnSurfaceShader other;
    VrnShaderBuildResult again;
    EXPECT_TRUE(build(fits, other, again)) << again.errorText;
    EXPECT_EQ(other.userAttribute(QStringLiteral("VrnGenericShaderCompilationResult")).value(), QVariant(true));
    EXPECT_FALSE(other.exists(QStringLiteral("VrnGenericShaderRequestOptimizedShaderCompilation")));
}

// The text without the parts between the secure-log tokens.
QString withoutSecureParts(QString text)
{
    const QString begin = VrnShaderManager::startTokenForSecureShaderLog();
    const QString end = VrnShaderManager::endTokenForSecureShaderLog();
    for (int at = text.indexOf(begin); at >= 0; at = text.indexOf(begin)) {
        const int stop = text.indexOf(end, at);
        if (stop < 0)
            return text.left(at);
        text.remove(at, stop + end.size() - at);
    }
    return text;
}

TEST_F(DriverTest, TheLastNodesEncryptionFlagDecidesAndSourceStaysOutOfLogs)
{
    auto* secret = new VrnSnNodeKind(*kind(QStringLiteral("Style5Hidden"), {QStringLiteral("Input")}, {QStringLiteral("Output")},
                                           QStringLiteral("Output = #Input * 0.5;")));
    secret->encrypted = true;
    const VrnSnNodeKindPtr kindPtr(secret);
    // A copy of the kind has an equal version hash in characters of its own.
    const VrnSnNodeKindPtr copyPtr(new VrnSnNodeKind(*secret));
    VrnSnBaseNode* first = add(kindPtr, QStringLiteral("Hidden"));
    VrnSnBaseNode* between = add(copyPtr, QStringLiteral("Between"));
    VrnSnBaseNode* opened = add(kindPtr, QStringLiteral("Opened"));
    ASSERT_TRUE(first && between && opened);
    opened->setEncrypted(false); // comes last in the list: its flag replaces the others'
    between->connectInput(QStringLiteral("Input"), first, QStringLiteral("Output"));
    opened->connectInput(QStringLiteral("Input"), between, QStringLiteral("Output"));
    root->connectInput(QStringLiteral("Input"), opened, QStringLiteral("Output"));

    VrnLogCapture log;
    Style5 generator;
    VrnSurfaceShader surface;
    VrnShaderBuildResult result;
    ASSERT_TRUE(build(generator, surface, result)) << result.errorText;
    const QString fragment = result.declarationCodes.value(VrnShaderType::Fragment);
    ASSERT_TRUE(fragment.contains(QStringLiteral("// kind Style5Hidden\n")));
    EXPECT_TRUE(withoutSecureParts(fragment).contains(QStringLiteral("kind Style5Hidden"))) << "the last node of the version hash is open";
    for (const QString& line : kindPtr->versionHashSource().split(QLatin1Char('\n')))
        for (const QString& message : log.messages())
            EXPECT_FALSE(message.contains(line)) << message;
}

// Only a kind whose version uuid the network manager knows is named by its
// path key; two nodes of that kind both find it.
TEST_F(DriverTest, AKindKnownToTheNetworkManagerIsNamedByItsPathKey)
{
    const VrnSnNodeKindPtr shade = kind(QStringLiteral("Style5Shade"), {QStringLiteral("Input")}, {QStringLiteral("Output")},
                                        QStringLiteral("Output = #Input * 0.5;"));
    VrnSnBaseNode* near = add(shade, QStringLiteral("Near"));
    VrnSnBaseNode* far = add(shade, QStringLiteral("Far"));
    ASSERT_TRUE(near && far);
    far->connectInput(QStringLiteral("Input"), near, QStringLiteral("Output"));
    root->connectInput(QStringLiteral("Input"), far, QStringLiteral("Output"));
    VrnShaderNetworkManager::instance().registerVersionUUID(near->versionUUID(), QStringLiteral("lib/Shade"));

    Style5 generator;
    VrnSurfaceShader surface;
    VrnShaderBuildResult result;
    ASSERT_TRUE(build(generator, surface, result)) << result.errorText;
    const QString fragment = result.declarationCodes.value(VrnShaderType::Fragment);
    EXPECT_EQ(fragment.count(QStringLiteral("// lib/Shade ")), 1) << "one node function for the kind";
    EXPECT_TRUE(fragment.contains(QStringLiteral("// (No NodePathKey) "))) << "the root's kind is unknown to the manager";
}

// The texts and the uniform data a build leaves for the renderer.
QString textsAndData(VrnShaderNetwork* network)
{
    VrnSurfaceShader surface;
    VrnShaderBuildResult result;
    if (!VrnShaderBuild::run(kStyle5, network, &surface, result))
        return QStringLiteral("failed: ") + result.errorText;
    return builtText(result) + QString::fromUtf8(QJsonDocument(VrnUniformReport::build(network, &surface)).toJson());
}

TEST(Style5Builds, ConcurrentBuildsGiveTheTextsAndDataOfOneThread)
{
    ASSERT_NE(VrnTest::plugin().plugin, nullptr);
    const QStringList names = VrnTest::exampleFiles();
    ASSERT_FALSE(names.isEmpty());
    QObject owner;
    const int threads = 4;
    // One copy of every example per thread and one for the serial reference.
    std::vector<std::vector<VrnShaderNetwork*>> networks(threads + 1);
    for (auto& own : networks)
        for (const QString& name : names) {
            VrnLoadedNetwork loaded;
            QString error;
            ASSERT_TRUE(VrnNetworkLoader::loadFile(name, &owner, loaded, error)) << error;
            own.push_back(loaded.network);
        }
    QStringList reference;
    for (VrnShaderNetwork* network : networks[threads])
        reference.append(textsAndData(network));

    std::vector<QStringList> texts(threads);
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back([&, t] {
            for (int round = 0; round < 3; ++round)
                for (VrnShaderNetwork* network : networks[t])
                    texts[t].append(textsAndData(network));
        });
    for (std::thread& w : workers)
        w.join();
    for (int t = 0; t < threads; ++t) {
        ASSERT_EQ(texts[t].size(), 3 * names.size());
        for (int i = 0; i < texts[t].size(); ++i)
            EXPECT_EQ(texts[t].at(i), reference.at(i % names.size())) << "thread " << t << " " << names.at(i % names.size());
    }
}

TEST(Style5Builds, ValuesBlendModesAndWiringLeaveTheTextAlone)
{
    ASSERT_NE(VrnTest::plugin().plugin, nullptr);
    auto setEnum = [](VrnSnBaseNode* n, const QString& attribute, const QString& text) {
        VrnUserEnum e = n->userAttribute(attribute).value().value<VrnUserEnum>();
        ASSERT_TRUE(e.setCurrentEnumString(text));
        n->setUserAttribute(attribute, QVariant::fromValue(e));
    };
    auto connect = [](VrnShaderNetwork* net, const char* to, const char* input, const char* from) {
        ASSERT_TRUE(net->node(QString::fromLatin1(to))->connectInput(QString::fromLatin1(input), net->node(QString::fromLatin1(from)), QStringLiteral("Output")));
    };
    const struct { const char* example; std::function<void(VrnShaderNetwork*)> edit; bool textChanges; } rows[] = {
        {"lit-base", [](VrnShaderNetwork* n) { n->node(QStringLiteral("Sky"))->setUserAttribute(QStringLiteral("Amount"), 0.3); }, false},
        {"lit-base",
         [](VrnShaderNetwork* n) { n->node(QStringLiteral("Ambient"))->setUserAttribute(QStringLiteral("Color"), QVariant::fromValue(VrnColor(0.5f, 0.1f, 0.1f))); },
         false},
        {"lit-base", [&](VrnShaderNetwork* n) { connect(n, "Lit", "A", "Sky"); connect(n, "Lit", "B", "Base"); }, false},
        {"masked-rust", [&](VrnShaderNetwork* n) { setEnum(n->node(QStringLiteral("Layered")), QStringLiteral("Mode"), QStringLiteral("Normal")); }, false},
        {"masked-rust", [&](VrnShaderNetwork* n) { connect(n, "Layered", "A", "Rust"); connect(n, "Layered", "B", "Clean"); connect(n, "Pitted", "A", "Pitting"); connect(n, "Pitted", "B", "Layered"); },
         false},
        {"checker-offset", [](VrnShaderNetwork* n) { n->node(QStringLiteral("Pattern"))->setUserAttribute(QStringLiteral("Cells"), 3.0); }, false},
        {"checker-offset", [&](VrnShaderNetwork* n) { connect(n, "Blend", "A", "Shifted"); connect(n, "Blend", "B", "Painted"); }, false},
        // An enum that is no blend mode is compiled in: the text must notice it.
        {"masked-rust", [&](VrnShaderNetwork* n) { setEnum(n->node(QStringLiteral("Pitting")), QStringLiteral("Component"), QStringLiteral("b")); }, true},
    };
    for (const auto& row : rows) {
        const auto example = VrnTest::loadNetworkFile(VrnTest::examplePath(QString::fromLatin1(row.example) + QStringLiteral(".json")));
        ASSERT_NE(example, nullptr);
        const QString before = rebuild(example->network());
        ASSERT_FALSE(before.isEmpty());
        row.edit(example->network());
        EXPECT_EQ(rebuild(example->network()) != before, row.textChanges) << row.example << ", edit " << int(&row - rows);
    }
}
