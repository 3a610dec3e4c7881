#include "VrnSnGlslCodeGenerator_Style6.h"

#include "VrnAttributeValues.h"
#include "VrnChainedArg.h"
#include "VrnReadAhead.h"
#include "VrnShaderManager.h"
#include "VrnShaderNetwork.h"
#include "VrnShaderNetworkUtils.h"
#include "VrnShaderUniformBlock.h"
#include "VrnShadingContext.h"
#include "VrnSnBaseGlslContext.h"
#include "VrnSnGlslContextRecordIndex.h"
#include "VrnSnGlslEmission.h"
#include "VrnSnGlslLog.h"
#include "VrnSnGlslParameterLayout.h"
#include "VrnSurfaceShader.h"
#include "VrnTemplatePieces.h"

#include <QSet>
#include <QStringList>

#include <algorithm>

using namespace VrnSnGlslEmission;
namespace ParameterLayout = VrnSnGlslParameterLayout;

namespace {

const QString kChannel = QStringLiteral("Channel");
const QString kBakeBackground = QStringLiteral("limitBakeBackground");

QString accessorMacros()
{
    return QStringLiteral("#define GET_FLOAT(x) u_FloatUniforms[x]\n#define GET_VEC4(x) u_Vec4Uniforms[x]\n#define GET_INT(x) u_IntUniforms[x]\n");
}

QString arrayNames(const QString& blockName)
{
    return QStringLiteral("#define u_IntUniforms %1_u_IntUniforms0\n").arg(blockName)
         + QStringLiteral("#define u_FloatUniforms %1_u_FloatUniforms\n").arg(blockName)
         + QStringLiteral("#define u_Vec4Uniforms %1_u_Vec4Uniforms\n").arg(blockName);
}

QString backgroundLine(int location)
{
    return VrnChainedArg(QStringLiteral("    vec4 Background = GET_VEC4(%1);\n")).arg(location);
}

// Lays the baked colour over the background by its alpha.
QString backgroundBlend(const QString& outputVariable)
{
    return VrnChainedArg(QStringLiteral("    %1 = vec4(mix(Background.rgb, %1.rgb, %1.a), 1.0-(1.0-Background.a)*(1.0-%1.a));\n"))
        .arg(outputVariable);
}

VrnShadingContext* shadingContextOf(const VrnSnBaseNode* node)
{
    return node->network() ? node->network()->shadingContext() : nullptr;
}

// The attribute's channel, converted where needed; a default one when that fails.
VrnChannelId channelIdOf(const QVariant& value)
{
    QVariant converted(value);
    return converted.convert(VrnShaderManager::MetaType_VrnChannelId) ? converted.value<VrnChannelId>() : VrnChannelId();
}

// Reserves one node's slots at the end of the block's arrays, records where
// they start and the attribute values, and registers what the host
// refreshes every frame.
struct NodeSlots
{
    using AttributeKey = VrnSnGlslCodeGenerator_Style6::AttributeKey;

    VrnShaderUniformBlock& block;
    VrnSnBaseGlslContext* context;
    VrnSnBaseNode* node;
    VrnSnGlslCodeGenerator_Style6::ValueTable& values;
    QString uuid;

