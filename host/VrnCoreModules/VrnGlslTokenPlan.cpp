#include "VrnGlslTokenPlan.h"

#include <QHash>
#include <QVarLengthArray>

namespace {
const QChar kParameterSigil = QLatin1Char('$');
const QChar kInputSigil = QLatin1Char('#');
// Plans are kept per thread by the address of the code's characters; a code
// made afresh for every node would only fill the table, so it is emptied when full.
const int kMaximumPlans = 512;

bool sameKeys(const QStringList& keys, const QMap<QString, QString>& texts)
{
    if (keys.size() != texts.size())
        return false;
    int i = 0;
    for (auto it = texts.constBegin(); it != texts.constEnd(); ++it, ++i)
        if (keys.at(i) != it.key())
            return false;
    return true;
}
} // namespace

VrnGlslTokenPlan::VrnGlslTokenPlan(const QString& code, const QMap<QString, QString>& parameterTexts,
                                   const QMap<QString, QString>& inputTexts)
    : m_code(code), m_parameterKeys(parameterTexts.keys()), m_inputKeys(inputTexts.keys())
{
    splitParameters(parameterTexts);
    splitInputs();
}

bool VrnGlslTokenPlan::fits(const QString& code, const QMap<QString, QString>& parameterTexts,
                            const QMap<QString, QString>& inputTexts) const
{
    return m_code.size() == code.size() && m_code == code && sameKeys(m_parameterKeys, parameterTexts) && sameKeys(m_inputKeys, inputTexts);
}

// At each '$' the longest parameter name that follows wins; a '$' that starts
// none stays. Pieces of code that touch are one piece.
void VrnGlslTokenPlan::splitParameters(const QMap<QString, QString>& parameterTexts)
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

QString VrnGlslTokenPlan::fill(const QMap<QString, QString>& parameterTexts, const QMap<QString, QString>& inputTexts) const
{
    QVarLengthArray<const QString*, 16> parameters;
    QVarLengthArray<const QString*, 16> inputs;
    int size = m_code.size();
    for (const QString& t : parameterTexts) {
        parameters.append(&t);
        size += t.size();
    }
    for (const QString& t : inputTexts) {
        inputs.append(&t);
        size += t.size();
    }
    QString out;
    out.reserve(size);
    const QStringView text(m_code);
    for (const Segment& s : m_segments) {
        if (s.parameter >= 0)
            out += *parameters[s.parameter];
        else if (s.input >= 0)
            out += *inputs[s.input];
        else
            out += text.mid(s.from, s.length);
    }
    return out;
}

QString VrnGlslTokenPlan::substitute(const QString& code, const QMap<QString, QString>& parameterTexts,
                                     const QMap<QString, QString>& inputTexts, ReplaceFn replace)
{
    auto twoPasses = [&] { return replace(replace(code, kParameterSigil, parameterTexts), kInputSigil, inputTexts); };
    for (const QString& t : parameterTexts)
        if (t.contains(kInputSigil))
            return twoPasses();
    thread_local QHash<const QChar*, VrnGlslTokenPlan> plans;
    auto found = plans.find(code.constData());
    if (found == plans.end() || !found->fits(code, parameterTexts, inputTexts)) {
        if (plans.size() >= kMaximumPlans)
            plans.clear();
        found = plans.insert(code.constData(), VrnGlslTokenPlan(code, parameterTexts, inputTexts));
    }
    return found->m_exact ? found->fill(parameterTexts, inputTexts) : twoPasses();
}
