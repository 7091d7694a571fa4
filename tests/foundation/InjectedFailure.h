#pragma once
#include "foundation/MemoryAllocator.h"

// Makes the allocation after `successes` more successful ones fail, and switches injection off again however
// the test ends.
struct InjectedFailure {
    explicit InjectedFailure(int successes) { MemoryAllocator::failAfter(successes); }
    ~InjectedFailure() { MemoryAllocator::failAfter(-1); }
};
