#include "VrnSnGlslCodeGenerator_Style5.h"

#include "VrnAttributeValues.h"
#include "VrnCustomAttribute.h"
#include "VrnDebug.h"
#include "VrnShaderManager.h"
#include "VrnShaderNetwork.h"
#include "VrnShaderNetworkManager.h"
#include "VrnShaderNetworkUtils.h"
#include "VrnShaderUniformBlock.h"
#include "VrnShadingContext.h"
#include "VrnSnBaseGlslContext.h"
#include "VrnSnBaseNode.h"
#include "VrnSnGlslContextManager.h"
#include "VrnSnGlslEmission.h"
#include "VrnSnGlslLog.h"
#include "VrnSnGlslParameterLayout.h"
#include "VrnSnNodeKind.h"
#include "VrnSurfaceShader.h"

#include "VrnMutexLocker.h"
#include <QSharedPointer>
#include <QThread>

#include <algorithm>

namespace ParameterLayout = VrnSnGlslParameterLayout;

namespace {
using namespace VrnSnGlslLog::Style5Line;

// A context's record, read without inserting one or detaching the map the
// record list shares with its caller.
const VrnSnGlslCodeGeneratorContextInfo& contextInfoOf(const VrnSnGlslStyle5ShaderTypeInfo& r, VrnSnBaseGlslContext* c)
{
    static const VrnSnGlslCodeGeneratorContextInfo none;
    const auto found = r.ContextInfoMap.constFind(c);
    return found == r.ContextInfoMap.constEnd() ? none : found.value();
}

const char* const kMissingHashPrefix = "[ !! ] Assertion 'VersionHashGlslInfoMap.contains(VersionHash)' failed: ";
const char* const kMissingTypePrefix = "[ !! ] Assertion 'VersionHashGlslInfoMap[VersionHash].contains(ShaderType)' failed: ";

// Sentinels of the int lists; the interpreter stops a list at any negative instruction.
const int kUnwritten = -9999;
const int kSeparator = -1000;
const int kTerminator = -8888;
const int kDefaultInput = -1;
const int kNoSubList = -6000;
const int kCacheActive = 2;

const QString kCompilationResult = QStringLiteral("VrnGenericShaderCompilationResult");
const QString kRequestOptimized = QStringLiteral("VrnGenericShaderRequestOptimizedShaderCompilation");
const QString kTooComplex = QStringLiteral(
    "Shader set-up is too complex to fit all data into maximum UBO size the video card supports. Either reduce the "
    "complexity of shader, layer or node graph set-up OR switch Preferences > GPU > Shader Compilation to Optimized or Legacy.");

const QString kBanner = QStringLiteral("//--------------------------\n");
const QString kChannel = QStringLiteral("Channel");

QString glslName(const char* name)
{
    return name ? QString::fromLatin1(name) : QString();
}

// An attribute that already exists keeps its flags; a new one is shown but not editable.
void setResultAttribute(VrnSurfaceShader* surfaceShader, const QString& name, bool value)
{
    if (!surfaceShader)
        return;
    if (surfaceShader->exists(name)) {
        surfaceShader->setUserAttribute(name, QVariant(value), true);
        return;
    }
    VrnCustomAttribute attribute(name, QVariant(value));
    attribute.setTweakable(false);
    attribute.setVisible(true);
    surfaceShader->createUserAttribute(attribute);
}

QString commaList(const QVector<int>& values)
{
    QString text;
    for (int v : values)
        text += QStringLiteral(",%1").arg(v);
    return text;
}

bool isEnumVariant(const QVariant& value)
{
    return value.canConvert<VrnUserEnum>() && !VrnShaderNetworkUtils::isBlendModeVariant(value);
}

// Longer names first, so that a name is never replaced inside a longer one
// that starts with it; equal lengths by name, so that the text is the same in every run.
void sortLongestFirst(QStringList& names)
{
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.size() != b.size() ? a.size() > b.size() : a < b;
    });
}

} // namespace

VrnSnGlslCodeGenerator_Style5::~VrnSnGlslCodeGenerator_Style5() = default;

// --- Driver ---------------------------------------------------------------

QList<VrnSnGlslCodeGenerator_Style5::ShaderTypeInfo>& VrnSnGlslCodeGenerator_Style5::currentThreadShaderTypeInfos()
{
    // The hash's nodes stay where they are when other threads insert theirs,
    // so the list can be used after the lock is gone.
    VrnMutexLocker lock(&ShaderTypeInfoMutex);
    return ShaderTypeInfoListsByThread[QThread::currentThread()];
}

QList<VrnSnGlslCodeGenerator_Style5::ShaderTypeInfo> VrnSnGlslCodeGenerator_Style5::shaderTypeInfos()
{
    return currentThreadShaderTypeInfos();
}

bool VrnSnGlslCodeGenerator_Style5::buildShaderCode(VrnSnGlslContextManager* manager, VrnSvtShadingContext* shadingContext,
                                                    QMap<unsigned, QString>& declarationCodes, QMap<unsigned, QString>& bodyCodes,
                                                    const VrnSnBaseNode* root, VrnSurfaceShader* surfaceShader, QString& errorText)
{
    currentThreadShaderTypeInfos().clear();
    const bool built = VrnSnBaseGlslCodeGenerator::buildShaderCode(manager, shadingContext, declarationCodes, bodyCodes, root,
                                                                   surfaceShader, errorText);
    bool ok = true;
    QString tessellationState;
    const QList<ShaderTypeInfo> records = currentThreadShaderTypeInfos();
    for (const ShaderTypeInfo& r : records) {
        const QString& name = r.UniformBlockName;
        QSharedPointer<VrnShaderUniformBlock> block(new VrnShaderUniformBlock(name, r.InstructionList, r.WiringList, r.ParameterList,
                                                                              r.UniformLocationMap, r.UniformsToUpdateEveryFrame,
                                                                              r.FloatUniforms, r.Vec4Uniforms));
        if (!block->isValid()) {
            errorText += kTooComplex;
            ok = false;
        }
        // Handed over even when it does not fit: the host decides what to compile instead.
        if (surfaceShader)
            surfaceShader->setShaderUniformBlock(name, block);
        if (r.ShaderType == VrnShaderType::TessEvaluation || r.ShaderType == VrnShaderType::TessControl) {
            const QString stage = r.ShaderType == VrnShaderType::TessEvaluation ? QStringLiteral("TessEval") : QStringLiteral("TessControl");
            tessellationState += QStringLiteral("\n#########%1 UBO Int0########\n").arg(stage) + commaList(block->uniformIntArray0());
            tessellationState += QStringLiteral("\n#########%1 UBO Int1########\n").arg(stage) + commaList(block->uniformIntArray1());
        }
        for (auto it = r.BlockUniforms.constBegin(); it != r.BlockUniforms.constEnd(); ++it)
            block->setShaderUniformBlockUniform(surfaceShader, it.key().first, it.key().second, it.value());
    }
    setResultAttribute(surfaceShader, kCompilationResult, ok);
    if (!ok) {
        setResultAttribute(surfaceShader, kRequestOptimized, true);
        return false;
    }
    tessellationState += QStringLiteral("\n#########TessEval Code########\n") + declarationCodes.value(VrnShaderType::TessEvaluation);
    tessellationState += QStringLiteral("\n#########TessControl Code########\n") + declarationCodes.value(VrnShaderType::TessControl);
    if (surfaceShader)
        surfaceShader->setTessellationStateString(tessellationState);
    return built;
}

