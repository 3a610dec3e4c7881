#pragma once

#include "VrnSnBaseGlslCodeGenerator.h"

// One GLSL function per node; each function gathers its inputs itself, by cache
// lookup or by calling the producer's function, before running the node's code.
class VrnSnGlslCodeGenerator_Style1 : public VrnSnBaseGlslCodeGenerator
{
public:
    void buildShaderTypeCode(VrnSnGlslContextManager* manager, VrnSvtShadingContext* shadingContext,
                             QString& declarationCode, QString& bodyCode, unsigned shaderType,
                             VrnSnGlslNodeAliases* aliases, QList<VrnSnBaseGlslContext*>& contexts) override;
    ~VrnSnGlslCodeGenerator_Style1() override;

private:
    static void emitNonBakeableNode(QString& code, VrnSnBaseGlslContext* context, unsigned shaderType);
    // The gathering lines and the node's code, appended to code.
    static void gatherInputs(QString& code, const VrnSnBaseNode* node, const QString& bodyCode, VrnSvtShadingContext* shadingContext,
                             VrnSnGlslNodeAliases* aliases);
    static void emitNodeFunction(QString& code, const VrnSnBaseNode* node, unsigned shaderType, const QString& bodyCode,
                                 VrnSvtShadingContext* shadingContext, VrnSnGlslNodeAliases* aliases);
};
