#pragma once

#include <QList>
#include <QPointer>

#include <cstddef>
#include <cstring>

class VrnSnBaseGlslContext;

// Asks the processor for memory that a pass over a list of contexts is about
// to read, without reading it or waiting for it. Past a few thousand nodes a
// build's nodes, contexts and the blocks they point to no longer stay in the
// caches between its passes, and each pass would otherwise wait for every
// entry's scattered lines in turn; asked for a few entries ahead, they
// arrive while the pass writes the entries before. A request for an address
// that is wrong or gone costs the request and nothing else: it never faults
// and never changes what is read.
class VrnReadAhead
{
public:
    explicit VrnReadAhead(const QList<VrnSnBaseGlslContext*>& contexts)
        : m_contexts(contexts), m_asks(asksFor(contexts.size()))
    {
    }

    // Called as the pass comes to the entry at place: the context nine places
    // on is asked for; six places on, the context's blocks and its node (the
    // context's lines were asked for three entries before); three places on,
    // the blocks the node points to. A pass over a longer list whose entries
    // start with these contexts in their order calls it with its own places:
    // past the contexts nothing is asked for.
    void reach(int place) const
    {
        if (m_asks)
            askAhead(place);
    }

    // Lists shorter than this are read without asking: their nodes stay in
    // the caches from one pass to the next, and the requests would only add
    // work. A test lowers it to have every list asked for.
    static int fewestContexts();
    // Whether a pass over that many entries asks for them ahead.
    static bool asksFor(qsizetype entries) { return entries >= fewestContexts(); }
    static void setFewestContexts(int count);

    static constexpr std::size_t kLineBytes = 64;

    // The lines of bytes bytes from address.
    static void askLines(const void* address, std::size_t bytes);
    // The first lines of the block that a Qt container or string points to:
    // each holds its address in its first word, read here without reading
    // the block.
    template <class T>
    static void askBlock(const T& holder, int lines = 1)
    {
        static_assert(sizeof(T) >= sizeof(void*), "a holder of a block");
        const void* block;
        std::memcpy(&block, &holder, sizeof block);
        askLines(block, std::size_t(lines) * kLineBytes);
    }
    // A tracking pointer's shared block and the first lines of the object it
    // points to: the pointer holds both addresses, the block's first.
    template <class T>
    static void askTracked(const QPointer<T>& pointer, int lines)
    {
        const void* words[2];
        static_assert(sizeof(pointer) == sizeof(words), "a tracking pointer holds two addresses");
        std::memcpy(words, &pointer, sizeof words);
        __builtin_prefetch(words[0]);
        askLines(words[1], std::size_t(lines) * kLineBytes);
    }

private:
    void askAhead(int place) const;

    const QList<VrnSnBaseGlslContext*>& m_contexts;
    const bool m_asks;
};