void VrnSnGlslCodeGenerator_Style5::buildShaderTypeCode(VrnSnGlslContextManager*, VrnSvtShadingContext* shadingContext,
                                                        QString& declarationCode, QString& bodyCode, unsigned shaderType,
                                                        VrnSnGlslNodeAliases* aliases, QList<VrnSnBaseGlslContext*>& contexts)
{
    VrnSnGlslContextInfoMap contextInfo = buildContextInfo(shadingContext, aliases, contexts);
    buildShaderTypeCodeFromContextInfo(declarationCode, bodyCode, shaderType, aliases, contexts, contextInfo);
}

void VrnSnGlslCodeGenerator_Style5::buildShaderTypeCodeFromContextInfo(QString& declarationCode, QString& bodyCode, unsigned shaderType,
                                                                       VrnSnGlslNodeAliases* aliases,
                                                                       QList<VrnSnBaseGlslContext*>& contexts,
                                                                       VrnSnGlslContextInfoMap& contextInfo)
{
    QList<ShaderTypeInfo>& list = currentThreadShaderTypeInfos();
    list.append(ShaderTypeInfo());
    ShaderTypeInfo& r = list.last(); // last() detaches, so the record is the list's own
    generateShaderTypeCode(r, declarationCode, bodyCode, shaderType, aliases, contexts, contextInfo);
}

void VrnSnGlslCodeGenerator_Style5::generateShaderTypeCode(ShaderTypeInfo& r, QString& declarationCode, QString& bodyCode,
                                                           unsigned shaderType, VrnSnGlslNodeAliases* aliases,
                                                           QList<VrnSnBaseGlslContext*>& contexts,
                                                           VrnSnGlslContextInfoMap& contextInfo)
{
    r.ShaderType = shaderType;
    r.NodeAliases = aliases ? *aliases : VrnSnGlslNodeAliases();
    r.Contexts = contexts;
    r.ContextInfoMap = contextInfo;
    r.StateType = glslName(getShaderTypeStateType(shaderType));
    r.SystemStateType = glslName(getShaderTypeSystemStateType(shaderType));
    r.StateStackType = glslName(getShaderTypeStateStackType(shaderType));
    r.UniformBlockName = VrnSnGlslEmission::uniformBlockName(shaderType);
    r.Ok = true;

    resetShaderTypeInfo(r);
    gatherNodeInfo(r);
    gatherRevalEntries(r);

    // A null context would read as a list separator; the host never passes one.
    for (VrnSnBaseGlslContext* c : qAsConst(r.Contexts))
        if (c)
            r.ContextEntries.append(ShaderTypeInfo::ContextEntry{c, nullptr, ShaderTypeInfo::RevalEntry()});

    // Before the node functions, which read RevalVersionHashes to know which
    // kinds need a re-evaluation twin.
    buildRevalSubLists(r);

    buildDeclarationCode(r);
    buildNodeFunctions(r);
    buildDispatchCode(r);

    countOutputConsumers(r);
    packUniformData(r);

    finishDeclarationCode(r);

    declarationCode += r.DeclarationCode;
    bodyCode += r.BodyCode;
}

// --- Node information -----------------------------------------------------

void VrnSnGlslCodeGenerator_Style5::resetShaderTypeInfo(ShaderTypeInfo& r)
{
    if (!r.Ok)
        return;
    r.InstructionList.clear();
    r.UniformLocationMap.clear();
    r.UniformsToUpdateEveryFrame.clear();
    r.FloatUniforms.clear();
    r.Vec4Uniforms.clear();
    r.BlockUniforms.clear();
}

QString VrnSnGlslCodeGenerator_Style5::variantKeyOf(const VrnSnBaseNode* node)
{
    QString key;
    if (!node)
        return key;
    QStringList names = node->userAttributeNames();
    std::sort(names.begin(), names.end());
    for (const QString& name : qAsConst(names)) {
        const QVariant value = node->userAttribute(name).value();
        if (isEnumVariant(value))
            key += QLatin1Char('_') + name + value.value<VrnUserEnum>().getCurrentEnumString();
    }
    return key;
}

void VrnSnGlslCodeGenerator_Style5::gatherNodeInfo(ShaderTypeInfo& r)
{
    if (!r.Ok)
        return;
    r.CubemapFiles.clear();
    VrnShaderNetworkManager& networkManager = VrnShaderNetworkManager::instance();
    for (VrnSnBaseGlslContext* c : qAsConst(r.Contexts)) {
        VrnSnBaseNode* node = c ? c->parentNode() : nullptr;
        if (!node)
            continue;
        const QString uuid = node->versionUUID();
        const QString K = node->versionHashPresent(false);
        const QString P = variantKeyOf(node);

        // Each node's record replaces what an earlier node of the same
        // version hash left: the last one decides.
        if (networkManager.versionUUIDExists(uuid))
            r.NodePathKeys[K] = networkManager.pathKeyForVersionUUID(node->versionUUID());
        r.VersionHashSources[K] = node->versionHashSource();
        r.VersionHashEncrypted[K] = node->isEncrypted();
        r.ContextVersionHash[c] = K;
        r.ContextVariantKey[c] = P;

        const VrnSnNodeGlslInfo info = VrnSnGlslContextManager::analyzeContext(c);
        const unsigned t = c->shaderType();
        QMap<unsigned, VrnSnNodeGlslInfo>& byType = r.VersionHashGlslInfoMap[K];
        if (t != VrnShaderType::AllStages) {
            byType[t] = info;
        } else {
            // The vertex stage runs no networks.
            for (unsigned type : {VrnShaderType::AllStages, VrnShaderType::Fragment, VrnShaderType::TessEvaluation, VrnShaderType::TessControl})
                byType[type] = info;
        }

        const VrnSnGlslCodeGeneratorContextInfo& contextInfo = contextInfoOf(r, c);
        if (contextInfo.readsCache || contextInfo.readsBakedChannel)
            continue; // node function 0 shows what the channel holds

        r.UsedVersionHashes.insert(K);
        QHash<QString, QString> enumTexts;
        for (const QString& name : node->userAttributeNames()) {
            const QVariant value = node->userAttribute(name).value();
            if (isEnumVariant(value))
                enumTexts.insert(name, value.value<VrnUserEnum>().getCurrentEnumString());
            if (value.canConvert<VrnFileList>()) {
                const VrnFileList files = value.value<VrnFileList>();
                if (!files.isEmpty())
                    r.CubemapFiles.insert(files.files().first());
            }
        }
        r.VersionHashVariants[K].insert(P);
        r.VariantEnumValues[P] = enumTexts;
    }
}

