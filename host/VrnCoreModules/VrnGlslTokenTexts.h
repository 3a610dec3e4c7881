#pragma once

#include <QString>
#include <QVarLengthArray>

#include <initializer_list>
#include <utility>

// The texts that replace a node's "$parameter" or "#input" tokens, by token
// name, in ascending name order; a name given twice keeps its last text.
// A node has a handful: they are kept side by side rather than in a map,
// which would allocate for every one of them on every build.
class VrnGlslTokenTexts
{
public:
    VrnGlslTokenTexts() = default;
    VrnGlslTokenTexts(std::initializer_list<std::pair<QString, QString>> texts);

    void insert(const QString& name, const QString& text);
    // The name's text; an empty text for a name not given.
    QString value(const QString& name) const;

    int size() const { return int(m_names.size()); }
    bool isEmpty() const { return m_names.isEmpty(); }
    const QString& nameAt(int i) const { return m_names.at(i); }
    const QString& textAt(int i) const { return m_texts.at(i); }

private:
    QVarLengthArray<QString, 8> m_names;
    QVarLengthArray<QString, 8> m_texts;
};
