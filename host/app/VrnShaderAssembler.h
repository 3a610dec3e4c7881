#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

class VrnShaderNetwork;
class VrnSurfaceShader;

// Builds each stage's complete source around what a generator wrote.
namespace VrnShaderAssembler {
struct StageInput
{
    unsigned shaderType = 0;
    QString declarationCode;       // the generator's declaration text
    QString bodyCode;              // the generator's body text, run inside main
    QString uniformBlockDeclarations; // std140 blocks the surface shader received
    QStringList defines;
    int uvTile = 1001;
    VrnShaderNetwork* network = nullptr; // its cache and bake-point channels are declared
};

// Where a run of lines of an assembled stage came from (lines count from 1).
struct Section
{
    enum Part { Header, Library, Channels, Blocks, Declarations, Main, Body };
    Part part = Header;
    int firstLine = 1;
    int lineCount = 0;
};

// "uniform Channel <name>;" for every cache channel ("Cache_" + hash + output +
// "_" + id) and every bake point's own channel ("Channel_" + id) of the
// network, whether or not a generator left the node's declarations out.
QString networkChannelDeclarations(VrnShaderNetwork* network);

// The std140 declarations of the surface shader's uniform blocks for a stage
// (the blocks named by the stage's prefix): members "<block>_u_IntUniforms0"
// to "2", "<block>_u_FloatUniforms" and "<block>_u_Vec4Uniforms".
QString uniformBlockDeclarations(VrnSurfaceShader* surfaceShader, unsigned shaderType);

// "#version 450 core", the defines, the host library, the uniform blocks, the
// declaration text and main: state set-up, the body text, the stage's result.
// With sections, also where each run of lines came from, in order.
QString assemble(const StageInput& input, QList<Section>* sections = nullptr);
// The same stage written into source, replacing what it held; an unshared
// source keeps its buffer, so a host that builds again writes in place.
void assembleInto(const StageInput& input, QString& source, QList<Section>* sections = nullptr);
// The same stage in three parts, to be written one after the other: all up
// to the body text, built in the buffer of the input's declaration text; the
// body text; the rest. The input's texts are taken (it is left without them):
// a caller that needs the generator's texts no more holds no copy of either.
// Empty for a stage with no main.
QStringList assembleTaking(StageInput& input);
// The same stage made of the input's declaration text in place, for a host
// that rebuilds: that text starts with room characters kept for everything
// before the declarations, which are written there when they are exactly
// that long (put in front otherwise), and main is appended. The input is
// left with the stage as its declaration text. Returns the length of what
// went before the declarations: the room to keep for the next build.
int assembleInPlace(StageInput& input, int room);
} // namespace VrnShaderAssembler
