// Truncated, corrupted and hostile files of every format must fail cleanly through every loader: null, false or
// an Exception, or else a well-formed picture; never a crash, a leak of the metadata reader or a half-built
// result. Files that claim pictures beyond the size limit, or BMPs that the program's own reader refuses, reach
// no decoder at all.
#include <algorithm>
#include <cstring>
#include <memory>
#include "PictureFiles.h"
#include "foundation/Decimal.h"
#include "foundation/wstringArray.h"
#include "imaging/GdipImage.h"
#include "imaging/PictureProperties.h"
#include "imaging/pictureClaims.h"
#include "imaging/PictureTooLarge.h"
#include "imaging/pictureLoading.h"
#include "imaging/wicDecode.h"
#include "support/HostilePictureFiles.h"

namespace {

std::vector<std::vector<BYTE>> damaged(const std::vector<BYTE>& bytes)
{
    std::vector<std::vector<BYTE>> result;
    size_t size = bytes.size();
    for (size_t length : {size_t(0), size_t(1), size_t(8), size_t(16), size_t(26), size_t(33), size_t(54), size / 4,
                          size / 2, size * 3 / 4, size - 1})
        if (length < size)
            result.emplace_back(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
    // Flipped bits, first in the headers, then anywhere.
    UINT32 seed = 2024;
    for (int round = 0; round < 12; ++round) {
        std::vector<BYTE> changed(bytes);
        size_t range = round < 6 ? std::min<size_t>(size, 64) : size;
        for (int flip = 0; flip <= round % 4; ++flip) {
            seed = seed * 1664525 + 1013904223;
            changed[seed % range] ^= static_cast<BYTE>((seed >> 24) | 1);
        }
        result.push_back(changed);
    }
    return result;
}

void expectWellFormed(Gdiplus::Bitmap* bitmap)
{
    ASSERT_GT(bitmap->GetWidth(), 0u);
    ASSERT_GT(bitmap->GetHeight(), 0u);
    UINT32 last = pixelAt(bitmap, static_cast<int>(bitmap->GetWidth()) - 1, static_cast<int>(bitmap->GetHeight()) - 1);
    EXPECT_NE(last, 0xDEADBEEFu);
}

void expectWellFormed(const Dib& dib)
{
    ASSERT_FALSE(dib.isEmpty());
    EXPECT_GT(dib.width(), 0);
    EXPECT_GT(dib.height(), 0);
    EXPECT_EQ(dib.imageSize(), dib.stride() * dib.height());
}

const BYTE PngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

void put(std::vector<BYTE>& bytes, size_t offset, DWORD value, int size, bool bigEndian = false)
{
    for (int i = 0; i < size; ++i)
        bytes[offset + i] = static_cast<BYTE>(value >> (8 * (bigEndian ? size - 1 - i : i)));
}

// A BMP of the header size (12, 16, 40, 108 ...) and fields, with a grey colour table up to 8 bits and the
// pixel bytes given.
std::vector<BYTE> bmpFile(DWORD headerSize, LONG width, LONG height, WORD bits, DWORD compression,
                          std::vector<BYTE> pixels)
{
    DWORD colours = bits <= 8 ? 1u << bits : 0;
    DWORD entryBytes = headerSize == 12 ? 3 : 4;
    std::vector<BYTE> bytes(14 + headerSize + colours * entryBytes);
    bytes[0] = 'B';
    bytes[1] = 'M';
    put(bytes, 10, static_cast<DWORD>(bytes.size()), 4);
    put(bytes, 14, headerSize, 4);
    if (headerSize == 12) {
        put(bytes, 18, static_cast<DWORD>(width), 2);
        put(bytes, 20, static_cast<DWORD>(height), 2);
        put(bytes, 22, 1, 2);
        put(bytes, 24, bits, 2);
    } else {
        put(bytes, 18, static_cast<DWORD>(width), 4);
        put(bytes, 22, static_cast<DWORD>(height), 4);
        put(bytes, 26, 1, 2);
        put(bytes, 28, bits, 2);
        if (headerSize >= 20)
            put(bytes, 30, compression, 4);
        if (headerSize >= 24)
            put(bytes, 34, static_cast<DWORD>(pixels.size()), 4);
    }
    for (DWORD i = 0; i < colours; ++i)
        std::memset(&bytes[14 + headerSize + i * entryBytes],
                    static_cast<int>(i * 255 / std::max<DWORD>(colours - 1, 1)), 3);
    bytes.insert(bytes.end(), pixels.begin(), pixels.end());
    put(bytes, 2, static_cast<DWORD>(bytes.size()), 4);
    return bytes;
}

// Run-length data: runs of 255 pixels, then the end of the picture.
std::vector<BYTE> runs(int count)
{
    std::vector<BYTE> data;
    for (int i = 0; i < count; ++i)
        data.insert(data.end(), {255, static_cast<BYTE>(i)});
    data.insert(data.end(), {0, 1});
    return data;
}

// Run-length data that ends every row of a picture 255 pixels wide and no more. The rows give their pixels one
// by one, indices 0 and 1 in turn, which read out of step would end the picture.
std::vector<BYTE> everyRowEnded(int rows)
{
    std::vector<BYTE> data;
    for (int i = 0; i < rows; ++i) {
        data.insert(data.end(), {0, 255});
        for (int x = 0; x < 255; ++x)
            data.push_back(static_cast<BYTE>(x % 2));
        data.insert(data.end(), {0, 0, 0});
    }
    return data;
}

// An icon file of one entry holding the picture (a PNG, or a packed DIB of colour and mask rows).
std::vector<BYTE> iconOf(const std::vector<BYTE>& picture)
{
    std::vector<BYTE> bytes = {0, 0, 1, 0, 1, 0, 32, 32, 0, 0, 1, 0, 32, 0};
    bytes.resize(22);
    put(bytes, 14, static_cast<DWORD>(picture.size()), 4);
    put(bytes, 18, 22, 4);
    bytes.insert(bytes.end(), picture.begin(), picture.end());
    return bytes;
}

// The zlib stream that the platform's PNG encoder makes of the rows of a picture 1,024 pixels wide: one byte
// more than the 3,072 of its pixels for each row.
Bytes deflatedRows(const std::wstring& path, UINT rows)
{
    writeWicFile(path, GUID_ContainerFormatPng,
                 {makeRawBitmap(1024, rows, GUID_WICPixelFormat24bppBGR, [](BYTE* row, UINT y) {
                     for (UINT x = 0; x < 3072; ++x)
                         row[x] = static_cast<BYTE>(x * y / 7);
                 })});
    Bytes png = readBytes(path);
    Bytes zlib;
    for (size_t at = 8; at + 12 <= png.size();) {
        size_t length = static_cast<size_t>(png[at]) << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3];
        if (std::memcmp(&png[at + 4], "IDAT", 4) == 0)
            zlib.insert(zlib.end(), png.begin() + at + 8, png.begin() + at + 8 + length);
        at += 12 + length;
    }
    return zlib;
}

struct HostilePicture {
    const char* name;
    std::vector<BYTE> bytes;
    // Why the claims check refuses it: 8 too large, 87 malformed.
    DWORD refusal;
};

// Files whose headers claim pictures that no decoder should be asked for. The GIF is a sound sample but for
// its logical screen, which is a canvas of that size for GDI+; the others hold headers and a little data.
std::vector<HostilePicture> hostilePictures(const std::vector<SamplePicture>& samples)
{
    auto sampleBytes = [&](const wchar_t* name) {
        for (const SamplePicture& sample : samples)
            if (sample.name == name)
                return readBytes(sample.path);
        return Bytes();
    };
    std::vector<BYTE> screen = sampleBytes(L"8.gif");
    screen.resize(std::max<size_t>(screen.size(), 10));
    put(screen, 6, 0xFFFFFFFF, 4);
    std::vector<BYTE> rleDib = bmpFile(40, 0x20000000, 12, 8, BI_RLE8, runs(64));
    rleDib.erase(rleDib.begin(), rleDib.begin() + 14);
    // A directory without entries, before a picture of 32 bits whose height is the lowest a LONG holds.
    std::vector<BYTE> empty = iconOf(bmpFile(40, 8, 16, 32, BI_RGB, std::vector<BYTE>(320, 0x40)));
    empty.erase(empty.begin() + 22, empty.begin() + 36);
    put(empty, 4, 0, 2);
    put(empty, 30, 0x80000000, 4);
    // 70000 x 70000 pixels in each header.
    const std::vector<BYTE> png = {0x89, 'P', 'N', 'G',  13,   10, 26, 10,   0,    0, 0, 13, 'I', 'H', 'D',
                                   'R',  0,   1,   0x11, 0x70, 0,  1,  0x11, 0x70, 8, 6, 0,  0,   0};
    const std::vector<BYTE> jpeg = {0xFF, 0xD8, 0xFF, 0xE0, 0,    4,    0,    0,    0xFF,
                                    0xC2, 0,    17,   8,    0xFF, 0xFF, 0xFF, 0xFF, 3};
    const std::vector<BYTE> tiff = {'I',  'I', 42, 0, 8, 0, 0, 0, 2, 0, 0, 1,    4,    0, 1, 0, 0, 0, 0x70,
                                    0x11, 1,   0,  1, 1, 4, 0, 1, 0, 0, 0, 0x70, 0x11, 1, 0, 0, 0, 0, 0};
    // Within the size limit, and one of its rows written before the end of the picture: some 700 MB of work
    // for GDI+ and WIC, which take a BMP of no planes.
    std::vector<BYTE> noPlanes = bmpFile(124, 5, 0x01000000, 4, BI_RLE4, runs(1));
    put(noPlanes, 26, 0, 2);
    std::vector<BYTE> twoPlanes = bmpFile(12, 5, 3, 24, BI_RGB, std::vector<BYTE>(48, 0x80));
    put(twoPlanes, 22, 2, 2);
    std::vector<BYTE> rowShort = everyRowEnded(40);
    rowShort.resize(rowShort.size() - 2);
    const DWORD tooLarge = ERROR_NOT_ENOUGH_MEMORY;
    const DWORD malformed = ERROR_INVALID_PARAMETER;
    return {
        // Run-length pictures whose size overflows 32 bits in Wine's decoder, which then writes past its block.
        {"V4 RLE8", bmpFile(108, 0x20000000, 6, 8, BI_RLE8, runs(64)), tooLarge},
        {"RLE4", bmpFile(40, 0x40000000, 6, 4, BI_RLE4, runs(64)), tooLarge},
        {"RLE8 beyond the limit", bmpFile(40, 20000, 20000, 8, BI_RLE8, runs(64)), tooLarge},
        {"icon of a run-length picture", iconOf(rleDib), tooLarge},
        {"icon without pictures", empty, malformed},
        {"GIF screen", screen, tooLarge},
        // Refused by the program's own reader, so by every other decoder too.
        {"top-down RLE8", bmpFile(40, 16, -4, 8, BI_RLE8, runs(4)), malformed},
        {"24 bits, pixels missing", bmpFile(40, 3000, 3000, 24, BI_RGB, std::vector<BYTE>(100)), malformed},
        {"RLE4 of no planes", noPlanes, malformed},
        {"RLE8 whose last row is not ended", bmpFile(40, 255, 40, 8, BI_RLE8, rowShort), malformed},
        {"RLE4 of pixels one by one, unpadded", bmpFile(40, 5, 1, 4, BI_RLE4, {0, 5, 0x12, 0x34, 0x50, 0, 1}),
         malformed},
        // Forms the reader leaves to the platform's decoders.
        {"old header", bmpFile(12, 60000, 60000, 24, BI_RGB, std::vector<BYTE>(100)), tooLarge},
        {"old header of two planes", twoPlanes, malformed},
        {"OS/2 header, pixels missing", bmpFile(16, 100, 100, 8, BI_RGB, std::vector<BYTE>(100)), malformed},
        {"PNG in a BMP", bmpFile(40, 0x7FFFFFFF, 1000, 32, BI_PNG, png), tooLarge},
        {"PNG", png, tooLarge},
        {"JPEG", jpeg, tooLarge},
        {"TIFF", tiff, tooLarge},
        {"icon of a PNG", iconOf(png), tooLarge},
        // What no real picture holds, and what crashes or stalls the platform's decoders.
        {"GIF without colour tables", gifWithoutColourTables(), malformed},
        {"TIFF claiming 2^29 RATIONALs", bigEndianTiff(282), malformed},
        {"TIFF claiming 2^31 SHORTs", bigEndianTiff(296), malformed},
        {"PNG of 3000 text chunks", withChunks(sampleBytes(L"24.png"), 3000), malformed},
        {"JPEG whose scans cannot hold 8192 x 16384 pixels", declaringSize(sampleBytes(L"24.jpg"), 8192, 16384),
         malformed},
    };
}

class PictureFuzz : public WicTest {
protected:
    // No loader gives a picture of the file, and none takes the process with it.
    void expectRefusedEveryWay(const std::vector<BYTE>& bytes)
    {
        std::wstring path = folder.file(L"hostile");
        writeBytes(path, bytes);
        try {
            BitmapPtr bitmap(loadBitmap(path.c_str(), nullptr, nullptr, nullptr, nullptr));
            EXPECT_FALSE(bitmap) << "loadBitmap";
        } catch (const Exception&) {
        }
        Dib dib;
        EXPECT_FALSE(loadDib(path.c_str(), dib)) << "loadDib";
        EXPECT_TRUE(dib.isEmpty());
        std::unique_ptr<IImage> image(loadImage(path.c_str(), true, nullptr, 0));
        EXPECT_FALSE(image) << "loadImage";
        EXPECT_FALSE(GdipImage().load(path.c_str())) << "GdipImage";
        PictureMetadata metadata;
        WORD bits = 0;
        UINT frames = 0;
        Dib picture;
        Dib thumbnail;
        try {
            EXPECT_FALSE(readPictureProperties(path.c_str(), metadata, bits, frames, picture, thumbnail));
        } catch (const Exception&) {
        }
        EXPECT_TRUE(picture.isEmpty());
    }

