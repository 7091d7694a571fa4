// The application object's windowed start as the user meets it.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>
#include <tlhelp32.h>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <string>
#include "MainWindowTesting.h"
#include "foundation/FileHandle.h"
#include "foundation/Path.h"
#include "imaging/GdiplusSession.h"
#include "imaging/gdiplusStartup.h"
#include "mainwindow/MyApp.h"
#include "mainwindow/OptionSheets.h"
#include "mainwindow/mainCommandIds.h"
#include "support/ComTesting.h"
#include "support/ScratchFolder.h"
#include "support/GlobalApplication.h"
#include "support/ImagingTestSupport.h"
#include "support/WindowRobot.h"
#include "support/fileBytes.h"
#include "toolkit/Font.h"

namespace {

constexpr wchar_t MainClass[] = L"KorvilaneMain";

// The settings file that the application object of this test program uses.
std::wstring settingsBesideProgram()
{
    Path program;
    program.getModulePath();
    return std::wstring(program.getDirectory().buffer()) + L"korvilane.xml";
}

bool mainWindowShown()
{
    HWND main = FindWindowW(MainClass, nullptr);
    return main && IsWindowVisible(main);
}

class MyAppTest : public GdiplusTest {
protected:
    void SetUp() override
    {
        GdiplusTest::SetUp();
        OleInitialize(nullptr);
    }
    void TearDown() override
    {
        DeleteFileW(settingsBesideProgram().c_str());
        DeleteFileW((settingsBesideProgram() + L".unreadable").c_str());
        OleUninitialize();
    }

    // Opens the windows as the windowed start does; the robot plays the user meanwhile.
    static void start(MyApp& application, const WindowRobot::Script& script)
    {
        WindowRobot robot(script);
        EXPECT_NO_THROW(application.openWindows(true));
        robot.finish();
    }
    static void close(MyApp& application)
    {
        application.closeWindows();
        MSG quit;
        while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
    }
    static void startAndClose(MyApp& application, const WindowRobot::Script& script)
    {
        start(application, script);
        close(application);
    }
};

} // namespace

TEST_F(MyAppTest, UnreadableSettingsFileIsKeptAsideAndTheUserToldOnce)
{
    std::wstring settings = settingsBesideProgram();
    writeText(settings, "<Korvilane><Window>");
    MyApp application;
    GlobalApplication global(application);
    EXPECT_EQ(application.getSetting().windowWidth, 600);
    EXPECT_EQ(readBytes(settings + L".unreadable"),
              Bytes({'<', 'K', 'o', 'r', 'v', 'i', 'l', 'a', 'n', 'e', '>', '<', 'W', 'i', 'n', 'd', 'o', 'w', '>'}));

    std::wstring told;
    bool windowBeforeAnswer = true;
    startAndClose(application, [&](WindowRobot& user) {
        user.screenshot(user.waitForWindow(WindowQuery::dialog(L"Korvilane")), L"unreadable-settings-notice");
        windowBeforeAnswer = mainWindowShown();
        told = user.answerMessageBox(IDOK);
        user.waitUntil(mainWindowShown, L"the main window");
    });
    EXPECT_EQ(told, L"設定ファイルを読み込めなかったため、既定の設定で起動しました。\n元の設定ファイルは " + settings +
                        L".unreadable として残してあります。");
    EXPECT_FALSE(windowBeforeAnswer) << "the main window waits for the answer";
    EXPECT_TRUE(application.takeSettingsNotice().isEmpty()) << "told once";

    // A file that reads starts without a word.
    application.getSetting().save(application.getName(), nullptr);
    MyApp next;
    bool boxShown = false;
    startAndClose(next, [&](WindowRobot& user) {
        user.waitUntil(
            [&] {
                boxShown = boxShown || FindWindowW(L"#32770", L"Korvilane");
                return mainWindowShown();
            },
            L"the main window");
    });
    EXPECT_FALSE(boxShown);
}

TEST_F(MyAppTest, SettingsFileThatCannotBeOpenedIsToldOfAndReplacedOnlyAfterAsking)
{
    std::wstring settings = settingsBesideProgram();
    writeText(settings, "<Korvilane><Window><element name=\"Width\" value=\"4321\"/></Window></Korvilane>");
    Bytes users = readBytes(settings);
    std::unique_ptr<MyApp> application;
    {
        // A sync client or a scanner holds the file while the program starts.
        FileHandle held(holdUnshared(settings));
        ASSERT_TRUE(held.isValid());
        application = std::make_unique<MyApp>();
    }
    GlobalApplication global(*application);
    EXPECT_EQ(application->getSetting().windowWidth, 600);

    std::wstring notice;
    start(*application,
          [&](WindowRobot& user) { notice = user.answerMessageBox(IDOK, nullptr, L"unopened-settings-notice"); });
    auto save = [&](int answer, const std::wstring& screenshot) {
        std::wstring asked;
        HWND main = application->getMainWindow();
        WindowRobot robot([&](WindowRobot& user) { asked = user.answerMessageBox(answer, main, screenshot); });
        SendMessageW(main, WM_COMMAND, IDM_SAVE_SETTINGS, 0);
        robot.finish();
        return asked;
    };
    std::wstring question = save(IDNO, L"unopened-settings-question");
    EXPECT_EQ(readBytes(settings), users);
    save(IDYES, L"");
    EXPECT_NE(readBytes(settings), users);
    close(*application);
    std::wstring reason = Application::getExceptionText(Exception(ERROR_SHARING_VIOLATION)).trimRight().buffer();
    EXPECT_EQ(notice, L"設定ファイル " + settings +
                          L" を開けなかったため、既定の設定で起動しました。\n設定を保存するときは、このファイルを上書き"
                          L"してよいか確認します。\n\n" +
                          reason);
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(question, L"ファイル " + settings + L" は既に存在します。\n上書きしますか？");
    EXPECT_TRUE(application->takeSettingsNotice().isEmpty()) << "told once";
}