void VrnSnGlslCodeGenerator_Style5::gatherRevalEntries(ShaderTypeInfo& r)
{
    if (!r.Ok)
        return;
    int counter = 0;
    for (auto it = r.VersionHashGlslInfoMap.constBegin(); it != r.VersionHashGlslInfoMap.constEnd(); ++it) {
        if (!r.UsedVersionHashes.contains(it.key()))
            continue;
        const QMap<unsigned, VrnSnNodeGlslInfo>& byType = it.value();
        const VrnSnNodeGlslInfo info = byType.contains(r.ShaderType) ? byType.value(r.ShaderType)
                                                                     : byType.value(VrnShaderType::AllStages);
        for (const VrnSnGlslRevalInfo& reval : info.revalInfo)
            r.RevalInfoMap[it.key()].append(ShaderTypeInfo::RevalEntry{reval.placeholder, reval.inputName, reval.u, reval.v, counter++});
    }
}

// --- Declarations and dispatch --------------------------------------------

void VrnSnGlslCodeGenerator_Style5::buildDeclarationCode(ShaderTypeInfo& r)
{
    if (!r.Ok)
        return;
    QString& code = r.DeclarationCode;
    code += QStringLiteral("#define u_InstructionList %1_u_IntUniforms0\n"
                           "#define u_WiringList %1_u_IntUniforms1\n"
                           "#define u_ParameterList %1_u_IntUniforms2\n"
                           "#define u_FloatUniforms %1_u_FloatUniforms\n"
                           "#define u_Vec4Uniforms %1_u_Vec4Uniforms\n")
                .arg(r.UniformBlockName);
    code += VrnSnGlslEmission::styleDeclarationHeader(5);
    code += QStringLiteral("#define VRN_GENERAL_COMPOSITION 1\n");
    code += QStringLiteral("vec4 OutputInputStorage[VRN_OUTPUT_INPUT_STORAGE_SIZE];\n"
                           "\n"
                           "#define GET_FLOAT(x,offset) u_FloatUniforms[u_ParameterList[x]+offset]\n"
                           "#define GET_VEC4(x,offset) u_Vec4Uniforms[u_ParameterList[x]+offset]\n"
                           "#define GET_INT(x) u_ParameterList[x]\n"
                           "#define GET_INSTRUCTION(x) u_InstructionList[x]\n"
                           "#define GET_REVAL_INSTRUCTION(x) u_WiringList[x]\n"
                           "#define SHOULD_USE_DEFAULT_INPUT(x) (u_WiringList[x]<0)\n"
                           "#define GET_INPUT(x) OutputInputStorage[u_WiringList[x]]\n"
                           "#define GET_INPUT_INVERTED(x) bool(u_WiringList[x])\n"
                           "#define GET_OUTPUT(x) OutputInputStorage[u_WiringList[x]]\n"
                           "\n");

    // One sampler per cube-map file; a token's first component picks it.
    const int cubemaps = r.CubemapFiles.size();
    if (cubemaps > 0) {
        for (int i = 0; i < cubemaps; ++i)
            code += QStringLiteral("uniform samplerCube u_CubemapUniforms%1;\n").arg(i);
        code += QStringLiteral("vec4 lookup_sampler_cube(uvec2 token,vec3 coords)\n{\n    switch( int(token.x) )\n    {\n");
        for (int i = 0; i < cubemaps; ++i)
            code += QStringLiteral("        case %1: return texture(u_CubemapUniforms%1,coords);\n").arg(i);
        code += QStringLiteral("    }\n}\n\n");
        code += QStringLiteral("vec4 lookup_sampler_cubeLod(uvec2 token,vec3 coords, float lod)\n{\n    switch( int(token.x) )\n    {\n");
        for (int i = 0; i < cubemaps; ++i)
            code += QStringLiteral("        case %1: return textureLod(u_CubemapUniforms%1,coords,lod);\n").arg(i);
        code += QStringLiteral("    }\n}\n\n");
    }

    code += QStringLiteral("void iterateInstructionList(int InstructionIndexStart, inout %1 State, inout %2 _State);\n\n")
                .arg(r.StateType)
                .arg(r.SystemStateType);
    if (!r.RevalInfoMap.isEmpty())
        code += QStringLiteral("void iterateInstructionListForReval(int InstructionIndexStart,inout %1 State, inout %2 _State);\n")
                    .arg(r.StateType)
                    .arg(r.SystemStateType)
              + QStringLiteral("\n");

    // Node function 0 shows what a cached node or a bake point stored in its channel.
    code += kBanner + QStringLiteral("// NodeFunc for cache lookup\n") + kBanner;
    code += QStringLiteral("void NodeFunc0 (int ParameterIndex, int OutputInputIndex, inout %1 State, inout %2 _State)\n")
                .arg(r.StateType)
                .arg(r.SystemStateType);
    if (r.ShaderType == VrnShaderType::TessControl) {
        code += QStringLiteral("{\n}\n");
    } else {
        code += QStringLiteral(
            "{\n"
            "    Channel Parameter;\n"
            "    Parameter.ChannelValues.r = GET_INT(ParameterIndex+0);\n"
            "    Parameter.ChannelValues.g = GET_INT(ParameterIndex+1);\n"
            "    Parameter.ChannelValues.b = GET_INT(ParameterIndex+2);\n"
            "    vec4 ChannelValue = texture_lookup2(Parameter,State,_State);\n"
            "    vec4 Background = GET_VEC4(ParameterIndex+3, 0);\n"
            "    GET_OUTPUT(OutputInputIndex) = vec4(mix(Background.rgb, ChannelValue.rgb, ChannelValue.a), "
            "1.0-(1.0-Background.a)*(1.0-ChannelValue.a));\n"
            "}\n");
    }
    code += QStringLiteral("void NodeFuncForReval0 (int ParameterIndex, int OutputInputIndex, inout %1 State, inout %2 _State)\n")
                .arg(r.StateType)
                .arg(r.SystemStateType);
    code += QStringLiteral("{\n    NodeFunc0(ParameterIndex, OutputInputIndex, State, _State);\n}\n");
    code += QStringLiteral("\n#undef REVAL\n\n");
}

