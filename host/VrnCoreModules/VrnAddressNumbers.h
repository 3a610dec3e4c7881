#pragma once

#include <QtGlobal>

#include <cstddef>
#include <vector>

// Numbers by address: of the nodes a walk has met, of the listed nodes, of
// the records of a build. Open addressing: numbering one allocates nothing,
// where a hash allocates an entry for each (the whole network on every build).
class VrnAddressNumbers
{
public:
    explicit VrnAddressNumbers(size_t expected)
    {
        while ((size_t(1) << m_bits) < 2 * expected)
            ++m_bits;
        m_slots.assign(size_t(1) << m_bits, Slot());
    }

    // The number of the address; -1 for one without.
    int numberOf(const void* address) const
    {
        if (!address)
            return m_nullNumber;
        const size_t mask = m_slots.size() - 1;
        for (size_t i = slotOf(address); m_slots[i].address; i = (i + 1) & mask)
            if (m_slots[i].address == address)
                return m_slots[i].number;
        return -1;
    }

    // Gives the address the number unless it has one; false when it had.
    bool insert(const void* address, int number)
    {
        if (!address) {
            if (m_nullNumber >= 0)
                return false;
            m_nullNumber = number;
            return true;
        }
        if (2 * (m_count + 1) > m_slots.size())
            grow();
        const size_t mask = m_slots.size() - 1;
        for (size_t i = slotOf(address);; i = (i + 1) & mask) {
            if (m_slots[i].address == address)
                return false;
            if (!m_slots[i].address) {
                m_slots[i] = Slot{address, number};
                ++m_count;
                return true;
            }
        }
    }

private:
    struct Slot
    {
        const void* address = nullptr;
        int number = -1;
    };

    size_t slotOf(const void* address) const
    {
        // Fibonacci hashing: the low bits of heap addresses are alike.
        return size_t((quint64(reinterpret_cast<quintptr>(address)) * 0x9E3779B97F4A7C15ull) >> (64 - m_bits));
    }

    void grow()
    {
        std::vector<Slot> old;
        old.swap(m_slots);
        ++m_bits;
        m_slots.assign(size_t(1) << m_bits, Slot());
        m_count = 0;
        for (const Slot& slot : old)
            if (slot.address)
                insert(slot.address, slot.number);
    }

    int m_bits = 4;
    size_t m_count = 0;
    std::vector<Slot> m_slots; // an empty slot holds no address, so null has its own place
    int m_nullNumber = -1;
};
