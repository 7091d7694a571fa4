#pragma once
#include <windows.h>

// Blocks of the process heap, always zero-filled. Failure returns null with last error 8; nothing throws here.
// Freed blocks of a megabyte or more are kept for a while and handed out again, since fresh memory costs far
// more to touch the first time than memory already in use.
class MemoryAllocator {
public:
    static void* alloc(int bytes);
    // Keeps the old block valid when it fails; bytes added by growth read as zero.
    static void* realloc(void* block, int bytes);
    // Needs no memory of its own, so it fails in no destructor.
    static void free(void* block);

    // Fault injection for tests: the allocation after `successes` more successful ones fails (and only that one).
    // A negative count switches injection off. Applies to the calling thread only.
    static void failAfter(int successes);
};
