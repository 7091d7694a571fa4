#pragma once
#include <windows.h>
#include <gdiplus.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>
#include "imaging/BitmapPtr.h"
#include "imaging/Dib.h"
#include "imaging/GdiplusSession.h"
#include "support/ScratchFolder.h"
#include "support/fileBytes.h"

// Opaque ARGB colours the picture tests draw with.
constexpr UINT32 Red = 0xFFFF0000;
constexpr UINT32 Green = 0xFF00FF00;
constexpr UINT32 Blue = 0xFF0000FF;
constexpr UINT32 White = 0xFFFFFFFF;
constexpr UINT32 Black = 0xFF000000;

// Runs each test of a fixture in a GDI+ session of its own.
class GdiplusTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(graphics.isStarted()); }

private:
    GdiplusSession graphics;
};

struct StreamReleaser {
    void operator()(IStream* stream) const { stream->Release(); }
};
using StreamPtr = std::unique_ptr<IStream, StreamReleaser>;

// A stream on global memory holding the bytes, positioned at its start.
inline IStream* streamOf(const std::vector<BYTE>& bytes)
{
    IStream* stream = nullptr;
    CreateStreamOnHGlobal(nullptr, TRUE, &stream);
    ULONG written = 0;
    if (!bytes.empty())
        stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
    LARGE_INTEGER start = {};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    return stream;
}

inline std::vector<BYTE> bytesOf(IStream* stream)
{
    STATSTG stat = {};
    stream->Stat(&stat, STATFLAG_NONAME);
    std::vector<BYTE> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
    LARGE_INTEGER start = {};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    ULONG read = 0;
    stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
    return bytes;
}

// Pixel (x, y) of a Dib counted from the top, as the picture shows it.
inline BYTE* dibPixel(const Dib& dib, int x, int y)
{
    GdiFlush();
    return dib.getBits() + static_cast<INT_PTR>(dib.height() - 1 - y) * dib.stride() + x * dib.bitCount() / 8;
}

inline UINT32 dibPixel32(const Dib& dib, int x, int y)
{
    return *reinterpret_cast<UINT32*>(dibPixel(dib, x, y));
}

// Colour index of pixel (x, y) of a 1-, 4- or 8-bit Dib.
inline int dibIndex(const Dib& dib, int x, int y)
{
    GdiFlush();
    const BYTE* row = dib.getBits() + static_cast<INT_PTR>(dib.height() - 1 - y) * dib.stride();
    int bits = dib.bitCount();
    int bit = x * bits;
    int shift = 8 - bits - bit % 8;
    return (row[bit / 8] >> shift) & ((1 << bits) - 1);
}

inline void setDibIndex(Dib& dib, int x, int y, int index)
{
    BYTE* row = dib.getBits() + static_cast<INT_PTR>(dib.height() - 1 - y) * dib.stride();
    int bits = dib.bitCount();
    int bit = x * bits;
    int shift = 8 - bits - bit % 8;
    int mask = ((1 << bits) - 1) << shift;
    row[bit / 8] = static_cast<BYTE>((row[bit / 8] & ~mask) | (index << shift));
}

// A 32-bit ARGB bitmap whose pixels come from the function of (x, y).
template <typename PixelOf>
Gdiplus::Bitmap* makeBitmap32(int width, int height, PixelOf pixelOf)
{
    auto bitmap = new Gdiplus::Bitmap(width, height, PixelFormat32bppARGB);
    Gdiplus::Rect all(0, 0, width, height);
    Gdiplus::BitmapData data;
    bitmap->LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &data);
    for (int y = 0; y < height; ++y) {
        auto row = reinterpret_cast<UINT32*>(static_cast<BYTE*>(data.Scan0) + y * data.Stride);
        for (int x = 0; x < width; ++x)
            row[x] = pixelOf(x, y);
    }
    bitmap->UnlockBits(&data);
    return bitmap;
}

// Noise in every channel, which no encoder makes much smaller.
inline Gdiplus::Bitmap* noisyBitmap(int width, int height, UINT32 seed = 1)
{
    return makeBitmap32(width, height, [&](int, int) {
        seed = seed * 1664525 + 1013904223;
        return 0xFF000000u | seed >> 8;
    });
}

// Pixel (x, y) of any GDI+ bitmap as 32-bit ARGB.
// Whole rows are locked: Wine converts sub-byte formats from the wrong bit when a lock starts inside a byte.
inline UINT32 pixelAt(Gdiplus::Bitmap* bitmap, int x, int y)
{
    Gdiplus::Rect row(0, y, static_cast<INT>(bitmap->GetWidth()), 1);
    Gdiplus::BitmapData data;
    if (bitmap->LockBits(&row, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) != Gdiplus::Ok)
        return 0xDEADBEEF;
    UINT32 pixel = static_cast<UINT32*>(data.Scan0)[x];
    bitmap->UnlockBits(&data);
    return pixel;
}

// Every pixel as 32-bit ARGB, row by row from the top.
inline std::vector<UINT32> pixelsOf(Gdiplus::Bitmap* bitmap)
{
    std::vector<UINT32> pixels;
    for (UINT y = 0; y < bitmap->GetHeight(); ++y)
        for (UINT x = 0; x < bitmap->GetWidth(); ++x)
            pixels.push_back(pixelAt(bitmap, x, y));
    return pixels;
}

// The largest difference between the two pixels in any of their four channels.
inline int channelDistance(UINT32 a, UINT32 b)
{
    int most = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        int difference = std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
        most = std::max(most, difference);
    }
    return most;
}
