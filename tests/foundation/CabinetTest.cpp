#include <gtest/gtest.h>
#include <thread>
#include "foundation/Cabinet.h"
#include "foundation/ResourceLoader.h"
#include "foundation/StringResource.h"
#include "imaging/ComStream.h"
#include "support/ComTesting.h"
#include "support/ExpectCode.h"
#include "support/fileBytes.h"

namespace {

// The test program's own module, with a reference of the loader's own.
HMODULE loadSelf()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return LoadLibraryW(path);
}

Bytes resourceBytes(int id)
{
    DWORD size = 0;
    auto bytes = static_cast<const BYTE*>(
        ResourceLoader::lock(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), L"Bin", size));
    return Bytes(bytes, bytes + size);
}

// The archive as the program gets it: written into a memory stream, whose position is then at its end.
IStream* loadArchive()
{
    ResourceLoader loader(loadSelf());
    OutputComStream archive;
    archive.create();
    EXPECT_EQ(loader.loadBin(archive), resourceBytes(5001).size());
    return archive.detach();
}

IStream* streamOf(const char* text)
{
    OutputComStream stream;
    stream.create();
    stream.write(text, lstrlenA(text));
    return stream.detach();
}

Bytes contents(IStream* stream)
{
    STATSTG status{};
    stream->Stat(&status, STATFLAG_NONAME);
    LARGE_INTEGER zero{};
    ULARGE_INTEGER position{};
    stream->Seek(zero, STREAM_SEEK_CUR, &position);
    // The extraction hands the stream over at its end.
    EXPECT_EQ(position.QuadPart, status.cbSize.QuadPart);
    Bytes bytes(static_cast<size_t>(status.cbSize.QuadPart));
    rewindComStream(stream);
    ULONG read = 0;
    stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
    bytes.resize(read);
    return bytes;
}

Bytes extract(IStream* archive)
{
    IStream* member = extractCabinet(archive);
    Bytes bytes = contents(member);
    member->Release();
    return bytes;
}

} // namespace

TEST(Cabinet, TheEmbeddedArchiveGivesItsMemberByteForByte)
{
    ComApartment apartment;
    Bytes original = resourceBytes(5002);
    ASSERT_GT(original.size(), 40000u);
    InputComStream archive(loadArchive());
    EXPECT_EQ(extract(archive.get()), original);
    // The archive is read from its start again.
    EXPECT_EQ(extract(archive.get()), original);
}

TEST(Cabinet, WhatIsNoWholeCabinetFailsAndFreesTheLock)
{
    ComApartment apartment;
    InputComStream notCabinet(streamOf("MSCF but not a cabinet archive at all"));
    expectCode(E_FAIL, [&] { extractCabinet(notCabinet.get()); });
    InputComStream empty(streamOf(""));
    expectCode(E_FAIL, [&] { extractCabinet(empty.get()); });
    expectCode(ERROR_INVALID_PARAMETER, [] { extractCabinet(nullptr); });
    Bytes whole = resourceBytes(5001);
    OutputComStream cut;
    cut.create();
    cut.write(whole.data(), static_cast<DWORD>(whole.size() / 2));
    InputComStream cutArchive(cut.detach());
    expectCode(E_FAIL, [&] { extractCabinet(cutArchive.get()); });

    InputComStream archive(loadArchive());
    EXPECT_EQ(extract(archive.get()), resourceBytes(5002));
}

TEST(Cabinet, ExtractionsOnTwoThreadsBothSucceed)
{
    Bytes original = resourceBytes(5002);
    Bytes results[2];
    auto work = [&](Bytes& result) {
        ComApartment apartment;
        for (int round = 0; round < 5; ++round) {
            InputComStream archive(loadArchive());
            result = extract(archive.get());
            if (result != original)
                return;
        }
    };
    std::thread first(work, std::ref(results[0]));
    std::thread second(work, std::ref(results[1]));
    first.join();
    second.join();
    EXPECT_EQ(results[0], original);
    EXPECT_EQ(results[1], original);
}

TEST(ResourceLoader, WithoutModuleOrArchiveItFails)
{
    OutputComStream sink;
    ComApartment apartment;
    sink.create();
    ResourceLoader none(nullptr);
    expectCode(ERROR_INVALID_FUNCTION, [&] { none.loadBin(sink); });
    ResourceLoader system(LoadLibraryW(L"kernel32.dll"));
    EXPECT_NE(thrownCode([&] { system.loadBin(sink); }), -1);
}