void VrnSnGlslCodeGenerator_Style5::buildDispatchCode(ShaderTypeInfo& r)
{
    if (!r.Ok)
        return;
    const int passes = r.RevalInfoMap.isEmpty() ? 1 : 2;
    for (int pass = 0; pass < passes; ++pass) {
        const QString suffix = pass == 0 ? QString() : QStringLiteral("ForReval");
        QString& code = r.DeclarationCode;
        code += QStringLiteral("// This is the data driven function calls\n"
                               "void dataDrivenFuncCall%1(int InstructionIndex, inout %2 State, inout %3 _State)\n{\n")
                    .arg(suffix)
                    .arg(r.StateType)
                    .arg(r.SystemStateType);
        code += QStringLiteral("    switch(GET_INSTRUCTION(InstructionIndex))\n    {\n");
        for (int k = 0; k < r.NodeFuncCount; ++k) {
            if (pass == 1 && !r.RevalNodeFuncIndices.contains(k))
                continue;
            code += QStringLiteral("        case %2: NodeFunc%1%2(GET_INSTRUCTION(InstructionIndex+1),"
                                   "GET_INSTRUCTION(InstructionIndex+2),State,_State); return;\n")
                        .arg(suffix)
                        .arg(k);
        }
        code += QStringLiteral("    }\n}\n\n");
        code += QStringLiteral("void iterateInstructionList%1(int InstructionIndexStart,inout %2 State, inout %3 _State)\n"
                               "{\n"
                               "    int InstructionIndex = InstructionIndexStart;\n"
                               "    int i = 0;\n"
                               "    for(i=0;i<10000 && GET_INSTRUCTION(InstructionIndex)>=0;i++)\n"
                               "    {\n"
                               "        dataDrivenFuncCall%1(InstructionIndex, State, _State);\n"
                               "        InstructionIndex+=3;\n"
                               "    }\n"
                               "}\n\n")
                    .arg(suffix)
                    .arg(r.StateType)
                    .arg(r.SystemStateType);
    }
    r.BodyCode += QStringLiteral("//============================\n"
                                 "//-- Style 5 Body--\n"
                                 "//============================\n"
                                 "int InstructionIndexStart = 0;\n"
                                 "iterateInstructionList(InstructionIndexStart,State,_State);\n");
}

void VrnSnGlslCodeGenerator_Style5::finishDeclarationCode(ShaderTypeInfo& r)
{
    if (!r.Ok)
        return;
    r.FloatUniforms.resize(qMax(0, r.FloatCount));
    r.Vec4Uniforms.resize(qMax(0, r.Vec4Count));
    // Always above the slot count, and the same for ten slot counts in a row,
    // so that small changes of the graph keep the text.
    const int storageSize = (qMax(0, r.StorageSlotCount) / 10 + 1) * 10;
    r.DeclarationCode = QStringLiteral("#define VRN_OUTPUT_INPUT_STORAGE_SIZE %1\n%2").arg(storageSize).arg(r.DeclarationCode);
}

// --- Node functions -------------------------------------------------------

void VrnSnGlslCodeGenerator_Style5::buildNodeFunctions(ShaderTypeInfo& r)
{
    if (!r.Ok)
        return;
    r.RevalNodeFuncIndices.insert(0);
    r.NodeFuncCount = 1;
    // Version hashes in key order and variant keys sorted: the numbering is
    // the same in every run, whatever the graph's wiring.
    const QMap<QString, QMap<unsigned, VrnSnNodeGlslInfo>> infoMap = r.VersionHashGlslInfoMap;
    for (auto it = infoMap.constBegin(); it != infoMap.constEnd(); ++it) {
        const QString& K = it.key();
        if (!r.UsedVersionHashes.contains(K))
            continue;
        QStringList variants = r.VersionHashVariants[K].values();
        if (variants.isEmpty())
            variants.append(QString());
        std::sort(variants.begin(), variants.end());
        const QMap<unsigned, VrnSnNodeGlslInfo>& byType = it.value();
        const VrnSnNodeGlslInfo info = byType.contains(r.ShaderType)                  ? byType.value(r.ShaderType)
                                       : byType.contains(VrnShaderType::AllStages) ? byType.value(VrnShaderType::AllStages)
                                                                                   : VrnSnNodeGlslInfo();
        for (const QString& P : qAsConst(variants)) {
            const int k = r.NodeFuncCount;
            VrnDebug(VrnSnGlslLog::kStyle5File, kGenerateNodeFunc,
                     QString::asprintf("Generate NodeFunc : %d %s %s", k, K.toLocal8Bit().constData(), P.toLocal8Bit().constData()),
                     false, false);
            const bool twin = r.RevalVersionHashes.contains(K);
            if (twin)
                r.RevalNodeFuncIndices.insert(k);
            int parameterSlots = 0;
            int wiringSlots = 0;
            for (int pass = 0; pass < (twin ? 2 : 1); ++pass)
                r.DeclarationCode += nodeFunctionText(r, k, K, P, info, pass == 1, parameterSlots, wiringSlots);
            const QString key = K + P;
            r.NodeFuncIndexByKey[key] = k;
            r.NodeFuncParameterCount[key] = parameterSlots;
            r.NodeFuncWiringCount[key] = wiringSlots;
            r.NodeFuncCount = k + 1;
        }
    }
}

