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

// Asked without reading either text's block: a copy shares its original's
// block, so most texts with one identity are found here; the rest are not,
// which the answer allows.
inline bool vrnSameCharacters(const QString& a, const QString& b)
{
    return a.isSharedWith(b);
}
