#include <gtest/gtest.h>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <thread>
#include "foundation/Exception.h"
#include "foundation/MemoryAllocator.h"
#include "imaging/SusiePlugin.h"
#include "imaging/imagingStrings.h"
#include "KvpTesting.h"
#include "plugin/KvpFormat.h"
#include "support/ImagingTestSupport.h"

namespace {

const std::wstring reader = pluginPath(L"kvp_reader.spi");
const std::wstring failing = pluginPath(L"kvp_failing.spi");
const std::wstring archive = pluginPath(L"kvp_archive.spi");
const std::wstring bare = pluginPath(L"kvp_bare.spi");

class SusieHost : public testing::Test {
protected:
    void SetUp() override { ASSERT_NE(GetFileAttributesW(reader.c_str()), INVALID_FILE_ATTRIBUTES); }
    void TearDown() override { MemoryAllocator::failAfter(-1); }

    void use(std::initializer_list<std::wstring> paths)
    {
        host.paths.removeAll();
        for (const std::wstring& path : paths)
            host.paths.add(path.c_str());
    }
    // No question may leave a plug-in loaded.
    void expectAllUnloaded() const
    {
        for (const std::wstring& path : {reader, failing, archive, bare})
            EXPECT_EQ(GetModuleHandleW(path.c_str()), nullptr) << testing::PrintToString(path);
    }
    std::vector<std::wstring> listed(const wstringArray& list) const
    {
        std::vector<std::wstring> items;
        for (int i = 0; i < list.count(); ++i)
            items.push_back(list.at(i).buffer());
        return items;
    }

    SusiePlugin host;
    ScratchFolder folder{L"susie"};
};

UINT32 gradient(int x, int y)
{
    return 0x00102030u + static_cast<UINT32>(x) * 0x010000u + static_cast<UINT32>(y) * 0x000100u;
}

UINT32 translucentGradient(int x, int y)
{
    return gradient(x, y) | 0x80000000u;
}

// Compares the colour bytes, and the fourth byte of 32-bit pictures.
void expectPixels(const Dib& dib, int width, int height, UINT32 (*colourOf)(int, int) = gradient)
{
    ASSERT_EQ(dib.width(), width);
    ASSERT_EQ(dib.height(), height);
    UINT32 mask = dib.bitCount() == 32 ? 0xFFFFFFFFu : 0xFFFFFFu;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            EXPECT_EQ(dibPixel32(dib, x, y) & mask, colourOf(x, y) & mask) << x << "," << y;
}

} // namespace

TEST_F(SusieHost, AnEmptyListReadsNothing)
{
    Dib dib;
    ASSERT_TRUE(dib.create(2, 2, 24, 0));
    std::wstring picture = writeKvp(folder.file(L"a.kvp"), 3, 2, 24, 0, gradient);
    EXPECT_EQ(host.load(picture.c_str(), dib), -1);
    EXPECT_TRUE(dib.isEmpty());
    wstringArray list;
    list.add(L"stale");
    host.allFilters(L"", list);
    EXPECT_EQ(list.count(), 0);
    list.add(L"stale");
    host.allPatterns(list);
    EXPECT_EQ(list.count(), 0);
}

TEST_F(SusieHost, TheFirstPluginThatDeliversWins)
{
    std::wstring picture = writeKvp(folder.file(L"a.kvp"), 5, 3, 24, 0, gradient);
    Dib dib;
    use({reader, reader});
    EXPECT_EQ(host.load(picture.c_str(), dib), 0);
    expectPixels(dib, 5, 3);
    EXPECT_EQ(dib.bitCount(), 24);

    // The failing plug-in accepts the file, then cannot decode it; the archive plug-in has no GetPicture.
    use({failing, archive, reader, reader});
    EXPECT_EQ(host.load(picture.c_str(), dib), 2);
    expectPixels(dib, 5, 3);
    use({failing});
    EXPECT_EQ(host.load(picture.c_str(), dib), -1);
    EXPECT_TRUE(dib.isEmpty());

    std::wstring other = folder.file(L"other.kvp");
    writeBytes(other, std::vector<BYTE>(40, 'Z'));
    use({reader});
    EXPECT_EQ(host.load(other.c_str(), dib), -1);
    EXPECT_EQ(host.load(folder.file(L"missing.kvp").c_str(), dib), -1);
    expectAllUnloaded();
}

TEST_F(SusieHost, TopDownPicturesComeOutBottomUp)
{
    std::wstring picture = writeKvp(folder.file(L"down.kvp"), 4, 3, 32, Kvp::TopDown, translucentGradient);
    Dib dib;
    use({reader});
    ASSERT_EQ(host.load(picture.c_str(), dib), 0);
    EXPECT_GT(dib.getInfo()->bmiHeader.biHeight, 0);
    EXPECT_EQ(dib.bitCount(), 32);
    expectPixels(dib, 4, 3, translucentGradient);
}

TEST_F(SusieHost, FileNamesReachThePluginInTheSystemCodePage)
{
    std::wstring picture = writeKvp(folder.file(L"写真.kvp"), 2, 2, 24, 0, gradient);
    Dib dib;
    use({reader});
    EXPECT_EQ(host.load(picture.c_str(), dib), 0);
    expectPixels(dib, 2, 2);
}