    void locate(const QString& a, int index) { block.uniformLocationMap().insert(AttributeKey(uuid, a), VrnShaderUniformBlock::Location(0, index)); }
    void reserveInts(const QString& a, int count, int value)
    {
        QVector<int>& ints = block.uniformIntArray0();
        locate(a, int(ints.size()));
        ints.insert(ints.size(), count, value);
    }
    void reserveFloats(const QString& a, int count, float value)
    {
        QVector<float>& floats = block.uniformFloatArray();
        locate(a, int(floats.size()));
        floats.insert(floats.size(), count, value);
    }
    // The host fills vec4 slots from the value table and the per-frame list.
    void reserveVec4s(const QString& a, int count)
    {
        QVector<Wm3::Vector4<float>>& vec4s = block.uniformVec4Array();
        locate(a, int(vec4s.size()));
        vec4s.insert(vec4s.size(), count, Wm3::Vector4<float>());
    }
    void updateEveryFrame(const QString& a) { block.uniformsToUpdateEveryFrame().insert(context->uniformName(a, node), AttributeKey(uuid, a)); }
    void recordValue(const QString& a) { recordValue(a, node->userAttributeValue(a)); }
    void recordValue(const QString& a, const QVariant& value) { values.insert(AttributeKey(uuid, a), value); }
};

// Only channels that the current tile holds are read; the cache attributes are among them.
void packCacheReader(NodeSlots& packing)
{
    VrnShadingContext* sc = shadingContextOf(packing.node);
    if (!sc) {
        VrnSnGlslLog::noShadingContext(VrnSnGlslLog::kStyle6File, VrnSnGlslLog::Style6Line::kCacheWithoutShadingContext, packing.node);
        return;
    }
    for (const VrnCustomAttribute& attribute : packing.node->userAttributes()) {
        const QString& a = attribute.name();
        const QVariant& value = attribute.value();
        if (value.userType() != vrnAttributeMetaTypes().channelId) // nothing converts to a channel id
            continue;
        const VrnChannelId id = channelIdOf(value);
        if (id.channelName().isEmpty() || id.isCurrentChannel() || !sc->channel(sc->getCurrentUvChannel(), id.channelName()))
            continue;
        packing.reserveInts(a, 3, -1);
        packing.updateEveryFrame(a);
        packing.recordValue(a, value);
    }
}

void packBakedResult(NodeSlots& packing)
{
    if (!shadingContextOf(packing.node)) {
        VrnSnGlslLog::noShadingContext(VrnSnGlslLog::kStyle6File, VrnSnGlslLog::Style6Line::kBakeWithoutShadingContext, packing.node);
        return;
    }
    packing.reserveInts(kChannel, 3, -1);
    packing.updateEveryFrame(kChannel);
    packing.recordValue(kChannel);
    packing.reserveVec4s(kBakeBackground, 1);
    packing.updateEveryFrame(kBakeBackground);
    packing.recordValue(kBakeBackground);
}

// Every attribute is recorded; its type says which slots it takes.
void packAttributes(NodeSlots& packing)
{
    for (const VrnCustomAttribute& attribute : packing.node->userAttributes()) {
        const QString& a = attribute.name();
        const QVariant& value = attribute.value();
        packing.recordValue(a, value);
        const ParameterLayout::Kind kind = ParameterLayout::kindOf(a, value);
        const ParameterLayout::Layout& layout = ParameterLayout::layoutOf(kind);
        switch (layout.style6Array) {
        case ParameterLayout::Array::None: continue;
        case ParameterLayout::Array::Int: packing.reserveInts(a, layout.style6Slots, layout.holdsValue ? value.toInt() : -1); break;
        case ParameterLayout::Array::Float: packing.reserveFloats(a, layout.style6Slots, value.toFloat()); break;
        case ParameterLayout::Array::Vec4: packing.reserveVec4s(a, layout.style6Slots); break;
        }
        if (kind == ParameterLayout::Kind::OtherLocators)
            VrnSnGlslLog::unsupportedLocators(VrnSnGlslLog::kStyle6File, VrnSnGlslLog::Style6Line::kUnsupportedLocator, value);
        if (layout.style6EveryFrame)
            packing.updateEveryFrame(a);
    }
}

// A rebuild of a type fills about as many slots and locations as the build
// before it: the new block's tables are sized like the last block's once,
// instead of growing through their reallocations and rehashes.
void sizeLike(VrnShaderUniformBlock& block, const QSharedPointer<VrnShaderUniformBlock>& last)
{
    if (!last)
        return;
    block.uniformIntArray0().reserve(last->uniformIntArray0().size());
    block.uniformFloatArray().reserve(last->uniformFloatArray().size());
    block.uniformVec4Array().reserve(last->uniformVec4Array().size());
    block.uniformLocationMap().reserve(last->locationMap().size());
    block.uniformsToUpdateEveryFrame().reserve(last->everyFrameMap().size());
}
} // namespace

VrnSnGlslCodeGenerator_Style6::~VrnSnGlslCodeGenerator_Style6() = default;

QSharedPointer<VrnShaderUniformBlock>& VrnSnGlslCodeGenerator_Style6::blockOf(unsigned shaderType)
{
    QSharedPointer<VrnShaderUniformBlock>& block = shaderUniformBlocks[shaderType];
    if (!block)
        block.reset(new VrnShaderUniformBlock(uniformBlockName(shaderType)));
    return block;
}

