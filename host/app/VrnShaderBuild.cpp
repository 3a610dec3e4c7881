#include "VrnShaderBuild.h"

#include "VrnShaderAssembler.h"
#include "VrnShaderNetwork.h"
#include "VrnStageLineMap.h"
#include "VrnSurfaceShader.h"
#include "VrnSnBaseGlslCodeGenerator.h"
#include "VrnSnGlslCodeGeneratorManager.h"
#include "VrnSnGlslContextManager.h"
#include "VrnSnNodeKind.h"
#include "VrnShaderUniformBlock.h"

namespace {
int builds = 0;
} // namespace

bool VrnShaderBuild::run(const QString& generatorName, VrnShaderNetwork* network, VrnSurfaceShader* surfaceShader, VrnShaderBuildResult& result)
{
    VrnSnBaseGlslCodeGenerator* generator = VrnSnGlslCodeGeneratorManager::instance().codeGenerator(generatorName);
    if (!generator) {
        result.errorText = QStringLiteral("no code generator named \"%1\"").arg(generatorName);
        return false;
    }
    auto* shadingContext = qobject_cast<VrnSvtShadingContext*>(network->shadingContext());
    ++builds;
    return generator->buildShaderCode(&VrnSnGlslContextManager::instance(), shadingContext, result.declarationCodes,
                                      result.bodyCodes, network->root(), surfaceShader, result.errorText);
}

QMap<unsigned, QString> VrnShaderBuild::assembleStages(const VrnShaderBuildResult& result, VrnShaderNetwork* network,
                                                       VrnSurfaceShader* surfaceShader, const QStringList& defines,
                                                       QMap<unsigned, VrnStageLineMap>* lineMaps)
{
    QMap<unsigned, QString> sources;
    for (auto it = result.declarationCodes.constBegin(); it != result.declarationCodes.constEnd(); ++it) {
        // A generator may leave empty entries for tessellation stages it did
        // not build; the fragment stage is always built.
        if (it.key() != VrnShaderType::Fragment && it.value().isEmpty() && result.bodyCodes.value(it.key()).isEmpty())
            continue;
        VrnShaderAssembler::StageInput input;
        input.shaderType = it.key();
        input.declarationCode = it.value();
        input.bodyCode = result.bodyCodes.value(it.key());
        input.uniformBlockDeclarations = VrnShaderAssembler::uniformBlockDeclarations(surfaceShader, it.key());
        input.defines = defines;
        input.uvTile = network->shadingContext()->getCurrentUvChannel();
        input.network = network;
        QList<VrnShaderAssembler::Section> sections;
        const QString source = VrnShaderAssembler::assemble(input, lineMaps ? &sections : nullptr);
        if (lineMaps)
            lineMaps->insert(it.key(), VrnStageLineMap(source, sections, network, it.key(), surfaceShader));
        if (surfaceShader)
            surfaceShader->setSource(it.key(), source);
        sources.insert(it.key(), source);
    }
    return sources;
}

bool VrnShaderBuild::buildStages(const QString& generatorName, VrnShaderNetwork* network, VrnSurfaceShader* surfaceShader,
                                 const QStringList& defines, QMap<unsigned, QString>& sources, QString& error)
{
    VrnShaderBuildResult result;
    if (!run(generatorName, network, surfaceShader, result)) {
        error = result.errorText.trimmed();
        return false;
    }
    sources = assembleStages(result, network, surfaceShader, defines);
    return true;
}

QString VrnShaderBuild::shaderTypeName(unsigned shaderType)
{
    switch (shaderType) {
    case VrnShaderType::Fragment: return QStringLiteral("fragment");
    case VrnShaderType::TessEvaluation: return QStringLiteral("tess-eval");
    case VrnShaderType::TessControl: return QStringLiteral("tess-control");
    default: return QString::number(shaderType);
    }
}

bool VrnShaderBuild::writeValue(VrnSurfaceShader* surfaceShader, const VrnSnBaseNode* node, const QString& attributeName)
{
    if (!surfaceShader || !node)
        return false;
    const VrnShaderUniformBlock::Key key(node->uuidString(), attributeName);
    bool written = false;
    for (const QSharedPointer<VrnShaderUniformBlock>& block : surfaceShader->shaderUniformBlocks())
        if (block && block->locationMap().contains(key))
            written = block->setShaderUniformBlockUniform(surfaceShader, key.first, key.second, node->userAttributeValue(attributeName)) || written;
    return written;
}

int VrnShaderBuild::buildCount()
{
    return builds;
}
