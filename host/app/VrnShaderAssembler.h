#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

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
};

// "#version 450 core", the defines, the host library, the uniform blocks, the
// declaration text and main: state set-up, the body text, the stage's result.
QString assemble(const StageInput& input);
} // namespace VrnShaderAssembler
