#include "VrnBodyCodeScope.h"

#include "VrnThreadLocal.h"

namespace {
VRN_FAST_THREAD_LOCAL VrnBodyCodeScope* t_innermost = nullptr;
}

VrnBodyCodeScope::VrnBodyCodeScope(int expected) : m_outer(t_innermost), m_numbers(size_t(qMax(expected, 1)))
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
    return &answer.text;
}

void VrnBodyCodeScope::keep(const VrnSnBaseGlslContext* context, unsigned shaderType, const VrnSnGlslNodeAliases* aliases,
                            const VrnSurfaceShader* surfaceShader, const QString& text)
{
    if (!context)
        return;
    const int k = numberOf(context);
    Answer answer{context, shaderType, aliases, surfaceShader, text};
    if (k >= 0) {
        m_answers[size_t(k)] = std::move(answer);
        return;
    }
    m_numbers.insert(context, int(m_answers.size()));
    m_answers.push_back(std::move(answer));
    m_last = m_answers.size() - 1;
}
