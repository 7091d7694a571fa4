#include <gtest/gtest.h>
#include "foundation/Clipboard.h"
#include "foundation/File.h"
#include "foundation/FileStream.h"
#include "foundation/StreamConverter.h"
#include "support/StreamTesting.h"

namespace {

// Every byte value, zeros included, as picture data holds them.
Bytes binaryData(int size)
{
    Bytes bytes(size);
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<BYTE>(i * 7);
    return bytes;
}

// Records each count it is asked for.
class RecordingInput : public BytesIn {
public:
    RecordingInput() : BytesIn(binaryData(5000)) {}
    DWORD read(void* buffer, DWORD count, bool& endOfData) override
    {
        asked.push_back(count);
        return BytesIn::read(buffer, count, endOfData);
    }
    std::vector<DWORD> asked;
};

} // namespace

TEST(File, AppendsTruncatesAndReportsMissingFiles)
{
    ScratchFolder folder;
    std::wstring path = folder.file(L"log.txt");
    writeBytes(path, {'a', 'b'});
    File file;
    ASSERT_TRUE(file.open(path.c_str(), File::AppendShareRead));
    DWORD done = 0;
    WriteFile(file.getHandle(), "c", 1, &done, nullptr);
    file.close();
    EXPECT_EQ(readBytes(path), (Bytes{'a', 'b', 'c'}));
    ASSERT_TRUE(file.open(path.c_str(), File::WriteShareRead));
    file.close();
    EXPECT_TRUE(readBytes(path).empty());

    EXPECT_FALSE(file.open(folder.file(L"missing.txt").c_str(), File::Read));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(file.isOpen());
}

TEST(FileStream, BinaryDataRoundTripsAndAShortReadIsZeroFilled)
{
    ScratchFolder folder;
    std::wstring path = folder.file(L"picture.bin");
    Bytes data = binaryData(600);
    {
        OutputFileStream out(path.c_str());
        EXPECT_EQ(out.write(data.data(), 600), 600u);
        // Written exclusively: no one may read meanwhile.
        EXPECT_TRUE(readBytes(path).empty());
    }
    InputFileStream in(path.c_str());
    Bytes buffer(1000, 0xCC);
    bool endOfData = false;
    EXPECT_EQ(in.read(buffer.data(), 1000, endOfData), 600u);
    EXPECT_TRUE(endOfData);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 600), data);
    EXPECT_EQ(Bytes(buffer.begin() + 600, buffer.end()), Bytes(400, 0));
}

TEST(FileStream, MissingFilesAndClosedStreamsThrow)
{
    ScratchFolder folder;
    std::wstring missing = folder.file(L"missing.bin");
    EXPECT_EQ(thrownCode([&] { InputFileStream in(missing.c_str()); }), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(thrownCode([&] { OutputFileStream out(folder.file(L"none\\out.bin").c_str()); }), ERROR_PATH_NOT_FOUND);

    std::wstring present = folder.file(L"present.bin");
    writeBytes(present, {1});
    InputFileStream in(present.c_str());
    EXPECT_EQ(thrownCode([&] { in.open(missing.c_str()); }), ERROR_FILE_NOT_FOUND);
    BYTE byte = 0;
    bool endOfData = false;
    EXPECT_EQ(thrownCode([&] { in.read(&byte, 1, endOfData); }), ERROR_INVALID_HANDLE);
}

TEST(MemoryStream, BinaryDataWithZeroBytesPassesWhole)
{
    Bytes data = binaryData(5000);
    BytesIn in(data);
    BytesOut out;
    EXPECT_EQ(StreamConverter(0, 1024).convert(in, out), 5000);
    EXPECT_EQ(out.bytes(), data);
}

TEST(InputMemoryStream, ReadsInPiecesAndFlagsTheEnd)
{
    BytesIn in({'x', 0, 'z'});
    BYTE buffer[2] = {0xCC, 0xCC};
    bool endOfData = true;
    EXPECT_EQ(in.read(buffer, 2, endOfData), 2u);
    EXPECT_FALSE(endOfData);
    EXPECT_EQ(in.read(buffer, 2, endOfData), 1u);
    EXPECT_TRUE(endOfData);
    EXPECT_EQ(buffer[0], 'z');
    EXPECT_EQ(buffer[1], 0);
    EXPECT_EQ(in.read(buffer, 2, endOfData), 0u);
    EXPECT_TRUE(endOfData);
}

TEST(MemoryStream, UseBeforeOpenThrows1AndNullBuffersThrow87)
{
    BYTE byte = 0;
    bool endOfData = false;
    InputMemoryStream in;
    EXPECT_EQ(thrownCode([&] { in.read(&byte, 1, endOfData); }), ErrorCode::InvalidState);
    EXPECT_EQ(thrownCode([&] { in.open(nullptr, 0); }), ErrorCode::InvalidArgument);
    in.open(&byte, 1);
    EXPECT_EQ(thrownCode([&] { in.read(nullptr, 1, endOfData); }), ErrorCode::InvalidArgument);
    in.close();
    EXPECT_EQ(thrownCode([&] { in.read(&byte, 1, endOfData); }), ErrorCode::InvalidState);

    OutputMemoryStream out;
    EXPECT_EQ(thrownCode([&] { out.write(&byte, 1); }), ErrorCode::InvalidState);
    EXPECT_EQ(thrownCode([&] { out.flush(); }), ErrorCode::InvalidState);
    EXPECT_EQ(thrownCode([&] { out.getText(); }), ErrorCode::InvalidState);
    out.open();
    EXPECT_EQ(thrownCode([&] { out.write(nullptr, 1); }), ErrorCode::InvalidArgument);
}

TEST(OutputMemoryStream, GrowsByWholeStepsAndReadsTextOnlyFromItsBytes)
{
    BytesOut out;
    Bytes more = binaryData(1030);
    out.write("\0", 1);
    EXPECT_EQ(out.getCapacity(), 1024);
    out.write(more.data(), 1030);
    EXPECT_EQ(out.getLength(), 1031);
    EXPECT_EQ(out.getCapacity(), 2048);
    more.insert(more.begin(), 0);
    EXPECT_EQ(out.bytes(), more);

    // Text ends at a zero unit or with the data; a lone trailing byte is no unit.
    BytesOut text;
    text.write(L"ab\0c", 8);
    EXPECT_STREQ(text.getText().buffer(), L"ab");
    text.open();
    text.write(L"xyz", 6);
    text.write("A", 1);
    EXPECT_STREQ(text.getText().buffer(), L"xyz");
}

TEST(StreamConverter, StopsAtTheLimitInChunks)
{
    RecordingInput in;
    BytesOut out;
    EXPECT_EQ(StreamConverter(2500, 1024).convert(in, out), 2500);
    EXPECT_EQ(in.asked, (std::vector<DWORD>{1024, 1024, 452}));
    EXPECT_EQ(out.bytes(), Bytes(binaryData(2500)));
}

TEST(Clipboard, PutsUnicodeTextOnlyIntoAnOpenClipboard)
{
    EXPECT_FALSE(setClipboardText(nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(setClipboardText(L"closed"));

    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_TRUE(setClipboardText(L"漢字 abc"));
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(data, nullptr);
    EXPECT_STREQ(static_cast<const wchar_t*>(GlobalLock(data)), L"漢字 abc");
    GlobalUnlock(data);
    CloseClipboard();
}
