#pragma once

#include "VrnSnGlslCodeGenerator_Style2.h"

// Style 2's functions and main body, with the contexts' declarations moved
// out of the node sections: each build gathers the declaration lines of every
// context of every shader type once, and every type's declarations carry them
// all inside one uniform block, "ShaderNetworkUniformBlock", with the
// sampler-cube uniforms (which a block cannot hold) after it.
//
// The gathered lines live in the generator between buildShaderCode and the
// buildShaderTypeCode calls it makes, so one build at a time.
class VrnSnGlslCodeGenerator_Style4 : public VrnSnGlslCodeGenerator_Style2
{
public:
    ~VrnSnGlslCodeGenerator_Style4() override;

    bool buildShaderCode(VrnSnGlslContextManager* manager, VrnSvtShadingContext* shadingContext,
                         QMap<unsigned, QString>& declarationCodes, QMap<unsigned, QString>& bodyCodes, const VrnSnBaseNode* root,
                         VrnSurfaceShader* surfaceShader, QString& errorText) override;

protected:
    int styleNumber() const override;
    QString nodeDeclarationCode(VrnSnBaseGlslContext* context) const override;
    QStringList declarationsBeforeFunctions(const QString& forward, unsigned shaderType) const override;

private:
    // Distinct declaration lines of the build, sorted, joined with "\n".
    QString uniformDeclarations;
    QString samplerCubeDeclarations;
};
