#include "VrnChainedArg.h"

#include "VrnThreadLocal.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <unordered_map>
#include <utility>

namespace {
// QChar::digitValue, without its table lookup for Latin-1 characters.
int digitValue(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    return u < 128 ? -1 : c.digitValue();
}

// One place marker: "%" [ "L" ] digit [ digit ], read as QString::arg reads it.
struct Marker
{
    int begin = 0;
    int end = 0;
    int number = 0;
    bool locale = false;
    // Which argument fills the marker: the rank of its number.
    int argument = 0;
};

// The markers of a text and the distinct numbers they carry, ascending.
struct Markers
{
    QVarLengthArray<Marker, 8> list;
    QVarLengthArray<int, 8> numbers;
};

// False when a '%' starts no marker, or a one-digit marker runs into the next
// marker: the digits that fill that one would become part of this one.
bool findMarkers(const QString& text, Markers& markers)
{
    const QChar* const begin = text.constData();
    const QChar* const end = begin + text.size();
    for (const QChar* c = begin; c != end; ++c) {
        if (c->unicode() != '%')
            continue;
        Marker m;
        m.begin = int(c - begin);
        const QChar* p = c + 1;
        if (p != end && p->unicode() == 'L') {
            m.locale = true;
            ++p;
        }
        const int first = p != end ? digitValue(*p) : -1;
        if (first < 0)
            return false;
        m.number = first;
        ++p;
        bool oneDigit = true;
        if (p != end) {
            const int second = digitValue(*p);
            if (second >= 0) {
                m.number = 10 * first + second;
                oneDigit = false;
                ++p;
            }
        }
        if (oneDigit && p != end && p->unicode() == '%')
            return false;
        m.end = int(p - begin);
        markers.list.append(m);
        // Keeps the distinct numbers sorted: a template has a handful.
        int at = 0;
        while (at < markers.numbers.size() && markers.numbers[at] < m.number)
            ++at;
        if (at == markers.numbers.size() || markers.numbers[at] != m.number)
            markers.numbers.insert(markers.numbers.begin() + at, m.number);
        c = p - 1;
    }
    for (Marker& m : markers.list)
        m.argument = int(std::find(markers.numbers.cbegin(), markers.numbers.cend(), m.number) - markers.numbers.cbegin());
    return true;
}

// A template's markers, or null when it has a '%' that starts no marker.
// Templates in static storage (string literals, whose characters never change
// or move while their library is loaded; the host unloads none) are read once
// per thread: the same few dozen fill every node. The size is checked as well,
// so that a literal of another length at a reused address is read afresh.
// The markers handed back stay valid until the thread's next call.
const Markers* markersOf(const QString& text)
{
    struct Parsed
    {
        int size = -1; // none read yet
        bool valid = false;
        Markers markers;
    };
    // A recent template by its address, found without hashing: a build
    // fills a few dozen literals, many thousands of times.
    struct Recent
    {
        const QStringData* data = nullptr;
        const Parsed* parsed = nullptr;
    };
    struct ThreadTemplates
    {
        std::unordered_map<const QStringData*, Parsed> parsed; // its entries never move
        Recent recent[64];
        Markers scratch; // the markers of a template read afresh
    };
    ThreadTemplates& templates = vrnThreadInstance<ThreadTemplates>();

    // data_ptr() only hands out the pointer; it neither detaches nor writes.
    const QStringData* data = const_cast<QString&>(text).data_ptr();
    if (!data->ref.isStatic()) {
        templates.scratch.list.clear();
        templates.scratch.numbers.clear();
        return findMarkers(text, templates.scratch) ? &templates.scratch : nullptr;
    }
    Recent& recent = templates.recent[(quintptr(data) >> 4) % 64];
    if (recent.data != data || recent.parsed->size != text.size()) {
        Parsed& entry = templates.parsed[data];
        if (entry.size != text.size()) {
            entry.size = text.size();
            entry.markers = Markers();
            entry.valid = findMarkers(text, entry.markers);
        }
        recent = Recent{data, &entry};
    }
    return recent.parsed->valid ? &recent.parsed->markers : nullptr;
}

} // namespace

// Most arguments are names of a few characters: read four characters at a
// time, a faster way through them than a call into Qt's search.
bool vrnHasPercent(QStringView text)
{
    const int size = int(text.size());
    if (size > 64)
        return text.contains(QLatin1Char('%'));
    const ushort* c = reinterpret_cast<const ushort*>(text.data());
    int i = 0;
    for (; i + 4 <= size; i += 4) {
        quint64 word;
        std::memcpy(&word, c + i, sizeof word);
        // A character that is '%' leaves a zero lane; the test is true exactly when one does.
        word ^= Q_UINT64_C(0x0025002500250025);
        if ((word - Q_UINT64_C(0x0001000100010001)) & ~word & Q_UINT64_C(0x8000800080008000))
            return true;
    }
    for (; i < size; ++i)
        if (c[i] == '%')
            return true;
    return false;
}

namespace {
bool hasPercent(QLatin1String text)
{
    // An empty Latin-1 text may have no characters at all: memchr takes none.
    return !text.isEmpty() && std::memchr(text.data(), '%', size_t(text.size())) != nullptr;
}
} // namespace

const QString& VrnChainedArg::keep(const QString& a)
{
    m_kept.push_front(a);
    return m_kept.front();
}