    void loadEveryWay(const wchar_t* path)
    {
        IWICMetadataBlockReader* reader = nullptr;
        WORD bits = 0;
        Decimal dpiX(0);
        Decimal dpiY(0);
        try {
            BitmapPtr bitmap(loadBitmap(path, &reader, &bits, &dpiX, &dpiY));
            if (bitmap) {
                EXPECT_EQ(bitmap->GetPixelFormat(), PixelFormat32bppARGB);
                expectWellFormed(bitmap.get());
            }
        } catch (const Exception&) {
            EXPECT_EQ(reader, nullptr);
        }
        if (reader)
            reader->Release();

        Dib dib;
        try {
            if (loadDib(path, dib))
                expectWellFormed(dib);
            else
                EXPECT_TRUE(dib.isEmpty());
        } catch (const Exception&) {
            // Only a file that cannot be opened throws, and these can.
            ADD_FAILURE() << "loadDib threw";
        }

        std::unique_ptr<IImage> image(loadImage(path, true, nullptr, 0));
        if (image) {
            EXPECT_FALSE(image->isEmpty());
            EXPECT_GT(image->width(), 0);
        }

        PictureMetadata metadata;
        UINT frames = 0;
        Dib picture;
        Dib thumbnail;
        try {
            if (readPictureProperties(path, metadata, bits, frames, picture, thumbnail))
                expectWellFormed(picture);
        } catch (const Exception&) {
            // Nothing reads it.
        }
    }

