#pragma once

#include "VrnSnGlslCodeGenerator_Style2.h"

// Style 2's node functions, but the main body writes the code of every
// top-level node inline, each in its own braced section, instead of calling
// its function; the functions serve the contexts nested in containers. Baked
// channels are not read: a bake point is evaluated like any other node.
class VrnSnGlslCodeGenerator_Style3 : public VrnSnGlslCodeGenerator_Style2
{
public:
    ~VrnSnGlslCodeGenerator_Style3() override;
    void buildShaderTypeCode(VrnSnGlslContextManager* manager, VrnSvtShadingContext* shadingContext, QString& declarationCode,
                             QString& bodyCode, unsigned shaderType, VrnSnGlslNodeAliases* aliases,
                             QList<VrnSnBaseGlslContext*>& contexts) override;

protected:
    void evaluationLines(QString& out, VrnSnBaseGlslContext* context, unsigned shaderType, VrnSnGlslNodeAliases* aliases,
                         VrnSnGlslContextInfoMap& infoMap, bool mainBody) override;
    int styleNumber() const override;
    void emitFunctionContent(QString& functions, unsigned shaderType, VrnSnGlslNodeAliases* aliases,
                             VrnSnBaseGlslContext* context, VrnSnGlslContextInfoMap& infoMap) override;
    StoredOutputs storedOutputs(const VrnSnGlslCodeGeneratorContextInfo& record) const override;

private:
    // The inner part of a node's code, in its function and in the main body alike.
    void emitNodeFunctionBody(QString& out, unsigned shaderType, VrnSnGlslNodeAliases* aliases, VrnSnBaseGlslContext* context,
                              VrnSnGlslContextInfoMap& infoMap);
    void emitInlineSection(QString& bodyCode, unsigned shaderType, VrnSnGlslNodeAliases* aliases, VrnSnBaseGlslContext* context,
                           VrnSnGlslContextInfoMap& infoMap);
};
