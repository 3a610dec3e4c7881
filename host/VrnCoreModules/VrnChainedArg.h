#pragma once

#include "VrnJoinedText.h"

#include <QLatin1String>
#include <QString>
#include <QVarLengthArray>

#include <forward_list>

// Whether a text holds a '%': an argument that does is read again by the
// fills after it.
bool vrnHasPercent(QStringView text);

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
    // A chain is filled where it is made; it is neither copied nor moved, so
    // that a chain of one expression cannot outlive the texts it reads.
    VrnChainedArg(const VrnChainedArg&) = delete;
    VrnChainedArg& operator=(const VrnChainedArg&) = delete;

    // A chain made and filled in one expression reads its text arguments
    // where they lie, since they live as long as the expression; a named
    // chain keeps a copy of each.
    VrnChainedArg&& arg(const QString& a) &&;
    VrnChainedArg& arg(const QString& a) &;
    // The parts joined, as one argument.
    VrnChainedArg&& arg(const VrnJoinedText& a) &&;
    VrnChainedArg& arg(const VrnJoinedText& a) &;
    VrnChainedArg&& arg(QLatin1String a) &&;
    VrnChainedArg& arg(QLatin1String a) &;
    // Decimal, like QString::arg(int).
    VrnChainedArg&& arg(int a) &&;
    VrnChainedArg& arg(int a) &;

    QString toString() const;
    // Appends the filled text to out, without a text of its own where it fills in one pass.
    void appendTo(QString& out) const;
    operator QString() const { return toString(); }
    // Whether toString fills the markers in one pass.
    bool fillsInOnePass() const;

private:
    struct Argument
    {
        enum class Kind { Text, Joined, Latin1, Number };

        Argument() = default;
        explicit Argument(const QString* a) : text(a) {}
        explicit Argument(const VrnJoinedText* parts) : kind(Kind::Joined), joined(parts) {}
        explicit Argument(QLatin1String a) : kind(Kind::Latin1), latin1(a) {}
        explicit Argument(int a) : kind(Kind::Number), number(a) {}

        Kind kind = Kind::Text;
        const QString* text = nullptr;         // the caller's, or a copy in m_kept
        const VrnJoinedText* joined = nullptr; // the caller's parts, of a Joined argument
        QLatin1String latin1;
        int number = 0;
    };

    // A copy of a named chain's text argument, for the argument to read.
    const QString& keep(const QString& a);

    // The filled text; *onePass, where given, set when the markers were filled in one pass.
    QString fill(bool* onePass) const;
    // Appends the text filled in one pass to out; false, with out untouched, where it cannot be.
    bool appendInOnePass(QString& out) const;
    QString fillCallByCall() const;

    QString m_text;
    QVarLengthArray<Argument, 4> m_arguments;
    std::forward_list<QString> m_kept; // the texts of a named chain; they stay where they are
};
