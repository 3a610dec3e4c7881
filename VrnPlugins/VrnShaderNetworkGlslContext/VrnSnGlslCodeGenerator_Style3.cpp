#include "VrnSnGlslCodeGenerator_Style3.h"

#include "VrnSnBaseGlslContext.h"
#include "VrnSnGlslEmission.h"

using namespace VrnSnGlslEmission;

VrnSnGlslCodeGenerator_Style3::~VrnSnGlslCodeGenerator_Style3() = default;

void VrnSnGlslCodeGenerator_Style3::emitMainBody(QString& bodyCode, unsigned shaderType, VrnSnGlslNodeAliases* aliases,
                                                 QList<VrnSnBaseGlslContext*>& topLevel, VrnSnGlslContextInfoMap& infoMap)
{
    bodyCode += evaluationBlockOpen();
    for (VrnSnBaseGlslContext* context : topLevel) {
        const VrnSnBaseNode* node = context ? context->parentNode() : nullptr;
        if (!node)
            continue;
        if (!context->shaderBodyCodeUsesOutputs()) {
            bodyCode += inlinedNode(context, shaderType, aliases);
            continue;
        }
        const QString lookups = storedOutputLookups(node, storedOutputs(infoMap[context]), true);
        // No bake branch: a node left out of a bake is written inline all the
        // same, though its stub declares none of the uniforms its code reads.
        if (!lookups.isEmpty())
            bodyCode += lookups;
        else
            emitInlineSection(bodyCode, shaderType, aliases, context, infoMap);
    }
    bodyCode += evaluationBlockClose();
}

// The node's code once more, under its banner: it declares its outputs
// locally and copies them to the globals that later sections read.
void VrnSnGlslCodeGenerator_Style3::emitInlineSection(QString& bodyCode, unsigned shaderType, VrnSnGlslNodeAliases* aliases,
                                                      VrnSnBaseGlslContext* context, VrnSnGlslContextInfoMap& infoMap)
{
    bodyCode += bannerBlock(bannerTitle(context->parentNode())) + QStringLiteral("\n") + blockOpen();
    emitNodeFunctionBody(bodyCode, shaderType, aliases, context, infoMap);
    bodyCode += blockClose();
}

QString VrnSnGlslCodeGenerator_Style3::bannerTitle(const VrnSnBaseNode* node) const
{
    return styleBannerTitle(3, node);
}

// A cached node's code is not asked for.
void VrnSnGlslCodeGenerator_Style3::emitFunctionContent(QString& functions, unsigned shaderType, VrnSnGlslNodeAliases* aliases,
                                                        VrnSnBaseGlslContext* context, VrnSnGlslContextInfoMap& infoMap)
{
    const StoredOutputs from = storedOutputs(infoMap[context]);
    if (from != StoredOutputs::None)
        functions += storedOutputLookups(context->parentNode(), from, false);
    else
        emitNodeFunctionBody(functions, shaderType, aliases, context, infoMap);
}

VrnSnGlslCodeGenerator_Style3::StoredOutputs
VrnSnGlslCodeGenerator_Style3::storedOutputs(const VrnSnGlslCodeGeneratorContextInfo& record) const
{
    return record.readsCache ? StoredOutputs::Cache : StoredOutputs::None;
}

void VrnSnGlslCodeGenerator_Style3::emitNodeFunctionBody(QString& out, unsigned shaderType, VrnSnGlslNodeAliases* aliases,
                                                         VrnSnBaseGlslContext* context, VrnSnGlslContextInfoMap& infoMap)
{
    emitComputedOutputs(out, shaderType, aliases, context, bodyText(context, shaderType, aliases), infoMap);
}
