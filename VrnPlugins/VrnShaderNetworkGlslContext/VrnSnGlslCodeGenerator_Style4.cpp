#include "VrnSnGlslCodeGenerator_Style4.h"

#include "VrnSnBaseGlslContext.h"
#include "VrnSnGlslEmission.h"

#include <QStringList>

#include <algorithm>
#include <set>

using namespace VrnSnGlslEmission;

namespace {
QString joined(const std::set<QString>& lines)
{
    return QStringList(lines.begin(), lines.end()).join(QLatin1Char('\n'));
}
} // namespace

VrnSnGlslCodeGenerator_Style4::~VrnSnGlslCodeGenerator_Style4() = default;

bool VrnSnGlslCodeGenerator_Style4::buildShaderCode(VrnSnGlslContextManager* manager, VrnSvtShadingContext* shadingContext,
                                                    QMap<unsigned, QString>& declarationCodes, QMap<unsigned, QString>& bodyCodes,
                                                    const VrnSnBaseNode* root, VrnSurfaceShader*, QString&)
{
    QMap<unsigned, VrnSnGlslNodeAliases> aliasesByType;
    QMap<unsigned, QList<VrnSnBaseGlslContext*>> contextsByType;
    buildContextsList(manager, shadingContext, aliasesByType, contextsByType, root);
    // Both maps are ordered by type, so the types come in ascending order.
    QList<unsigned> shaderTypes = aliasesByType.keys() + contextsByType.keys();
    std::sort(shaderTypes.begin(), shaderTypes.end());
    shaderTypes.erase(std::unique(shaderTypes.begin(), shaderTypes.end()), shaderTypes.end());

    gatherDeclarations(shaderTypes, contextsByType);
    for (unsigned type : shaderTypes)
        buildShaderTypeCode(manager, shadingContext, declarationCodes[type], bodyCodes[type], type, &aliasesByType[type],
                            contextsByType[type]);
    return true;
}

// Every line counts once, whichever contexts and types declare it; empty
// lines included, so a declaration text ending in "\n" adds one empty line.
void VrnSnGlslCodeGenerator_Style4::gatherDeclarations(const QList<unsigned>& shaderTypes,
                                                       QMap<unsigned, QList<VrnSnBaseGlslContext*>>& contextsByType)
{
    std::set<QString> samplerCubeLines;
    std::set<QString> otherLines;
    for (unsigned type : shaderTypes)
        for (VrnSnBaseGlslContext* context : contextsByType[type]) {
            if (!context)
                continue;
            for (const QString& line : context->shaderDeclarationCode().split(QLatin1Char('\n'))) {
                if (line.trimmed().startsWith(QLatin1String("uniform samplerCube")))
                    samplerCubeLines.insert(line);
                else
                    otherLines.insert(line);
            }
        }
    uniformDeclarations = joined(otherLines);
    samplerCubeDeclarations = joined(samplerCubeLines);
}

QString VrnSnGlslCodeGenerator_Style4::bannerTitle(const VrnSnBaseNode* node) const
{
    return styleBannerTitle(4, node);
}

// Declarations reach the shader through the uniform block only.
QString VrnSnGlslCodeGenerator_Style4::nodeDeclarationCode(VrnSnBaseGlslContext*) const
{
    return QString();
}

QString VrnSnGlslCodeGenerator_Style4::assembleDeclarations(const QString& forward, const QString& functions) const
{
    return forwardDeclarationsHeader() + forward + definitionsHeader()
           + QStringLiteral("\n//=====================\n// Declaration of uniforms\n//=====================\n"
                            "uniform ShaderNetworkUniformBlock\n{\n")
           + uniformDeclarations + QStringLiteral("};\n\n") + samplerCubeDeclarations + QStringLiteral("\n") + functions;
}
