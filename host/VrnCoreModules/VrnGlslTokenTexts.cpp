#include "VrnGlslTokenTexts.h"

#include <algorithm>

VrnGlslTokenTexts::VrnGlslTokenTexts(std::initializer_list<std::pair<QString, QString>> texts)
{
    for (const auto& t : texts)
        insert(t.first, t.second);
}

void VrnGlslTokenTexts::insert(const QString& name, const QString& text)
{
    const auto at = std::lower_bound(m_names.begin(), m_names.end(), name);
    const int i = int(at - m_names.begin());
    if (at != m_names.end() && *at == name) {
        m_texts[i] = text;
        return;
    }
    // Appended, then moved down to its place: a kind's names mostly come in order.
    m_names.append(name);
    m_texts.append(text);
    for (int k = m_names.size() - 1; k > i; --k) {
        m_names[k].swap(m_names[k - 1]);
        m_texts[k].swap(m_texts[k - 1]);
    }
}

QString VrnGlslTokenTexts::value(const QString& name) const
{
    const auto at = std::lower_bound(m_names.begin(), m_names.end(), name);
    return at != m_names.end() && *at == name ? m_texts.at(int(at - m_names.begin())) : QString();
}
