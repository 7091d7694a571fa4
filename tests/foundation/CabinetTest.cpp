#include <gtest/gtest.h>
#include <thread>
#include "PlantedLibrary.h"
#include "foundation/Cabinet.h"
#include "foundation/LibrarySearch.h"
#include "foundation/LoadedLibrary.h"
#include "foundation/ResourceLoader.h"
#include "foundation/StringResource.h"
#include "imaging/ComStream.h"
#include "support/ComTesting.h"
#include "support/ExpectCode.h"
#include "support/ScratchFolder.h"
#include "support/fileBytes.h"

namespace {

std::wstring moduleFileName(HMODULE module)
{
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    return std::wstring(path, length);
}

// The test program's own module, with a reference of the loader's own.
HMODULE loadSelf()
{
    return LoadLibraryW(moduleFileName(nullptr).c_str());
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

namespace {

const wchar_t plantedChildVariable[] = L"KORVILANE_PLANTED_CHILD";

std::wstring folderOf(const std::wstring& path)
{
    return path.substr(0, path.rfind(L'\\'));
}

// Signalled once the planted library has run in this process.
class PlantedLibraryWatch {
public:
    PlantedLibraryWatch()
        : event(CreateEventW(nullptr, TRUE, FALSE, plantedLibraryEventName(GetCurrentProcessId()).c_str()))
    {
    }
    PlantedLibraryWatch(const PlantedLibraryWatch&) = delete;
    PlantedLibraryWatch& operator=(const PlantedLibraryWatch&) = delete;
    ~PlantedLibraryWatch() { CloseHandle(event); }
    bool loaded() const { return WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }

private:
    HANDLE event;
};

// The exit code of the program's PlantedCabinet tests, run in the folder as the current one; -2 when it could
// not start.
DWORD runPlantedTests(const std::wstring& program, const std::wstring& currentFolder)
{
    std::wstring line = L"\"" + program + L"\" --gtest_filter=PlantedCabinet.*";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    SetEnvironmentVariableW(plantedChildVariable, L"1");
    BOOL started = CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  currentFolder.c_str(), &startup, &process);
    SetEnvironmentVariableW(plantedChildVariable, nullptr);
    if (!started)
        return static_cast<DWORD>(-2);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

// Wine runs its built-in cabinet.dll in place of any file of that name, planted or not. Told to prefer files for
// one program, it runs the planted library wherever Windows would, so the test sees what Windows would do.
class FilesBeforeBuiltInsUnderWine {
public:
    explicit FilesBeforeBuiltInsUnderWine(const wchar_t* programName)
        : programKey(std::wstring(L"Software\\Wine\\AppDefaults\\") + programName)
    {
        HKEY overrides = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, (programKey + L"\\DllOverrides").c_str(), 0, nullptr, 0,
                            KEY_SET_VALUE, nullptr, &overrides, nullptr) != ERROR_SUCCESS)
            return;
        const wchar_t order[] = L"native,builtin";
        RegSetValueExW(overrides, L"cabinet", 0, REG_SZ, reinterpret_cast<const BYTE*>(order), sizeof(order));
        RegCloseKey(overrides);
    }
    FilesBeforeBuiltInsUnderWine(const FilesBeforeBuiltInsUnderWine&) = delete;
    FilesBeforeBuiltInsUnderWine& operator=(const FilesBeforeBuiltInsUnderWine&) = delete;
    ~FilesBeforeBuiltInsUnderWine() { RegDeleteTreeW(HKEY_CURRENT_USER, programKey.c_str()); }

private:
    std::wstring programKey;
};

bool isPlantedChild()
{
    return GetEnvironmentVariableW(plantedChildVariable, nullptr, 0) > 0;
}

} // namespace

// A "cabinet.dll" planted beside a copy of this program and in the folder it is started from, and another
// library only in that folder: the PlantedCabinet tests below then run in the copy.
TEST(Cabinet, ALibraryPlantedBesideTheProgramOrInItsCurrentFolderIsNeverLoaded)
{
    ScratchFolder programFolder(L"korvilane-planted-program");
    ScratchFolder currentFolder(L"korvilane-planted-current");
    std::wstring program = programFolder.file(L"planted-host.exe");
    FilesBeforeBuiltInsUnderWine filesFirst(L"planted-host.exe");
    ASSERT_TRUE(CopyFileW(moduleFileName(nullptr).c_str(), program.c_str(), FALSE));
    std::wstring planted = folderOf(moduleFileName(nullptr)) + L"\\planted_library.dll";
    std::wstring places[] = {programFolder.file(L"cabinet.dll"), currentFolder.file(L"cabinet.dll"),
                             currentFolder.file(L"korvilane-planted.dll")};
    for (const std::wstring& place : places)
        ASSERT_TRUE(CopyFileW(planted.c_str(), place.c_str(), FALSE)) << testing::PrintToString(place);
    EXPECT_EQ(runPlantedTests(program, folderOf(places[1])), 0u);
}

TEST(PlantedCabinet, ExtractionTakesTheSystemLibrary)
{
    if (!isPlantedChild())
        GTEST_SKIP() << "runs in a copy of the program with a library planted beside it";
    PlantedLibraryWatch watch;
    {
        ComApartment apartment;
        InputComStream archive(loadArchive());
        EXPECT_EQ(extract(archive.get()), resourceBytes(5002));
        wchar_t system[MAX_PATH];
        GetSystemDirectoryW(system, MAX_PATH);
        LoadedLibrary cabinet = LoadedLibrary::fromSystemFolder(L"cabinet.dll");
        EXPECT_EQ(CompareStringOrdinal(moduleFileName(cabinet.get()).c_str(), -1,
                                       (std::wstring(system) + L"\\cabinet.dll").c_str(), -1, TRUE),
                  CSTR_EQUAL)
            << testing::PrintToString(moduleFileName(cabinet.get()));
    }
    EXPECT_FALSE(watch.loaded());
    // A load by bare name runs the planted library, and the watch sees it.
    LoadedLibrary byBareName(L"cabinet.dll");
    EXPECT_TRUE(watch.loaded()) << testing::PrintToString(moduleFileName(byBareName.get()));
}

TEST(PlantedCabinet, ARestrictedSearchSkipsTheCurrentFolderButNotTheSystemOne)
{
    if (!isPlantedChild())
        GTEST_SKIP() << "runs in a copy of the program with a library planted beside it";
    {
        LoadedLibrary beforeRestriction(L"korvilane-planted.dll");
        ASSERT_NE(beforeRestriction.get(), nullptr);
    }
    restrictLibrarySearch();
    EXPECT_EQ(LoadedLibrary(L"korvilane-planted.dll").get(), nullptr);

    PlantedLibraryWatch watch;
    ComApartment apartment;
    InputComStream archive(loadArchive());
    EXPECT_EQ(extract(archive.get()), resourceBytes(5002));
    EXPECT_FALSE(watch.loaded());
}
