#include "VrnSnGlslCodeGenerator_Style6.h"

#include "VrnAttributeValues.h"
#include "VrnDebug.h"
#include "VrnShaderManager.h"
#include "VrnShaderNetwork.h"
#include "VrnShaderNetworkUtils.h"
#include "VrnShaderUniformBlock.h"
#include "VrnShadingContext.h"
#include "VrnSnBaseGlslContext.h"
#include "VrnSnGlslEmission.h"
#include "VrnSnGlslParameterLayout.h"
#include "VrnSurfaceShader.h"

#include <QSet>
#include <QStringList>

#include <algorithm>

using namespace VrnSnGlslEmission;
namespace ParameterLayout = VrnSnGlslParameterLayout;

namespace {
const char* const kSourceFile = "VrnPlugins/VrnShaderNetworkGlslContext/VrnSnGlslCodeGenerator_Style6";
// Log lines keep the line numbers the host's log readers know them by.
const int kUnsupportedLocatorLine = 279;
const unsigned kTessEvaluation = 36487;
const unsigned kTessControl = 36488;

const QString kChannel = QStringLiteral("Channel");
const QString kBakeBackground = QStringLiteral("limitBakeBackground");

QString style6Header()
{
    return QStringLiteral("//============================\n//-- Style 6 Declaration --\n//============================\n\n"
                          "#define DECLARE_UNIFORMS_ON_MAIN_TRAIL\n");
}

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

QString forwardHeader()
{
    return QStringLiteral("//=====================\n// Forward Declaration of functions and outputs\n//=====================\n\n");
}

QString uniformHeader()
{
    return QStringLiteral("\n//=====================\n// Declaration of uniforms\n//=====================\n");
}

QString globalOutputDeclarationWithPath(const VrnSnBaseNode* node, const Point& point)
{
    return QStringLiteral("vec4 %1; // Output '%2.%3' \n").arg(outputVariableName(point)).arg(node->path()).arg(point.name);
}

QString localOutputDeclarationWithPath(const VrnSnBaseNode* node, const Point& point)
{
    return QStringLiteral("    vec4 %1; // Output '%2.%1' \n").arg(point.name).arg(node->path());
}

QString backgroundLine(int location)
{
    return QStringLiteral("    vec4 Background = GET_VEC4(%1);\n").arg(location);
}

// Lays the baked colour over the background by its alpha.
QString backgroundBlend(const QString& outputVariable)
{
    return QStringLiteral("    %1 = vec4(mix(Background.rgb, %1.rgb, %1.a), 1.0-(1.0-Background.a)*(1.0-%1.a));\n").arg(outputVariable);
}

void logNoShadingContext(const VrnSnBaseNode* node, int line)
{
    VrnDebug(kSourceFile, line,
             QString::asprintf("[ !! ] Could not find the shading context of the node %s", node->name().toLocal8Bit().constData()),
             false, false);
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
} // namespace

VrnSnGlslCodeGenerator_Style6::~VrnSnGlslCodeGenerator_Style6() = default;

QString VrnSnGlslCodeGenerator_Style6::blockName(unsigned shaderType)
{
    return QString::fromLatin1(getShaderTypePrefix(shaderType)) + QStringLiteral("ShaderUniformBlock");
}

QSharedPointer<VrnShaderUniformBlock>& VrnSnGlslCodeGenerator_Style6::blockOf(unsigned shaderType)
{
    QSharedPointer<VrnShaderUniformBlock>& block = shaderUniformBlocks[shaderType];
    if (!block)
        block.reset(new VrnShaderUniformBlock(blockName(shaderType)));
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
    QList<unsigned> types = aliasesByType.keys() + contextsByType.keys();
    std::sort(types.begin(), types.end());
    types.erase(std::unique(types.begin(), types.end()), types.end());

    // The samplerCube uniforms of the whole build, each line once, sorted.
    QSet<QString> samplerLines;
    for (unsigned type : types)
        for (VrnSnBaseGlslContext* context : contextsByType[type]) {
            if (!context)
                continue;
            for (const QString& line : context->shaderDeclarationCode().split(QLatin1Char('\n')))
                if (line.trimmed().startsWith(QLatin1String("uniform samplerCube")))
                    samplerLines.insert(line);
        }
    QStringList sortedLines = samplerLines.values();
    sortedLines.sort();
    samplerCubeDeclarations = sortedLines.join(QLatin1Char('\n'));

    for (unsigned type : types) {
        QString& declarationCode = declarationCodes[type];
        QString& bodyCode = bodyCodes[type];
        VrnSnGlslNodeAliases& aliases = aliasesByType[type];
        QList<VrnSnBaseGlslContext*>& contexts = contextsByType[type];
        const QString name = blockName(type);
        const QSharedPointer<VrnShaderUniformBlock> block(new VrnShaderUniformBlock(name));
        shaderUniformBlocks.insert(type, block);
        buildShaderTypeCode(manager, shadingContext, declarationCode, bodyCode, type, &aliases, contexts);
        if (surfaceShader)
            surfaceShader->setShaderUniformBlock(name, block);
        const ValueTable& values = shaderUniformValues[type];
        QList<AttributeKey> keys = values.keys();
        std::sort(keys.begin(), keys.end());
        for (const AttributeKey& key : keys)
            block->setShaderUniformBlockUniform(surfaceShader, key.first, key.second, values.value(key));
    }

    // Every build states the tessellation stages, also when it has none.
    const QString tessellation = QStringLiteral("#########TessEval Code########") + declarationCodes[kTessEvaluation]
                               + QStringLiteral("#########TessControl Code########") + declarationCodes[kTessControl];
    if (surfaceShader)
        surfaceShader->setTessellationStateString(tessellation);
    return true;
}

void VrnSnGlslCodeGenerator_Style6::buildShaderTypeCode(VrnSnGlslContextManager*, VrnSvtShadingContext* shadingContext,
                                                        QString& declarationCode, QString& bodyCode, unsigned shaderType,
                                                        VrnSnGlslNodeAliases* aliases, QList<VrnSnBaseGlslContext*>& contexts)
{
    VrnSnGlslContextInfoMap contextInfo = buildContextInfo(shadingContext, aliases, contexts);
    // Packing runs inside, so the body below finds every location.
    emitDeclarationCode(declarationCode, shaderType, aliases, contexts, contextInfo);

    // What a container's function evaluates stays off the main trail.
    const bool bakeMode = bakeModeEnabled();
    QSet<VrnSnBaseGlslContext*> evaluatedInside;
    for (VrnSnBaseGlslContext* context : contexts) {
        if (!context || !context->parentNode() || !contextInfo.contains(context))
            continue;
        const VrnSnGlslCodeGeneratorContextInfo& record = contextInfo[context];
        if (record.hasNestedContexts && !record.readsCache && !record.readsBakedChannel && context->shaderBodyCodeUsesOutputs()
            && !isNonBakeable(context->parentNode(), bakeMode))
            for (VrnSnBaseGlslContext* nested : record.nestedContexts)
                evaluatedInside.insert(nested);
    }
    QList<VrnSnBaseGlslContext*> mainTrail = filterConextList_Remove(contexts, evaluatedInside);
    emitBodyCode(bodyCode, shaderType, aliases, mainTrail, contextInfo);
}

void VrnSnGlslCodeGenerator_Style6::emitDeclarationCode(QString& declarationCode, unsigned shaderType, VrnSnGlslNodeAliases* aliases,
                                                        QList<VrnSnBaseGlslContext*>& contexts, VrnSnGlslContextInfoMap& contextInfo)
{
    const bool bakeMode = bakeModeEnabled();
    QSharedPointer<VrnShaderUniformBlock>& block = blockOf(shaderType);
    ValueTable& values = shaderUniformValues[shaderType];
    QString forward;
    QString functions;
    for (VrnSnBaseGlslContext* context : contexts) {
        VrnSnBaseNode* node = context ? context->parentNode() : nullptr;
        if (!node)
            continue;
        packContextUniforms(block, context, values, contextInfo);
        const QList<Point> outputs = node->outputPoints();
        if (isNonBakeable(node, bakeMode)) {
            functions += bannerBlock(nonBakeableBannerTitle(node));
            if (!context->shaderBodyCodeUsesOutputs())
                continue;
            for (const Point& p : outputs)
                forward += globalOutputDeclaration(p);
            const QString head = functionHead(node, shaderType);
            forward += forwardDeclaration(head);
            functions += zeroingFunction(functionOpening(head), outputs);
            continue;
        }
        functions += bannerBlock(styleBannerTitle(6, node));
        if (!context->shaderBodyCodeUsesOutputs())
            continue; // its code goes into the main trail
        const VrnSnGlslCodeGeneratorContextInfo record = contextInfo[context];
        const QString body = context->shaderBodyCodeWithShaderUniformBlock(shaderType, aliases, block) + QStringLiteral("\n");
        for (const Point& p : outputs)
            forward += globalOutputDeclarationWithPath(node, p);
        const QString head = functionHead(node, shaderType);
        forward += forwardDeclaration(head);
        functions += functionOpening(head);
        if (record.readsCache) {
            functions += cacheReads(node, shaderType);
        } else if (record.readsBakedChannel) {
            functions += bakeReads(node, shaderType);
        } else {
            if (record.hasNestedContexts) {
                QList<VrnSnBaseGlslContext*> nested = record.nestedContexts;
                QString nestedText;
                emitBodyCode(nestedText, shaderType, aliases, nested, contextInfo);
                functions += nestedText;
            }
            for (const Point& p : outputs)
                functions += localOutputDeclarationWithPath(node, p);
            functions += body;
            for (const Point& p : outputs)
                functions += copyOut(p);
        }
        functions += blockClose();
    }
    // One sum, sized once: the forward part and the functions are large.
    declarationCode += forwardHeader() + forward + style6Header() + accessorMacros() + arrayNames(blockName(shaderType))
                       + uniformHeader() + samplerCubeDeclarations + QStringLiteral("\n") + functions;
}

void VrnSnGlslCodeGenerator_Style6::emitBodyCode(QString& out, unsigned shaderType, VrnSnGlslNodeAliases* aliases,
                                                 QList<VrnSnBaseGlslContext*>& contexts, VrnSnGlslContextInfoMap& contextInfo)
{
    out += evaluationBlockOpen();
    for (VrnSnBaseGlslContext* context : contexts) {
        VrnSnBaseNode* node = context ? context->parentNode() : nullptr;
        if (!node)
            continue;
        if (!context->shaderBodyCodeUsesOutputs()) {
            out += inlineBlockOpen() + context->shaderBodyCodeWithShaderUniformBlock(shaderType, aliases, blockOf(shaderType))
                 + QStringLiteral("\n") + inlineBlockClose();
            continue;
        }
        const VrnSnGlslCodeGeneratorContextInfo record = contextInfo[context];
        // Stored outputs are read here, without calling the node's function.
        if (record.readsCache)
            out += blockOpen() + cacheReads(node, shaderType) + blockClose();
        else if (record.readsBakedChannel)
            out += blockOpen() + bakeReads(node, shaderType) + blockClose();
        else
            out += blockLine(evaluationCall(node));
    }
    out += evaluationBlockClose();
}

QString VrnSnGlslCodeGenerator_Style6::channelRead(const QString& channelName, int location, const QString& outputVariable) const
{
    return QStringLiteral("    Channel %1;\n").arg(channelName)
         + QStringLiteral("    %1.ChannelValues.r = GET_INT(%2);\n").arg(channelName).arg(location)
         + QStringLiteral("    %1.ChannelValues.g = GET_INT(%2);\n").arg(channelName).arg(location + 1)
         + QStringLiteral("    %1.ChannelValues.b = GET_INT(%2);\n").arg(channelName).arg(location + 2)
         + QStringLiteral("    %1 = texture_lookup2(%2,State,_State);\n").arg(outputVariable).arg(channelName);
}

// Locations are looked up with insertion: a key that packing skipped reads slot 0.
QString VrnSnGlslCodeGenerator_Style6::cacheReads(const VrnSnBaseNode* node, unsigned shaderType)
{
    VrnShaderUniformBlock::LocationMap& locations = blockOf(shaderType)->uniformLocationMap();
    QString text;
    for (const Point& p : node->outputPoints()) {
        const QString channelName = QStringLiteral("Cache_%1%2").arg(node->hash()).arg(p.name);
        text += channelRead(channelName, locations[AttributeKey(node->uuidString(), channelName)].second, outputVariableName(p));
    }
    return text;
}

QString VrnSnGlslCodeGenerator_Style6::bakeReads(const VrnSnBaseNode* node, unsigned shaderType)
{
    VrnShaderUniformBlock::LocationMap& locations = blockOf(shaderType)->uniformLocationMap();
    const QString uuid = node->uuidString();
    QString text = backgroundLine(locations[AttributeKey(uuid, kBakeBackground)].second);
    for (const Point& p : node->outputPoints()) {
        const QString outputVariable = outputVariableName(p);
        // One channel per node: every output reads the same three ints.
        text += channelRead(QStringLiteral("Channel_%1").arg(outputVariable), locations[AttributeKey(uuid, kChannel)].second, outputVariable);
        text += backgroundBlend(outputVariable);
    }
    return text;
}

void VrnSnGlslCodeGenerator_Style6::packContextUniforms(QSharedPointer<VrnShaderUniformBlock>& block, VrnSnBaseGlslContext* context,
                                                        ValueTable& values, VrnSnGlslContextInfoMap& contextInfo)
{
    VrnSnBaseNode* node = context ? context->parentNode() : nullptr;
    if (!node || !block)
        return;
    VrnSnBakePointNode* bakePoint = VrnShaderNetworkUtils::asTrueBakePointNode(node);
    const VrnSnGlslCodeGeneratorContextInfo record = contextInfo[context];
    const bool readsCache = record.readsCache && node->cacheActive() == 2;
    const bool readsBakedResult = !readsCache && record.readsBakedChannel && bakePoint && bakePoint->shouldUseBakedResult();

    const QString uuid = node->uuidString();
    QVector<int>& ints = block->uniformIntArray0();
    QVector<float>& floats = block->uniformFloatArray();
    QVector<Wm3::Vector4<float>>& vec4s = block->uniformVec4Array();
    VrnShaderUniformBlock::LocationMap& locations = block->uniformLocationMap();
    auto reserveInts = [&](const QString& a, int count, int value) {
        locations.insert(AttributeKey(uuid, a), VrnShaderUniformBlock::Location(0, int(ints.size())));
        ints.insert(ints.size(), count, value);
    };
    auto reserveFloats = [&](const QString& a, int count, float value) {
        locations.insert(AttributeKey(uuid, a), VrnShaderUniformBlock::Location(0, int(floats.size())));
        floats.insert(floats.size(), count, value);
    };
    // The host fills vec4 slots from the value table and the per-frame list.
    auto reserveVec4s = [&](const QString& a, int count) {
        locations.insert(AttributeKey(uuid, a), VrnShaderUniformBlock::Location(0, int(vec4s.size())));
        vec4s.insert(vec4s.size(), count, Wm3::Vector4<float>());
    };
    auto updateEveryFrame = [&](const QString& a) { block->uniformsToUpdateEveryFrame().insert(context->uniformName(a, node), AttributeKey(uuid, a)); };
    auto recordValue = [&](const QString& a) { values.insert(AttributeKey(uuid, a), node->userAttribute(a).value()); };

    if (readsCache) {
        VrnShadingContext* sc = shadingContextOf(node);
        if (!sc) {
            logNoShadingContext(node, 84);
            return;
        }
        // Only channels that the current tile holds are read; the cache attributes are among them.
        for (const QString& a : node->userAttributeNames()) {
            const QVariant value = node->userAttribute(a).value();
            if (!value.canConvert<VrnChannelId>())
                continue;
            const VrnChannelId id = channelIdOf(value);
            if (id.channelName().isEmpty() || id.isCurrentChannel() || !sc->channel(sc->getCurrentUvChannel(), id.channelName()))
                continue;
            reserveInts(a, 3, -1);
            updateEveryFrame(a);
            recordValue(a);
        }
        return;
    }
    if (readsBakedResult) {
        if (!shadingContextOf(node)) {
            logNoShadingContext(node, 119);
            return;
        }
        reserveInts(kChannel, 3, -1);
        updateEveryFrame(kChannel);
        recordValue(kChannel);
        reserveVec4s(kBakeBackground, 1);
        updateEveryFrame(kBakeBackground);
        recordValue(kBakeBackground);
        return;
    }

    for (const QString& a : node->userAttributeNames()) {
        recordValue(a);
        const QVariant value = node->userAttribute(a).value();
        const ParameterLayout::Kind kind = ParameterLayout::kindOf(a, value);
        const ParameterLayout::Layout& layout = ParameterLayout::layoutOf(kind);
        switch (layout.style6Array) {
        case ParameterLayout::Array::None: continue;
        case ParameterLayout::Array::Int: reserveInts(a, layout.style6Slots, layout.holdsValue ? value.toInt() : -1); break;
        case ParameterLayout::Array::Float: reserveFloats(a, layout.style6Slots, value.toFloat()); break;
        case ParameterLayout::Array::Vec4: reserveVec4s(a, layout.style6Slots); break;
        }
        if (kind == ParameterLayout::Kind::OtherLocators)
            ParameterLayout::logUnsupportedLocators(kSourceFile, kUnsupportedLocatorLine, value);
        if (layout.style6EveryFrame)
            updateEveryFrame(a);
    }
}
