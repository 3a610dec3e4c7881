#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstring>

// Copies a run of characters and returns the end of the copy. Runs between
// template markers and most texts filled in are a few characters long:
// fixed-size copies, overlapping where the length is not a power of two, cost
// less than a call.
inline QChar* vrnCopyChars(const QChar* from, qsizetype n, QChar* to)
{
    if (n > 8) {
        std::memcpy(static_cast<void*>(to), from, size_t(n) * sizeof(QChar));
    } else if (n >= 4) {
        std::memcpy(static_cast<void*>(to), from, 4 * sizeof(QChar));
        std::memcpy(static_cast<void*>(to + n - 4), from + n - 4, 4 * sizeof(QChar));
    } else if (n >= 2) {
        std::memcpy(static_cast<void*>(to), from, 2 * sizeof(QChar));
        std::memcpy(static_cast<void*>(to + n - 2), from + n - 2, 2 * sizeof(QChar));
    } else if (n == 1) {
        *to = *from;
    }
    return to + n;
}

// Writes the parts of front over the room characters at position at of
// text: in place, part by part, when they are exactly as long; joined, moving
// what follows, otherwise. Large texts keep room for what is written in front
// of them once they are complete. Returns the front text's length.
inline int vrnWriteIntoRoom(QString& text, int at, int room, const QStringList& front)
{
    int size = 0;
    for (const QString& part : front)
        size += part.size();
    if (size == room) {
        QChar* to = text.data() + at;
        for (const QString& part : front)
            to = vrnCopyChars(part.constData(), part.size(), to);
    } else {
        text.replace(at, room, front.join(QString()));
    }
    return size;
}

// A text made of up to four parts that is joined only where it is written:
// a chain fills it in by copying the parts into its own text, without a
// string of its own. It only looks at the parts: they must outlive it.
class VrnJoinedText
{
public:
    VrnJoinedText() = default;
    explicit VrnJoinedText(QStringView a) : m_parts{a}, m_count(1) {}
    VrnJoinedText(QStringView a, QStringView b) : m_parts{a, b}, m_count(2) {}
    VrnJoinedText(QStringView a, QStringView b, QStringView c, QStringView d) : m_parts{a, b, c, d}, m_count(4) {}

    int count() const { return m_count; }
    QStringView part(int i) const { return m_parts[i]; }
    int size() const
    {
        qsizetype size = 0;
        for (int i = 0; i < m_count; ++i)
            size += m_parts[i].size();
        return int(size);
    }
    // Copies the parts to to and returns the end of the copy.
    QChar* copyTo(QChar* to) const
    {
        for (int i = 0; i < m_count; ++i)
            to = vrnCopyChars(m_parts[i].data(), m_parts[i].size(), to);
        return to;
    }
    QString toString() const
    {
        QString text(size(), Qt::Uninitialized);
        copyTo(text.data());
        return text;
    }

private:
    QStringView m_parts[4];
    int m_count = 0;
};
