#include <gtest/gtest.h>
#include <cstring>
#include <vector>
#include "foundation/Clipboard.h"
#include "imaging/clipboardImage.h"
#include "imaging/gdipImageIO.h"
#include "support/BitFieldBmp.h"
#include "support/ExpectCode.h"
#include "support/ImagingTestSupport.h"

namespace {

constexpr DWORD FileHeaderBytes = 14;
constexpr DWORD InfoHeaderBytes = sizeof(BITMAPINFOHEADER);

// A packed DIB assembled by hand: header, then colour table or masks, then rows.
struct PackedDib {
    BITMAPINFOHEADER header = {};
    std::vector<DWORD> table;
    std::vector<BYTE> rows;

    std::vector<BYTE> bytes() const
    {
        std::vector<BYTE> all(reinterpret_cast<const BYTE*>(&header),
                              reinterpret_cast<const BYTE*>(&header) + sizeof(header));
        const BYTE* entries = reinterpret_cast<const BYTE*>(table.data());
        all.insert(all.end(), entries, entries + table.size() * sizeof(DWORD));
        all.insert(all.end(), rows.begin(), rows.end());
        return all;
    }
};

PackedDib makeHeader(int width, int height, WORD bitCount, DWORD compression)
{
    PackedDib dib;
    dib.header.biSize = InfoHeaderBytes;
    dib.header.biWidth = width;
    dib.header.biHeight = height;
    dib.header.biPlanes = 1;
    dib.header.biBitCount = bitCount;
    dib.header.biCompression = compression;
    return dib;
}

UINT32 colourAt(int x, int y)
{
    static const UINT32 colours[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF, 0xFF102030, 0xFF000000};
    return colours[(y * 3 + x) % 6];
}

class ClipboardPictures : public GdiplusTest {
protected:
    void SetUp() override
    {
        GdiplusTest::SetUp();
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        CloseClipboard();
    }

