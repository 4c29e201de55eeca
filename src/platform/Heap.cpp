// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Heap.h"

#if __has_include(<malloc.h>)
#include <malloc.h>
#endif

namespace krambol::platform {

void shareOneHeap()
{
#if defined(M_ARENA_MAX)
    mallopt(M_ARENA_MAX, 1);
#endif
}

} // namespace krambol::platform
