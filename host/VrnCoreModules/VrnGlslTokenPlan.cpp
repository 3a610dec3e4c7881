#include "VrnGlslTokenPlan.h"

#include "VrnJoinedText.h"
#include "VrnReusedText.h"
#include "VrnThreadLocal.h"

#include <algorithm>

#include <QHash>

namespace {
const QChar kParameterSigil = QLatin1Char('$');
const QChar kInputSigil = QLatin1Char('#');
// Plans are kept per thread by the address of the code's characters; a code
// made afresh for every node would only fill the table, so it is emptied when full.
const int kMaximumPlans = 512;

bool sameKeys(const QStringList& keys, const VrnGlslTokenTexts& texts)
{
    if (keys.size() != texts.size())
        return false;
    for (int i = 0; i < keys.size(); ++i)
        if (keys.at(i) != texts.nameAt(i))
            return false;
    return true;
}

QStringList namesOf(const VrnGlslTokenTexts& texts)
{
    QStringList names;
    names.reserve(texts.size());
    for (int i = 0; i < texts.size(); ++i)
        names.append(texts.nameAt(i));
    return names;
}
} // namespace

VrnGlslTokenPlan::VrnGlslTokenPlan(const QString& code, const VrnGlslTokenTexts& parameterTexts,
                                   const VrnGlslTokenTexts& inputTexts)
    : m_code(code), m_parameterKeys(namesOf(parameterTexts)), m_inputKeys(namesOf(inputTexts))
{
    splitParameters(parameterTexts);
    splitInputs();
}

bool VrnGlslTokenPlan::fits(const QString& code, const VrnGlslTokenTexts& parameterTexts,
                            const VrnGlslTokenTexts& inputTexts) const
{
    return m_code.size() == code.size() && m_code == code && sameKeys(m_parameterKeys, parameterTexts) && sameKeys(m_inputKeys, inputTexts);
}

// At each '$' the longest parameter name that follows wins; a '$' that starts
// none stays. Pieces of code that touch are one piece.
void VrnGlslTokenPlan::splitParameters(const VrnGlslTokenTexts& parameterTexts)
{
    const QStringView text(m_code);
    auto addCode = [this](int from, int length) {
        if (length <= 0)
            return;
        if (!m_segments.isEmpty() && m_segments.last().parameter < 0 && m_segments.last().from + m_segments.last().length == from)
            m_segments.last().length += length;
        else
            m_segments.append(Segment{from, length, -1, -1});
    };
    int from = 0;
    for (int at = parameterTexts.isEmpty() ? -1 : m_code.indexOf(kParameterSigil); at >= 0; at = m_code.indexOf(kParameterSigil, from)) {
        addCode(from, at - from);
        const QStringView rest = text.mid(at + 1);
        int longest = -1;
        for (int k = 0; k < m_parameterKeys.size(); ++k)
            if ((longest < 0 || m_parameterKeys.at(k).size() > m_parameterKeys.at(longest).size()) && rest.startsWith(m_parameterKeys.at(k)))
                longest = k;
        from = at + 1;
        if (longest < 0) {
            addCode(at, 1);
            continue;
        }
        m_segments.append(Segment{0, 0, longest, -1});
        from += m_parameterKeys.at(longest).size();
    }
    addCode(from, m_code.size() - from);
}

// The second pass, on the pieces of code only (parameter texts hold no '#'
// when the plan is used). A token whose piece ends before a parameter text
// may continue into that text: such a code is not planned.
void VrnGlslTokenPlan::splitInputs()
{
    if (m_inputKeys.isEmpty())
        return;
    const QStringView text(m_code);
    QVector<Segment> split;
    for (int s = 0; s < m_segments.size(); ++s) {
        const Segment piece = m_segments.at(s);
        if (piece.parameter >= 0) {
            split.append(piece);
            continue;
        }
        const bool last = s + 1 == m_segments.size();
        const int end = piece.from + piece.length;
        int from = piece.from;
        for (int at = m_code.indexOf(kInputSigil, from); at >= 0 && at < end; at = m_code.indexOf(kInputSigil, at + 1)) {
            if (at < from)
                continue;
            const QStringView rest = text.mid(at + 1, end - at - 1);
            int longest = -1;
            for (int k = 0; k < m_inputKeys.size(); ++k) {
                const QString& key = m_inputKeys.at(k);
                if (key.size() > rest.size()) {
                    if (!last && QStringView(key).startsWith(rest))
                        m_exact = false;
                    continue;
                }
                if ((longest < 0 || key.size() > m_inputKeys.at(longest).size()) && rest.startsWith(key))
                    longest = k;
            }
            if (longest < 0)
                continue; // the '#' stays in the piece
            if (at > from)
                split.append(Segment{from, at - from, -1, -1});
            split.append(Segment{0, 0, -1, longest});
            from = at + 1 + m_inputKeys.at(longest).size();
        }
        if (end > from)
            split.append(Segment{from, end - from, -1, -1});
    }
    m_segments = split;
}

QString VrnGlslTokenPlan::fill(const VrnGlslTokenTexts& parameterTexts, const VrnGlslTokenTexts& inputTexts) const
{
    // Measured segment by segment (a token may stand more than once), then
    // written into the thread's body buffer, made to that size.
    auto segmentText = [&](const Segment& s) {
        if (s.parameter >= 0)
            return QStringView(parameterTexts.textAt(s.parameter));
        if (s.input >= 0)
            return QStringView(inputTexts.textAt(s.input));
        return QStringView(m_code).mid(s.from, s.length);
    };
    qsizetype size = 0;
    for (const Segment& s : m_segments)
        size += segmentText(s).size();
    QString& out = VrnReusedText::take(VrnReusedText::Body, int(size));
    out.resize(int(size));
    QChar* w = out.data();
    for (const Segment& s : m_segments) {
        const QStringView text = segmentText(s);
        w = vrnCopyChars(text.data(), text.size(), w);
    }
    return out; // a copy: it shares the buffer
}

QString VrnGlslTokenPlan::substitute(const QString& code, const VrnGlslTokenTexts& parameterTexts,
                                     const VrnGlslTokenTexts& inputTexts, ReplaceFn replace)
{
    auto twoPasses = [&] { return replace(replace(code, kParameterSigil, parameterTexts), kInputSigil, inputTexts); };
    for (int i = 0; i < parameterTexts.size(); ++i)
        if (parameterTexts.textAt(i).contains(kInputSigil))
            return twoPasses();
    auto& plans = vrnThreadInstance<QHash<const QChar*, VrnGlslTokenPlan>>();
    auto found = plans.find(code.constData());
    if (found == plans.end() || !found->fits(code, parameterTexts, inputTexts)) {
        if (plans.size() >= kMaximumPlans)
            plans.clear();
        found = plans.insert(code.constData(), VrnGlslTokenPlan(code, parameterTexts, inputTexts));
    }
    return found->m_exact ? found->fill(parameterTexts, inputTexts) : twoPasses();
}
