#include "VrnSnGlslStyle5ShaderTypeInfo.h"

#include "VrnTextIdentity.h"

#include <QHashFunctions>

namespace {
// Mixes one more value into a running hash.
template <class T> uint combine(uint seed, const T& value)
{
    return seed ^ (qHash(value) + 0x9e3779b9u + (seed << 6) + (seed >> 2));
}

// Entries are compared in every lookup of the record's hashes, and nearly
// always against a copy of themselves: copies share their characters.
bool sameText(const QString& a, const QString& b)
{
    return vrnSameCharacters(a, b) || a == b;
}
} // namespace

bool VrnSnGlslStyle5ShaderTypeInfo::RevalEntry::operator==(const RevalEntry& o) const
{
    return index == o.index && sameText(placeholder, o.placeholder) && sameText(inputName, o.inputName) && sameText(u, o.u)
        && sameText(v, o.v);
}

bool VrnSnGlslStyle5ShaderTypeInfo::ContextEntry::operator==(const ContextEntry& o) const
{
    return context == o.context && owner == o.owner && reval == o.reval;
}

// The producer and the point name only describe the key; the connection key
// already stands for them.
bool VrnSnGlslStyle5ShaderTypeInfo::StorageKey::operator==(const StorageKey& o) const
{
    return connectionKey == o.connectionKey && owner == o.owner && reval == o.reval;
}

// The index alone: it is unique within a record, so equal entries share it,
// and hashing four strings for every list looked up would cost more than the
// rest of the lookup.
uint qHash(const VrnSnGlslStyle5ShaderTypeInfo::RevalEntry& entry, uint seed)
{
    return combine(seed, entry.index);
}

uint qHash(const VrnSnGlslStyle5ShaderTypeInfo::StorageIdentity& key, uint seed)
{
    seed = combine(seed, key.connectionKey);
    seed = combine(seed, key.owner);
    return combine(seed, key.revalIndex);
}
