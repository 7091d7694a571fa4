// Truncated and corrupted BMP data must fail cleanly: false, an empty Dib, never a read past the data.
#include <gtest/gtest.h>
#include <climits>
#include <cstring>
#include "imaging/Dib.h"
#include "support/ImagingTestSupport.h"

namespace {

std::vector<BYTE> bmpOf(int bits)
{
    Dib dib;
    dib.create(5, 3, bits, RGB(200, 100, 50));
    StreamPtr stream(dib.toStream());
    return bytesOf(stream.get());
}

// The 4 x 2 RLE8 picture of the Dib tests.
std::vector<BYTE> rleBmp()
{
    return {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 66, 0, 0, 0, 40, 0, 0, 0, 4, 0, 0, 0, 2, 0, 0, 0, 1, 0, 8, 0, 1, 0, 0,
            0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0,
            4, 1, 0, 0, 2, 2, 2, 0, 0, 1};
}

std::vector<std::vector<BYTE>> samples()
{
    return {bmpOf(1), bmpOf(4), bmpOf(8), bmpOf(16), bmpOf(24), bmpOf(32), rleBmp()};
}

void put32(std::vector<BYTE>& bytes, size_t offset, DWORD value)
{
    std::memcpy(&bytes[offset], &value, sizeof(value));
}

void put16(std::vector<BYTE>& bytes, size_t offset, WORD value)
{
    std::memcpy(&bytes[offset], &value, sizeof(value));
}

// The RLE8 picture with another stream.
std::vector<BYTE> rleBmpWith(const std::vector<BYTE>& stream)
{
    std::vector<BYTE> bytes = rleBmp();
    bytes.resize(66);
    bytes.insert(bytes.end(), stream.begin(), stream.end());
    put32(bytes, 34, static_cast<DWORD>(stream.size()));
    return bytes;
}

// A load either holds a picture whose pixels lie inside its own section, or fails and leaves nothing.
void expectCleanOutcome(bool loaded, const Dib& dib)
{
    if (!loaded) {
        EXPECT_TRUE(dib.isEmpty());
        // Malformed data, or a size that no block of memory can hold.
        DWORD error = GetLastError();
        EXPECT_TRUE(error == ERROR_INVALID_PARAMETER || error == ERROR_NOT_ENOUGH_MEMORY) << error;
        return;
    }
    ASSERT_FALSE(dib.isEmpty());
    EXPECT_GT(dib.width(), 0);
    EXPECT_GT(dib.height(), 0);
    EXPECT_EQ(dib.imageSize(), dib.stride() * dib.height());
    GdiFlush();
    volatile BYTE last = dib.getBits()[dib.imageSize() - 1];
    (void)last;
}

class BmpFuzz : public testing::Test {
protected:
    // Loads the bytes through a file and through a stream; both must end cleanly.
    void load(const std::vector<BYTE>& bytes, bool expectFailure, bool expectStreamFailure)
    {
        writeBytes(path, bytes);
        Dib fromFile;
        SetLastError(0);
        bool loaded = fromFile.loadBmpFile(openForReading(path));
        if (expectFailure) {
            EXPECT_FALSE(loaded);
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
        }
        expectCleanOutcome(loaded, fromFile);

        StreamPtr stream(streamOf(bytes));
        Dib fromStream;
        SetLastError(0);
        loaded = fromStream.loadFromStream(stream.get());
        if (expectStreamFailure) {
            EXPECT_FALSE(loaded);
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
        }
        expectCleanOutcome(loaded, fromStream);
    }

    ScratchFolder folder{L"bmp-fuzz"};
    std::wstring path = folder.file(L"fuzz.bmp");
};

} // namespace

TEST_F(BmpFuzz, EveryTruncationFails)
{
    for (const std::vector<BYTE>& sample : samples()) {
        for (size_t size = 0; size < sample.size(); ++size) {
            SCOPED_TRACE(testing::Message() << sample.size() << " bytes cut to " << size);
            load(std::vector<BYTE>(sample.begin(), sample.begin() + size), true, true);
        }
    }
}