TEST_F(SusieHost, UnusableHandOversPassToTheNextPlugin)
{
    use({reader, reader});
    Dib dib;
    for (BYTE flags : {Kvp::NoPixels, Kvp::ShortPixels}) {
        std::wstring picture = writeKvp(folder.file(L"broken.kvp"), 64, 64, 24, flags, gradient);
        EXPECT_EQ(host.load(picture.c_str(), dib), -1) << int(flags);
        EXPECT_TRUE(dib.isEmpty());
    }
    std::wstring oddDepth = writeKvp(folder.file(L"odd.kvp"), 8, 2, 7, 0, gradient);
    EXPECT_EQ(host.load(oddDepth.c_str(), dib), -1);
    expectAllUnloaded();
}

TEST_F(SusieHost, PluginsThatCannotBeUsedAreSkipped)
{
    std::wstring notADll = folder.file(L"text.spi");
    writeBytes(notADll, std::vector<BYTE>{'M', 'Z', 'n', 'o', 't', ' ', 'a', ' ', 'D', 'L', 'L'});
    std::wstring picture = writeKvp(folder.file(L"a.kvp"), 3, 3, 24, 0, gradient);
    for (const std::wstring& unusable : {folder.file(L"missing.spi"), notADll, bare}) {
        use({unusable, reader});
        Dib dib;
        EXPECT_EQ(host.load(picture.c_str(), dib), 1);
        EXPECT_TRUE(host.description(0).isEmpty());
        wstringArray list;
        host.patterns(0, list);
        EXPECT_EQ(list.count(), 0);
        host.filters(0, L"", list);
        EXPECT_EQ(list.count(), 0);
    }
    expectAllUnloaded();
}

TEST_F(SusieHost, FiltersAndPatternsComeFromPictureReadersOnly)
{
    use({reader, archive, failing});
    wstring tag;
    tag.loadString(GetModuleHandleW(nullptr), IDS_PLUGIN_FILTER_TAG);
    EXPECT_TRUE(host.path(1) == archive.c_str());
    EXPECT_TRUE(host.description(0) == L"KVP test reader");
    EXPECT_TRUE(host.description(1) == L"KVP archive reader");

    wstringArray list;
    host.filters(0, tag, list);
    EXPECT_EQ(listed(list), (std::vector<std::wstring>{L"KVP picture ファイル (*.kvp)|*.kvp",
                                                       L"KVQ画像 ファイル (*.kvq)|*.kvq"}));
    host.filters(0, L"", list);
    EXPECT_EQ(listed(list), (std::vector<std::wstring>{L"KVP picture (*.kvp)|*.kvp", L"KVQ画像 (*.kvq)|*.kvq"}));
    host.filters(1, tag, list);
    EXPECT_EQ(list.count(), 0);
    host.allFilters(L"", list);
    EXPECT_EQ(listed(list), (std::vector<std::wstring>{L"KVP picture (*.kvp)|*.kvp", L"KVQ画像 (*.kvq)|*.kvq",
                                                       L"KVP picture (*.kvp)|*.kvp"}));
    host.allPatterns(list);
    EXPECT_EQ(listed(list), (std::vector<std::wstring>{L"*.kvp", L"*.kvq", L"*.kvp"}));
    expectAllUnloaded();
}

TEST_F(SusieHost, FailuresThrowWithEveryPluginFreed)
{
    use({reader});
    wstringArray list;
    auto codeOf = [](const std::function<void()>& action) {
        try {
            action();
        } catch (const Exception& error) {
            return error.getCode();
        }
        return 0;
    };
    EXPECT_EQ(codeOf([&] { host.patterns(1, list); }), 87);
    EXPECT_EQ(codeOf([&] { host.description(-1); }), 87);
    EXPECT_EQ(codeOf([&] { host.path(1); }), 87);

    std::wstring picture = writeKvp(folder.file(L"a.kvp"), 3, 3, 24, 0, gradient);
    Dib dib;
    MemoryAllocator::failAfter(0);
    EXPECT_EQ(codeOf([&] { host.load(picture.c_str(), dib); }), 8);
    MemoryAllocator::failAfter(-1);
    expectAllUnloaded();

    // A pipe whose writer hangs up: reading the head fails.
    std::wstring pipeName = L"\\\\.\\pipe\\korvilane-susie-" + std::to_wstring(GetCurrentProcessId());
    HANDLE pipe = CreateNamedPipeW(pipeName.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 64, 64, 0,
                                   nullptr);
    ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
    std::thread hangUp([pipe] {
        ConnectNamedPipe(pipe, nullptr);
        DisconnectNamedPipe(pipe);
    });
    int code = codeOf([&] { host.load(pipeName.c_str(), dib); });
    // Should the host never have opened the pipe, this connection ends the wait.
    HANDLE client = CreateFileW(pipeName.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    hangUp.join();
    if (client != INVALID_HANDLE_VALUE)
        CloseHandle(client);
    CloseHandle(pipe);
    EXPECT_TRUE(code == ERROR_BROKEN_PIPE || code == ERROR_PIPE_NOT_CONNECTED) << code;
    expectAllUnloaded();
    EXPECT_EQ(host.load(picture.c_str(), dib), 0);
}
