#pragma once

#include <QMap>
#include <QString>

class VrnShaderNetwork;
class VrnSurfaceShader;

// The texts one generator wrote for a network, per shader type.
struct VrnShaderBuildResult
{
    QMap<unsigned, QString> declarationCodes;
    QMap<unsigned, QString> bodyCodes;
    QString errorText;
};

namespace VrnShaderBuild {
// Runs the registered generator of that name on the network. False, with the
// reason in the result's error text, for an unknown generator or a failed build.
bool run(const QString& generatorName, VrnShaderNetwork* network, VrnSurfaceShader* surfaceShader, VrnShaderBuildResult& result);
QString shaderTypeName(unsigned shaderType);
} // namespace VrnShaderBuild