TEST_F(BmpFuzz, HostileHeaderFieldsFail)
{
    struct Field {
        size_t offset;
        int bytes;
        DWORD value;
    };
    const Field fields[] = {
        {14, 4, 0},          {14, 4, 12},         {14, 4, 39},         {14, 4, 125},        {14, 4, 0xFFFFFFFF},
        {14, 4, 0x7FFFFFF0}, {18, 4, 0},          {18, 4, 0xFFFFFFFF}, {18, 4, 0x7FFFFFFF}, {18, 4, 0x10000},
        {22, 4, 0},          {22, 4, 0x80000000}, {22, 4, 0x7FFFFFFF}, {22, 4, 0x80000001}, {28, 2, 0},
        {28, 2, 2},          {28, 2, 64},         {28, 2, 0xFFFF},     {30, 4, 4},          {30, 4, 5},
        {30, 4, 99},         {46, 4, 257},        {46, 4, 0xFFFFFFFF}, {46, 4, 0x10000},    {10, 4, 0xFFFFFFFF},
        {10, 4, 0x7FFFFFFF}, {10, 4, 1000},       {26, 2, 0},          {26, 2, 2},
    };
    for (const std::vector<BYTE>& sample : samples()) {
        for (const Field& field : fields) {
            SCOPED_TRACE(testing::Message() << sample.size() << " bytes, offset " << field.offset << " = "
                                            << field.value);
            std::vector<BYTE> bytes = sample;
            if (field.bytes == 4)
                put32(bytes, field.offset, field.value);
            else
                put16(bytes, field.offset, static_cast<WORD>(field.value));
            // A wide run-length picture is sound: its rows simply end early.
            bool sound = sample == rleBmp() && field.offset == 18 && field.value == 0x10000;
            load(bytes, !sound, !sound);
        }
    }
}

TEST_F(BmpFuzz, WrongCompressionForTheDepthAndOversizedRunLengthDataFail)
{
    std::vector<BYTE> bytes = bmpOf(24);
    put32(bytes, 30, BI_BITFIELDS);
    load(bytes, true, true);
    bytes = bmpOf(24);
    put32(bytes, 30, BI_RLE8);
    load(bytes, true, true);

    bytes = rleBmp();
    put32(bytes, 34, 11); // one byte more run-length data than the file holds
    load(bytes, true, true);
    bytes = rleBmp();
    put32(bytes, 22, static_cast<DWORD>(-2)); // run-length pictures cannot be top-down
    load(bytes, true, true);
}

// A stream may leave rows unwritten, but one that stops inside the picture is refused before a section of the
// picture's size is made.
TEST_F(BmpFuzz, RunLengthStreamsMustEndThePictureOrLeaveIt)
{
    const std::vector<BYTE> whole[] = {
        {4, 1, 0, 1},             // the end after the first row
        {4, 1, 0, 2, 0, 5},       // a move out of the picture
        {4, 1, 0, 0, 4, 2, 0, 0}, // every row ended
        {6, 1, 0, 1, 9, 9},       // a run past the width, bytes after the end
        {0, 3, 1, 2, 1, 0, 0, 1}, // pixels one by one, padded
    };
    const std::vector<BYTE> broken[] = {
        {},
        {4, 1},
        {4, 1, 0, 0, 2, 2, 2, 0},
        {4, 1, 0, 0, 2, 2, 2, 0, 0},
        {4, 1, 0, 2, 1},
        {4, 1, 0, 0, 0, 4, 2},
        {4, 1, 0, 0, 0, 3, 2, 2, 2, 0},
    };
    for (const std::vector<BYTE>& stream : whole) {
        writeBytes(path, rleBmpWith(stream));
        EXPECT_TRUE(Dib().loadBmpFile(openForReading(path))) << testing::PrintToString(stream);
    }
    for (const std::vector<BYTE>& stream : broken) {
        SCOPED_TRACE(testing::PrintToString(stream));
        load(rleBmpWith(stream), true, true);
    }
    // The header says that the stream ends before its end of the picture.
    std::vector<BYTE> bytes = rleBmp();
    put32(bytes, 34, 8);
    load(bytes, true, true);
    // Rows that only a full-size section could hold, and data for none of them.
    bytes = rleBmpWith({4, 1, 0, 0});
    put32(bytes, 22, 0x01000000);
    load(bytes, true, true);
}

TEST_F(BmpFuzz, RandomCorruptionEndsCleanly)
{
    unsigned int seed = 12345;
    auto next = [&seed]() {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7FFF;
    };
    for (const std::vector<BYTE>& sample : samples()) {
        for (int round = 0; round < 60; ++round) {
            std::vector<BYTE> bytes = sample;
            int flips = 1 + next() % 4;
            for (int i = 0; i < flips; ++i)
                bytes[next() % std::min<size_t>(bytes.size(), 70)] = static_cast<BYTE>(next());
            SCOPED_TRACE(testing::Message() << "round " << round);
            load(bytes, false, false);
        }
    }
}

TEST(Dib, PackedDibNeedsItsWholeSize)
{
    std::vector<BYTE> file = bmpOf(8);
    std::vector<BYTE> packed(file.begin() + 14, file.end());
    Dib dib;
    ASSERT_TRUE(dib.loadPackedDib(reinterpret_cast<const BITMAPINFO*>(packed.data()), static_cast<DWORD>(packed.size())));
    EXPECT_EQ(dib.width(), 5);
    EXPECT_EQ(dibIndex(dib, 4, 2), dibIndex(dib, 0, 0));
    EXPECT_FALSE(dib.loadPackedDib(reinterpret_cast<const BITMAPINFO*>(packed.data()),
                                   static_cast<DWORD>(packed.size() - 1)));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_TRUE(dib.isEmpty());
    EXPECT_FALSE(dib.loadPackedDib(nullptr, 100));
}