VrnChainedArg&& VrnChainedArg::arg(const QString& a) &&
{
    m_arguments.append(Argument(&a));
    return std::move(*this);
}

VrnChainedArg& VrnChainedArg::arg(const QString& a) &
{
    m_arguments.append(Argument(&keep(a)));
    return *this;
}

VrnChainedArg&& VrnChainedArg::arg(const VrnJoinedText& a) &&
{
    m_arguments.append(Argument(&a));
    return std::move(*this);
}

VrnChainedArg& VrnChainedArg::arg(const VrnJoinedText& a) &
{
    return arg(a.toString());
}

VrnChainedArg&& VrnChainedArg::arg(QLatin1String a) &&
{
    return std::move(arg(a));
}

VrnChainedArg& VrnChainedArg::arg(QLatin1String a) &
{
    m_arguments.append(Argument(a));
    return *this;
}

VrnChainedArg&& VrnChainedArg::arg(int a) &&
{
    return std::move(arg(a));
}

VrnChainedArg& VrnChainedArg::arg(int a) &
{
    m_arguments.append(Argument(a));
    return *this;
}

bool VrnChainedArg::fillsInOnePass() const
{
    bool onePass = false;
    fill(&onePass);
    return onePass;
}

QString VrnChainedArg::toString() const
{
    return fill(nullptr);
}

QString VrnChainedArg::fill(bool* onePass) const
{
    if (m_arguments.isEmpty())
        return m_text;
    QString out;
    if (!appendInOnePass(out))
        return fillCallByCall();
    if (onePass)
        *onePass = true;
    return out;
}

void VrnChainedArg::appendTo(QString& out) const
{
    if (m_arguments.isEmpty())
        out += m_text;
    else if (!appendInOnePass(out))
        out += fillCallByCall();
}

bool VrnChainedArg::appendInOnePass(QString& out) const
{
    const int count = m_arguments.size();
    // The text of the last argument is not scanned again: only the ones before need to be free of '%'.
    for (int k = 0; k + 1 < count; ++k) {
        const Argument& a = m_arguments[k];
        if ((a.kind == Argument::Kind::Text && vrnHasPercent(*a.text))
            || (a.kind == Argument::Kind::Latin1 && hasPercent(a.latin1)))
            return false;
        if (a.kind == Argument::Kind::Joined) {
            for (int i = 0; i < a.joined->count(); ++i)
                if (vrnHasPercent(a.joined->part(i)))
                    return false;
        }
    }
    const Markers* found = markersOf(m_text);
    // Every argument needs a number of its own, or QString::arg warns.
    if (!found || found->numbers.size() < count)
        return false;
    const Markers& markers = *found;

    // The texts of the numbers, and the size of the result.
    char digits[4][12];
    const char* numberEnd[4] = {};
    int size = m_text.size();
    for (const Marker& m : markers.list) {
        const int k = m.argument;
        if (k >= count)
            continue;
        const Argument& a = m_arguments[k];
        int length = 0;
        if (a.kind == Argument::Kind::Text) {
            length = a.text->size();
        } else if (a.kind == Argument::Kind::Joined) {
            length = a.joined->size();
        } else if (a.kind == Argument::Kind::Latin1) {
            length = a.latin1.size();
        } else {
            // A localized marker writes a number the locale's way.
            if (m.locale || k >= 4)
                return false;
            if (!numberEnd[k])
                numberEnd[k] = std::to_chars(digits[k], digits[k] + sizeof(digits[k]), a.number).ptr;
            length = int(numberEnd[k] - digits[k]);
        }
        size += length - (m.end - m.begin);
    }

    // A new text is made to measure; an existing one grows as its appends do.
    const int start = out.size();
    if (out.isNull())
        out = QString(size, Qt::Uninitialized);
    else
        out.resize(start + size);
    QChar* w = out.data() + start;
    const QChar* const source = m_text.constData();
    int at = 0;
    for (const Marker& m : markers.list) {
        const int k = m.argument;
        if (k >= count)
            continue; // left as it is, as the chain leaves it
        w = vrnCopyChars(source + at, m.begin - at, w);
        const Argument& a = m_arguments[k];
        if (a.kind == Argument::Kind::Text) {
            const QString& text = *a.text;
            w = vrnCopyChars(text.constData(), text.size(), w);
        } else if (a.kind == Argument::Kind::Joined) {
            for (int i = 0; i < a.joined->count(); ++i)
                w = vrnCopyChars(a.joined->part(i).data(), int(a.joined->part(i).size()), w);
        } else {
            const char* from = a.kind == Argument::Kind::Latin1 ? a.latin1.data() : digits[k];
            const char* to = a.kind == Argument::Kind::Latin1 ? from + a.latin1.size() : numberEnd[k];
            for (; from != to; ++from)
                *w++ = QChar(uchar(*from));
        }
        at = m.end;
    }
    vrnCopyChars(source + at, m_text.size() - at, w);
    return true;
}

QString VrnChainedArg::fillCallByCall() const
{
    QString text = m_text;
    for (const Argument& a : m_arguments) {
        if (a.kind == Argument::Kind::Text)
            text = text.arg(*a.text);
        else if (a.kind == Argument::Kind::Joined)
            text = text.arg(a.joined->toString());
        else if (a.kind == Argument::Kind::Latin1)
            text = text.arg(a.latin1);
        else
            text = text.arg(a.number);
    }
    return text;
}
