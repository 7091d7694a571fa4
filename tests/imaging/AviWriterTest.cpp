// Videos as the AVI writer leaves them, read back through AVIFile as a player would.
#include <windows.h>
#include <vfw.h>
#include <gtest/gtest.h>
#include <cstring>
#include <memory>
#include <string>
#include <vector>
#include "imaging/AviFileGenerator.h"
#include "support/WicTesting.h"

namespace {

constexpr int Width = 20;
constexpr int Height = 10;

struct AviReadBack {
    bool opened = false;
    AVISTREAMINFOW info{};
    BITMAPINFOHEADER format{};
    LONG milliseconds = 0;
    std::vector<std::vector<BYTE>> frames;

    // Pixel (x, y) from the top of a 24-bit frame, as a COLORREF.
    COLORREF pixel(size_t frame, int x, int y) const
    {
        int stride = (format.biWidth * 3 + 3) & ~3;
        const BYTE* p = frames[frame].data() + (format.biHeight - 1 - y) * stride + x * 3;
        return RGB(p[2], p[1], p[0]);
    }
};

AviReadBack readAvi(const std::wstring& path)
{
    AviReadBack result;
    AVIFileInit();
    PAVIFILE file = nullptr;
    PAVISTREAM stream = nullptr;
    if (AVIFileOpenW(&file, path.c_str(), OF_READ, nullptr) == S_OK &&
        AVIFileGetStream(file, &stream, streamtypeVIDEO, 0) == S_OK) {
        result.opened = true;
        AVIStreamInfoW(stream, &result.info, sizeof(result.info));
        LONG size = sizeof(result.format);
        AVIStreamReadFormat(stream, 0, &result.format, &size);
        result.milliseconds = AVIStreamSampleToTime(stream, AVIStreamLength(stream));
        for (LONG i = 0; i < AVIStreamLength(stream); ++i) {
            LONG bytes = 0;
            AVIStreamRead(stream, i, 1, nullptr, 0, &bytes, nullptr);
            std::vector<BYTE> frame(bytes);
            AVIStreamRead(stream, i, 1, frame.data(), bytes, nullptr, nullptr);
            result.frames.push_back(frame);
        }
    }
    if (stream)
        AVIStreamRelease(stream);
    if (file)
        AVIFileRelease(file);
    AVIFileExit();
    return result;
}

Dib* flatDib(int width, int height, int bits, COLORREF color)
{
    auto dib = new Dib;
    dib->create(width, height, bits, color);
    return dib;
}

class AviWriter : public testing::Test {
protected:
    ScratchFolder folder{L"korvilane-avi"};
    std::wstring path = folder.file(L"movie.avi");
};

TEST_F(AviWriter, SixteenFramesAtEightPerSecondLastTwoSeconds)
{
    AviFileGenerator writer;
    std::unique_ptr<Dib> frame(flatDib(Width, Height, 24, RGB(200, 0, 0)));
    std::wstring name(100, L'n');
    ASSERT_EQ(writer.open(path.c_str(), *frame, 8, 16, name.c_str()), 1);
    for (int i = 2; i <= 16; ++i) {
        frame.reset(flatDib(Width, Height, 24, RGB(0, i * 10, 0)));
        ASSERT_EQ(writer.addFrame(*frame), i);
    }
    EXPECT_FALSE(writer.isOpen()) << "the file closes itself after the announced frames";

    AviReadBack avi = readAvi(path);
    ASSERT_TRUE(avi.opened);
    EXPECT_EQ(avi.info.fccHandler, mmioFOURCC('D', 'I', 'B', ' '));
    EXPECT_EQ(avi.info.dwRate, 8u);
    EXPECT_EQ(avi.info.dwScale, 1u);
    EXPECT_EQ(avi.info.dwLength, 16u);
    EXPECT_EQ(avi.milliseconds, 2000);
    EXPECT_EQ(std::wstring(avi.info.szName), name.substr(0, 63));
    ASSERT_EQ(avi.frames.size(), 16u);
    EXPECT_EQ(avi.pixel(0, 3, 3), RGB(200, 0, 0));
    EXPECT_EQ(avi.pixel(15, 3, 3), RGB(0, 160, 0));
}

TEST_F(AviWriter, PicturesAreStoredAs24BitsAtTheFirstPicturesSize)
{
    AviFileGenerator writer;
    // An 8-bit first picture, a larger second (cut) and a smaller third (padded with black).
    std::unique_ptr<Dib> first(flatDib(Width, Height, 8, RGB(0, 0, 0)));
    std::unique_ptr<Dib> larger(flatDib(Width * 2, Height * 2, 24, RGB(255, 0, 0)));
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            std::memcpy(dibPixel(*larger, x, y), "\xFF\x00\x00", 3);
    std::unique_ptr<Dib> smaller(flatDib(Width / 2, Height / 2, 24, RGB(0, 255, 0)));
    ASSERT_EQ(writer.open(path.c_str(), *first, 5, 3, L""), 1);
    EXPECT_EQ(first->bitCount(), 24) << "the caller's picture is converted in place";
    ASSERT_EQ(writer.addFrame(*larger), 2);
    ASSERT_EQ(writer.addFrame(*smaller), 3);

    AviReadBack avi = readAvi(path);
    ASSERT_TRUE(avi.opened);
    EXPECT_EQ(avi.format.biBitCount, 24);
    EXPECT_EQ(avi.format.biWidth, Width);
    EXPECT_EQ(avi.format.biHeight, Height);
    ASSERT_EQ(avi.frames.size(), 3u);
    EXPECT_EQ(avi.pixel(1, Width - 1, Height - 1), RGB(0, 0, 255)) << "only the top-left part of the larger one";
    EXPECT_EQ(avi.pixel(2, 1, 1), RGB(0, 255, 0));
    EXPECT_EQ(avi.pixel(2, Width - 1, Height - 1), RGB(0, 0, 0));
}

TEST_F(AviWriter, CountsAreChecked)
{
    AviFileGenerator writer;
    std::unique_ptr<Dib> frame(flatDib(Width, Height, 24, RGB(1, 2, 3)));
    expectCode(ErrorCode::InvalidArgument, [&] { writer.open(path.c_str(), *frame, 0, 5, L""); });
    expectCode(ErrorCode::InvalidArgument, [&] { writer.open(path.c_str(), *frame, 8, 0, L""); });
    // One frame announced: open writes it and finishes the file; a further frame has nowhere to go.
    ASSERT_EQ(writer.open(path.c_str(), *frame, 8, 1, L""), 1);
    EXPECT_EQ(readAvi(path).info.dwLength, 1u);
    expectCode(ErrorCode::InvalidState, [&] { writer.addFrame(*frame); });
}

TEST_F(AviWriter, AShortVideoNeverAppearsAtItsPath)
{
    const std::vector<BYTE> old = {'o', 'l', 'd'};
    writeBytes(path, old);
    std::unique_ptr<Dib> frame(flatDib(Width, Height, 24, RGB(1, 2, 3)));
    {
        AviFileGenerator writer;
        ASSERT_EQ(writer.open(path.c_str(), *frame, 8, 3, L""), 1);
        ASSERT_EQ(writer.addFrame(*frame), 2);
    }
    EXPECT_EQ(readBytes(path), old);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(folder.file(L"*.tmp").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "no temporary file is left behind";
    FindClose(search);
}

} // namespace