QString VrnSnGlslCodeGenerator_Style5::nodeFunctionText(ShaderTypeInfo& r, int index, const QString& versionHash,
                                                        const QString& variantKey, const VrnSnNodeGlslInfo& info, bool revalTwin,
                                                        int& parameterSlots, int& wiringSlots)
{
    int s = 0;
    int w = 0;
    QHash<QString, QString> parameterTexts;
    QHash<QString, QString> inputVariables;

    // Header: the kind's path key, or its source text. The source of an
    // encrypted kind, or of one whose flag is unknown, goes between the
    // tokens that keep it out of the secure shader log.
    QString text = kBanner;
    const QString source = r.VersionHashSources[versionHash];
    const QString pathKey = r.NodePathKeys.value(versionHash);
    if (!pathKey.isEmpty()) {
        text += QStringLiteral("// %1 %2\n").arg(pathKey).arg(variantKey);
    } else {
        const bool secure = !r.VersionHashEncrypted.contains(versionHash) || r.VersionHashEncrypted.value(versionHash);
        if (secure)
            text += VrnShaderManager::startTokenForSecureShaderLog();
        text += QStringLiteral("// (No NodePathKey) %1\n").arg(variantKey);
        text += QStringLiteral("// VersionHashSource :\n");
        for (const QString& part : source.split(QLatin1Char('\n')))
            text += QStringLiteral("// %1\n").arg(part);
        if (secure)
            text += VrnShaderManager::endTokenForSecureShaderLog();
    }
    text += kBanner;

    text += QString::fromLatin1(revalTwin ? "void NodeFuncForReval%1 (int ParameterIndex, int OutputInputIndex, inout %2 State, inout %3 _State)\n"
                                          : "void NodeFunc%1 (int ParameterIndex, int OutputInputIndex, inout %2 State, inout %3 _State)\n")
                .arg(index)
                .arg(r.StateType)
                .arg(r.SystemStateType);
    text += QStringLiteral("{\n");

    for (const QString& output : info.outputs)
        text += QStringLiteral("    vec4 %1 = vec4(0,0,0,0);\n").arg(output);

    QStringList parameterNames;
    for (int i = 0; i < info.parameters.size(); ++i) {
        const QString& name = info.parameters.at(i).first;
        const QVariant value = info.parameters.at(i).second.value();
        if (!parameterTexts.contains(name))
            parameterNames.append(name);
        parameterTexts.insert(name, QStringLiteral("Parameter%1").arg(i));
        const ParameterLayout::Kind kind = ParameterLayout::kindOf(name, value);
        if (kind == ParameterLayout::Kind::OtherLocators)
            VrnSnGlslLog::unsupportedLocators(VrnSnGlslLog::kStyle5File, kUnsupportedLocator, value);
        text += ParameterLayout::style5Declaration(kind, i, s);
        // The enum's text is compiled into the variant's function.
        if (kind == ParameterLayout::Kind::CompiledEnum)
            parameterTexts.insert(name, r.VariantEnumValues[variantKey].value(name));
        s += ParameterLayout::layoutOf(kind).parameterInts;
    }

    for (int j = 0; j < info.inputs.size(); ++j) {
        const QString& input = info.inputs.at(j);
        text += QStringLiteral("    vec4 Input%1 = SHOULD_USE_DEFAULT_INPUT(OutputInputIndex+%2) ? %3 : GET_INPUT(OutputInputIndex+%2);\n")
                    .arg(j)
                    .arg(w)
                    .arg(info.defaultInputs.value(input));
        ++w;
        inputVariables.insert(input, QStringLiteral("Input%1").arg(j));
        if (info.invertibleInputs.contains(input)) {
            text += QStringLiteral("    bool Input%1_INVERTED = GET_INPUT_INVERTED(OutputInputIndex+%2);\n").arg(j).arg(w);
            ++w;
        }
    }

    // Each re-evaluated input runs its inner instruction list at the derived
    // position; the wiring holds where that list starts and where its result lies.
    QString code = info.glslCode;
    for (const ShaderTypeInfo::RevalEntry& e : qAsConst(r.RevalInfoMap[versionHash])) {
        const QString block = QStringLiteral("{\n"
                                             "    %6 StateStore;\n"
                                             "    store_state(State, _State, StateStore);\n"
                                             "    derive_state(State, _State, vec2(%1, %2));\n"
                                             "    {\n"
                                             "        int InnerInstructionIndex = GET_REVAL_INSTRUCTION(OutputInputIndex+%3);\n"
                                             "        if(InnerInstructionIndex>=0)\n"
                                             "        {\n"
                                             "            iterateInstructionListForReval(InnerInstructionIndex,State,_State);\n"
                                             "            %4 = GET_INPUT(OutputInputIndex+%5);\n"
                                             "        }\n"
                                             "    }\n"
                                             "    restore_state(State, _State, StateStore);\n"
                                             "}\n")
                                  .arg(e.u)
                                  .arg(e.v)
                                  .arg(w)
                                  .arg(inputVariables.value(e.inputName))
                                  .arg(w + 1)
                                  .arg(r.StateStackType);
        // A twin runs inside another node's re-evaluation. Calling the
        // re-evaluation loop from there would make the shader recursive,
        // which GLSL forbids, and the inner list's storage slots are in use by
        // the outer one: the input keeps the value it has at this position.
        const QString twinBlock = QStringLiteral("{\n    // not re-evaluated inside a re-evaluation\n}\n");
        // An empty placeholder stands nowhere; its wiring slots are still the entry's.
        if (!e.placeholder.isEmpty())
            code.replace(e.placeholder, revalTwin ? twinBlock : block);
        w += 2;
    }
    text += QStringLiteral("\n") + code + QStringLiteral("\n");

    // An empty name would match every sigil: such names replace nothing.
    parameterNames.removeAll(QString());
    sortLongestFirst(parameterNames);
    for (const QString& name : qAsConst(parameterNames))
        text.replace(QLatin1Char('$') + name, parameterTexts.value(name));
    QStringList inputNames = info.inputs;
    inputNames.removeDuplicates();
    inputNames.removeAll(QString());
    sortLongestFirst(inputNames);
    for (const QString& input : qAsConst(inputNames))
        text.replace(QLatin1Char('#') + input, inputVariables.value(input));

    for (const QString& output : info.outputs) {
        text += QStringLiteral("    GET_OUTPUT(OutputInputIndex+%1) = %2;\n").arg(w).arg(output);
        ++w;
    }
    text += QStringLiteral("}\n\n");

    parameterSlots = s;
    wiringSlots = w;
    return text;
}

// --- Uniform data ---------------------------------------------------------

