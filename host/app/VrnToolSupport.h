#pragma once

#include <QString>
#include <QStringList>

class QCommandLineOption;
class QCommandLineParser;
class QIODevice;
class QImage;
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

// Prints "TOOL: message" on stderr (TOOL the application's name) and returns
// status. A message of status 2 (a bad command line or file) stays on one line;
// others may add detail, such as a compiler's log, on the lines that follow.
int fail(int status, const QString& message);

// Option checks of the tools; each false with the message when the command line is wrong.
// No file argument and no option value is empty (an empty value would read as none given).
bool checkNoEmptyValues(const QCommandLineParser& parser, QString& error);
// An option that does nothing without its partner is given only with it.
bool checkNeeds(const QCommandLineParser& parser, const QCommandLineOption& option, const QCommandLineOption& partner,
                QString& error);
// An output file of the given extension ("png") that can be written where it is named.
bool checkOutputFile(const QString& path, const QString& extension, QString& error);
// Each extra shader define is a name the shader can take.
bool checkDefines(const QStringList& defines, QString& error);
// Writes a text that may run to megabytes as UTF-8, a piece at a time, so
// that no converted copy of the whole text is made.
bool writeText(QIODevice& device, const QString& text);
// The same for a text in parts, written one after the other.
bool writeText(QIODevice& device, const QStringList& parts);
// Writes the picture as PNG; false with the reason.
bool savePicture(const QImage& picture, const QString& path, QString& error);

// Loads the file, builds the demo network or generates a random one. The
// defines are the file's followed by the extra ones (each once), which are
// checked first (see checkDefines).
bool loadNetwork(const NetworkSource& source, const QStringList& extraDefines, QObject* parent, VrnShaderNetwork*& network,
                 QStringList& defines, QString& error);
} // namespace VrnToolSupport
