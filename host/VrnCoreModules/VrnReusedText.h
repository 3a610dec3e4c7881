#pragma once

#include <QString>

// Large texts that most callers read once and drop, a node's body or its
// declarations, are written into a buffer that the calling thread keeps and
// handed out as QStrings that share it. The next text of the same use is
// written into that buffer again once every QString handed out has let go of
// it, and into a new buffer while one still holds it: a text that a caller
// keeps never changes. A text of kilobytes then takes no block of its own
// from the allocator, whose work for large blocks (merging free neighbours
// that lie among the network's objects) grows with the network.
class VrnReusedText
{
public:
    enum Use
    {
        Body,               // a node's body, its tokens replaced
        Declarations,       // a node's uniform declarations
        JoinedCode,         // a re-evaluating node's code after its prologues
        ParametersReplaced, // the same with its parameters replaced
        RevalCalls,         // the node functions a re-evaluation runs again
        RevalBlock,         // a re-evaluation block
        RevalCodeEven,      // a node's code with its first, third, ... placeholder replaced
        RevalCodeOdd,       // ... and with its second, fourth, ...
        UseCount
    };

    // The use's buffer of the calling thread, empty and unshared, with room
    // for at least size characters. Once written, it is handed out by copying
    // the QString, never by moving it.
    static QString& take(Use use, int size);
};
