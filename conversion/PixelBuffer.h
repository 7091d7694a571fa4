#pragma once
#include <windows.h>

// Pixel buffers that transforms hand to their callers: zero-filled blocks of 32-bit pixels from
// MemoryAllocator, freed with MemoryAllocator::free.

// Width × height pixels, or null with last error 8 (also for a picture larger than PictureSizeLimit allows).
UINT32* allocPixels(int width, int height);

// Empties a transform's outputs, as every failure path leaves them.
inline void clearOutput(UINT32*& outPixels, int& outWidth, int& outHeight)
{
    outPixels = nullptr;
    outWidth = 0;
    outHeight = 0;
}
