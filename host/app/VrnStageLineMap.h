#pragma once

#include "VrnShaderAssembler.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

class VrnShaderNetwork;
class VrnSnBaseGlslContext;
class VrnSurfaceShader;

// Where one line of an assembled stage came from.
struct VrnLineOrigin
{
    enum Source { Host, Generator, Node };
    Source source = Generator;
    QString hostPart;    // for host lines: "shader library", "main", ...
    QStringList nodeIds; // for node lines: the node, or every node sharing a Style 5 function
    QString kind;
    int glslLine = 0;    // the line of the kind's glsl; 0 for code the generator or context wrote for the node
    bool declaration = false; // a line of the node's declarations (its uniforms), wherever the generator put it
    bool encrypted = false;

    // node "ID" (kind KIND, glsl line N), host code (main), generated code, ...
    QString describe() const;
};

// The line map of one assembled stage: which lines came from the host, which
// from a node's declaration or body (and at which line of its kind's glsl),
// and which from the generator's own text. Node code is found by its text:
// per node for the per-node styles (the context's body code, inside the
// node's banner), per kind for Style 5's node functions.
class VrnStageLineMap
{
public:
    VrnStageLineMap() = default;
    VrnStageLineMap(const QString& source, const QList<VrnShaderAssembler::Section>& sections, VrnShaderNetwork* network,
                    unsigned shaderType, VrnSurfaceShader* surfaceShader);

    int lineCount() const { return int(m_lines.size()); }
    // Lines count from 1; a line outside the stage has the generator as origin.
    VrnLineOrigin origin(int line) const;
    QString lineText(int line) const { return m_lines.value(line - 1); }

private:
    void markNodeCode(int firstLine, const QStringList& codeLines, const VrnLineOrigin& node, const QString& glsl);
    void mapStyle5Functions(const QList<VrnSnBaseGlslContext*>& contexts);
    bool generated(int line) const;

    QStringList m_lines;
    QVector<VrnShaderAssembler::Section::Part> m_parts; // per line
    QVector<VrnLineOrigin> m_origins;                   // per line
};
