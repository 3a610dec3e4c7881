#include "VrnStageFileWriter.h"

#include "VrnSnNodeKind.h"
#include "VrnToolSupport.h"

#include <QSaveFile>

QString VrnStageFileWriter::extension(unsigned shaderType)
{
    switch (shaderType) {
    case VrnShaderType::Fragment: return QStringLiteral(".frag");
    case VrnShaderType::TessEvaluation: return QStringLiteral(".tese");
    case VrnShaderType::TessControl: return QStringLiteral(".tesc");
    default: return QStringLiteral(".%1").arg(shaderType);
    }
}

bool VrnStageFileWriter::write(const QString& prefix, unsigned shaderType, const QStringList& source, QString& error)
{
    const QString path = prefix + extension(shaderType);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !VrnToolSupport::writeText(file, source) || !file.commit()) {
        error = QStringLiteral("%1: cannot write the file: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}
