#pragma once

#include "VrnCustomAttribute.h"
#include "VrnSnNodeKind.h"

#include <QHash>
#include <QList>
#include <QPair>
#include <QSet>
#include <QString>
#include <QStringList>

// The analysed GLSL of one node: its raw code with the "$parameter" and
// "#input" tokens left in place, and what the tokens refer to.
struct VrnSnNodeGlslInfo
{
    QString glslCode;
    QList<QPair<QString, VrnCustomAttribute>> parameters;
    QStringList inputs;
    QList<VrnSnGlslRevalInfo> revalInfo;
    QHash<QString, QString> defaultInputs;
    QSet<QString> invertibleInputs;
    QStringList outputs;
};
