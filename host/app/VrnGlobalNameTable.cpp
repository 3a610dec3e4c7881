#include "VrnGlobalNameTable.h"

#include <QHashFunctions>
#include <QRandomGenerator>

VrnGlobalNameTable::VrnGlobalNameTable() : m_seed(QRandomGenerator::global()->generate()) {}

size_t VrnGlobalNameTable::slotOf(uint hash) const
{
    // Fibonacci hashing spreads the bits of the text hash over the table.
    const size_t bits = size_t(__builtin_ctzll(m_slots.size()));
    return size_t((quint64(hash) * 0x9E3779B97F4A7C15ull) >> (64 - bits));
}

int VrnGlobalNameTable::declarerOf(const QString& name, const Declares& declares) const
{
    if (m_slots.empty())
        return -1;
    const uint hash = qHash(name, m_seed);
    const size_t mask = m_slots.size() - 1;
    // Names of equal hash lie on one probe run: each is confirmed by its node.
    for (size_t i = slotOf(hash); m_slots[i].index >= 0; i = (i + 1) & mask)
        if (m_slots[i].hash == hash && declares(m_slots[i].index, name))
            return m_slots[i].index;
    return -1;
}

void VrnGlobalNameTable::insert(const QString& name, int index)
{
    if (2 * (m_count + 1) > m_slots.size())
        grow();
    const uint hash = qHash(name, m_seed);
    const size_t mask = m_slots.size() - 1;
    size_t i = slotOf(hash);
    while (m_slots[i].index >= 0)
        i = (i + 1) & mask;
    m_slots[i] = Slot{hash, index};
    ++m_count;
}

void VrnGlobalNameTable::grow()
{
    std::vector<Slot> old;
    old.swap(m_slots);
    m_slots.assign(old.empty() ? size_t(64) : 2 * old.size(), Slot());
    const size_t mask = m_slots.size() - 1;
    for (const Slot& slot : old) {
        if (slot.index < 0)
            continue;
        size_t i = slotOf(slot.hash);
        while (m_slots[i].index >= 0)
            i = (i + 1) & mask;
        m_slots[i] = slot;
    }
}
