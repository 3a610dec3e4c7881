#pragma once

#include <QString>
#include <QStringList>

class QObject;
class VrnShaderNetwork;

// What the command-line tools share: naming generators by style and getting
// the network to work on.
namespace VrnToolSupport {
// "VrnSnGlslCodeGenerator_StyleN" for N from 1 to 6; false otherwise.
bool generatorForStyle(const QString& style, QString& generatorName);

struct NetworkSource
{
    QString file;        // a network file, "-" for standard input; empty for the demo network
    bool random = false; // a random network instead
    quint32 seed = 1;
    int nodes = 8;
};

// Loads the file, builds the demo network or generates a random one. The
// defines are the file's followed by the extra ones (each once).
bool loadNetwork(const NetworkSource& source, const QStringList& extraDefines, QObject* parent, VrnShaderNetwork*& network,
                 QStringList& defines, QString& error);
} // namespace VrnToolSupport
