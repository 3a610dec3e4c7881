#pragma once

#include <QPair>
#include <QString>

// Where a text's characters lie. A copy of a QString shares its original's
// characters, and much of what a build compares is copied from one source
// (a kind's names, version hash, uuid, source): texts with one identity are
// equal while both live, without reading a character. Unequal identities say
// nothing: equal texts may have characters of their own.
using VrnTextIdentity = QPair<const QChar*, int>;

inline VrnTextIdentity vrnTextIdentity(const QString& text)
{
    return VrnTextIdentity(text.constData(), text.size());
}

inline bool vrnSameCharacters(const QString& a, const QString& b)
{
    return vrnTextIdentity(a) == vrnTextIdentity(b);
}
