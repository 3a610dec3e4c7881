#pragma once

#include "VrnGlslTokenTexts.h"

#include <QString>
#include <QStringList>
#include <QVector>

// A node's code split once at its "$parameter" and "#input" tokens, so that
// every node of a kind fills the same plan with its own texts in one pass
// instead of two searching passes per node. The result is the text that
// replacing the parameters first and the inputs in that result second gives;
// where the plan cannot promise that (a parameter text holds '#', or an input
// token could run on into a parameter's text), the two passes run instead.
class VrnGlslTokenPlan
{
public:
    // The two replacements one after the other, as replaceTokens does them.
    using ReplaceFn = QString (*)(QString code, QChar sigil, const VrnGlslTokenTexts& replacements);
    static QString substitute(const QString& code, const VrnGlslTokenTexts& parameterTexts,
                              const VrnGlslTokenTexts& inputTexts, ReplaceFn replace);

private:
    struct Segment
    {
        int from = 0; // a piece of the code: from, length
        int length = 0;
        int parameter = -1; // or the text of the parameter or input of that number (name order)
        int input = -1;
    };

    VrnGlslTokenPlan(const QString& code, const VrnGlslTokenTexts& parameterTexts, const VrnGlslTokenTexts& inputTexts);
    bool fits(const QString& code, const VrnGlslTokenTexts& parameterTexts, const VrnGlslTokenTexts& inputTexts) const;
    QString fill(const VrnGlslTokenTexts& parameterTexts, const VrnGlslTokenTexts& inputTexts) const;
    void splitParameters(const VrnGlslTokenTexts& parameterTexts);
    void splitInputs();

    QString m_code; // kept, so that the address it is found by stays its own
    QStringList m_parameterKeys;
    QStringList m_inputKeys;
    QVector<Segment> m_segments;
    bool m_exact = true;
};