    ScratchFolder folder{L"korvilane-picture-fuzz"};
    KvpReaderSettings lent;
};

} // namespace

TEST_F(PictureFuzz, DamagedFilesOfEveryFormatFailCleanly)
{
    ScratchFolder originals(L"korvilane-picture-fuzz-originals");
    for (const SamplePicture& sample : writeSamples(originals)) {
        SCOPED_TRACE(testing::PrintToString(sample.name));
        std::wstring path = folder.file((L"damaged-" + sample.name).c_str());
        int variant = 0;
        for (const std::vector<BYTE>& bytes : damaged(readBytes(sample.path))) {
            SCOPED_TRACE(variant++);
            writeBytes(path, bytes);
            loadEveryWay(path.c_str());
            if (HasFatalFailure())
                return;
        }
    }
}

TEST_F(PictureFuzz, ClaimsOfSoundSamplesPassAndHostileOnesAreRefusedWithTheReason)
{
    ScratchFolder originals(L"korvilane-picture-fuzz-claims");
    std::vector<SamplePicture> samples = writeSamples(originals);
    for (const SamplePicture& sample : samples)
        EXPECT_TRUE(checkPictureFileClaims(sample.path.c_str())) << testing::PrintToString(sample.name);
    // Some two thousand text chunks besides the picture's own, and a TIFF whose entries hold all their values.
    for (const Bytes& sound : {withChunks(readBytes(originals.file(L"24.png")), 2000), bigEndianTiff()}) {
        StreamPtr stream(streamOf(sound));
        EXPECT_TRUE(checkPictureClaims(stream.get()));
    }
    for (const HostilePicture& hostile : hostilePictures(samples)) {
        StreamPtr stream(streamOf(hostile.bytes));
        SetLastError(0);
        EXPECT_FALSE(checkPictureClaims(stream.get())) << hostile.name;
        EXPECT_EQ(GetLastError(), hostile.refusal) << hostile.name;
    }
    // Text deflated by the platform's own encoder, inflating to just less than the bound, and to just more.
    for (auto [rows, sound] : {std::pair{2600u, true}, {2800u, false}}) {
        Bytes png = readBytes(originals.file(L"24.png"));
        StreamPtr stream(streamOf(withCompressedText(png, "zTXt", deflatedRows(originals.file(L"rows.png"), rows))));
        EXPECT_EQ(checkPictureClaims(stream.get()), sound) << rows;
    }
    // A page chain that loops on a page of 65535 entries is left to the decoder after a bounded look.
    std::vector<BYTE> loop = {'I', 'I', 42, 0, 8, 0, 0, 0, 0xFF, 0xFF};
    loop.resize(10 + 65535 * 12 + 4);
    put(loop, loop.size() - 4, 8, 4);
    StreamPtr looping(streamOf(loop));
    EXPECT_TRUE(checkPictureClaims(looping.get()));
}

