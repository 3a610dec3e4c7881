#pragma once

#include <QByteArray>
#include <QString>

// Qt's JSON parser keeps the last of two equal keys in one object and says
// nothing; a network file that names a key twice is ambiguous, so the loader
// looks for that in the text itself.
namespace VrnJsonKeys {
// For valid JSON: true, with the place of the second one ("nodes[0].id"), when
// an object has a key twice. Linear in the size of the text.
bool findRepeatedKey(const QByteArray& json, QString& place);
} // namespace VrnJsonKeys
