#include "VrnGlobalNameTable.h"

#include <QHashFunctions>
#include <QRandomGenerator>

VrnGlobalNameTable::VrnGlobalNameTable() : m_seed(QRandomGenerator::global()->generate()) {}

int VrnGlobalNameTable::declarerOf(const QString& name, const Declares& declares) const
{
    const uint hash = qHash(name, m_seed);
    return m_slots.find(hash, [&](const Slot& s) { return s.hash == hash && declares(s.index, name); }).index;
}

void VrnGlobalNameTable::insert(const QString& name, int index)
{
    m_slots.add(Slot{qHash(name, m_seed), index});
}