// A TGA has no signature to find its claims by: its decoder's frame is refused before any pixel is decoded.
TEST_F(PictureFuzz, FramesBeyondTheSizeLimitAreRefusedOnceTheDecoderTellsTheirSize)
{
    std::vector<BYTE> tga = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x30, 0x75, 0x30, 0x75, 24, 0}; // 30000 x 30000
    tga.resize(tga.size() + 3000, 0x55);
    std::wstring path = folder.file(L"large.tga");
    writeBytes(path, tga);
    try {
        WIC::BitmapFrameDecode frame(wicOpenFrame(path.c_str(), 0, nullptr), true);
        ADD_FAILURE() << "a frame of " << frame.width() << " x " << frame.height();
    } catch (const PictureTooLarge& refused) {
        EXPECT_EQ(refused.getWidth(), 30000);
        EXPECT_EQ(refused.getHeight(), 30000);
    }
    expectRefusedEveryWay(tga);
}

TEST_F(PictureFuzz, HostilePicturesFailEveryLoaderAndLeaveTheProcessRunning)
{
    ScratchFolder originals(L"korvilane-picture-fuzz-claims");
    for (const HostilePicture& hostile : hostilePictures(writeSamples(originals))) {
        SCOPED_TRACE(hostile.name);
        expectRefusedEveryWay(hostile.bytes);
    }
}

