#include "VrnShaderBuild.h"

#include "VrnShaderNetwork.h"
#include "VrnSnBaseGlslCodeGenerator.h"
#include "VrnSnGlslCodeGeneratorManager.h"
#include "VrnSnGlslContextManager.h"

bool VrnShaderBuild::run(const QString& generatorName, VrnShaderNetwork* network, VrnSurfaceShader* surfaceShader, VrnShaderBuildResult& result)
{
    VrnSnBaseGlslCodeGenerator* generator = VrnSnGlslCodeGeneratorManager::instance().codeGenerator(generatorName);
    if (!generator) {
        result.errorText = QStringLiteral("no code generator named \"%1\"").arg(generatorName);
        return false;
    }
    auto* shadingContext = qobject_cast<VrnSvtShadingContext*>(network->shadingContext());
    return generator->buildShaderCode(&VrnSnGlslContextManager::instance(), shadingContext, result.declarationCodes,
                                      result.bodyCodes, network->root(), surfaceShader, result.errorText);
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
