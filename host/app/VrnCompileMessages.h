#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

class VrnShaderNetwork;
class VrnStageLineMap;

// Compiler messages told in the network's terms. A failure text of the form
// "STAGE stage does not compile:" (or "the stages do not link:") followed by
// the compiler's log keeps its first line; each message of the log (glslang's
// "ERROR: 0:LINE: text" and Mesa's "0:LINE(COLUMN): error: text") becomes
//
//     LABEL: node "ID" (kind KIND, glsl line N): text
//         LINE | the stage's line
//
// where the origin comes from the stage's line map (host code and generated
// code say so). The line of an encrypted node is never quoted.
class VrnCompileMessages
{
public:
    static QString explain(const QString& label, const QString& failure, const QMap<unsigned, VrnStageLineMap>& lineMaps);
    // Builds the network again with the generator to get the line maps, then explains.
    static QString explainBuild(const QString& label, const QString& failure, const QString& generatorName, VrnShaderNetwork* network,
                                const QStringList& defines);
    // The label messages use for a network: its file, or what stands for it.
    static QString networkLabel(const QString& file, bool random, quint32 seed);
};