TEST_F(MyAppTest, TheLogIsWrittenInAnInstalledFaceOfItsList)
{
    MyApp application;
    GlobalApplication global(application);
    ASSERT_NO_THROW(application.openWindows(true));
    CHARFORMAT2W format{};
    format.cbSize = sizeof(format);
    SendMessageW(application.getLogWindow().getPane().getTextControl(), EM_GETCHARFORMAT, SCF_DEFAULT,
                 reinterpret_cast<LPARAM>(&format));
    application.closeWindows();
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {}

    // Asked for the whole list as one name, the font mapper picks a face of its own, whose underscores may not
    // show in the log's file names.
    std::wstring face = format.szFaceName;
    EXPECT_EQ(face.find(L'/'), std::wstring::npos) << face;
    EXPECT_TRUE(fontExists(face.c_str())) << face;
}

namespace {

// The threads of this program, by their ids.
std::set<DWORD> programThreads()
{
    std::set<DWORD> threads;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId())
            threads.insert(entry.th32ThreadID);
    CloseHandle(snapshot);
    return threads;
}

} // namespace

// The whole windowed run, GDI+ started and ended by it (this test holds none), ended while a picture of a preview
// window or of the pane still decodes: when GDI+ ends, no thread that the run made is left to call it.
TEST(WindowedRunTest, EveryThreadThatDecodesOrScalesHasEndedBeforeGdiPlus)
{
    enum Close { PreviewFirst, MainWithPreview, MainWithPane, MainWhileReadingProperties };
    const struct {
        const char* what;
        Close close;
    } orders[] = {{"the preview window, then the main window", PreviewFirst},
                  {"the main window with a preview window open", MainWithPreview},
                  {"the main window while the pane loads", MainWithPane},
                  {"the main window while the picture's properties are read", MainWhileReadingProperties}};
    OptionSheets sheets;
    sheets.pictureProperties = [](HWND, PictureProperties&) { ADD_FAILURE() << "a sheet after the window closed"; };
    setOptionSheets(sheets);
    ComApartment com;
    ScratchFolder folder(L"korvilane-windowed-run");
    // Slow to decode, and slow to read the properties of.
    std::wstring slow = folder.file(L"slow.png");
    std::wstring large = folder.file(L"large.jpg");
    {
        GdiplusSession graphics;
        writeSolidPicture(slow, 0xFF2080C0);
        writeLargeJpeg(large);
    }
    addTextChunks(slow, 600);
    ASSERT_EQ(gdiplusStartCount(), 0) << "the test holds no GDI+ of its own";
    for (const auto& order : orders) {
        {
            AppSetting setting;
            setting.setSectionsAndPath(settingsBesideProgram().c_str());
            setting.load(L"Korvilane", nullptr, GetModuleHandleW(nullptr));
            setting.viewPreview = order.close == MainWithPane;
            setting.save(L"Korvilane", nullptr);
        }
        MyApp application;
        GlobalApplication global(application);
        std::set<DWORD> before = programThreads();
        std::set<DWORD> leftWhenGdiplusEnded;
        WindowRobot robot([&](WindowRobot& user) {
            HWND main = user.waitForWindow(WindowQuery::ofClass(MainClass));
            HWND list = user.waitForItem(user.waitForItem(user.waitForItem(main, 104), 101), 101);
            user.waitUntil([&] { return SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 1; }, L"the picture listed");
            PostMessageW(list, WM_KEYDOWN, VK_HOME, 0);
            if (order.close == MainWhileReadingProperties) {
                user.waitUntil([&] { return SendMessageW(list, LVM_GETITEMSTATE, 0, LVIS_SELECTED) != 0; },
                               L"the picture selected");
                PostMessageW(main, WM_COMMAND, IDM_PICTURE_PROPERTIES, 0);
                user.waitUntil([&] { return !IsWindowEnabled(main); }, L"the properties read");
            } else if (order.close != MainWithPane) {
                PostMessageW(main, WM_COMMAND, IDM_PREVIEW_WINDOWS, 0);
                HWND preview = nullptr;
                user.waitUntil([&] { return (preview = FindWindowW(L"KorvilanePreview", nullptr)) != nullptr; },
                               L"the preview window");
                if (order.close == PreviewFirst) {
                    PostMessageW(preview, WM_CLOSE, 0, 0);
                    user.waitUntilGone(preview);
                }
            }
            PostMessageW(main, WM_CLOSE, 0, 0);
            while (gdiplusStartCount() > 0)
                SwitchToThread();
            for (DWORD thread : programThreads())
                if (!before.count(thread) && thread != GetCurrentThreadId())
                    leftWhenGdiplusEnded.insert(thread);
        });
        wstringArray arguments;
        arguments.add(order.close == MainWhileReadingProperties ? large.c_str() : slow.c_str());
        EXPECT_EQ(application.run(arguments), 0) << order.what;
        robot.finish();
        EXPECT_TRUE(leftWhenGdiplusEnded.empty())
            << order.what << ": " << leftWhenGdiplusEnded.size() << " threads outlived GDI+";
        DeleteFileW(settingsBesideProgram().c_str());
    }
    setOptionSheets(OptionSheets());
}
