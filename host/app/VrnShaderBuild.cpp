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

#include <atomic>

namespace {
std::atomic<int> builds{0}; // builds may run on several threads at once (Style 5)
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

void VrnShaderBuildResult::clearTexts()
{
    for (QString& text : declarationCodes)
        text.resize(0);
    for (QString& text : bodyCodes)
        text.resize(0);
    errorText.clear();
}

namespace {
// With takeFrom (the result itself), each stage is built in the buffer of its
// declaration text, which leaves the result (its texts are then empty).
void assembleStagesWith(const VrnShaderBuildResult& result, VrnShaderBuildResult* takeFrom, VrnShaderNetwork* network,
                        VrnSurfaceShader* surfaceShader, const QStringList& defines, QMap<unsigned, QString>& sources,
                        QMap<unsigned, VrnStageLineMap>* lineMaps)
{
    QList<unsigned> built;
    for (auto it = result.declarationCodes.constBegin(); it != result.declarationCodes.constEnd(); ++it) {
        // A generator may leave empty entries for tessellation stages it did
        // not build; the fragment stage is always built.
        if (it.key() != VrnShaderType::Fragment && it.value().isEmpty() && result.bodyCodes.value(it.key()).isEmpty())
            continue;
        VrnShaderAssembler::StageInput input;
        input.shaderType = it.key();
        if (takeFrom)
            input.declarationCode = std::move(takeFrom->declarationCodes[it.key()]);
        else
            input.declarationCode = it.value();
        input.bodyCode = result.bodyCodes.value(it.key());
        input.uniformBlockDeclarations = VrnShaderAssembler::uniformBlockDeclarations(surfaceShader, it.key());
        input.defines = defines;
        input.uvTile = network->shadingContext()->getCurrentUvChannel();
        input.network = network;
        QList<VrnShaderAssembler::Section> sections;
        QString& source = sources[it.key()];
        if (takeFrom)
            VrnShaderAssembler::assembleTaking(input, source);
        else
            VrnShaderAssembler::assembleInto(input, source, lineMaps ? &sections : nullptr);
        if (lineMaps)
            lineMaps->insert(it.key(), VrnStageLineMap(source, sections, network, it.key(), surfaceShader));
        if (surfaceShader)
            surfaceShader->setSource(it.key(), source);
        built.append(it.key());
    }
    if (takeFrom) {
        takeFrom->declarationCodes.clear();
        takeFrom->bodyCodes.clear();
    }
    for (auto it = sources.begin(); it != sources.end();)
        it = built.contains(it.key()) ? it + 1 : sources.erase(it);
}
} // namespace

QMap<unsigned, QString> VrnShaderBuild::assembleStages(const VrnShaderBuildResult& result, VrnShaderNetwork* network,
                                                       VrnSurfaceShader* surfaceShader, const QStringList& defines,
                                                       QMap<unsigned, VrnStageLineMap>* lineMaps)
{
    QMap<unsigned, QString> sources;
    assembleStagesWith(result, nullptr, network, surfaceShader, defines, sources, lineMaps);
    return sources;
}

void VrnShaderBuild::assembleStagesInto(const VrnShaderBuildResult& result, VrnShaderNetwork* network, VrnSurfaceShader* surfaceShader,
                                        const QStringList& defines, QMap<unsigned, QString>& sources)
{
    assembleStagesWith(result, nullptr, network, surfaceShader, defines, sources, nullptr);
}

QMap<unsigned, QString> VrnShaderBuild::takeAssembledStages(VrnShaderBuildResult& result, VrnShaderNetwork* network,
                                                            VrnSurfaceShader* surfaceShader, const QStringList& defines)
{
    QMap<unsigned, QString> sources;
    assembleStagesWith(result, &result, network, surfaceShader, defines, sources, nullptr);
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
