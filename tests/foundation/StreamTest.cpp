#include <gtest/gtest.h>
#include <algorithm>
#include "foundation/Clipboard.h"
#include "foundation/ComMemoryStream.h"
#include "foundation/ComPtr.h"
#include "foundation/File.h"
#include "foundation/FileStream.h"
#include "foundation/StreamConverter.h"
#include "support/StreamTesting.h"
#include "support/cpuTime.h"

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

TEST(ComMemoryStream, TakesAFileInSmallPiecesInLinearTimeAndSeeksResizesAndClonesAsEncodersNeed)
{
    ComPtr<IStream> stream(ComMemoryStream::create());
    ASSERT_TRUE(stream);
    // 16 MB in the 4 KB pieces of an encoder: a stream that grows to the exact size at each write takes seconds.
    constexpr ULONG Piece = 4096;
    constexpr ULONGLONG Size = 16 << 20;
    Bytes piece = binaryData(Piece + 256);
    double start = threadProcessorSeconds();
    for (ULONGLONG at = 0; at < Size; at += Piece) {
        ULONG done = 0;
        ASSERT_EQ(stream.get()->Write(piece.data() + at / Piece % 256, Piece, &done), S_OK);
        ASSERT_EQ(done, Piece);
    }
    EXPECT_LT(threadProcessorSeconds() - start, 0.3) << "seconds for 16 MB";

    auto seek = [&](LONGLONG offset, DWORD origin) {
        LARGE_INTEGER move;
        move.QuadPart = offset;
        ULARGE_INTEGER reached{};
        HRESULT result = stream.get()->Seek(move, origin, &reached);
        return SUCCEEDED(result) ? static_cast<LONGLONG>(reached.QuadPart) : result;
    };
    auto size = [](IStream* of) {
        STATSTG stat{};
        return SUCCEEDED(of->Stat(&stat, STATFLAG_NONAME)) ? stat.cbSize.QuadPart : 0;
    };
    EXPECT_EQ(size(stream.get()), Size);
    EXPECT_EQ(seek(0, STREAM_SEEK_SET), 0);
    Bytes back(Piece);
    bool same = true;
    for (ULONGLONG at = 0; at < Size && same; at += Piece) {
        ULONG done = 0;
        stream.get()->Read(back.data(), Piece, &done);
        same = done == Piece && std::equal(back.begin(), back.end(), piece.begin() + at / Piece % 256);
    }
    EXPECT_TRUE(same) << "the bytes read back";

    // Past the end a read gives nothing, a write fills the gap with zeros; before the start there is nothing.
    ULONG done = 9;
    EXPECT_EQ(seek(10, STREAM_SEEK_END), static_cast<LONGLONG>(Size + 10));
    EXPECT_EQ(stream.get()->Read(back.data(), 4, &done), S_FALSE);
    EXPECT_EQ(done, 0u);
    EXPECT_EQ(stream.get()->Write("ab", 2, &done), S_OK);
    EXPECT_EQ(size(stream.get()), Size + 12);
    EXPECT_EQ(seek(-12, STREAM_SEEK_CUR), static_cast<LONGLONG>(Size));
    stream.get()->Read(back.data(), 12, &done);
    EXPECT_EQ(Bytes(back.begin(), back.begin() + 12), Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 'a', 'b'}));
    EXPECT_EQ(seek(-1, STREAM_SEEK_SET), STG_E_INVALIDFUNCTION);

    // A clone shares the bytes with a position of its own; a smaller size leaves the positions where they were.
    EXPECT_EQ(seek(2, STREAM_SEEK_SET), 2);
    ComPtr<IStream> clone;
    ASSERT_EQ(stream.get()->Clone(clone.out()), S_OK);
    EXPECT_EQ(stream.get()->SetSize(ULARGE_INTEGER{{5, 0}}), S_OK);
    EXPECT_EQ(stream.get()->Write("xyz", 3, &done), S_OK);
    EXPECT_EQ(size(clone.get()), 5u);
    ComPtr<IStream> copy(ComMemoryStream::create());
    ULARGE_INTEGER read{}, written{};
    EXPECT_EQ(clone.get()->CopyTo(copy.get(), ULARGE_INTEGER{{100, 0}}, &read, &written), S_OK);
    EXPECT_EQ(read.QuadPart, 3u);
    EXPECT_EQ(written.QuadPart, 3u);
    EXPECT_EQ(seek(0, STREAM_SEEK_SET), 0);
    copy.get()->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
    copy.get()->Read(back.data(), 3, &done);
    EXPECT_EQ(Bytes(back.begin(), back.begin() + 3), Bytes({'x', 'y', 'z'}));

    // No memory for the bytes refuses them and leaves the stream as it was.
    EXPECT_EQ(stream.get()->SetSize(ULARGE_INTEGER{{0, 1u << 30}}), STG_E_MEDIUMFULL);
    EXPECT_EQ(seek(1LL << 62, STREAM_SEEK_SET), 1LL << 62);
    EXPECT_EQ(stream.get()->Write("ab", 2, &done), STG_E_MEDIUMFULL);
    EXPECT_EQ(done, 0u);
    EXPECT_EQ(size(stream.get()), 5u);
}
