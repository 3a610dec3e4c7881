#pragma once

#include <QString>
#include <QStringList>

// Writes one stage's source to PREFIX.frag, PREFIX.tese or PREFIX.tesc, the
// extensions glslangValidator and editors take the stage from.
class VrnStageFileWriter
{
public:
    static QString extension(unsigned shaderType);
    // The source's parts are written one after the other. False with
    // "FILE: cannot write the file: reason".
    static bool write(const QString& prefix, unsigned shaderType, const QStringList& source, QString& error);
};