// Run-length streams may stop writing rows long before the end of the picture.
TEST_F(PictureFuzz, RunLengthBmpsThatEndEarlyLoadEveryWay)
{
    const std::vector<BYTE> files[] = {
        bmpFile(40, 16, 4, 8, BI_RLE8, runs(1)),
        bmpFile(108, 5, 4, 4, BI_RLE4, {0, 5, 0x12, 0x34, 0x50, 0, 0, 1}),
        bmpFile(40, 255, 40, 8, BI_RLE8, everyRowEnded(40)),
    };
    std::wstring path = folder.file(L"early.bmp");
    for (const std::vector<BYTE>& bytes : files) {
        writeBytes(path, bytes);
        int height = bytes[22];
        BitmapPtr bitmap(loadBitmap(path.c_str(), nullptr, nullptr, nullptr, nullptr));
        ASSERT_TRUE(bitmap) << height;
        EXPECT_EQ(bitmap->GetHeight(), static_cast<UINT>(height));
        Dib dib;
        EXPECT_TRUE(loadDib(path.c_str(), dib) && dib.height() == height);
        std::unique_ptr<IImage> image(loadImage(path.c_str(), true, nullptr, 0));
        EXPECT_TRUE(image && image->height() == height);
        PictureMetadata metadata;
        WORD bits = 0;
        UINT frames = 0;
        Dib thumbnail;
        EXPECT_TRUE(readPictureProperties(path.c_str(), metadata, bits, frames, dib, thumbnail));
    }
}

