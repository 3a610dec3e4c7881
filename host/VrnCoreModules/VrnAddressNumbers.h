#pragma once

#include "VrnProbedSlots.h"

#include <QtGlobal>

#include <cstddef>

// Numbers by address: of the nodes a walk has met, of the listed nodes, of
// the records of a build. Numbering one allocates nothing, where a hash
// allocates an entry for each (the whole network on every build).
class VrnAddressNumbers
{
public:
    explicit VrnAddressNumbers(size_t expected) : m_slots(expected) {}

    // The number of the address; -1 for one without.
    int numberOf(const void* address) const
    {
        if (!address)
            return m_nullNumber;
        return m_slots.find(keyOf(address), [address](const Slot& s) { return s.address == address; }).number;
    }

    // The address's number; one without gets the number given. One search.
    int numberOrInsert(const void* address, int number)
    {
        bool inserted = false;
        return place(address, number, inserted);
    }

    // Gives the address the number unless it has one; false when it had.
    bool insert(const void* address, int number)
    {
        bool inserted = false;
        place(address, number, inserted);
        return inserted;
    }

private:
    // The address's number, given it (and inserted set) when it had none.
    int place(const void* address, int number, bool& inserted)
    {
        if (!address) {
            inserted = m_nullNumber < 0;
            if (inserted)
                m_nullNumber = number;
            return m_nullNumber;
        }
        m_slots.reserveOne();
        Slot& slot = m_slots.find(keyOf(address), [address](const Slot& s) { return s.address == address; });
        inserted = slot.empty();
        if (inserted) {
            slot = Slot{address, number};
            m_slots.filled();
        }
        return slot.number;
    }

    // An empty slot holds no address (and number -1), so null has its own place.
    struct Slot
    {
        const void* address = nullptr;
        int number = -1;

        bool empty() const { return !address; }
        quint64 key() const { return keyOf(address); }
    };

    static quint64 keyOf(const void* address) { return quint64(reinterpret_cast<quintptr>(address)); }

    VrnProbedSlots<Slot> m_slots;
    int m_nullNumber = -1;
};

// The number of an address in a list that passes mostly ask for in its
// order: the number found last and the one after it are tried first, and
// only an address asked out of turn is looked up (lookUp(address), -1 for
// none), which at many thousand entries reads a far slot of a table.
// addressAt(k) is the address numbered k, for k below count; last moves to
// the number found.
template <class AddressAt, class LookUp>
int vrnNumberInTurn(const void* address, size_t& last, size_t count, AddressAt&& addressAt, LookUp&& lookUp)
{
    for (size_t k = last; k < last + 2 && k < count; ++k)
        if (addressAt(k) == address) {
            last = k;
            return int(k);
        }
    const int number = lookUp(address);
    if (number >= 0)
        last = size_t(number);
    return number;
}
