#pragma once

#include <QtGlobal>

// A thread_local of a shared library is found through a call into the dynamic
// linker on every access, and the text fills read their per-thread tables many
// thousands of times a build. The pointer below is read at a fixed offset from
// the thread pointer instead: it needs no construction, so it can take the
// static thread storage that the C library keeps for libraries loaded after start.
#if defined(__GNUC__) && defined(__ELF__)
#define VRN_FAST_THREAD_LOCAL __attribute__((tls_model("initial-exec"))) thread_local
#else
#define VRN_FAST_THREAD_LOCAL thread_local
#endif

// The calling thread's T, made on the thread's first call and destroyed when the thread ends.
template <typename T>
T& vrnThreadInstance()
{
    static VRN_FAST_THREAD_LOCAL T* current = nullptr;
    if (Q_UNLIKELY(!current)) {
        thread_local T owned;
        current = &owned;
    }
    return *current;
}
