#pragma once

#include <QtGlobal>

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

// The open-addressed array under the host's flat tables: one allocation for
// the whole table, where a hash allocates an entry per key, so that tables
// of a large network leave no holes between its objects. A key picks where
// its run of slots starts (Fibonacci hashing: keys whose low bits are alike,
// such as heap addresses, still spread over the array); the run is probed
// slot by slot up to an empty one; the array stays at most half full.
//
// Slot is a plain value whose default is empty; it answers empty() and
// key(), the key it was placed by. When two slots of a run stand for the
// same thing is the table's own business: find takes that test.
template <class Slot> class VrnProbedSlots
{
public:
    explicit VrnProbedSlots(size_t expected = 0) : m_bits(bitsFor(expected, 4)) { m_slots.assign(size_t(1) << m_bits, Slot()); }

    // The first slot of key's run that match accepts, or else the empty slot
    // that ends the run, which the caller may fill (see reserveOne).
    template <class Match> Slot& find(quint64 key, Match&& match)
    {
        const size_t mask = m_slots.size() - 1;
        size_t i = placeOf(key);
        while (!m_slots[i].empty() && !match(m_slots[i]))
            i = (i + 1) & mask;
        return m_slots[i];
    }
    template <class Match> const Slot& find(quint64 key, Match&& match) const
    {
        return const_cast<VrnProbedSlots*>(this)->find(key, match);
    }

    // Room for one more slot, made before the empty slot to fill is found:
    // growing moves every slot.
    void reserveOne()
    {
        if (2 * (m_count + 1) > m_slots.size())
            grow();
    }
    // Counts the empty slot that find handed back and the caller filled.
    void filled() { ++m_count; }
    // Places a slot after those of its key's run, making room first.
    void add(Slot slot)
    {
        reserveOne();
        emptySlotFor(slot.key()) = std::move(slot);
        ++m_count;
    }
    // Room for expected slots in all, made at once.
    void reserve(size_t expected)
    {
        const int bits = bitsFor(expected, m_bits);
        if (bits > m_bits)
            rebuild(bits);
    }
    // Every slot empty again; the array keeps its size.
    void clear()
    {
        std::fill(m_slots.begin(), m_slots.end(), Slot());
        m_count = 0;
    }

private:
    // The fewest bits, from at least, whose array holds expected slots at most half full.
    static int bitsFor(size_t expected, int atLeast)
    {
        int bits = atLeast;
        while ((size_t(1) << bits) < 2 * expected)
            ++bits;
        return bits;
    }
    size_t placeOf(quint64 key) const { return size_t((key * 0x9E3779B97F4A7C15ull) >> (64 - m_bits)); }
    Slot& emptySlotFor(quint64 key)
    {
        return find(key, [](const Slot&) { return false; });
    }

    void grow() { rebuild(m_bits + 1); }

    void rebuild(int bits)
    {
        std::vector<Slot> old;
        old.swap(m_slots);
        m_bits = bits;
        m_slots.assign(size_t(1) << m_bits, Slot());
        for (Slot& slot : old)
            if (!slot.empty())
                emptySlotFor(slot.key()) = std::move(slot);
    }

    int m_bits;
    size_t m_count = 0;
    std::vector<Slot> m_slots;
};