// Header fields set to values at the edges of what they hold, one to three at a time, on BMPs and icons of the
// forms the decoders take; each variant must end cleanly in every loader.
TEST_F(PictureFuzz, HeadersOfEdgeValuesEndCleanlyInEveryLoader)
{
    using Fields = std::vector<std::pair<size_t, int>>;
    // Width, height, bit count, compression, image size, colours used of an info header at the offset.
    auto infoFields = [](size_t at) {
        return Fields{{at + 4, 4}, {at + 8, 4}, {at + 14, 2}, {at + 16, 4}, {at + 20, 4}, {at + 32, 4}};
    };
    auto bmp = [&](std::vector<BYTE> bytes) {
        Fields fields = bytes[14] == 12 ? Fields{{18, 2}, {20, 2}, {24, 2}} : infoFields(14);
        fields.insert(fields.end(), {{10, 4}, {14, 4}}); // the pixel offset, the header size
        return std::pair(bytes, fields);
    };
    // The directory's count, width, height, byte count and offset, and the picture's header.
    auto icon = [&](std::vector<BYTE> dib) {
        Fields fields = infoFields(22);
        fields.insert(fields.end(), {{4, 2}, {6, 1}, {7, 1}, {14, 4}, {18, 4}, {22, 4}});
        return std::pair(iconOf(dib), fields);
    };
    auto packed = [](std::vector<BYTE> file) { return std::vector<BYTE>(file.begin() + 14, file.end()); };
    const std::pair<std::vector<BYTE>, Fields> forms[] = {
        bmp(bmpFile(40, 16, 4, 8, BI_RLE8, runs(4))),
        bmp(bmpFile(108, 16, 4, 4, BI_RLE4, runs(4))),
        bmp(bmpFile(40, 5, 3, 24, BI_RGB, std::vector<BYTE>(48, 0x80))),
        bmp(bmpFile(12, 5, 3, 8, BI_RGB, std::vector<BYTE>(24, 1))),
        icon(packed(bmpFile(40, 16, 32, 8, BI_RLE8, runs(8)))),
    };
    const DWORD edges[] = {0,          1,          2,      0xFFFFFFFF, 0x7FFFFFFF, 0x80000000, 0xFFFF, 0x10000,
                           0x20000000, 0x40000000, 0x8000, 255,        256,        4,          8,      32};
    UINT32 seed = 77;
    auto next = [&seed] {
        seed = seed * 1664525 + 1013904223;
        return seed >> 8;
    };
    std::wstring path = folder.file(L"edges");
    int form = 0;
    for (const auto& [original, fields] : forms) {
        ++form;
        for (int round = 0; round < 30; ++round) {
            std::vector<BYTE> bytes = original;
            for (int change = 0, changes = 1 + next() % 3; change < changes; ++change) {
                auto [offset, size] = fields[next() % fields.size()];
                put(bytes, offset, edges[next() % std::size(edges)], size);
            }
            SCOPED_TRACE(testing::Message() << "form " << form << ", round " << round);
            writeBytes(path, bytes);
            loadEveryWay(path.c_str());
            if (HasFatalFailure())
                return;
        }
    }
}
