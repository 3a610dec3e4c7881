#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

// A live preview: renders a network file to a PNG, then again each time the
// file's content changes, in the same process, so that the GL context and the
// program cache stay warm (a value edit draws without compiling). A file that
// does not load or a stage that does not compile is reported, in the mapped
// form, and the loop goes on. Each render prints one line of what it cost.
class VrnRenderWatch
{
public:
    struct Options
    {
        QString file;
        QString generatorName;
        QStringList extraDefines;
        QString previewNode; // --node; empty for the root
        int size = 256;
        QString output;      // the PNG written after each render
        int reloads = -1;    // return after this many reloads (not counting the first load); -1: never
        int pollMs = 100;
    };

    // Progress lines go to out, failures to stderr. Returns the exit status.
    static int run(const Options& options, QTextStream& out);
};