bool VrnSnGlslCodeGenerator_Style6::buildShaderCode(VrnSnGlslContextManager* manager, VrnSvtShadingContext* shadingContext,
                                                    QMap<unsigned, QString>& declarationCodes, QMap<unsigned, QString>& bodyCodes,
                                                    const VrnSnBaseNode* root, VrnSurfaceShader* surfaceShader, QString&)
{
    QMap<unsigned, VrnSnGlslNodeAliases> aliasesByType;
    QMap<unsigned, QList<VrnSnBaseGlslContext*>> contextsByType;
    buildContextsList(manager, shadingContext, aliasesByType, contextsByType, root);

    // Each type once, in ascending order, so that every build walks them alike.
    const QList<unsigned> types = shaderTypesOf(aliasesByType, contextsByType);
    gatherDeclarationLines(types, contextsByType, samplerCubeDeclarations, nullptr);

    for (unsigned type : types) {
        QString& declarationCode = declarationCodes[type];
        QString& bodyCode = bodyCodes[type];
        VrnSnGlslNodeAliases& aliases = aliasesByType[type];
        QList<VrnSnBaseGlslContext*>& contexts = contextsByType[type];
        const QString name = uniformBlockName(type);
        const QSharedPointer<VrnShaderUniformBlock> block(new VrnShaderUniformBlock(name));
        sizeLike(*block, shaderUniformBlocks.value(type));
        shaderUniformBlocks.insert(type, block);
        buildShaderTypeCode(manager, shadingContext, declarationCode, bodyCode, type, &aliases, contexts);
        if (surfaceShader)
            surfaceShader->setShaderUniformBlock(name, block);
        // Written in key order.
        block->setShaderUniformBlockUniforms(surfaceShader, shaderUniformValues[type]);
    }

    // Every build states the tessellation stages, also when it has none.
    const QString tessellation = QStringLiteral("#########TessEval Code########") + declarationCodes[VrnShaderType::TessEvaluation]
                               + QStringLiteral("#########TessControl Code########") + declarationCodes[VrnShaderType::TessControl];
    if (surfaceShader)
        surfaceShader->setTessellationStateString(tessellation);
    return true;
}

// What a container's function evaluates stays off the main trail; a
// container that reads stored outputs, writes none or is left out of a bake
// evaluates nothing.
QList<VrnSnBaseGlslContext*> VrnSnGlslCodeGenerator_Style6::topLevelContexts(const QList<VrnSnBaseGlslContext*>& contexts,
                                                                             const VrnSnGlslContextInfoMap& infoMap) const
{
    const bool bakeMode = bakeModeEnabled();
    QSet<VrnSnBaseGlslContext*> evaluatedInside;
    const VrnReadAhead ahead(contexts);
    for (int place = 0; place < contexts.size(); ++place) {
        ahead.reach(place);
        VrnSnBaseGlslContext* context = contexts.at(place);
        const VrnSnGlslCodeGeneratorContextInfo* found =
            context && context->parentNode() ? VrnSnGlslContextRecordIndex::findRecord(infoMap, context) : nullptr;
        if (!found)
            continue;
        const VrnSnGlslCodeGeneratorContextInfo& record = *found;
        if (record.hasNestedContexts && !record.readsCache && !record.readsBakedChannel && context->shaderBodyCodeUsesOutputs()
            && !isNonBakeable(context->parentNode(), bakeMode))
            for (VrnSnBaseGlslContext* nested : record.nestedContexts)
                evaluatedInside.insert(nested);
    }
    return filterConextList_Remove(contexts, evaluatedInside);
}

// Packing runs before the context's text, so that the text finds every location.
void VrnSnGlslCodeGenerator_Style6::prepareContext(VrnSnBaseGlslContext* context, unsigned shaderType, VrnSnGlslContextInfoMap& infoMap)
{
    packContextUniforms(blockOf(shaderType), context, shaderUniformValues[shaderType], infoMap);
}

int VrnSnGlslCodeGenerator_Style6::styleNumber() const
{
    return 6;
}

// The contexts' declarations are read from the block; only sampler cubes are declared, once, in the header.
QString VrnSnGlslCodeGenerator_Style6::nodeDeclarationCode(VrnSnBaseGlslContext*) const
{
    return QString();
}

bool VrnSnGlslCodeGenerator_Style6::outputsDeclaredForward() const
{
    return true;
}

void VrnSnGlslCodeGenerator_Style6::globalOutput(QString& out, const VrnSnBaseNode* node, const Point& point) const
{
    static const VrnTemplatePieces line(QStringLiteral("vec4 %1; // Output '%2.%3' \n"), 3);
    line.appendTo(out, {outputVariableText(point), node->pathText(), VrnJoinedText(point.name)});
}

void VrnSnGlslCodeGenerator_Style6::localOutput(QString& out, const VrnSnBaseNode* node, const Point& point) const
{
    static const VrnTemplatePieces line(QStringLiteral("    vec4 %1; // Output '%2.%1' \n"), 2);
    line.appendTo(out, {VrnJoinedText(point.name), node->pathText()});
}

void VrnSnGlslCodeGenerator_Style6::storedOutputReads(QString& out, const VrnSnBaseNode* node, StoredOutputs from, unsigned shaderType)
{
    if (from == StoredOutputs::Cache)
        cacheReads(out, node, shaderType);
    else
        bakeReads(out, node, shaderType);
}