namespace {
using Info = VrnSnGlslStyle5ShaderTypeInfo;
using Point = VrnSnBaseNode::ConnectionPoint;

void logLine(int line, const QString& text)
{
    VrnSnGlslLog::write(VrnSnGlslLog::kStyle5File, line, text);
}

QByteArray local8Bit(const QString& text)
{
    return text.toLocal8Bit();
}

// What an input reads: through the shader type's aliases, and through any
// pass-through node they do not name.
Point resolvedConnection(const Info& r, const VrnSnBaseNode* node, const QString& inputName)
{
    const Point point = node->inputConnection(inputName);
    return r.NodeAliases.containsAlias(point) ? r.NodeAliases.getAlias(point) : VrnSnGlslNodeAliases::resolve(point);
}

// A node whose outputs come from its cache channels.
bool isCacheNode(Info& r, VrnSnBaseGlslContext* c, const VrnSnBaseNode* node)
{
    return contextInfoOf(r, c).readsCache && node && node->cacheActive() == kCacheActive;
}

// A bake point whose output comes from its baked channel.
bool isBakeNode(Info& r, VrnSnBaseGlslContext* c, VrnSnBaseNode* node)
{
    if (!contextInfoOf(r, c).readsBakedChannel)
        return false;
    const VrnSnBakePointNode* bakePoint = VrnShaderNetworkUtils::asTrueBakePointNode(node);
    return bakePoint && bakePoint->shouldUseBakedResult();
}

// The source text for a message; an encrypted node is named by its version hash.
QString sourceForLog(const VrnSnBaseNode* node, const QString& versionHash)
{
    return node->isEncrypted() ? versionHash : node->versionHashSource();
}

// The node's analysis for the record's stage. Missing entries are logged at
// the two lines given and read as an empty analysis.
VrnSnNodeGlslInfo checkedInfo(Info& r, const QString& versionHash, const VrnSnBaseNode* node, int hashLine, int typeLine)
{
    const auto found = r.VersionHashGlslInfoMap.constFind(versionHash);
    if (found == r.VersionHashGlslInfoMap.constEnd())
        logLine(hashLine, QString::fromLatin1(kMissingHashPrefix)
                              + QString::asprintf("VersionHashGlslInfoMap does not contain VersionHash : versionHashSource %s",
                                                  local8Bit(sourceForLog(node, versionHash)).constData()));
    if (found == r.VersionHashGlslInfoMap.constEnd() || !found.value().contains(r.ShaderType)) {
        logLine(typeLine, QString::fromLatin1(kMissingTypePrefix)
                              + QStringLiteral("VersionHashGlslInfoMap[VersionHash] does not contain ShaderType"));
        return VrnSnNodeGlslInfo();
    }
    return found.value().value(r.ShaderType);
}

int outputCount(Info& r, VrnSnBaseGlslContext* c)
{
    const auto found = r.VersionHashGlslInfoMap.constFind(r.ContextVersionHash.value(c));
    return found == r.VersionHashGlslInfoMap.constEnd() ? 0 : found.value().value(r.ShaderType).outputs.size();
}

void setAt(QVector<int>& list, int index, int value)
{
    if (index >= 0 && index < list.size())
        list[index] = value;
}

Info::StorageKey storageKey(const Point& point, const Info::ContextEntry& entry)
{
    Info::StorageKey key;
    key.node = point.node;
    key.outputName = point.name;
    key.connectionKey = point.connectionKey;
    key.owner = entry.owner;
    key.reval = entry.reval;
    return key;
}
} // namespace

int VrnSnGlslCodeGenerator_Style5::connectionKey(const VrnSnBaseNode* node, const QString& outputName)
{
    const QString text = QStringLiteral("%1.%2").arg(reinterpret_cast<quintptr>(node), 16, 16, QLatin1Char('0')).arg(outputName);
    return int(qHash(text, 0));
}

void VrnSnGlslCodeGenerator_Style5::buildRevalSubLists(ShaderTypeInfo& r)
{
    if (!r.Ok)
        return;
    // Positions in the main list, so that a sub-list is put in main-list
    // order without walking the whole main list for each one.
    QHash<VrnSnBaseGlslContext*, int> position;
    for (int i = 0; i < r.Contexts.size(); ++i)
        if (!position.contains(r.Contexts.at(i)))
            position.insert(r.Contexts.at(i), i);
    // Sub-lists grow with the square of a chain of re-evaluating nodes. Once
    // the instructions alone pass what a uniform block can hold, the build is
    // reported as too complex anyway: more entries would only cost memory.
    const int maximumEntries = VrnShaderUniformBlock::kMaximumBytes / VrnShaderUniformBlock::kBytesPerElement / 3;
    VrnSnBaseGlslCodeGenerator host;
    for (VrnSnBaseGlslContext* c : qAsConst(r.Contexts)) {
        if (r.ContextEntries.size() > maximumEntries)
            return;
        if (!c)
            continue;
        const QString K = r.ContextVersionHash[c];
        const auto reval = r.RevalInfoMap.constFind(K);
        VrnSnBaseNode* node = c->parentNode();
        if (reval == r.RevalInfoMap.constEnd() || !node)
            continue;
        const QList<ShaderTypeInfo::RevalEntry> entries = reval.value();
        for (const ShaderTypeInfo::RevalEntry& entry : entries) {
            if (resolvedConnection(r, node, entry.inputName).node.isNull())
                continue;
            r.ContextEntries.append(ShaderTypeInfo::ContextEntry{nullptr, nullptr, ShaderTypeInfo::RevalEntry()});
            QList<VrnSnBaseNode*> nodes;
            QList<VrnSnBaseGlslContext*> upstream;
            host.topologicalSortUsedContextTo(c, nodes, upstream, nullptr, r.ShaderType, false);
            QList<QPair<int, VrnSnBaseGlslContext*>> members;
            QSet<VrnSnBaseGlslContext*> seen{c};
            for (VrnSnBaseGlslContext* x : qAsConst(upstream)) {
                const auto at = position.constFind(x);
                if (at != position.constEnd() && !seen.contains(x)) {
                    seen.insert(x);
                    members.append(qMakePair(at.value(), x));
                }
            }
            std::sort(members.begin(), members.end(),
                      [](const QPair<int, VrnSnBaseGlslContext*>& a, const QPair<int, VrnSnBaseGlslContext*>& b) { return a.first < b.first; });
            for (const auto& member : qAsConst(members)) {
                if (r.ContextEntries.size() > maximumEntries)
                    return;
                r.RevalVersionHashes.insert(r.ContextVersionHash[member.second]);
                r.ContextEntries.append(ShaderTypeInfo::ContextEntry{member.second, c, entry});
            }
        }
    }
}

QStringList VrnSnGlslCodeGenerator_Style5::cachedChannelAttributes(const VrnSnBaseNode* node)
{
    QStringList names;
    if (!node || !node->network() || node->cacheActive() != kCacheActive)
        return names;
    const VrnShadingContext* sc = node->network()->shadingContext();
    if (!sc)
        return names;
    for (const QString& name : node->userAttributeNames()) {
        const QVariant value = node->userAttribute(name).value();
        if (!value.canConvert<VrnChannelId>())
            continue;
        const VrnChannelId id = value.value<VrnChannelId>();
        if (!id.channelName().isEmpty() && !id.isCurrentChannel() && sc->channel(sc->getCurrentUvChannel(), id.channelName()))
            names.append(name);
    }
    return names;
}

void VrnSnGlslCodeGenerator_Style5::countOutputConsumers(ShaderTypeInfo& r)
{
    if (!r.Ok)
        return;
    r.OutputConsumerCounts.clear();
    for (const ShaderTypeInfo::ContextEntry& e : qAsConst(r.ContextEntries)) {
        VrnSnBaseGlslContext* c = e.context;
        VrnSnBaseNode* node = c ? c->parentNode() : nullptr;
        if (!node || isCacheNode(r, c, node) || isBakeNode(r, c, node))
            continue;
        const VrnSnNodeGlslInfo info = checkedInfo(r, r.ContextVersionHash[c], node, kCountMissingHash, kCountMissingType);
        for (const QString& input : info.inputs)
            if (!c->useDefaultInput(input, &r.NodeAliases))
                r.OutputConsumerCounts[resolvedConnection(r, node, input).connectionKey] += 1;
    }
}

