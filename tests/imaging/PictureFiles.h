#pragma once
#include <windows.h>
#include <wincodec.h>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>
#include "KvpTesting.h"
#include "foundation/ComPtr.h"
#include "imaging/WicBitmapEncoder.h"
#include "imaging/wicFactory.h"
#include "support/LentSettings.h"
#include "support/WicTesting.h"

// Settings lent to the loaders for the object's lifetime, listing the KVP reader plug-in.
class KvpReaderSettings : public LentSettings {
public:
    KvpReaderSettings() { setting.spiPaths.add(pluginPath(L"kvp_reader.spi").c_str()); }
};

// One generated picture file of every readable kind: a red block at the top left (x < 7, y < 7) on blue, so
// that a picture turned over or misread shows it.
struct SamplePicture {
    std::wstring name;
    std::wstring path;
    // The depth GDI+ decodes it in, and the file's own as the loaders report it.
    int gdiplusBits;
    int sourceBits;
    // 0 when the format keeps no resolution.
    double dpiX;
    double dpiY;
    UINT frames;
};

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
                                 const std::function<void(BYTE*, UINT)>& fillRow,
                                 std::vector<WICColor> palette = {})
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
    const GUID& format = bits == 1 ? GUID_WICPixelFormat1bppIndexed
                         : bits == 4 ? GUID_WICPixelFormat4bppIndexed
                                     : GUID_WICPixelFormat8bppIndexed;
    std::vector<WICColor> palette(static_cast<size_t>(1) << bits, 0xFF808080u);
    palette[0] = 0xFF0000FFu;
    palette[1] = red;
    return makeRawBitmap(SampleWidth, SampleHeight, format, [bits](BYTE* row, UINT y) {
        for (int x = 0; x < SampleWidth; ++x) {
            if (!sampleIsRed(x, static_cast<int>(y)))
                continue;
            int bit = x * bits;
            row[bit / 8] |= static_cast<BYTE>(1 << (8 - bits - bit % 8));
        }
    }, palette);
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
                *reinterpret_cast<UINT32*>(dibPixel(dib, x, y)) =
                    (alpha ? (sampleIsRed(x, y) ? 0x80000000u : 0xFF000000u) : 0) |
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

inline UINT32 sampleColour(int x, int y)
{
    return sampleIsRed(x, y) ? 0xFFFF0000u : 0xFF0000FFu;
}

// Every sample, written into the folder.
inline std::vector<SamplePicture> writeSamples(const ScratchFolder& folder)
{
    auto file = [&](const wchar_t* name) { return folder.file(name); };
    writeWicFile(file(L"1.png"), GUID_ContainerFormatPng, {indexedSample(1)});
    writeWicFile(file(L"4.png"), GUID_ContainerFormatPng, {indexedSample(4)});
    writeWicFile(file(L"8.png"), GUID_ContainerFormatPng, {indexedSample(8)});
    writeWicFile(file(L"24.png"), GUID_ContainerFormatPng, {deepSample(GUID_WICPixelFormat24bppBGR, 3, 1, false)});
    writeWicFile(file(L"32.png"), GUID_ContainerFormatPng, {deepSample(GUID_WICPixelFormat32bppBGRA, 4, 1, false)});
    writeWicFile(file(L"48.png"), GUID_ContainerFormatPng, {deepSample(GUID_WICPixelFormat48bppRGB, 3, 2, true)});
    writeWicFile(file(L"64.png"), GUID_ContainerFormatPng, {deepSample(GUID_WICPixelFormat64bppRGBA, 4, 2, true)});
    writeWicFile(file(L"8.gif"), GUID_ContainerFormatGif, {indexedSample(8)});
    writeWicFile(file(L"24.jpg"), GUID_ContainerFormatJpeg, {deepSample(GUID_WICPixelFormat24bppBGR, 3, 1, false)});
    writeWicFile(file(L"3.tif"), GUID_ContainerFormatTiff,
                 {deepSample(GUID_WICPixelFormat24bppBGR, 3, 1, false), indexedSample(8), indexedSample(1)});
    writeDibFile(file(L"1.bmp"), 1, false);
    writeDibFile(file(L"4.bmp"), 4, false);
    writeDibFile(file(L"8.bmp"), 8, false);
    writeDibFile(file(L"24.bmp"), 24, false);
    writeDibFile(file(L"32.bmp"), 32, true);
    writeTga(file(L"24.tga"));
    writeKvp(file(L"24.kvp"), SampleWidth, SampleHeight, 24, 0, [](int x, int y) { return sampleColour(x, y); });
    const double d = SampleDpiX;
    const double e = SampleDpiY;
    return {
        {L"1.png", file(L"1.png"), 1, 1, d, e, 1},      {L"4.png", file(L"4.png"), 4, 4, d, e, 1},
        {L"8.png", file(L"8.png"), 8, 8, d, e, 1},      {L"24.png", file(L"24.png"), 24, 24, d, e, 1},
        {L"32.png", file(L"32.png"), 32, 32, d, e, 1},  {L"48.png", file(L"48.png"), 32, 48, d, e, 1},
        {L"64.png", file(L"64.png"), 32, 64, d, e, 1},  {L"8.gif", file(L"8.gif"), 8, 8, 0, 0, 1},
        {L"24.jpg", file(L"24.jpg"), 24, 24, d, e, 1},  {L"3.tif", file(L"3.tif"), 24, 24, d, e, 3},
        {L"1.bmp", file(L"1.bmp"), 1, 1, 0, 0, 1},      {L"4.bmp", file(L"4.bmp"), 4, 4, 0, 0, 1},
        {L"8.bmp", file(L"8.bmp"), 8, 8, 0, 0, 1},      {L"24.bmp", file(L"24.bmp"), 24, 24, 0, 0, 1},
        {L"32.bmp", file(L"32.bmp"), 32, 32, 0, 0, 1},  {L"24.tga", file(L"24.tga"), 24, 24, 0, 0, 1},
        {L"24.kvp", file(L"24.kvp"), 24, 24, 0, 0, 1},
    };
}
