#include "conversion/PixelBuffer.h"
#include "foundation/MemoryAllocator.h"
#include "imaging/PictureSizeLimit.h"

UINT32* allocPixels(int width, int height)
{
    // Negative sizes are refused with the same error: no block holds them.
    if (!PictureSizeLimit::check(width, height))
        return nullptr;
    return static_cast<UINT32*>(MemoryAllocator::alloc(width * height * 4));
}
