#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "KvpTesting.h"
#include "support/LentSettings.h"
#include "support/SamplePictures.h"

// Settings lent to the loaders for the object's lifetime, listing the KVP reader plug-in.
class KvpReaderSettings : public LentSettings {
public:
    KvpReaderSettings() { setting.spiPaths.add(pluginPath(L"kvp_reader.spi").c_str()); }
};

// One generated picture file of every readable kind (support/SamplePictures.h).
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