void VrnSnGlslCodeGenerator_Style5::wireEntry(ShaderTypeInfo& r, const ShaderTypeInfo::ContextEntry& e, int& cursor)
{
    if (e.isSeparator() || r.WiredEntries.contains(e))
        return;
    r.WiredEntries.insert(e);
    VrnSnBaseGlslContext* c = e.context;
    VrnSnBaseNode* node = c->parentNode();
    if (!node)
        return;
    const VrnSnNodeGlslInfo info = checkedInfo(r, r.ContextVersionHash[c], node, kWireMissingHash, kWireMissingType);

    if (!isCacheNode(r, c, node) && !isBakeNode(r, c, node)) {
        for (const QString& input : info.inputs) {
            if (c->useDefaultInput(input, &r.NodeAliases)) {
                setAt(r.WiringList, cursor, kDefaultInput);
            } else {
                // Only a producer wired earlier in the same list has a slot;
                // without one the input keeps -9999 and reads its default.
                const ShaderTypeInfo::StorageKey key = storageKey(resolvedConnection(r, node, input), e);
                const auto slot = r.StorageSlotByOutput.constFind(key);
                if (slot != r.StorageSlotByOutput.constEnd()) {
                    const int s = slot.value();
                    setAt(r.WiringList, cursor, s);
                    if (--r.RemainingConsumers[key] == 0) {
                        r.FreeStorageSlots.append(s);
                        r.OutputBySlot.remove(s);
                        r.StorageSlotByOutput.remove(key);
                    }
                }
            }
            ++cursor;
            // The host tags every input of a kind that declares it invertible,
            // so this slot lines up with the flag the node function reads.
            if (node->hasInputTag(input, QStringLiteral("_invertable"))) {
                setAt(r.WiringList, cursor, node->hasInputTag(input, QStringLiteral("_invert")) ? 1 : 0);
                ++cursor;
            }
        }

        for (const ShaderTypeInfo::RevalEntry& reval : r.RevalInfoMap.value(r.ContextVersionHash[c])) {
            const ShaderTypeInfo::ListKey list(c, reval);
            const auto start = r.InstructionListStarts.constFind(list);
            if (start == r.InstructionListStarts.constEnd()) {
                setAt(r.WiringList, cursor, kNoSubList);
                setAt(r.WiringList, cursor + 1, kNoSubList);
                cursor += 2;
                continue;
            }
            setAt(r.WiringList, cursor, start.value());
            ++cursor;
            // The sub-list is wired now, while the slots live across this
            // entry are still taken, so that running it clobbers none of them.
            const QList<ShaderTypeInfo::ContextEntry> members = r.EntriesByList.value(list);
            for (const ShaderTypeInfo::ContextEntry& x : members) {
                int local = r.WiringIndexByEntry.value(x);
                wireEntry(r, x, local);
            }
            if (!members.isEmpty()) {
                const Point point = resolvedConnection(r, node, reval.inputName);
                if (!point.node.isNull()) {
                    const auto slot = r.StorageSlotByOutput.constFind(storageKey(point, members.last()));
                    if (slot != r.StorageSlotByOutput.constEnd())
                        setAt(r.WiringList, cursor, slot.value());
                }
            }
            ++cursor;
        }
    }

    for (const QString& output : info.outputs) {
        ShaderTypeInfo::StorageKey key;
        key.node = node;
        key.outputName = output;
        key.connectionKey = node->outputPoint(output).connectionKey; // the host keeps connectionKey(node, output)
        key.owner = e.owner;
        key.reval = e.reval;
        int slot = 0;
        if (r.FreeStorageSlots.isEmpty()) {
            slot = r.OutputBySlot.size();
            ++r.StorageSlotCount;
        } else {
            slot = r.FreeStorageSlots.takeFirst();
        }
        r.StorageSlotByOutput.insert(key, slot);
        r.OutputBySlot.insert(slot, key);
        r.RemainingConsumers.insert(key, r.OutputConsumerCounts.value(key.connectionKey, 0));
        setAt(r.WiringList, cursor, slot);
        ++cursor;
    }
}

