#pragma once

#include <QLatin1String>
#include <QString>
#include <QVarLengthArray>

// A template filled by chained arg calls, text.arg(a).arg(b)...: each call
// replaces the lowest-numbered place marker left, and the text it inserts
// is scanned again by the calls after it. The result is that of
// QString::arg called once per argument, byte for byte.
//
// Where no inserted text can change what the later calls see (no '%' in the
// arguments, every '%' of the template a marker, no one-digit marker right
// before another, a marker for every argument, no number for a localized
// marker, numbers only among the first four arguments) the markers are
// replaced in one pass into one buffer; otherwise QString::arg runs call by
// call, with its warnings. One pass saves a scan, an allocation and a copy
// of the whole text per argument.
class VrnChainedArg
{
public:
    explicit VrnChainedArg(const QString& text) : m_text(text) {}

    VrnChainedArg& arg(const QString& a);
    VrnChainedArg& arg(QLatin1String a);
    // Decimal, like QString::arg(int).
    VrnChainedArg& arg(int a);

    QString toString() const;
    // Appends the filled text to out, without a text of its own where it fills in one pass.
    void appendTo(QString& out) const;
    operator QString() const { return toString(); }
    // Whether toString fills the markers in one pass.
    bool fillsInOnePass() const;

private:
    struct Argument
    {
        enum class Kind { Text, Latin1, Number };

        Argument() = default;
        explicit Argument(const QString& a) : text(a) {}
        explicit Argument(QLatin1String a) : kind(Kind::Latin1), latin1(a) {}
        explicit Argument(int a) : kind(Kind::Number), number(a) {}

        Kind kind = Kind::Text;
        QString text;
        QLatin1String latin1;
        int number = 0;
    };

    // The filled text; *onePass, where given, set when the markers were filled in one pass.
    QString fill(bool* onePass) const;
    // Appends the text filled in one pass to out; false, with out untouched, where it cannot be.
    bool appendInOnePass(QString& out) const;
    QString fillCallByCall() const;

    QString m_text;
    QVarLengthArray<Argument, 4> m_arguments;
};
