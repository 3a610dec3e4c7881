#include "VrnSnGlslCodeGenerator_Style3.h"

#include "VrnBodyCodeScope.h"
#include "VrnSnBaseGlslContext.h"
#include "VrnSnGlslContextRecordIndex.h"
#include "VrnSnGlslEmission.h"

using namespace VrnSnGlslEmission;

VrnSnGlslCodeGenerator_Style3::~VrnSnGlslCodeGenerator_Style3() = default;

// Style 2's steps. Every uncached top-level node's body is asked for twice,
// for its function and for its inline section; while the scope lives, the
// host answers the second ask with the text of the first.
void VrnSnGlslCodeGenerator_Style3::buildShaderTypeCode(VrnSnGlslContextManager* manager, VrnSvtShadingContext* shadingContext,
                                                        QString& declarationCode, QString& bodyCode, unsigned shaderType,
                                                        VrnSnGlslNodeAliases* aliases, QList<VrnSnBaseGlslContext*>& contexts)
{
    const VrnBodyCodeScope bodies(contexts.size());
    VrnSnGlslCodeGenerator_Style2::buildShaderTypeCode(manager, shadingContext, declarationCode, bodyCode, shaderType, aliases, contexts);
}

// The main body writes a node's code inline where Style 2 calls its function.
void VrnSnGlslCodeGenerator_Style3::evaluationLines(QString& out, VrnSnBaseGlslContext* context, unsigned shaderType,
                                                    VrnSnGlslNodeAliases* aliases, VrnSnGlslContextInfoMap& infoMap, bool mainBody)
{
    if (!mainBody) {
        VrnSnGlslCodeGenerator_Style2::evaluationLines(out, context, shaderType, aliases, infoMap, mainBody);
        return;
    }
    const VrnSnBaseNode* node = context->parentNode();
    const QString lookups = storedOutputLookups(node, storedOutputs(VrnSnGlslContextRecordIndex::recordOf(infoMap, context)), true);
    if (!lookups.isEmpty()) {
        out += lookups;
        return;
    }
    // No bake branch: a node left out of a bake is written inline all the
    // same, though its stub declares none of the uniforms its code reads.
    emitInlineSection(out, shaderType, aliases, context, infoMap);
}

// The node's code once more, under its banner: it declares its outputs
// locally and copies them to the globals that later sections read.
void VrnSnGlslCodeGenerator_Style3::emitInlineSection(QString& bodyCode, unsigned shaderType, VrnSnGlslNodeAliases* aliases,
                                                      VrnSnBaseGlslContext* context, VrnSnGlslContextInfoMap& infoMap)
{
    styleBanner(bodyCode, styleNumber(), context->parentNode());
    bodyCode += QLatin1Char('\n');
    bodyCode += blockOpen();
    emitNodeFunctionBody(bodyCode, shaderType, aliases, context, infoMap);
    bodyCode += blockClose();
}

int VrnSnGlslCodeGenerator_Style3::styleNumber() const
{
    return 3;
}

// A cached node's code is not asked for.
void VrnSnGlslCodeGenerator_Style3::emitFunctionContent(QString& functions, unsigned shaderType, VrnSnGlslNodeAliases* aliases,
                                                        VrnSnBaseGlslContext* context, VrnSnGlslContextInfoMap& infoMap)
{
    const StoredOutputs from = storedOutputs(VrnSnGlslContextRecordIndex::recordOf(infoMap, context));
    if (from != StoredOutputs::None)
        storedOutputReads(functions, context->parentNode(), from, shaderType);
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