// Stored outputs are read in the block itself, without calling the node's function.
void VrnSnGlslCodeGenerator_Style6::evaluationLines(QString& out, VrnSnBaseGlslContext* context, unsigned shaderType,
                                                    VrnSnGlslNodeAliases*, VrnSnGlslContextInfoMap& infoMap, bool)
{
    const VrnSnBaseNode* node = context->parentNode();
    const StoredOutputs from = storedOutputs(VrnSnGlslContextRecordIndex::recordOf(infoMap, context));
    if (from == StoredOutputs::None) {
        blockEvaluationCall(out, node);
        return;
    }
    out += blockOpen();
    storedOutputReads(out, node, from, shaderType);
    out += blockClose();
}

QString VrnSnGlslCodeGenerator_Style6::bodyText(VrnSnBaseGlslContext* context, unsigned shaderType, VrnSnGlslNodeAliases* aliases)
{
    return context->shaderBodyCodeWithShaderUniformBlock(shaderType, aliases, blockOf(shaderType));
}

// The forward part holds the output globals too; the macros that read the
// block and the sampler-cube uniforms come before the functions.
QStringList VrnSnGlslCodeGenerator_Style6::declarationsBeforeFunctions(const QString& forward, unsigned shaderType) const
{
    return {headerBlock(QStringLiteral("Forward Declaration of functions and outputs")), QStringLiteral("\n"), forward,
            styleDeclarationHeader(6), accessorMacros(), arrayNames(uniformBlockName(shaderType)), uniformsHeader(),
            samplerCubeDeclarations, QStringLiteral("\n")};
}

void VrnSnGlslCodeGenerator_Style6::channelRead(QString& out, const QString& channelName, int location, const QString& outputVariable) const
{
    VrnChainedArg(QStringLiteral("    Channel %1;\n")).arg(channelName).appendTo(out);
    VrnChainedArg(QStringLiteral("    %1.ChannelValues.r = GET_INT(%2);\n")).arg(channelName).arg(location).appendTo(out);
    VrnChainedArg(QStringLiteral("    %1.ChannelValues.g = GET_INT(%2);\n")).arg(channelName).arg(location + 1).appendTo(out);
    VrnChainedArg(QStringLiteral("    %1.ChannelValues.b = GET_INT(%2);\n")).arg(channelName).arg(location + 2).appendTo(out);
    VrnChainedArg(QStringLiteral("    %1 = texture_lookup2(%2,State,_State);\n")).arg(outputVariable).arg(channelName).appendTo(out);
}

// Locations are looked up with insertion: a key that packing skipped reads slot 0.
void VrnSnGlslCodeGenerator_Style6::cacheReads(QString& out, const VrnSnBaseNode* node, unsigned shaderType)
{
    VrnShaderUniformBlock::LocationMap& locations = blockOf(shaderType)->uniformLocationMap();
    const QString uuid = node->uuidString();
    for (const Point& p : node->outputPoints()) {
        const QString channelName = cacheAttributeName(node, p.name);
        channelRead(out, channelName, locations[AttributeKey(uuid, channelName)].second, outputVariableName(p));
    }
}

void VrnSnGlslCodeGenerator_Style6::bakeReads(QString& out, const VrnSnBaseNode* node, unsigned shaderType)
{
    VrnShaderUniformBlock::LocationMap& locations = blockOf(shaderType)->uniformLocationMap();
    const QString uuid = node->uuidString();
    out += backgroundLine(locations[AttributeKey(uuid, kBakeBackground)].second);
    for (const Point& p : node->outputPoints()) {
        const QString outputVariable = outputVariableName(p);
        // One channel per node: every output reads the same three ints.
        channelRead(out, VrnChainedArg(QStringLiteral("Channel_%1")).arg(outputVariable), locations[AttributeKey(uuid, kChannel)].second, outputVariable);
        out += backgroundBlend(outputVariable);
    }
}

void VrnSnGlslCodeGenerator_Style6::packContextUniforms(QSharedPointer<VrnShaderUniformBlock>& block, VrnSnBaseGlslContext* context,
                                                        ValueTable& values, VrnSnGlslContextInfoMap& contextInfo)
{
    VrnSnBaseNode* node = context ? context->parentNode() : nullptr;
    if (!node || !block)
        return;
    VrnSnBakePointNode* bakePoint = VrnShaderNetworkUtils::asTrueBakePointNode(node);
    const VrnSnGlslCodeGeneratorContextInfo& record = VrnSnGlslContextRecordIndex::recordOf(contextInfo, context);
    const bool readsCache = record.readsCache && node->cacheActive() == kCacheActive;
    const bool readsBakedResult = !readsCache && record.readsBakedChannel && bakePoint && bakePoint->shouldUseBakedResult();

    NodeSlots packing{*block, context, node, values, node->uuidString()};
    if (readsCache)
        packCacheReader(packing);
    else if (readsBakedResult)
        packBakedResult(packing);
    else
        packAttributes(packing);
}
