#include "VrnDebug.h"

#include <QMutex>
#include "VrnMutexLocker.h"

#include <cstdio>

namespace {
QMutex& sinkMutex()
{
    static QMutex mutex;
    return mutex;
}

VrnDebugSink& currentSink()
{
    static VrnDebugSink sink;
    return sink;
}
} // namespace

void VrnDebug(const char* file, int line, const QString& message, bool, bool)
{
    // Generators may log from several threads at once; the sink sees one line at a time.
    VrnMutexLocker lock(&sinkMutex());
    const VrnDebugSink& sink = currentSink();
    if (sink)
        sink(VrnDebugLine{QString::fromUtf8(file ? file : ""), line, message});
}

VrnDebugSink vrnSetDebugSink(VrnDebugSink sink)
{
    VrnMutexLocker lock(&sinkMutex());
    VrnDebugSink previous = std::move(currentSink());
    currentSink() = std::move(sink);
    return previous;
}

VrnDebugSink vrnStderrDebugSink()
{
    return [](const VrnDebugLine& line) {
        std::fprintf(stderr, "%s\n", line.toString().toLocal8Bit().constData());
    };
}
