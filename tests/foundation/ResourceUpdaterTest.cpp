#include <gtest/gtest.h>
#include <string>
#include "foundation/MemoryStream.h"
#include "foundation/ResourceLoader.h"
#include "foundation/ResourceUpdater.h"
#include "support/ComTesting.h"
#include "support/ExpectCode.h"
#include "support/ScratchFolder.h"
#include "support/fileBytes.h"

namespace {

// A resource of the program file; "" when it has none.
std::string resourceOf(const std::wstring& path, const wchar_t* type, const wchar_t* name)
{
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return "(no module)";
    std::string bytes;
    try {
        DWORD size = 0;
        auto data = static_cast<const char*>(ResourceLoader::lock(module, name, type, size));
        bytes.assign(data, size);
    } catch (const Exception&) {
    }
    FreeLibrary(module);
    return bytes;
}

class ResourceUpdaterTest : public testing::Test {
protected:
    void SetUp() override
    {
        wchar_t self[MAX_PATH];
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring source(self);
        source = source.substr(0, source.rfind(L'\\') + 1) + L"update_target.exe";
        ASSERT_TRUE(CopyFileW(source.c_str(), target.c_str(), FALSE));
        original = readBytes(target);
    }

    void update(const wchar_t* name, const char* text)
    {
        InputMemoryStream data;
        data.open(text, lstrlenA(text));
        updater.update(L"BIN", name, &data);
    }

    ScratchFolder folder{L"korvilane-resources"};
    std::wstring target = folder.file(L"target.exe");
    Bytes original;
    ResourceUpdater updater;
};

} // namespace

TEST_F(ResourceUpdaterTest, ACommittedUpdateAddsAndReplacesKeepingTheRest)
{
    std::string large(5000, 'x');
    updater.begin(target.c_str());
    update(L"ADDED", large.c_str());
    update(L"KEPT", "still kept");
    update(L"KEPT", "replaced");
    updater.end(true);
    EXPECT_FALSE(updater.isOpen());
    EXPECT_EQ(resourceOf(target, L"BIN", L"ADDED"), large);
    EXPECT_EQ(resourceOf(target, L"BIN", L"KEPT"), "replaced");
}

TEST_F(ResourceUpdaterTest, ANullStreamDeletesTheResource)
{
    ASSERT_EQ(resourceOf(target, L"BIN", L"KEPT"), "kept");
    updater.begin(target.c_str());
    update(L"ADDED", "added");
    update(L"OTHER", "other");
    updater.update(L"BIN", L"ADDED", nullptr);
    updater.update(L"BIN", L"KEPT", nullptr);
    updater.end(true);
    EXPECT_EQ(resourceOf(target, L"BIN", L"ADDED"), "");
    EXPECT_EQ(resourceOf(target, L"BIN", L"OTHER"), "other");
    // Wine's writer merges the file's own resources back in when it commits, so a deleted one that was in the
    // file before the update comes back there.
    if (!runningUnderWine()) {
        EXPECT_EQ(resourceOf(target, L"BIN", L"KEPT"), "");
    }
}

TEST_F(ResourceUpdaterTest, OnlyACommitWritesTheFile)
{
    updater.begin(target.c_str());
    update(L"ADDED", "added");
    updater.end(false);
    EXPECT_EQ(readBytes(target), original);

    // Neither does an update that fails on the way, nor one that is destroyed while open.
    updater.begin(target.c_str());
    update(L"ADDED", "added");
    expectCode(ERROR_INVALID_FUNCTION, [&] { update(L"EMPTY", ""); });
    {
        ResourceUpdater abandoned;
        abandoned.begin(target.c_str());
        InputMemoryStream data;
        data.open("x", 1);
        abandoned.update(L"BIN", L"ABANDONED", &data);
    }
    updater.end(false);
    EXPECT_EQ(readBytes(target), original);

    // Without an open update nothing can be written.
    expectCode(ERROR_INVALID_FUNCTION, [&] { update(L"ADDED", "added"); });
    expectCode(ERROR_INVALID_FUNCTION, [&] { updater.update(L"BIN", L"KEPT", nullptr); });
    expectCode(ERROR_INVALID_FUNCTION, [&] { updater.end(true); });
    EXPECT_NE(thrownCode([&] { updater.begin(folder.file(L"missing.exe").c_str()); }), -1);
    EXPECT_FALSE(updater.isOpen());
}
