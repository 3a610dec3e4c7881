#include "VrnBodyCodeScope.h"

#include "VrnReadAhead.h"
#include "VrnThreadLocal.h"

namespace {
VRN_FAST_THREAD_LOCAL VrnBodyCodeScope* t_innermost = nullptr;
// Which answer's text is asked for when one is found, and at most how much of it.
constexpr size_t kAnswersAhead = 3;
constexpr qsizetype kMostLinesAhead = 32;
} // namespace

VrnBodyCodeScope::VrnBodyCodeScope(int expected)
    : m_outer(t_innermost), m_numbers(size_t(qMax(expected, 1))), m_readsAhead(VrnReadAhead::asksFor(expected))
{
    m_answers.reserve(size_t(qMax(expected, 0)));
    t_innermost = this;
}

VrnBodyCodeScope::~VrnBodyCodeScope()
{
    t_innermost = m_outer;
}

VrnBodyCodeScope* VrnBodyCodeScope::current()
{
    return t_innermost;
}

int VrnBodyCodeScope::numberOf(const VrnSnBaseGlslContext* context) const
{
    return vrnNumberInTurn(
        context, m_last, m_answers.size(), [this](size_t k) { return m_answers[k].context; },
        [this](const void* address) { return m_numbers.numberOf(address); });
}

const QString* VrnBodyCodeScope::find(const VrnSnBaseGlslContext* context, unsigned shaderType, const VrnSnGlslNodeAliases* aliases,
                                      const VrnSurfaceShader* surfaceShader) const
{
    const int k = numberOf(context);
    if (k < 0)
        return nullptr;
    const Answer& answer = m_answers[size_t(k)];
    if (answer.shaderType != shaderType || answer.aliases != aliases || answer.surfaceShader != surfaceShader)
        return nullptr;
    // A pass that asks in turn copies the texts: in a large build the one it
    // asks for a few answers on was written long before and left the caches.
    const size_t ahead = size_t(k) + kAnswersAhead;
    if (m_readsAhead && ahead < m_answers.size())
        VrnReadAhead::askBlock(m_answers[ahead].text, m_answers[ahead].lines);
    return &answer.text;
}

void VrnBodyCodeScope::keep(const VrnSnBaseGlslContext* context, unsigned shaderType, const VrnSnGlslNodeAliases* aliases,
                            const VrnSurfaceShader* surfaceShader, const QString& text)
{
    if (!context)
        return;
    const int k = numberOf(context);
    // A text's block holds its header and then its characters.
    const qsizetype bytes = qsizetype(sizeof(QArrayData)) + text.size() * qsizetype(sizeof(QChar));
    const int lines = int(qMin<qsizetype>(kMostLinesAhead, (bytes + VrnReadAhead::kLineBytes - 1) / VrnReadAhead::kLineBytes));
    Answer answer{context, shaderType, aliases, surfaceShader, text, lines};
    if (k >= 0) {
        m_answers[size_t(k)] = std::move(answer);
        return;
    }
    m_numbers.insert(context, int(m_answers.size()));
    m_answers.push_back(std::move(answer));
    m_last = m_answers.size() - 1;
}
