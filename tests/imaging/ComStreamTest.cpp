#include <gtest/gtest.h>
#include <vector>
#include "imaging/ComStream.h"
#include "support/ExpectCode.h"

namespace {

using Bytes = std::vector<BYTE>;

// Every byte value, zeros included, as picture data holds them.
Bytes binaryData(int size)
{
    Bytes bytes(size);
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<BYTE>(i * 7 + 3);
    return bytes;
}

IStream* streamHolding(const Bytes& bytes)
{
    OutputComStream out;
    out.create();
    EXPECT_EQ(out.write(bytes.data(), static_cast<DWORD>(bytes.size())), bytes.size());
    IStream* stream = out.detach();
    EXPECT_EQ(out.get(), nullptr);
    rewindComStream(stream);
    return stream;
}

} // namespace

TEST(ComStream, BinaryDataPassesThroughWhole)
{
    Bytes data = binaryData(3000);
    InputComStream in(streamHolding(data));
    Bytes buffer(2000, 0xCC);
    bool endOfData = true;
    EXPECT_EQ(in.read(buffer.data(), 2000, endOfData), 2000u);
    EXPECT_FALSE(endOfData);
    EXPECT_EQ(buffer, Bytes(data.begin(), data.begin() + 2000));

    // The short read leaves zeros after the data and reports the end.
    EXPECT_EQ(in.read(buffer.data(), 2000, endOfData), 1000u);
    EXPECT_TRUE(endOfData);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 1000), Bytes(data.begin() + 2000, data.end()));
    EXPECT_EQ(Bytes(buffer.begin() + 1000, buffer.end()), Bytes(1000, 0));

    EXPECT_EQ(in.seek(0, STREAM_SEEK_END), 3000u);
    EXPECT_EQ(in.seek(-10, STREAM_SEEK_CUR), 2990u);
    in.rewind();
    EXPECT_EQ(in.read(buffer.data(), 3, endOfData), 3u);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 3), Bytes(data.begin(), data.begin() + 3));
}

TEST(ComStream, ReadOfNothingLeavesTheBufferAlone)
{
    InputComStream in(streamHolding(binaryData(4)));
    Bytes buffer(4, 0xCC);
    bool endOfData = true;
    EXPECT_EQ(in.read(buffer.data(), 0, endOfData), 0u);
    EXPECT_FALSE(endOfData);
    EXPECT_EQ(buffer, Bytes(4, 0xCC));
    expectCode(ErrorCode::InvalidArgument, [&] { in.read(nullptr, 4, endOfData); });
}

TEST(ComStream, EmptyWrappersThrowInvalidState)
{
    InputComStream in;
    bool endOfData = false;
    char byte = 0;
    expectCode(ErrorCode::InvalidState, [&] { in.read(&byte, 1, endOfData); });
    expectCode(ErrorCode::InvalidState, [&] { in.rewind(); });
    expectCode(ErrorCode::InvalidState, [&] { in.seek(0, STREAM_SEEK_END); });
    in.close();

    OutputComStream out;
    expectCode(ErrorCode::InvalidState, [&] { out.write("x", 1); });
    expectCode(ErrorCode::InvalidState, [&] { out.flush(); });
    EXPECT_EQ(out.detach(), nullptr);
    out.create();
    out.flush();
    expectCode(ErrorCode::InvalidArgument, [&] { out.write(nullptr, 1); });
    out.close();
    expectCode(ErrorCode::InvalidState, [&] { out.flush(); });

    expectCode(ErrorCode::InvalidArgument, [] { rewindComStream(nullptr); });
}

TEST(ComStream, CreatingAgainStartsEmptyAndTheWrapperOwnsItsReference)
{
    OutputComStream out;
    out.create();
    out.write("abc", 3);
    IStream* first = out.get();
    first->AddRef();
    out.create();
    // Only the reference taken above is left on the first stream.
    EXPECT_EQ(first->Release(), 0u);

    STATSTG stat = {};
    ASSERT_EQ(out.get()->Stat(&stat, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(stat.cbSize.QuadPart, 0u);

    IStream* taken = out.detach();
    InputComStream in;
    in.attach(taken);
    taken->AddRef();
    in.close();
    EXPECT_EQ(in.get(), nullptr);
    EXPECT_EQ(taken->Release(), 0u);
}
