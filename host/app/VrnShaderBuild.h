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
    // What stood before the generated declarations in the last fragment stage
    // that buildStagesInto made: the room it keeps for them in the next build.
    int prologueRoom = 0;
    // Set once a generator did not keep that room: none is kept from then on.
    bool roomRefused = false;

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
// Each built stage in parts to be written one after the other (see
// VrnShaderAssembler::assembleTaking), for a caller that only writes the
// stages out: the result's texts are taken and left empty, and no whole
// stage is made, so a large network's text is not held twice. The surface
// shader gets no sources.
QMap<unsigned, QStringList> takeStageParts(VrnShaderBuildResult& result, VrnShaderNetwork* network, VrnSurfaceShader* surfaceShader,
                                           const QStringList& defines);
// Runs the generator and assembles its stages into sources, for a host that
// rebuilds and keeps result and sources from build to build: the generator
// writes the fragment stage's declarations after room kept for what goes
// before them, so that they become the stage where they were written instead
// of being copied into it. The result's fragment declaration text is used up.
// A build that reports a failure but wrote its texts (uniform data over the
// limit) is assembled all the same; false with the generator's error.
bool buildStagesInto(const QString& generatorName, VrnShaderNetwork* network, VrnSurfaceShader* surfaceShader,
                     const QStringList& defines, VrnShaderBuildResult& result, QMap<unsigned, QString>& sources);
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
