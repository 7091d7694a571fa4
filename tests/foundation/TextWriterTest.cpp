#include <gtest/gtest.h>
#include "foundation/OutputTextFileStream.h"
#include "foundation/TextWriter.h"
#include "support/StreamTesting.h"

namespace {

// Counts the writes that reach it, to see that a line goes out in one piece.
class CountingOutput : public BytesOut {
public:
    DWORD write(const void* bytes, DWORD count) override
    {
        ++writes;
        return BytesOut::write(bytes, count);
    }
    int writes = 0;
};

// Closes the stream it was given, so that no bytes are left to pass on.
class ClosingConverter : public Utf8Converter {
public:
    int encodeText(const wchar_t*, OutputStream& out) override
    {
        out.close();
        return 0;
    }
};

} // namespace

TEST(TextWriter, WritesUnitsWithoutConverterAndEncodedBytesWithOne)
{
    BytesOut plain;
    TextWriter writer(&plain, nullptr, false, false);
    EXPECT_EQ(writer.write(L""), 0);
    EXPECT_EQ(writer.write(L"ab"), 4);
    EXPECT_EQ(writer.writeBom(), 0);
    EXPECT_EQ(plain.bytes(), (Bytes{'a', 0, 'b', 0}));

    auto counting = new CountingOutput();
    TextWriter utf8(counting, new Utf8Converter(), true, true);
    EXPECT_EQ(utf8.writeBom(), 3);
    utf8.writeLine(L"漢");
    EXPECT_EQ(counting->writes, 2);
    EXPECT_EQ(counting->bytes(), (Bytes{0xEF, 0xBB, 0xBF, 0xE6, 0xBC, 0xA2, '\r', '\n'}));

    BytesOut out;
    TextWriter broken(&out, new ClosingConverter(), false, true);
    EXPECT_EQ(thrownCode([&] { broken.write(L"x"); }), ErrorCode::InvalidState);
}

TEST(OutputTextFileStream, WritesTheMarkAndTextInItsEncodingWhileOthersRead)
{
    ScratchFolder folder;
    std::wstring path = folder.file(L"log.txt");
    writeBytes(path, {'o', 'l', 'd'});
    {
        OutputTextFileStream log(path.c_str());
        log.setConverter(new Utf8Converter());
        EXPECT_EQ(log.writeBom(), 3);
        EXPECT_EQ(log.write(L"ab"), 2);
        EXPECT_EQ(readBytes(path), (Bytes{0xEF, 0xBB, 0xBF, 'a', 'b'}));
        log.setConverter(nullptr);
        EXPECT_EQ(log.write(L"c"), 2);
    }
    EXPECT_EQ(readBytes(path), (Bytes{0xEF, 0xBB, 0xBF, 'a', 'b', 'c', 0}));
}
