// Settings files far larger than any the program saves. Every start of the program reads its settings file
// while holding the application's mutex, so a slow load there holds up every other start.
#include <windows.h>
#include <gtest/gtest.h>
#include <atomic>
#include <string>
#include <thread>
#include "foundation/Mutex.h"
#include "settings/AppSetting.h"
#include "support/ComTesting.h"
#include "support/ScratchFolder.h"
#include "support/fileBytes.h"

namespace {

const wchar_t root[] = L"Korvilane";
// Well under a second is the aim; three times that leaves room for a busy machine.
constexpr double LoadBound = 1.5;

double now()
{
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string entry(const std::string& name, const std::string& value)
{
    return "    <element name=\"" + name + "\" value=\"" + value + "\"/>\r\n";
}

std::string xmlFile(const std::string& sections)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\"?>\r\n<Korvilane>\r\n" + sections +
           "</Korvilane>\r\n";
}

// 16,000 keys of one section, the window's width among them.
std::string manyKeys()
{
    std::string keys;
    for (int i = 0; i < 16000; ++i)
        keys += entry("Key" + std::to_string(i), std::to_string(i));
    return xmlFile("  <Window>\r\n" + keys + entry("Width", "777") + "  </Window>\r\n");
}

// 50,000 sections that the program does not know, and one that it does.
std::string manySections()
{
    std::string sections;
    for (int i = 0; i < 50000; ++i) {
        std::string name = "Section" + std::to_string(i);
        sections += "  <" + name + ">\r\n" + entry("Width", "1") + "  </" + name + ">\r\n";
    }
    return xmlFile(sections + "  <Window>\r\n" + entry("Width", "777") + "  </Window>\r\n");
}

// A plug-in count as high as the program takes, with a single plug-in and the window's width.
std::string highPlugInCount()
{
    return "[Window]\r\nWidth=777\r\n[Spi]\r\nCount=65536\r\nPath65535=last.spi\r\n";
}

class LargeSettingsFileTest : public testing::Test {
protected:
    // The seconds that loading the file as the settings file takes.
    double secondsToLoad(AppSetting& setting, const std::wstring& path, Mutex* guard = nullptr)
    {
        setting.setSectionsAndPath(path.c_str());
        double start = now();
        setting.load(root, nullptr, GetModuleHandleW(nullptr), guard);
        return now() - start;
    }

    ComApartment com;
    ScratchFolder folder{L"korvilane-large"};
};

} // namespace

TEST_F(LargeSettingsFileTest, FilesFarLargerThanAnySaveLoadWellUnderASecond)
{
    struct Case {
        const wchar_t* name;
        std::string text;
    };
    for (const Case& large : {Case{L"keys.xml", manyKeys()}, Case{L"sections.xml", manySections()},
                              Case{L"plugins.ini", highPlugInCount()}}) {
        SCOPED_TRACE(large.name);
        std::wstring path = folder.file(large.name);
        writeText(path, large.text);
        AppSetting setting;
        EXPECT_LT(secondsToLoad(setting, path), LoadBound);
        EXPECT_EQ(setting.windowWidth, 777);
        EXPECT_EQ(setting.getKeptAsideFile().isEmpty(), true);
    }
}

TEST_F(LargeSettingsFileTest, TheFileGuardIsHeldWhileTheFileIsReadNotWhileItIsParsed)
{
    std::wstring path = folder.file(L"sections.xml");
    writeText(path, manySections());
    Mutex guard;
    guard.create(nullptr);

    // Another start of the program, taking the guard over and over while the load runs: how long it ever had
    // to wait is how long the load held the guard at a stretch.
    std::atomic<bool> loading{true};
    double longestWait = 0;
    std::thread other([&] {
        while (loading) {
            double start = now();
            WaitForSingleObject(guard.handle(), INFINITE);
            longestWait = std::max(longestWait, now() - start);
            ReleaseMutex(guard.handle());
            Sleep(1);
        }
    });
    AppSetting setting;
    double seconds = secondsToLoad(setting, path, &guard);
    loading = false;
    other.join();

    EXPECT_EQ(setting.windowWidth, 777);
    EXPECT_LT(longestWait, seconds / 4) << "the load took " << seconds << " s";
}
