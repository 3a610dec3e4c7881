// Style 5, the driver: the calling thread's records, the fixed sequence of
// steps on one record, and the uniform blocks and result attributes that a
// build leaves on the surface shader.

#include "VrnSnGlslCodeGenerator_Style5.h"

#include "VrnCustomAttribute.h"
#include "VrnMutexLocker.h"
#include "VrnShaderUniformBlock.h"
#include "VrnSnGlslEmission.h"
#include "VrnSnGlslStyle5Steps.h"
#include "VrnSnNodeKind.h"
#include "VrnSurfaceShader.h"

#include <QSharedPointer>
#include <QThread>

namespace {
const QString kCompilationResult = QStringLiteral("VrnGenericShaderCompilationResult");
const QString kRequestOptimized = QStringLiteral("VrnGenericShaderRequestOptimizedShaderCompilation");
const QString kTooComplex = QStringLiteral(
    "Shader set-up is too complex to fit all data into maximum UBO size the video card supports. Either reduce the "
    "complexity of shader, layer or node graph set-up OR switch Preferences > GPU > Shader Compilation to Optimized or Legacy.");

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

// The instruction and wiring lists of a tessellation stage's block.
QString tessellationLists(unsigned shaderType, VrnShaderUniformBlock& block)
{
    if (shaderType != VrnShaderType::TessEvaluation && shaderType != VrnShaderType::TessControl)
        return QString();
    const QString stage = shaderType == VrnShaderType::TessEvaluation ? QStringLiteral("TessEval") : QStringLiteral("TessControl");
    return QStringLiteral("\n#########%1 UBO Int0########\n").arg(stage) + commaList(block.uniformIntArray0())
         + QStringLiteral("\n#########%1 UBO Int1########\n").arg(stage) + commaList(block.uniformIntArray1());
}
} // namespace

VrnSnGlslCodeGenerator_Style5::~VrnSnGlslCodeGenerator_Style5() = default;

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
    bool fits = true;
    QString tessellationState;
    const QList<ShaderTypeInfo> records = currentThreadShaderTypeInfos();
    for (const ShaderTypeInfo& r : records) {
        QSharedPointer<VrnShaderUniformBlock> block(new VrnShaderUniformBlock(r.UniformBlockName, r.InstructionList, r.WiringList,
                                                                              r.ParameterList, r.UniformLocationMap,
                                                                              r.UniformsToUpdateEveryFrame, r.FloatUniforms, r.Vec4Uniforms));
        if (!block->isValid()) {
            errorText += kTooComplex;
            fits = false;
        }
        // Handed over even when it does not fit: the host decides what to compile instead.
        if (surfaceShader)
            surfaceShader->setShaderUniformBlock(r.UniformBlockName, block);
        tessellationState += tessellationLists(r.ShaderType, *block);
        block->setShaderUniformBlockUniforms(surfaceShader, r.BlockUniforms);
    }
    setResultAttribute(surfaceShader, kCompilationResult, fits);
    if (!fits) {
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
    // The per-context and per-entry tables are sized once rather than grown.
    const int contextCount = contexts.size();
    r.ContextEntries.reserve(contextCount);
    r.StorageSlotByOutput.reserve(contextCount);
    r.RemainingConsumers.reserve(contextCount);
    VrnSnGlslStyle5Steps::numberContexts(r);
    for (ShaderTypeInfo::ContextFacts& facts : r.ContextFactsByNumber)
        facts.readsKept = true; // a context without a record reads neither
    for (auto it = contextInfo.constBegin(); it != contextInfo.constEnd(); ++it) {
        const int place = VrnSnGlslStyle5Steps::placeOf(r, it.key());
        if (place >= 0)
            r.ContextFactsByNumber[place].reads = ShaderTypeInfo::ChannelReads{it.value().readsCache, it.value().readsBakedChannel};
    }
    r.StateType = glslName(getShaderTypeStateType(shaderType));
    r.SystemStateType = glslName(getShaderTypeSystemStateType(shaderType));
    r.StateStackType = glslName(getShaderTypeStateStackType(shaderType));
    r.UniformBlockName = VrnSnGlslEmission::uniformBlockName(shaderType);
    r.Ok = true;

    resetShaderTypeInfo(r);
    gatherNodeInfo(r);
    gatherRevalEntries(r);
    VrnSnGlslStyle5Steps::keepStageInfos(r);

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
