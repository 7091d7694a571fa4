// What the built programs carry in their files: the libraries the loader brings in before their first line
// runs, and the stack checks of their functions.
#include <windows.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>
#include "foundation/stackChecks.h"
#include "support/ProgramCopy.h"
#include "support/fileBytes.h"

namespace {

// Libraries that a file of the same name beside the program cannot stand in for at load time.
const char* const safeAtLoadTime[] = {
    // Known DLLs: the loader maps the system's own copies, whatever lies in the program's folder.
    "advapi32.dll", "comdlg32.dll", "gdi32.dll", "imm32.dll", "kernel32.dll", "msvcrt.dll", "ole32.dll", "oleaut32.dll",
    "rpcrt4.dll", "setupapi.dll", "shell32.dll", "shlwapi.dll", "user32.dll", "ws2_32.dll",
    // Common controls 6 come side by side through the manifest's dependency, from the system's assembly store.
    "comctl32.dll",
    // In every process before the program's own file is even mapped.
    "ntdll.dll"};

bool isSafeAtLoadTime(const char* name)
{
    return std::any_of(std::begin(safeAtLoadTime), std::end(safeAtLoadTime),
                       [&](const char* safe) { return _stricmp(name, safe) == 0; });
}

struct FreeModule {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};

// The libraries of the program's import directory: those loaded with it. The file is mapped as the loader lays
// it out, with nothing of it run or resolved.
std::vector<std::string> loadTimeImports(const std::wstring& program)
{
    std::unique_ptr<std::remove_pointer_t<HMODULE>, FreeModule> image(
        LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (!image)
        return {};
    // The handle of a file mapped this way carries a mark in its low bits.
    const BYTE* base = reinterpret_cast<const BYTE*>(reinterpret_cast<ULONG_PTR>(image.get()) & ~ULONG_PTR{3});
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS64*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    DWORD rva = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    std::vector<std::string> names;
    for (const auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + rva); rva && entry->Name; ++entry)
        names.emplace_back(reinterpret_cast<const char*>(base + entry->Name));
    return names;
}

bool contains(const Bytes& bytes, const void* data, size_t size)
{
    const auto* begin = static_cast<const BYTE*>(data);
    return std::search(bytes.begin(), bytes.end(), begin, begin + size) != bytes.end();
}

} // namespace

// A library outside that list, imported at load time, would be taken from the program's folder (a downloads
// folder) before the program can restrict the search; the others are loaded on their first call, from the system
// folder. The stack cookie is in the file only when functions check it, and each start draws a new one (as it
// did in this test program, built alike).
TEST(BuiltPrograms, ImportOnlySystemMappedLibrariesAndCheckTheirStack)
{
    for (const std::wstring& program : {builtKorvilaneProgram(), builtPlayer()}) {
        SCOPED_TRACE(testing::PrintToString(program));
        std::vector<std::string> imports = loadTimeImports(program);
        EXPECT_FALSE(imports.empty());
        for (const std::string& name : imports)
            EXPECT_TRUE(isSafeAtLoadTime(name.c_str())) << name << " is loaded with the program";
        EXPECT_TRUE(contains(readBytes(program), &stackGuardInFile, sizeof stackGuardInFile));
    }
    EXPECT_NE(__stack_chk_guard, stackGuardInFile);
}
