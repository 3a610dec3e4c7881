#include "VrnSnGlslCodeGenerator_Style4.h"

#include "VrnSnBaseGlslContext.h"
#include "VrnSnGlslEmission.h"

using namespace VrnSnGlslEmission;

VrnSnGlslCodeGenerator_Style4::~VrnSnGlslCodeGenerator_Style4() = default;

bool VrnSnGlslCodeGenerator_Style4::buildShaderCode(VrnSnGlslContextManager* manager, VrnSvtShadingContext* shadingContext,
                                                    QMap<unsigned, QString>& declarationCodes, QMap<unsigned, QString>& bodyCodes,
                                                    const VrnSnBaseNode* root, VrnSurfaceShader*, QString&)
{
    QMap<unsigned, VrnSnGlslNodeAliases> aliasesByType;
    QMap<unsigned, QList<VrnSnBaseGlslContext*>> contextsByType;
    buildContextsList(manager, shadingContext, aliasesByType, contextsByType, root);
    const QList<unsigned> shaderTypes = shaderTypesOf(aliasesByType, contextsByType);
    gatherDeclarationLines(shaderTypes, contextsByType, samplerCubeDeclarations, &uniformDeclarations);
    for (unsigned type : shaderTypes)
        buildShaderTypeCode(manager, shadingContext, declarationCodes[type], bodyCodes[type], type, &aliasesByType[type],
                            contextsByType[type]);
    return true;
}

int VrnSnGlslCodeGenerator_Style4::styleNumber() const
{
    return 4;
}

// Declarations reach the shader through the uniform block only.
QString VrnSnGlslCodeGenerator_Style4::nodeDeclarationCode(VrnSnBaseGlslContext*) const
{
    return QString();
}

QStringList VrnSnGlslCodeGenerator_Style4::declarationsBeforeFunctions(const QString& forward, unsigned) const
{
    return {forwardDeclarationsHeader(), forward, definitionsHeader(), uniformsHeader(),
            QStringLiteral("uniform ShaderNetworkUniformBlock\n{\n"), uniformDeclarations, QStringLiteral("};\n\n"),
            samplerCubeDeclarations, QStringLiteral("\n")};
}
