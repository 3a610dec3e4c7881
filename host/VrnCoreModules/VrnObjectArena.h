#pragma once

#include <cstddef>

struct VrnObjectArenaBlock;

// Where the nodes and contexts that a loader makes are placed: one after
// another in large blocks, nodes in blocks of their own and contexts in
// theirs, in the order they are made. Every pass of a build reads the nodes
// and contexts of a large network in that order, and then finds them next to
// each other instead of among the strings, lists and tables made in between.
//
// While an arena is open on a thread, the nodes and contexts made there go
// into its blocks; otherwise, and for an object larger than a quarter of a
// block, into the heap. An object deleted gives back nothing at once: a block
// is freed when its last object goes, once the arena no longer places objects
// in it. Every object starts on a cache line.
class VrnObjectArena
{
public:
    enum Kind { Nodes, Contexts };

    VrnObjectArena();
    ~VrnObjectArena();
    VrnObjectArena(const VrnObjectArena&) = delete;
    VrnObjectArena& operator=(const VrnObjectArena&) = delete;

    static void* allocate(Kind kind, std::size_t size);
    static void release(void* object, std::size_t size);

    // The blocks that hold objects or that an open arena places objects in.
    static int blocksHeld();

    static constexpr std::size_t kAlignment = 64;
    static constexpr std::size_t kBlockBytes = std::size_t(1) << 18;

private:
    VrnObjectArenaBlock* m_current[2] = {nullptr, nullptr}; // the block each kind is placed in
    VrnObjectArena* m_outer; // the arena open on the thread before this one
};
