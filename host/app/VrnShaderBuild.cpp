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

#include <algorithm>
#include <atomic>

namespace {
std::atomic<int> builds{0}; // builds may run on several threads at once (Style 5)

// A text grown a step at a time leaves behind each block it outgrew, which
// the process keeps: megabytes for a large network. A first build writes
// into room for about its final size instead (room never written costs no
// memory); a later build into the buffers of the last.
void reserveTexts(VrnShaderBuildResult& result, int nodeCount)
{
    const qint64 declarationCharsPerNode = 600;
    const qint64 bodyCharsPerNode = 300;
    const qint64 most = 16 * 1024 * 1024;
    QString& declarations = result.declarationCodes[VrnShaderType::Fragment];
    QString& body = result.bodyCodes[VrnShaderType::Fragment];
    // Never shrinks a buffer.
    declarations.reserve(int(qMin(most, nodeCount * declarationCharsPerNode)));
    body.reserve(int(qMin(most, nodeCount * bodyCharsPerNode)));
}
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
    reserveTexts(result, network->nodes().size());
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
// A generator may leave empty entries for tessellation stages it did not
// build; the fragment stage is always built.
bool stageBuilt(const VrnShaderBuildResult& result, unsigned shaderType)
{
    return shaderType == VrnShaderType::Fragment || !result.declarationCodes.value(shaderType).isEmpty()
        || !result.bodyCodes.value(shaderType).isEmpty();
}

VrnShaderAssembler::StageInput stageInput(unsigned shaderType, VrnShaderNetwork* network, VrnSurfaceShader* surfaceShader,
                                          const QStringList& defines)
{
    VrnShaderAssembler::StageInput input;
    input.shaderType = shaderType;
    input.uniformBlockDeclarations = VrnShaderAssembler::uniformBlockDeclarations(surfaceShader, shaderType);
    input.defines = defines;
    input.uvTile = network->shadingContext()->getCurrentUvChannel();
    input.network = network;
    return input;
}

// The fragment declarations, written after the room the result keeps, become
// the stage where they lie; the last stage's buffer goes back to the result,
// empty, for the next build to write into.
void makeFragmentInPlace(VrnShaderBuildResult& result, VrnShaderAssembler::StageInput& input, QString& source)
{
    QString& declarations = result.declarationCodes[VrnShaderType::Fragment];
    input.declarationCode.swap(declarations);
    const int prologue = VrnShaderAssembler::assembleInPlace(input, result.prologueRoom);
    if (!result.roomRefused)
        result.prologueRoom = prologue;
    source.swap(input.declarationCode);
    declarations.swap(input.declarationCode);
    declarations.resize(0);
}

// With fragmentInPlace (the result itself, writable), the fragment stage is
// made in place; every other stage is written into its source.
void assembleStagesWith(const VrnShaderBuildResult& result, VrnShaderNetwork* network, VrnSurfaceShader* surfaceShader,
                        const QStringList& defines, QMap<unsigned, QString>& sources, QMap<unsigned, VrnStageLineMap>* lineMaps,
                        VrnShaderBuildResult* fragmentInPlace = nullptr)
{
    QList<unsigned> built;
    for (auto it = result.declarationCodes.constBegin(); it != result.declarationCodes.constEnd(); ++it) {
        if (!stageBuilt(result, it.key()))
            continue;
        VrnShaderAssembler::StageInput input = stageInput(it.key(), network, surfaceShader, defines);
        input.bodyCode = result.bodyCodes.value(it.key());
        QString& source = sources[it.key()];
        if (fragmentInPlace && it.key() == VrnShaderType::Fragment) {
            makeFragmentInPlace(*fragmentInPlace, input, source);
        } else {
            input.declarationCode = it.value();
            QList<VrnShaderAssembler::Section> sections;
            VrnShaderAssembler::assembleInto(input, source, lineMaps ? &sections : nullptr);
            if (lineMaps)
                lineMaps->insert(it.key(), VrnStageLineMap(source, sections, network, it.key(), surfaceShader));
        }
        if (surfaceShader)
            surfaceShader->setSource(it.key(), source);
        built.append(it.key());
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
    assembleStagesWith(result, network, surfaceShader, defines, sources, lineMaps);
    return sources;
}

QMap<unsigned, QStringList> VrnShaderBuild::takeStageParts(VrnShaderBuildResult& result, VrnShaderNetwork* network,
                                                           VrnSurfaceShader* surfaceShader, const QStringList& defines)
{
    QMap<unsigned, QStringList> stages;
    for (auto it = result.declarationCodes.begin(); it != result.declarationCodes.end(); ++it) {
        if (!stageBuilt(result, it.key()))
            continue;
        VrnShaderAssembler::StageInput input = stageInput(it.key(), network, surfaceShader, defines);
        input.declarationCode = std::move(it.value());
        input.bodyCode = std::move(result.bodyCodes[it.key()]);
        stages.insert(it.key(), VrnShaderAssembler::assembleTaking(input));
    }
    result.declarationCodes.clear();
    result.bodyCodes.clear();
    return stages;
}

namespace {
// The room kept in front of the fragment declarations is still there, at
// the start: every generator appends to the text it is given.
bool roomKept(const QString& declarations, int room)
{
    if (declarations.size() < room)
        return false;
    const QChar* c = declarations.constData();
    return std::all_of(c, c + room, [](QChar ch) { return ch.isNull(); });
}

bool runWithRoom(const QString& generatorName, VrnShaderNetwork* network, VrnSurfaceShader* surfaceShader,
                 VrnShaderBuildResult& result)
{
    result.clearTexts();
    result.declarationCodes[VrnShaderType::Fragment].fill(QChar(), result.prologueRoom);
    return VrnShaderBuild::run(generatorName, network, surfaceShader, result);
}
} // namespace

bool VrnShaderBuild::buildStagesInto(const QString& generatorName, VrnShaderNetwork* network, VrnSurfaceShader* surfaceShader,
                                     const QStringList& defines, VrnShaderBuildResult& result, QMap<unsigned, QString>& sources)
{
    if (!VrnSnGlslCodeGeneratorManager::instance().codeGenerator(generatorName)) {
        result.clearTexts();
        return run(generatorName, network, surfaceShader, result); // only names the missing generator
    }
    bool built = runWithRoom(generatorName, network, surfaceShader, result);
    if (!roomKept(result.declarationCodes.value(VrnShaderType::Fragment), result.prologueRoom)) {
        // A generator that does not only append: built again, and from now on, with no room.
        result.prologueRoom = 0;
        result.roomRefused = true;
        built = runWithRoom(generatorName, network, surfaceShader, result);
    }
    QString& fragment = result.declarationCodes[VrnShaderType::Fragment];
    if (!built && fragment.size() == result.prologueRoom && result.bodyCodes.value(VrnShaderType::Fragment).isEmpty()) {
        fragment.resize(0); // nothing written: nothing to assemble
        return false;
    }
    assembleStagesWith(result, network, surfaceShader, defines, sources, nullptr, &result);
    return built;
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
