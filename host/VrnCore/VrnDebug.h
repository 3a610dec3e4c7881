#pragma once

#include <QString>

#include <functional>

// One log line of the host: the source file it came from, the line and the message.
struct VrnDebugLine
{
    QString file;
    int line = 0;
    QString message;

    QString toString() const { return QStringLiteral("%1:%2: %3").arg(file).arg(line).arg(message); }
};

using VrnDebugSink = std::function<void(const VrnDebugLine&)>;

// Writes one log line to the current sink. The two flags are the host's display
// options; this host records them nowhere.
void VrnDebug(const char* file, int line, const QString& message, bool, bool);

// Replaces the sink and returns the previous one. An empty sink discards lines
// (the default), so a library logs nothing unless the application asks for it.
VrnDebugSink vrnSetDebugSink(VrnDebugSink sink);

// A sink that writes "file:line: message" lines to stderr.
VrnDebugSink vrnStderrDebugSink();
