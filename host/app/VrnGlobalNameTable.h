#pragma once

#include "VrnProbedSlots.h"

#include <QString>

#include <functional>

// The GLSL global names the nodes of a network declare, each with the node
// (its index in the file) that declared it first. Only the names' hashes are
// kept, in one open-addressed array: a hash table of the texts would leave an
// entry and a copy of each name between every two nodes of a large network
// once the loader frees it, and the builds that follow would be scattered
// over those holes. A hash met again is confirmed by asking whether the node
// it names really declares the text.
class VrnGlobalNameTable
{
public:
    VrnGlobalNameTable();

    // Whether the node at index declares name.
    using Declares = std::function<bool(int index, const QString& name)>;

    // The index of the node that declared name first, or -1.
    int declarerOf(const QString& name, const Declares& declares) const;
    void insert(const QString& name, int index);

private:
    // Names of one hash lie on one run: each is confirmed by its node.
    struct Slot
    {
        uint hash = 0;
        int index = -1; // -1: empty

        bool empty() const { return index < 0; }
        quint64 key() const { return hash; }
    };

    VrnProbedSlots<Slot> m_slots;
    // Seeded per table, as Qt's own hashes are: names that a file chose to
    // share one hash would make each lookup ask many nodes for their names.
    uint m_seed;
};
