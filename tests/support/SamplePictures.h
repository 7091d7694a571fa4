#pragma once
// Small generated pictures of every kind WIC and Dib write: a red block at the top left (x < 7, y < 7) on blue,
// so that a picture turned over or misread shows it.
#include <windows.h>
#include <wincodec.h>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>
#include "foundation/ComPtr.h"
#include "imaging/Dib.h"
#include "imaging/WicBitmapEncoder.h"
#include "imaging/wicFactory.h"
#include "support/WicTesting.h"

constexpr int SampleWidth = 21;
constexpr int SampleHeight = 14;
constexpr double SampleDpiX = 300;
constexpr double SampleDpiY = 150;

inline bool sampleIsRed(int x, int y)
{
    return x < 7 && y < 7;
}

// A WIC bitmap of the format whose rows fillRow writes (row memory, y); indexed formats get the palette.
inline IWICBitmap* makeRawBitmap(UINT width, UINT height, const GUID& format,
                                 const std::function<void(BYTE*, UINT)>& fillRow, std::vector<WICColor> palette = {})
{
    ComPtr<IWICImagingFactory> factory(wicCreateFactory());
    IWICBitmap* bitmap = nullptr;
    EXPECT_EQ(factory->CreateBitmap(width, height, format, WICBitmapCacheOnLoad, &bitmap), S_OK);
    {
        WICRect all = {0, 0, static_cast<INT>(width), static_cast<INT>(height)};
        ComPtr<IWICBitmapLock> lock;
        EXPECT_EQ(bitmap->Lock(&all, WICBitmapLockWrite, lock.out()), S_OK);
        UINT stride = 0;
        UINT size = 0;
        BYTE* data = nullptr;
        lock->GetStride(&stride);
        lock->GetDataPointer(&size, &data);
        for (UINT y = 0; y < height; ++y)
            fillRow(data + static_cast<size_t>(y) * stride, y);
    }
    if (!palette.empty()) {
        ComPtr<IWICPalette> colours(wicCreatePalette());
        colours->InitializeCustom(palette.data(), static_cast<UINT>(palette.size()));
        bitmap->SetPalette(colours.get());
    }
    bitmap->SetResolution(SampleDpiX, SampleDpiY);
    return bitmap;
}

// Indexed sample: index 1 (red) in the block, 0 (blue) elsewhere; `second` is the palette's red entry.
inline IWICBitmap* indexedSample(int bits, WICColor red = 0xFFFF0000u)
{
    const GUID& format = bits == 1   ? GUID_WICPixelFormat1bppIndexed
                         : bits == 4 ? GUID_WICPixelFormat4bppIndexed
                                     : GUID_WICPixelFormat8bppIndexed;
    std::vector<WICColor> palette(static_cast<size_t>(1) << bits, 0xFF808080u);
    palette[0] = 0xFF0000FFu;
    palette[1] = red;
    return makeRawBitmap(
        SampleWidth, SampleHeight, format,
        [bits](BYTE* row, UINT y) {
            for (int x = 0; x < SampleWidth; ++x) {
                if (!sampleIsRed(x, static_cast<int>(y)))
                    continue;
                int bit = x * bits;
                row[bit / 8] |= static_cast<BYTE>(1 << (8 - bits - bit % 8));
            }
        },
        palette);
}

// Channels of `bytesPerChannel` bytes, red first (the RGB(A) formats), or blue first (BGR(A)).
inline IWICBitmap* deepSample(const GUID& format, int channels, int bytesPerChannel, bool redFirst)
{
    return makeRawBitmap(SampleWidth, SampleHeight, format, [=](BYTE* row, UINT y) {
        for (int x = 0; x < SampleWidth; ++x) {
            BYTE* pixel = row + static_cast<size_t>(x) * channels * bytesPerChannel;
            bool red = sampleIsRed(x, static_cast<int>(y));
            int redAt = redFirst ? 0 : 2;
            int blueAt = redFirst ? 2 : 0;
            for (int channel = 0; channel < channels; ++channel) {
                bool full = channel == 3 || (red ? channel == redAt : channel == blueAt);
                for (int b = 0; b < bytesPerChannel; ++b)
                    pixel[channel * bytesPerChannel + b] = full ? 0xFF : 0;
            }
        }
    });
}

inline void writeWicFile(const std::wstring& path, const GUID& container, std::initializer_list<IWICBitmap*> frames)
{
    WIC::BitmapEncoder encoder;
    encoder.create(path.c_str(), nullptr, container);
    for (IWICBitmap* frame : frames) {
        encoder.addFrame(WIC::Bitmap(frame, false));
        frame->Release();
    }
    encoder.commit();
}

inline std::wstring writeDibFile(const std::wstring& path, int bits, bool alpha)
{
    Dib dib;
    dib.create(SampleWidth, SampleHeight, bits, RGB(0, 0, 255));
    if (bits <= 8) {
        PALETTEENTRY entries[256] = {};
        entries[0] = {0, 0, 255, 0};
        entries[1] = {255, 0, 0, 0};
        dib.setColorTable(entries);
    }
    for (int y = 0; y < SampleHeight; ++y)
        for (int x = 0; x < SampleWidth; ++x) {
            if (bits <= 8)
                setDibIndex(dib, x, y, sampleIsRed(x, y) ? 1 : 0);
            else if (bits == 24)
                std::memcpy(dibPixel(dib, x, y), sampleIsRed(x, y) ? "\x00\x00\xFF" : "\xFF\x00\x00", 3);
            else
                *reinterpret_cast<UINT32*>(
                    dibPixel(dib, x, y)) = (alpha ? (sampleIsRed(x, y) ? 0x80000000u : 0xFF000000u) : 0) |
                                           (sampleIsRed(x, y) ? 0xFF0000u : 0x0000FFu);
        }
    dib.saveBmpFile(openForWriting(path));
    return path;
}

// An uncompressed 24-bit TGA, rows bottom-up: a format that under Wine WIC reads and GDI+ does not.
inline std::wstring writeTga(const std::wstring& path)
{
    std::vector<BYTE> bytes = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, SampleWidth, 0, SampleHeight, 0, 24, 0};
    for (int row = SampleHeight - 1; row >= 0; --row)
        for (int x = 0; x < SampleWidth; ++x) {
            bool red = sampleIsRed(x, row);
            bytes.insert(bytes.end(), {static_cast<BYTE>(red ? 0 : 255), 0, static_cast<BYTE>(red ? 255 : 0)});
        }
    writeBytes(path, bytes);
    return path;
}