    // Puts the bytes on the clipboard as CF_DIB, the way another program would.
    static void offerDib(const std::vector<BYTE>& bytes)
    {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        ASSERT_NE(block, nullptr);
        std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
        GlobalUnlock(block);
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        bool taken = SetClipboardData(CF_DIB, block) != nullptr;
        CloseClipboard();
        if (!taken)
            GlobalFree(block);
        ASSERT_TRUE(taken);
    }
    static void offerText(const wchar_t* text)
    {
        ASSERT_TRUE(OpenClipboard(nullptr));
        EXPECT_TRUE(setClipboardText(text));
        CloseClipboard();
    }
    // Offers the DIB, expects its BMP file to hold the pixels after `infoBytes` of header and table, and
    // pastes it.
    static BitmapPtr pasteOffered(const PackedDib& dib, DWORD infoBytes)
    {
        offerDib(dib.bytes());
        StreamPtr stream(clipboardDibToBmpStream());
        std::vector<BYTE> bytes = stream ? bytesOf(stream.get()) : std::vector<BYTE>();
        BITMAPFILEHEADER file = {};
        if (bytes.size() >= FileHeaderBytes)
            std::memcpy(&file, bytes.data(), FileHeaderBytes);
        EXPECT_EQ(file.bfType, 0x4D42);
        EXPECT_EQ(file.bfOffBits, FileHeaderBytes + infoBytes);
        EXPECT_EQ(file.bfSize, FileHeaderBytes + infoBytes + dib.rows.size());
        EXPECT_EQ(bytes.size(), file.bfSize);
        return BitmapPtr(pasteImageFromClipboard());
    }
};

TEST_F(ClipboardPictures, CopiedPictureComesBackPixelForPixel)
{
    BitmapPtr picture(makeBitmap32(3, 2, colourAt));
    saveImageToClipboard(picture.get(), nullptr);

    // The clipboard holds the BMP encoding without its file header, which reading puts back as it was.
    StreamPtr encoded(gdipEncodeToStream(L"image/bmp", picture.get(), nullptr));
    StreamPtr stream(clipboardDibToBmpStream());
    ASSERT_TRUE(encoded && stream);
    EXPECT_EQ(bytesOf(stream.get()), bytesOf(encoded.get()));

    BitmapPtr pasted(pasteImageFromClipboard());
    ASSERT_TRUE(pasted);
    ASSERT_EQ(pasted->GetWidth(), 3u);
    ASSERT_EQ(pasted->GetHeight(), 2u);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(pixelAt(pasted.get(), x, y), colourAt(x, y)) << x << "," << y;
}

TEST_F(ClipboardPictures, EightBitDibGetsItsFullColourTable)
{
    PackedDib dib = makeHeader(3, 2, 8, BI_RGB);
    for (DWORD i = 0; i < 256; ++i)
        dib.table.push_back(i * 0x010101); // grey ramp
    // Bottom row first: indices 10 20 30 under 40 50 60.
    dib.rows = {10, 20, 30, 0, 40, 50, 60, 0};

    BitmapPtr pasted = pasteOffered(dib, 40 + 1024);
    ASSERT_TRUE(pasted);
    EXPECT_EQ(pixelAt(pasted.get(), 0, 0), 0xFF282828u);
    EXPECT_EQ(pixelAt(pasted.get(), 2, 0), 0xFF3C3C3Cu);
    EXPECT_EQ(pixelAt(pasted.get(), 1, 1), 0xFF141414u);
}

TEST_F(ClipboardPictures, BitfieldMasksCountToTheHeader)
{
    PackedDib dib = makeHeader(2, -2, 16, BI_BITFIELDS); // top-down
    dib.table = {0xF800, 0x07E0, 0x001F};
    dib.rows = {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0xFF, 0xFF}; // red green / blue white

    BitmapPtr pasted = pasteOffered(dib, 40 + 12);
    ASSERT_TRUE(pasted);
    EXPECT_EQ(pixelAt(pasted.get(), 0, 0), 0xFFFF0000u);
    EXPECT_EQ(pixelAt(pasted.get(), 1, 0), 0xFF00FF00u);
    EXPECT_EQ(pixelAt(pasted.get(), 0, 1), 0xFF0000FFu);
    EXPECT_EQ(pixelAt(pasted.get(), 1, 1), 0xFFFFFFFFu);
}

TEST_F(ClipboardPictures, VersionFiveDibWithMasksAndProfileIsPasted)
{
    // As drawing programs offer translucent pictures: masks inside the header, a profile after the pixels.
    BitFieldLayout layout{sizeof(BITMAPV5HEADER), 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    offerDib(packedBitFieldDib(layout, 2, 1, {{255, 0, 0, 255}, {0, 0, 255, 128}}, Bytes(200, 0x55)));

    BitmapPtr pasted(pasteImageFromClipboard());
    ASSERT_TRUE(pasted);
    EXPECT_EQ(pixelAt(pasted.get(), 0, 0), 0xFFFF0000u);
    EXPECT_EQ(pixelAt(pasted.get(), 1, 0), 0x800000FFu);
}

TEST_F(ClipboardPictures, NoPictureOnTheClipboardGivesNull)
{
    EXPECT_EQ(clipboardDibToBmpStream(), nullptr);
    EXPECT_EQ(pasteImageFromClipboard(), nullptr);
    offerText(L"ただの文字");
    EXPECT_EQ(clipboardDibToBmpStream(), nullptr);
    EXPECT_EQ(pasteImageFromClipboard(), nullptr);
}

TEST_F(ClipboardPictures, DibLargerThanItsBlockIsNotRead)
{
    PackedDib dib = makeHeader(100, 100, 32, BI_RGB);
    dib.rows.assign(64, 0xAB); // far fewer than 100 x 100 x 4 bytes
    offerDib(dib.bytes());

    StreamPtr stream(clipboardDibToBmpStream());
    ASSERT_TRUE(stream);
    EXPECT_TRUE(bytesOf(stream.get()).empty());
    expectCode(ErrorCode::NoMemory, [] { delete pasteImageFromClipboard(); });

    // A colour table that runs past the block is refused the same way.
    PackedDib table = makeHeader(1, 1, 8, BI_RGB);
    table.header.biClrUsed = 0x10000000;
    table.rows = {1, 0, 0, 0};
    offerDib(table.bytes());
    expectCode(ErrorCode::NoMemory, [] { delete pasteImageFromClipboard(); });
}

TEST_F(ClipboardPictures, RefusedInputLeavesTheClipboardAsItWas)
{
    offerText(L"keep");
    expectCode(ErrorCode::InvalidArgument, [] { saveImageToClipboard(nullptr, nullptr); });
    expectCode(ErrorCode::InvalidArgument, [] { putBmpStreamOnClipboard(nullptr, nullptr); });

    // The short stream is taken over and released also when it is refused.
    IStream* tooShort = streamOf(std::vector<BYTE>(FileHeaderBytes + 10, 0));
    tooShort->AddRef();
    expectCode(ErrorCode::InvalidArgument, [&] { putBmpStreamOnClipboard(tooShort, nullptr); });
    EXPECT_EQ(tooShort->Release(), 0u);

    EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_DIB));
}

TEST(DibColourCount, FollowsDepthUnlessCountGiven)
{
    expectCode(ErrorCode::InvalidArgument, [] { dibColorCount(nullptr); });
    PackedDib dib = makeHeader(1, 1, 4, BI_RGB);
    EXPECT_EQ(dibColorCount(&dib.header), 16u);
    dib.header.biBitCount = 24;
    EXPECT_EQ(dibColorCount(&dib.header), 0u);
    dib.header.biClrUsed = 5;
    EXPECT_EQ(dibColorCount(&dib.header), 5u);
}

} // namespace
