// SPDX-License-Identifier: GPL-3.0-or-later
// A plug-in-like module with one thread-local variable. Loaded with dlopen, its thread-local block
// is "dynamic": the loader allocates it with malloc on the first access (as for libjpeg, which
// Qt's image format plug-in brings in).
#include <cstddef>
#include <cstdlib>

namespace {
thread_local void *held = nullptr;
}

// Keeps a fresh heap block reachable only through this module's thread-local block and returns
// where that block lies.
extern "C" __attribute__((visibility("default"))) void *krambolHoldInThreadLocal(std::size_t size)
{
    held = std::malloc(size);
    return &held;
}
