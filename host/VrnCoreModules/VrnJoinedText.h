#pragma once

#include <QString>
#include <QStringView>

#include <algorithm>

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
    QString toString() const
    {
        QString text(size(), Qt::Uninitialized);
        QChar* w = text.data();
        for (int i = 0; i < m_count; ++i)
            w = std::copy(m_parts[i].begin(), m_parts[i].end(), w);
        return text;
    }

private:
    QStringView m_parts[4];
    int m_count = 0;
};
