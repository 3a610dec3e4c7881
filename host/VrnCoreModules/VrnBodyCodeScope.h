#pragma once

#include "VrnAddressNumbers.h"

#include <QString>

#include <vector>

class VrnSnBaseGlslContext;
class VrnSnGlslNodeAliases;
class VrnSurfaceShader;

// While one lives on a thread, the base body code of a context is worked out
// once for a stage, aliases and surface shader, and asked again it is
// answered from here. A generator that asks for the same node's body more
// than once in a build opens one around its work: the network does not
// change while a build runs. Scopes nest; each keeps its own answers.
class VrnBodyCodeScope
{
public:
    // expected: how many contexts the build may ask about.
    explicit VrnBodyCodeScope(int expected);
    ~VrnBodyCodeScope();
    VrnBodyCodeScope(const VrnBodyCodeScope&) = delete;
    VrnBodyCodeScope& operator=(const VrnBodyCodeScope&) = delete;

    // The innermost scope of the calling thread; null outside every build.
    static VrnBodyCodeScope* current();

    // The kept text of the context for these arguments; null when none is kept.
    const QString* find(const VrnSnBaseGlslContext* context, unsigned shaderType, const VrnSnGlslNodeAliases* aliases,
                        const VrnSurfaceShader* surfaceShader) const;
    // Keeps the text, replacing what the context had for other arguments.
    void keep(const VrnSnBaseGlslContext* context, unsigned shaderType, const VrnSnGlslNodeAliases* aliases,
              const VrnSurfaceShader* surfaceShader, const QString& text);

private:
    struct Answer
    {
        const VrnSnBaseGlslContext* context;
        unsigned shaderType;
        const VrnSnGlslNodeAliases* aliases;
        const VrnSurfaceShader* surfaceShader;
        QString text;
        int lines; // the cache lines of the text's block, read ahead without reading the block
    };

    // The answer of the context, -1 for none: a pass asks for the contexts
    // in the order they were kept (vrnNumberInTurn).
    int numberOf(const VrnSnBaseGlslContext* context) const;

    VrnBodyCodeScope* m_outer;
    VrnAddressNumbers m_numbers;
    std::vector<Answer> m_answers;
    mutable size_t m_last = 0; // the answer found last
    bool m_readsAhead = false; // asks for the texts of the answers after the one found
};
