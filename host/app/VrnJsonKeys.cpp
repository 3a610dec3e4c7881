#include "VrnJsonKeys.h"

#include "VrnKindLibrary.h"

#include <QSet>
#include <QVector>

namespace {
struct Container
{
    bool object = false;
    QString place;
    QSet<QString> keys; // objects: the keys so far
    QString key;        // objects: the key of the value being read
    int index = 0;      // arrays: the index of the value being read
    bool expectKey = true;
};

// Reads the string literal that starts at json[i] (a quote) and leaves i after its closing quote.
QString readString(const QByteArray& json, int& i)
{
    QString text;
    QByteArray run;
    for (++i; i < json.size() && json.at(i) != '"'; ++i) {
        if (json.at(i) != '\\') {
            run.append(json.at(i));
            continue;
        }
        text += QString::fromUtf8(run);
        run.clear();
        if (++i >= json.size())
            break;
        switch (json.at(i)) {
        case 'b': text += QLatin1Char('\b'); break;
        case 'f': text += QLatin1Char('\f'); break;
        case 'n': text += QLatin1Char('\n'); break;
        case 'r': text += QLatin1Char('\r'); break;
        case 't': text += QLatin1Char('\t'); break;
        case 'u':
            // UTF-16 units as written: a surrogate pair comes out as its two halves.
            text += QChar(ushort(json.mid(i + 1, 4).toUInt(nullptr, 16)));
            i += 4;
            break;
        default: text += QLatin1Char(json.at(i)); break; // " \ /
        }
    }
    ++i;
    return text + QString::fromUtf8(run);
}
} // namespace

bool VrnJsonKeys::findRepeatedKey(const QByteArray& json, QString& place)
{
    QVector<Container> stack;
    // The place of the value that starts next.
    auto valuePlace = [&stack]() {
        if (stack.isEmpty())
            return QString();
        const Container& top = stack.last();
        return top.object ? VrnJsonRead::place(top.place, top.key) : VrnJsonRead::place(top.place, top.index);
    };
    int i = 0;
    while (i < json.size()) {
        const char c = json.at(i);
        if (c == '"') {
            const bool isKey = !stack.isEmpty() && stack.last().object && stack.last().expectKey;
            const QString text = readString(json, i);
            if (!isKey)
                continue;
            Container& top = stack.last();
            if (top.keys.contains(text)) {
                place = VrnJsonRead::place(top.place, text);
                return true;
            }
            top.keys.insert(text);
            top.key = text;
            top.expectKey = false;
            continue;
        }
        if (c == '{' || c == '[') {
            Container container;
            container.object = c == '{';
            container.place = valuePlace();
            stack.append(container);
        } else if (c == '}' || c == ']') {
            if (!stack.isEmpty())
                stack.removeLast();
        } else if (c == ',' && !stack.isEmpty()) {
            Container& top = stack.last();
            if (top.object)
                top.expectKey = true;
            else
                ++top.index;
        }
        ++i;
    }
    return false;
}
