#include <windows.h>
#include <winternl.h>
#include <gtest/gtest.h>
#include <atomic>
#include <initializer_list>
#include <memory>
#include <thread>
#include "foundation/Path.h"
#include "mainwindow/MyApp.h"
#include "settings/AppServices.h"
#include "support/ComTesting.h"
#include "support/ExpectCode.h"
#include "support/GlobalApplication.h"
#include "support/pollUntil.h"

namespace {

// The handles to the object, of every process.
ULONG handleCount(HANDLE object)
{
    PUBLIC_OBJECT_BASIC_INFORMATION basic{};
    if (NtQueryObject(object, ObjectBasicInformation, &basic, sizeof basic, nullptr) < 0)
        return 0;
    return basic.HandleCount;
}

std::wstring programDirectory()
{
    Path program;
    program.getModulePath();
    return program.getDirectory().buffer();
}

// The settings file that the application object of this test program uses.
std::wstring settingsBesideProgram()
{
    return programDirectory() + L"korvilane.xml";
}

class MyAppTest : public testing::Test {
protected:
    void TearDown() override { DeleteFileW(settingsBesideProgram().c_str()); }

    static int run(MyApp& application, std::initializer_list<const wchar_t*> list)
    {
        wstringArray arguments;
        for (const wchar_t* argument : list)
            arguments.add(argument);
        return application.run(arguments);
    }

    ComApartment com;
};

} // namespace

TEST(MyAppVersionTest, JoinsTheSecondAndThirdPiecesAfterTheDot)
{
    EXPECT_STREQ(MyApp::versionText(L"1, 0, 5, 0").buffer(), L"1.05");
    EXPECT_STREQ(MyApp::versionText(L"2, 1, 0, 0").buffer(), L"2.10");
    EXPECT_STREQ(MyApp::versionText(L"3,12,7").buffer(), L"3.127");
    expectCode(ERROR_INVALID_PARAMETER, [] { MyApp::versionText(L"1, 0"); });
    expectCode(ERROR_INVALID_PARAMETER, [] { MyApp::versionText(L""); });
}

TEST(MyAppLocationTest, ProgramFilesPrefixIsAWholeFolderWithoutRegardToCase)
{
    EXPECT_TRUE(MyApp::isInsideFolder(L"c:\\PROGRAM FILES\\Korvilane\\", L"C:\\Program Files"));
    EXPECT_TRUE(MyApp::isInsideFolder(L"C:\\Program Files", L"C:\\Program Files\\"));
    // Shorter than the folder: never a match, and nothing is read past the end of the directory.
    EXPECT_FALSE(MyApp::isInsideFolder(L"C:\\", L"C:\\Program Files\\"));
    EXPECT_FALSE(MyApp::isInsideFolder(L"C:\\Program", L"C:\\Program Files\\"));
    EXPECT_FALSE(MyApp::isInsideFolder(L"C:\\Program FilesX\\Korvilane\\", L"C:\\Program Files\\"));
    EXPECT_FALSE(MyApp::isInsideFolder(L"D:\\Program Files\\Korvilane\\", L"C:\\Program Files\\"));
}

TEST(MyAppLocationTest, InstalledProgramKeepsItsSettingsInApplicationData)
{
    const wchar_t programFiles[] = L"C:\\Program Files\\";
    const wchar_t applicationData[] = L"C:\\users\\kim\\AppData\\Roaming\\";
    EXPECT_STREQ(MyApp::settingsFilePath(L"Korvilane", L"C:\\Program Files\\Korvilane\\", programFiles,
                                         applicationData)
                     .buffer(),
                 L"C:\\users\\kim\\AppData\\Roaming\\Korvilane\\korvilane.xml");
    EXPECT_STREQ(MyApp::settingsFilePath(L"Korvilane", L"C:\\Program FilesX\\Korvilane\\", programFiles,
                                         applicationData)
                     .buffer(),
                 L"C:\\Program FilesX\\Korvilane\\korvilane.xml");
    EXPECT_STREQ(MyApp::settingsFilePath(L"Korvilane", L"C:\\", programFiles, applicationData).buffer(),
                 L"C:\\korvilane.xml");
}

TEST_F(MyAppTest, TakesItsNamesFromTheVersionBlockAndItsSettingsFromBesideTheProgram)
{
    {
        AppSetting saved;
        saved.setSectionsAndPath(settingsBesideProgram().c_str());
        saved.load(L"Korvilane", nullptr, GetModuleHandleW(nullptr));
        saved.windowLogLines = 5000;
        saved.fileFolder = L"D:\\出力";
        saved.save(L"Korvilane", nullptr);
    }
    MyApp application;
    EXPECT_STREQ(application.getName().buffer(), L"Korvilane");
    EXPECT_STREQ(application.getTitle().buffer(), L"Korvilane");
    EXPECT_STREQ(application.getSetting().getPath().buffer(), settingsBesideProgram().c_str());
    EXPECT_EQ(application.getSetting().windowLogLines, 5000);
    EXPECT_STREQ(application.getSetting().fileFolder.buffer(), L"D:\\出力");
    EXPECT_EQ(application.getTrace().count(), 0);

    EXPECT_EQ(getMyApp(), nullptr);
    GlobalApplication global(application);
    EXPECT_EQ(getMyApp(), &application);
    EXPECT_STREQ(Application::getVersion().buffer(), L"1.05");
    EXPECT_STREQ(Application::getExtraText().buffer(), L"Copyright (C) Korvilane");
}

