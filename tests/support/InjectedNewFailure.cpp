#include "support/InjectedNewFailure.h"
#include <cstdlib>
#include <new>

namespace {

thread_local int successesLeft = -1;

bool injectedFailure()
{
    if (successesLeft < 0)
        return false;
    return successesLeft-- == 0;
}

} // namespace

InjectedNewFailure::InjectedNewFailure(int successes)
{
    successesLeft = successes;
}

InjectedNewFailure::~InjectedNewFailure()
{
    successesLeft = -1;
}

bool InjectedNewFailure::struck() const
{
    return successesLeft < 0;
}

// Replaces the standard library's. Its other forms (arrays, nothrow) come here, and its deletes free what
// malloc gave, so nothing else needs replacing.
void* operator new(std::size_t bytes)
{
    if (injectedFailure())
        throw std::bad_alloc();
    for (;;) {
        if (void* block = std::malloc(bytes ? bytes : 1))
            return block;
        std::new_handler handler = std::get_new_handler();
        if (!handler)
            throw std::bad_alloc();
        handler();
    }
}
