#include "VrnObjectArena.h"

#include "VrnThreadLocal.h"

#include <cstdint>
#include <iterator>
#include <map>
#include <mutex>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define VRN_POISON(address, bytes) ASAN_POISON_MEMORY_REGION(address, bytes)
#define VRN_UNPOISON(address, bytes) ASAN_UNPOISON_MEMORY_REGION(address, bytes)
#else
#define VRN_POISON(address, bytes) ((void)(address), (void)(bytes))
#define VRN_UNPOISON(address, bytes) ((void)(address), (void)(bytes))
#endif

struct VrnObjectArenaBlock
{
    char* begin;
    char* next;
    int live = 0;      // objects placed and not yet released
    bool open = true;  // an arena still places objects in it
};

namespace {
VRN_FAST_THREAD_LOCAL VrnObjectArena* t_open = nullptr;

// Every block by its first byte, so that a release finds the block that
// holds an object; deletes are rare next to builds, one lock serves them all.
std::mutex& blocksMutex()
{
    static std::mutex mutex;
    return mutex;
}
std::map<std::uintptr_t, VrnObjectArenaBlock*>& blocks()
{
    static auto* all = new std::map<std::uintptr_t, VrnObjectArenaBlock*>; // outlives every static object that holds nodes
    return *all;
}

std::size_t roundedUp(std::size_t size)
{
    return (size + VrnObjectArena::kAlignment - 1) & ~(VrnObjectArena::kAlignment - 1);
}

void freeBlock(VrnObjectArenaBlock* block)
{
    blocks().erase(reinterpret_cast<std::uintptr_t>(block->begin));
    VRN_UNPOISON(block->begin, VrnObjectArena::kBlockBytes);
    ::operator delete(block->begin, std::align_val_t(VrnObjectArena::kAlignment));
    delete block;
}

// The arena places nothing more in the block: it goes now if it is empty,
// otherwise with its last object.
void retire(VrnObjectArenaBlock* block)
{
    block->open = false;
    if (block->live == 0)
        freeBlock(block);
}
} // namespace

VrnObjectArena::VrnObjectArena() : m_outer(t_open)
{
    t_open = this;
}

VrnObjectArena::~VrnObjectArena()
{
    t_open = m_outer;
    const std::lock_guard<std::mutex> lock(blocksMutex());
    for (VrnObjectArenaBlock* block : m_current)
        if (block)
            retire(block);
}

void* VrnObjectArena::allocate(Kind kind, std::size_t size)
{
    const std::size_t bytes = roundedUp(size);
    VrnObjectArena* arena = t_open;
    if (!arena || bytes > kBlockBytes / 4)
        return ::operator new(size, std::align_val_t(kAlignment));
    const std::lock_guard<std::mutex> lock(blocksMutex());
    VrnObjectArenaBlock*& block = arena->m_current[kind];
    if (!block || std::size_t(block->next - block->begin) + bytes > kBlockBytes) {
        if (block)
            retire(block);
        char* memory = static_cast<char*>(::operator new(kBlockBytes, std::align_val_t(kAlignment)));
        VRN_POISON(memory, kBlockBytes);
        block = new VrnObjectArenaBlock{memory, memory};
        blocks().emplace(reinterpret_cast<std::uintptr_t>(memory), block);
    }
    char* object = block->next;
    block->next += bytes;
    ++block->live;
    VRN_UNPOISON(object, size);
    return object;
}

void VrnObjectArena::release(void* object, std::size_t size)
{
    if (!object)
        return;
    const std::uintptr_t address = reinterpret_cast<std::uintptr_t>(object);
    {
        const std::lock_guard<std::mutex> lock(blocksMutex());
        auto after = blocks().upper_bound(address);
        if (after != blocks().begin()) {
            VrnObjectArenaBlock* block = std::prev(after)->second;
            if (address < reinterpret_cast<std::uintptr_t>(block->begin) + kBlockBytes) {
                VRN_POISON(object, size);
                if (--block->live == 0 && !block->open)
                    freeBlock(block);
                return;
            }
        }
    }
    ::operator delete(object, std::align_val_t(kAlignment));
}

int VrnObjectArena::blocksHeld()
{
    const std::lock_guard<std::mutex> lock(blocksMutex());
    return int(blocks().size());
}