TEST_F(MyAppTest, LendsItsRecordAndCollectorToTheLowerSubsystemsWhileItLives)
{
    {
        MyApp application;
        EXPECT_EQ(&getAppSetting(), &application.getSetting());
        EXPECT_EQ(&getAppCollector(), &application.getCollector());
    }
    expectCode(ERROR_INVALID_FUNCTION, [] { getAppSetting(); });
    expectCode(ERROR_INVALID_FUNCTION, [] { getAppCollector(); });
}

TEST_F(MyAppTest, SettingsAreLoadedOnlyWhileHoldingTheNamedMutex)
{
    // The mutex is named after the program file, as every instance of it names it.
    Path program;
    program.getModulePath();
    HANDLE mutex = CreateMutexW(nullptr, TRUE, (std::wstring(program.getBaseName().buffer()) + L"Mutex").c_str());
    ASSERT_NE(mutex, nullptr);

    std::atomic<bool> constructed{false};
    std::unique_ptr<MyApp> application;
    std::thread starting([&] {
        ComApartment threadCom;
        try {
            application = std::make_unique<MyApp>();
        } catch (const Exception&) {
        }
        constructed = true;
    });
    // The application object opens the mutex as it starts, a few steps before the settings load waits for it.
    EXPECT_TRUE(pollUntil([&] { return handleCount(mutex) > 1; }));
    // No call tells that a thread waits for a mutex; a load that did not wait would end a few milliseconds after
    // that, so a while without an end is the pass.
    EXPECT_FALSE(pollUntil([&] { return constructed.load(); }, std::chrono::milliseconds(300)));
    ReleaseMutex(mutex);
    starting.join();
    ASSERT_NE(application, nullptr);
    // Released again after the load: this thread can take it at once.
    EXPECT_EQ(WaitForSingleObject(mutex, 0), static_cast<DWORD>(WAIT_OBJECT_0));
    ReleaseMutex(mutex);
    CloseHandle(mutex);
    application.reset();
}

// Without a display the windowed start's error box fails at once, so every run below returns.
TEST_F(MyAppTest, LoneLayoutArgumentIsKeptAsAFullPathAndOtherArgumentsAsFiles)
{
    {
        MyApp application;
        EXPECT_EQ(run(application, {L"Plan.LAY"}), 1);
        EXPECT_STREQ(application.getStartupLayout().buffer(), Path(L"Plan.LAY").getPath().buffer());
        EXPECT_EQ(application.getStartupFiles().count(), 0);
    }
    {
        MyApp application;
        EXPECT_EQ(run(application, {L"a.lay", L"b.lay"}), 1);
        EXPECT_TRUE(application.getStartupLayout().isEmpty());
        ASSERT_EQ(application.getStartupFiles().count(), 2);
        EXPECT_STREQ(application.getStartupFiles().at(1).buffer(), L"b.lay");
    }
}

TEST_F(MyAppTest, SwitchesAndOptionsNeverReachTheWindowedStart)
{
    MyApp application;
    EXPECT_EQ(run(application, {L"-REGIST"}), 0);
    EXPECT_EQ(run(application, {L"-Unregist"}), 0);
    EXPECT_EQ(run(application, {L"-unregist"}), 1) << "nothing left to remove";
    EXPECT_EQ(run(application, {L"a.jpg", L"-regist"}), 1);
    EXPECT_EQ(run(application, {L"a.jpg", L"b.jpg", L"/format", L"3"}), 1);
    EXPECT_TRUE(application.getStartupLayout().isEmpty());
    EXPECT_EQ(application.getStartupFiles().count(), 0);
}

namespace {

// The colour at (x, y) counted from the top.
COLORREF pixelAt(const Dib& picture, int x, int y)
{
    const BYTE* bits = picture.getBits() + (picture.height() - 1 - y) * picture.stride() + x * 3;
    return RGB(bits[2], bits[1], bits[0]);
}

} // namespace

TEST(MyAppResourceTest, SwatchesAndPictogramsScaleWithTheDisplayResolution)
{
    MyApp::Resource resource;
    resource.build(144, 144);
    const Dib& rose = resource.swatches[0];
    ASSERT_EQ(rose.width(), 24);
    ASSERT_EQ(rose.height(), 24);
    EXPECT_EQ(pixelAt(rose, 0, 0), RGB(0xFF, 0xE0, 0xE0));
    EXPECT_EQ(pixelAt(rose, 11, 11), RGB(0xFF, 0xE0, 0xE0));
    EXPECT_EQ(pixelAt(rose, 12, 0), RGB(0xFF, 0xFF, 0xFF)) << "a checkerboard of 12-pixel cells";
    EXPECT_EQ(pixelAt(rose, 23, 23), RGB(0xFF, 0xE0, 0xE0));
    EXPECT_EQ(pixelAt(resource.swatches[5], 0, 0), RGB(0xE0, 0xE0, 0xE0));

    // 7-pixel cells and 1-pixel lines: 22 x 22; the centre of cell 4 lies at (10, 10).
    const Dib& centre = resource.pictograms[4];
    ASSERT_EQ(centre.width(), 22);
    ASSERT_EQ(centre.height(), 22);
    EXPECT_EQ(pixelAt(centre, 10, 10), RGB(0x00, 0xFF, 0xFF));
    EXPECT_EQ(pixelAt(centre, 3, 3), RGB(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(pixelAt(centre, 0, 5), RGB(0x03, 0x03, 0x81)) << "the grid's lines";
    for (int cell = 0; cell < 9; ++cell)
        EXPECT_EQ(pixelAt(resource.pictograms[9], cell % 3 * 7 + 3, cell / 3 * 7 + 3), RGB(0x00, 0xFF, 0xFF));
}
