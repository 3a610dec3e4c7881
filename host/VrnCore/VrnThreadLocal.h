#pragma once

// A per-thread pointer of a host library that a thread reads at a fixed offset
// from its thread pointer. A plain thread_local of a shared library costs a
// call into the dynamic linker on every access, and the text fills read theirs
// many thousands of times a build. Only for small variables that need no
// construction: they take the static thread storage that the C library keeps
// for libraries loaded after start.
#if defined(__GNUC__) && defined(__ELF__)
#define VRN_FAST_THREAD_LOCAL __attribute__((tls_model("initial-exec"))) thread_local
#else
#define VRN_FAST_THREAD_LOCAL thread_local
#endif
