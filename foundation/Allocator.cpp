#include "foundation/Allocator.h"
#include "foundation/Exception.h"
#include "foundation/MemoryAllocator.h"

namespace {

void* checked(void* block, bool returnNullOnFailure)
{
    if (!block && !returnNullOnFailure)
        throw Exception(static_cast<int>(GetLastError()));
    return block;
}

} // namespace

void* Allocator::alloc(int bytes, bool returnNullOnFailure)
{
    return checked(MemoryAllocator::alloc(bytes), returnNullOnFailure);
}

void* Allocator::realloc(void* block, int bytes, bool returnNullOnFailure)
{
    return checked(MemoryAllocator::realloc(block, bytes), returnNullOnFailure);
}

void Allocator::free(void* block)
{
    MemoryAllocator::free(block);
}

IAllocator& getDefaultAllocator()
{
    // Never destroyed: strings held by static objects are freed after every destructor has run.
    static Allocator* const instance = new Allocator();
    return *instance;
}
