#pragma once

#include <QString>

#include <functional>
#include <vector>

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
    struct Slot
    {
        uint hash = 0;
        int index = -1; // -1: empty
    };

    size_t slotOf(uint hash) const;
    void grow();

    std::vector<Slot> m_slots;
    size_t m_count = 0;
    // Seeded per table, as Qt's own hashes are: names that a file chose to
    // share one hash would make each lookup ask many nodes for their names.
    uint m_seed;
};