void VrnSnGlslCodeGenerator_Style5::packUniformData(ShaderTypeInfo& r)
{
    if (!r.Ok)
        return;
    // Sizes. A context has one parameter block, shared by all its entries;
    // each entry has a wiring block of its own.
    const int n = r.ContextEntries.size();
    int P = 0;
    QHash<VrnSnBaseGlslContext*, QStringList> cacheAttributes;
    for (VrnSnBaseGlslContext* c : qAsConst(r.Contexts)) {
        VrnSnBaseNode* node = c ? c->parentNode() : nullptr;
        const VrnSnGlslCodeGeneratorContextInfo& contextInfo = contextInfoOf(r, c);
        if (contextInfo.readsCache && node && node->cacheActive() == kCacheActive) {
            const QStringList attributes = cachedChannelAttributes(node);
            cacheAttributes.insert(c, attributes);
            if (!attributes.isEmpty()) {
                r.ParameterIndexByContext[c] = P;
                P += 4 * attributes.size();
            }
        } else if (contextInfo.readsBakedChannel) {
            r.ParameterIndexByContext[c] = P;
            P += 4;
        } else {
            r.ParameterIndexByContext[c] = P;
            P += r.NodeFuncParameterCount.value(r.ContextVersionHash[c] + r.ContextVariantKey[c], 0);
        }
    }
    int W = 0;
    for (const ShaderTypeInfo::ContextEntry& e : qAsConst(r.ContextEntries)) {
        if (e.isSeparator())
            continue;
        VrnSnBaseGlslContext* c = e.context;
        VrnSnBaseNode* node = c->parentNode();
        const VrnSnGlslCodeGeneratorContextInfo& contextInfo = contextInfoOf(r, c);
        r.WiringIndexByEntry[e] = W;
        if (contextInfo.readsCache && node && node->cacheActive() == kCacheActive) {
            // The cache lookup writes one slot per output: the block holds
            // them even when fewer channels are live, so that no block overlaps the next.
            W += qMax(int(cacheAttributes.value(c).size()), outputCount(r, c));
        } else if (contextInfo.readsBakedChannel) {
            W += 1;
        } else {
            W += r.NodeFuncWiringCount.value(r.ContextVersionHash[c] + r.ContextVariantKey[c], 0);
        }
    }
    r.InstructionList = QVector<int>(3 * n + 3, kUnwritten);
    r.ParameterList = QVector<int>(P, kUnwritten);
    r.WiringList = QVector<int>(W, kUnwritten);
    logLine(kInstructionBlock, QString::asprintf("1st block - Func call list occupies %d ints", 3 * n + 3));
    logLine(kParameterBlock, QString::asprintf("2nd block - Parameter list occupies %d ints", P));
    logLine(kWiringBlock, QString::asprintf("3rd block - input output wiring occupies %d ints", W));

    // Instructions: (node function, parameter block, wiring block) per entry.
    int i = 0;
    for (const ShaderTypeInfo::ContextEntry& e : qAsConst(r.ContextEntries)) {
        if (e.isSeparator()) {
            r.InstructionList[i] = r.InstructionList[i + 1] = r.InstructionList[i + 2] = kSeparator;
            i += 3;
            continue;
        }
        VrnSnBaseGlslContext* c = e.context;
        const VrnSnGlslCodeGeneratorContextInfo& contextInfo = contextInfoOf(r, c);
        int function = 0;
        if (!contextInfo.readsCache && !contextInfo.readsBakedChannel) {
            const QString K = r.ContextVersionHash[c];
            if (!r.VersionHashGlslInfoMap.contains(K)) {
                if (r.VersionHashEncrypted.contains(K) && !r.VersionHashEncrypted.value(K))
                    logLine(kFillMissingHash, QString::fromLatin1(kMissingHashPrefix)
                                                      + QString::asprintf("VersionHashGlslInfoMap does not contain VersionHash : versionHashSource %s",
                                                                          local8Bit(r.VersionHashSources.value(K)).constData()));
                else
                    logLine(kFillMissingEncryptedHash, QString::fromLatin1(kMissingHashPrefix)
                                                               + QString::asprintf("VersionHashGlslInfoMap does not contain encrypted VersionHash : %s",
                                                                                   local8Bit(K).constData()));
            }
            if (!r.VersionHashGlslInfoMap.value(K).contains(r.ShaderType))
                logLine(kFillMissingType, QString::fromLatin1(kMissingTypePrefix)
                                                  + QStringLiteral("VersionHashGlslInfoMap[VersionHash] does not contain ShaderType"));
            function = r.NodeFuncIndexByKey.value(K + r.ContextVariantKey[c], 0);
        }
        const ShaderTypeInfo::ListKey list(e.owner, e.reval);
        if (!r.InstructionListStarts.contains(list))
            r.InstructionListStarts.insert(list, i);
        r.InstructionList[i] = function;
        r.InstructionList[i + 1] = r.ParameterIndexByContext.value(c, 0);
        r.InstructionList[i + 2] = r.WiringIndexByEntry.value(e, 0);
        r.EntriesByList[list].append(e);
        i += 3;
    }
    r.InstructionList[i] = r.InstructionList[i + 1] = r.InstructionList[i + 2] = kTerminator;

    // Parameters. Ints that hold values (channel ids, ints, enums, lists)
    // keep -9999 here: the uniform block writes them from BlockUniforms
    // through the location map. Float and vec4 parameters hold their index.
    r.FloatCount = 0;
    r.Vec4Count = 0;
    for (VrnSnBaseGlslContext* c : qAsConst(r.Contexts)) {
        VrnSnBaseNode* node = c ? c->parentNode() : nullptr;
        if (!node)
            continue;
        // Each block starts where it was counted, whatever the one before wrote.
        int p = r.ParameterIndexByContext.value(c, 0);
        const QString uuid = node->uuidString();
        auto everyFrame = [&](const QString& name) { r.UniformsToUpdateEveryFrame.insert(c->uniformName(name, node), qMakePair(uuid, name)); };
        auto locate = [&](const QString& name, int index) { r.UniformLocationMap.insert(qMakePair(uuid, name), qMakePair(2, index)); };

        if (isCacheNode(r, c, node)) {
            for (const QString& a : cacheAttributes.value(c)) {
                locate(a, p);
                everyFrame(a);
                r.BlockUniforms.insert(qMakePair(uuid, a), node->userAttribute(a).value());
                const QString background = QStringLiteral("%1_cachedBackground").arg(a);
                locate(background, r.Vec4Count);
                setAt(r.ParameterList, p + 3, r.Vec4Count);
                ++r.Vec4Count;
                r.BlockUniforms.insert(qMakePair(uuid, background), QVariant::fromValue(VrnColor()));
                p += 4;
            }
            continue;
        }
        if (isBakeNode(r, c, node)) {
            if (!node->network() || !node->network()->shadingContext()) {
                VrnSnGlslLog::noShadingContext(VrnSnGlslLog::kStyle5File, kBakeWithoutShadingContext, node);
                continue;
            }
            const QString channel = kChannel;
            const QString background = QStringLiteral("limitBakeBackground");
            locate(channel, p);
            everyFrame(channel);
            r.BlockUniforms.insert(qMakePair(uuid, channel), node->userAttribute(channel).value());
            locate(background, r.Vec4Count);
            setAt(r.ParameterList, p + 3, r.Vec4Count);
            ++r.Vec4Count;
            everyFrame(background);
            r.BlockUniforms.insert(qMakePair(uuid, background), node->userAttribute(background).value());
            continue;
        }

        const VrnSnNodeGlslInfo info =
            checkedInfo(r, r.ContextVersionHash[c], node, kParameterMissingHash, kParameterMissingType);
        for (const auto& parameter : info.parameters) {
            const QString& name = parameter.first;
            const QVariant value = parameter.second.value();
            r.BlockUniforms.insert(qMakePair(uuid, name), node->userAttribute(name).value());
            const ParameterLayout::Layout& layout = ParameterLayout::layoutOf(ParameterLayout::kindOf(name, value));
            if (layout.style5Array == ParameterLayout::Array::Int) {
                locate(name, p);
            } else if (layout.style5Array != ParameterLayout::Array::None) {
                // Floats and vectors: the parameter-list int holds where they start.
                int& count = layout.style5Array == ParameterLayout::Array::Float ? r.FloatCount : r.Vec4Count;
                locate(name, count);
                setAt(r.ParameterList, p, count);
                count += layout.elements;
            }
            if (layout.style5EveryFrame)
                everyFrame(name);
            p += layout.parameterInts;
        }
    }

    // Wiring, entry by entry; sub-lists are wired from inside their owner.
    r.StorageSlotCount = 0;
    for (const ShaderTypeInfo::ContextEntry& e : qAsConst(r.ContextEntries)) {
        if (e.isSeparator() || r.WiredEntries.contains(e))
            continue;
        // Each block starts where its instruction says, whatever the one before wrote.
        int w = r.WiringIndexByEntry.value(e, 0);
        wireEntry(r, e, w);
    }
}
