#pragma once

#include "VrnProbedSlots.h"

#include <QHashFunctions>

#include <cstddef>

// A hash table from Key to Value whose entries lie in one open-addressed
// array: an insertion allocates nothing while the array has room, where a
// QHash allocates an entry per key and frees it again. For the tables a
// build fills per node and drops after it. Key needs qHash and ==. A removed
// key leaves its slot marked, so that the runs of keys placed after it stay
// whole; the slot is used again when that key comes back. It cannot be
// iterated: nothing can come to depend on the order of its entries.
template <class Key, class Value> class VrnFlatHash
{
public:
    explicit VrnFlatHash(size_t expected = 0) : m_slots(expected) {}

    void reserve(int expected) { m_slots.reserve(size_t(qMax(expected, 0))); }
    void clear()
    {
        m_slots.clear();
        m_size = 0;
    }
    int size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }

    // The value of key, or null.
    const Value* find(const Key& key) const
    {
        const Slot& slot = slotIn(*this, key);
        return slot.state == Slot::Live ? &slot.value : nullptr;
    }
    Value* find(const Key& key)
    {
        Slot& slot = slotIn(*this, key);
        return slot.state == Slot::Live ? &slot.value : nullptr;
    }
    Value value(const Key& key, const Value& otherwise = Value()) const
    {
        const Value* found = find(key);
        return found ? *found : otherwise;
    }
    bool contains(const Key& key) const { return find(key) != nullptr; }

    // The value of key, inserted as Value() when absent.
    Value& operator[](const Key& key) { return liveSlot(key).value; }
    void insert(const Key& key, const Value& value) { liveSlot(key).value = value; }
    bool remove(const Key& key)
    {
        Slot& slot = slotIn(*this, key);
        if (slot.state != Slot::Live)
            return false;
        slot.state = Slot::Removed;
        slot.value = Value();
        --m_size;
        return true;
    }

private:
    struct Slot
    {
        enum State : unsigned char { Empty, Live, Removed };
        Key stored{};
        Value value{};
        uint hash = 0;
        State state = Empty;

        bool empty() const { return state == Empty; }
        quint64 key() const { return hash; }
    };

    // The slot that holds key, live or removed, or the empty slot that ends
    // its run; const or not as the table is.
    template <class Table> static auto& slotIn(Table& table, const Key& key, uint hash)
    {
        return table.m_slots.find(hash, [&](const Slot& s) { return s.hash == hash && s.stored == key; });
    }
    template <class Table> static auto& slotIn(Table& table, const Key& key) { return slotIn(table, key, qHash(key)); }

    // The live slot of key; an absent key fills its removed slot, or an
    // empty one, with Value(). Room is made first: growing moves every slot.
    Slot& liveSlot(const Key& key)
    {
        m_slots.reserveOne();
        const uint hash = qHash(key);
        Slot& slot = slotIn(*this, key, hash);
        if (slot.state == Slot::Live)
            return slot;
        if (slot.state == Slot::Empty)
            m_slots.filled();
        slot = Slot{key, Value(), hash, Slot::Live};
        ++m_size;
        return slot;
    }

    VrnProbedSlots<Slot> m_slots;
    int m_size = 0;
};
