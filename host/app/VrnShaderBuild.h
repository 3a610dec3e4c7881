#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

class VrnShaderNetwork;
class VrnSnBaseNode;
class VrnStageLineMap;
class VrnSurfaceShader;

// The texts one generator wrote for a network, per shader type.
struct VrnShaderBuildResult
{
    QMap<unsigned, QString> declarationCodes;
    QMap<unsigned, QString> bodyCodes;
    QString errorText;

    // Empties the texts for the next build and keeps their buffers, so that
    // the generator appends into memory it has already had.
    void clearTexts();
};

namespace VrnShaderBuild {
// Runs the registered generator of that name on the network. False, with the
// reason in the result's error text, for an unknown generator or a failed build.
bool run(const QString& generatorName, VrnShaderNetwork* network, VrnSurfaceShader* surfaceShader, VrnShaderBuildResult& result);
// Each built stage's complete source (host library, the network's channels,
// the surface shader's blocks, the generator's texts, main); also handed to
// the surface shader. With lineMaps, also each stage's line map.
QMap<unsigned, QString> assembleStages(const VrnShaderBuildResult& result, VrnShaderNetwork* network, VrnSurfaceShader* surfaceShader,
                                       const QStringList& defines, QMap<unsigned, VrnStageLineMap>* lineMaps = nullptr);
// As assembleStages, into the strings of sources: a host that builds again
// and keeps sources writes each stage into the buffer of the last build.
void assembleStagesInto(const VrnShaderBuildResult& result, VrnShaderNetwork* network, VrnSurfaceShader* surfaceShader,
                        const QStringList& defines, QMap<unsigned, QString>& sources);
// Each built stage in parts to be written one after the other (see
// VrnShaderAssembler::assembleTaking), for a caller that only writes the
// stages out: the result's texts are taken and left empty, and no whole
// stage is made, so a large network's text is not held twice. The surface
// shader gets no sources.
QMap<unsigned, QStringList> takeStageParts(VrnShaderBuildResult& result, VrnShaderNetwork* network, VrnSurfaceShader* surfaceShader,
                                           const QStringList& defines);
// Runs the generator and assembles its stages. False with the generator's error.
bool buildStages(const QString& generatorName, VrnShaderNetwork* network, VrnSurfaceShader* surfaceShader, const QStringList& defines,
                 QMap<unsigned, QString>& sources, QString& error);
QString shaderTypeName(unsigned shaderType);
// A value edit without a build: writes the node's current value of the
// attribute into every uniform block of the surface shader that has a place
// for it, and the next frame draws it. Styles whose parameters are uniforms of
// their own need nothing written: the renderer reads those from the network
// every frame. False when no block holds the attribute.
bool writeValue(VrnSurfaceShader* surfaceShader, const VrnSnBaseNode* node, const QString& attributeName);
// How many builds run() has started since start-up.
int buildCount();
} // namespace VrnShaderBuild
