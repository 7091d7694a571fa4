#include "conversion/PixelBuffer.h"
#include <climits>
#include "foundation/MemoryAllocator.h"

UINT32* allocPixels(int width, int height)
{
    LONGLONG bytes = static_cast<LONGLONG>(width) * height * 4;
    if (width < 0 || height < 0 || bytes > INT_MAX) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return static_cast<UINT32*>(MemoryAllocator::alloc(static_cast<int>(bytes)));
}
