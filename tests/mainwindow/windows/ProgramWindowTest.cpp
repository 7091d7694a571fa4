// The real korvilane.exe with its window, driven from this test program as a user would drive it.
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <chrono>
#include <functional>
#include <set>
#include <string>
#include <vector>
#include "MainWindowTesting.h"
#include "foundation/Application.h"
#include "foundation/FileHandle.h"
#include "foundation/Path.h"
#include "mainwindow/mainCommandIds.h"
#include "settings/AppSetting.h"
#include "support/ComTesting.h"
#include "support/ProgramCopy.h"
#include "support/fileBytes.h"
#include "support/WindowRobot.h"

namespace {

constexpr UINT32 Colours[] = {0xFFC02040, 0xFF2090D0, 0xFF40B040};
constexpr auto Patience = std::chrono::milliseconds(30000);

// The program's windows and their children, by the ids the program gives them.
constexpr wchar_t MainClass[] = L"KorvilaneMain";
constexpr wchar_t LogClass[] = L"KorvilaneLogWindow";
constexpr wchar_t PreviewClass[] = L"KorvilanePreview";
constexpr int SplitterId = 104, ListPaneId = 101, PreviewPaneId = 102, InnerListId = 101, StatusbarId = 103;
constexpr int LogPaneId = 101, LogTextId = 101;
constexpr int FileNameField = 0x47c;
constexpr int PreviewViewId = 101, PreviewBackgroundId = 1121;

// Two of the preview background swatches, as View/PreviewBack 5 and 6 choose them.
constexpr COLORREF PurpleSwatch = RGB(0xFF, 0xE0, 0xFF);
constexpr COLORREF GraySwatch = RGB(0xE0, 0xE0, 0xE0);

// The colours the screen shows in a strip along the right edge of the window's client area, where a small
// picture leaves the background; the window must not be covered.
std::set<COLORREF> coloursAlongRightEdge(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    POINT origin{};
    ClientToScreen(window, &origin);
    std::set<COLORREF> colours;
    HDC screen = GetDC(nullptr);
    for (int y = origin.y; y < origin.y + client.bottom; ++y)
        for (int x = origin.x + client.right - 16; x < origin.x + client.right; ++x)
            colours.insert(GetPixel(screen, x, y));
    ReleaseDC(nullptr, screen);
    return colours;
}

// Milliseconds the window's thread took to answer.
std::chrono::milliseconds answerTime(HWND window)
{
    auto asked = std::chrono::steady_clock::now();
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &answer);
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - asked);
}

// A started program; the exit code once it has ended by itself (-2 when it did not within a minute).
class RunningProgram {
public:
    RunningProgram(const std::wstring& program, const std::wstring& arguments)
    {
        std::wstring line = L"\"" + program + L"\" " + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        started = CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                 &process) != FALSE;
    }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;
    ~RunningProgram()
    {
        if (!started)
            return;
        if (WaitForSingleObject(process.hProcess, 0) != WAIT_OBJECT_0)
            TerminateProcess(process.hProcess, static_cast<UINT>(-2));
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }

    DWORD id() const { return started ? process.dwProcessId : 0; }
    int exitCode()
    {
        if (!started || WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0)
            return -2;
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        return static_cast<int>(code);
    }

private:
    PROCESS_INFORMATION process{};
    bool started = false;
};

class ProgramWindowTest : public GdiplusTest {
protected:
    void SetUp() override
    {
        GdiplusTest::SetUp();
        for (int i = 0; i < 3; ++i) {
            pictures.push_back(folder.file(std::wstring(L"写真") + wchar_t(L'a' + i) + L".png"));
            writeSolidPicture(pictures.back(), Colours[i]);
        }
    }

    // The settings file beside the program: the defaults with the changes made by `change`.
    template <typename Change>
    void writeSettings(Change change)
    {
        AppSetting setting;
        setting.setSectionsAndPath((Path(copy.path().c_str()).getDirectory() + L"korvilane.xml"));
        setting.load(L"Korvilane", nullptr, GetModuleHandleW(nullptr));
        change(setting);
        setting.save(L"Korvilane", nullptr);
    }

    static HWND child(HWND parent, std::initializer_list<int> ids)
    {
        for (int id : ids)
            parent = parent ? GetDlgItem(parent, id) : nullptr;
        return parent;
    }

    // The list as the program copies it to the clipboard: one full path per line.
    static std::wstring copiedList(WindowRobot& user, HWND main)
    {
        emptyClipboard();
        PostMessageW(main, WM_COMMAND, IDM_COPY_LIST, 0);
        std::wstring text;
        int looks = 0;
        user.waitUntil(
            [&] {
                // Wine passes the clipboard between programs through the X server, where a copy made right after
                // the emptying is now and then lost: the program is asked again.
                if (++looks % 100 == 0)
                    PostMessageW(main, WM_COMMAND, IDM_COPY_LIST, 0);
                return !(text = clipboardText()).empty();
            },
            L"the list on the clipboard");
        return text;
    }

    // Waits for the main window and for the list to hold the pictures.
    static HWND waitForList(WindowRobot& user, int count)
    {
        HWND main = user.waitForWindow(WindowQuery::ofClass(MainClass));
        HWND status = user.waitForItem(main, StatusbarId);
        std::wstring expected = std::to_wstring(count) + (count == 1 ? L" file" : L" files");
        user.waitUntil([&] { return user.text(status) == expected; }, L"the status \"" + expected + L"\"");
        return main;
    }

    // The main window once it lists the one picture, selected from the keyboard.
    static HWND waitForSelectedPicture(WindowRobot& user)
    {
        HWND main = waitForList(user, 1);
        HWND list = child(main, {SplitterId, ListPaneId, InnerListId});
        PostMessageW(list, WM_KEYDOWN, VK_HOME, 0);
        user.waitUntil([&] { return SendMessageW(list, LVM_GETITEMSTATE, 0, LVIS_SELECTED) != 0; }, L"selected");
        return main;
    }

    // How the main window answered until the condition held: it is asked by WM_NULL before each look.
    struct Answers {
        int looks = 0;
        std::chrono::milliseconds longest{};
    };
    static Answers answersUntil(WindowRobot& user, HWND main, const std::function<bool()>& done,
                                const std::wstring& what)
    {
        Answers answers;
        user.waitUntil(
            [&] {
                answers.longest = std::max(answers.longest, answerTime(main));
                ++answers.looks;
                return done();
            },
            what);
        return answers;
    }

    ComApartment com;
    ScratchFolder folder{L"korvilane-program-window"};
    ProgramCopy copy{L"korvilane-program-window-copy"};
    std::vector<std::wstring> pictures;
};

} // namespace

TEST_F(ProgramWindowTest, ListsTheGivenPicturesPreviewsConvertsAndKeepsTheListInALayout)
{
    writeSettings([](AppSetting& setting) {
        setting.fileSaveSrcFolder = true;
        setting.fileOpenFolder = false;
        setting.fileEnsureLog = true;
        setting.fileEnsureSetting = true;
    });
    std::wstring layout = folder.file(L"一覧.lay");
    std::wstring listed;
    RunningProgram program(copy.path(), L"\"" + pictures[0] + L"\" \"" + pictures[1] + L"\" \"" + pictures[2] + L"\"");
    ASSERT_NE(program.id(), 0u);
    WindowRobot robot(
        [&](WindowRobot& user) {
            user.watchProcess(program.id());
            HWND main = waitForList(user, 3);
            listed = copiedList(user, main);
            EXPECT_EQ(listed, pictures[0] + L"\r\n" + pictures[1] + L"\r\n" + pictures[2] + L"\r\n");

            // The first picture selected from the keyboard fills the preview.
            PostMessageW(child(main, {SplitterId, ListPaneId, InnerListId}), WM_KEYDOWN, VK_HOME, 0);
            HWND preview = child(main, {SplitterId, PreviewPaneId});
            user.waitUntil([&] { return colourAtCentre(preview) == colourOf(Colours[0]); }, L"the preview");

            // The last look at the conversion settings comes first, then the question about the folder.
            PostMessageW(main, WM_COMMAND, IDM_CONVERT_ALL, 0);
            HWND sheet = user.waitForWindow({L"#32770", L"変換設定", main});
            user.press(sheet, IDOK);
            user.waitUntilGone(sheet);
            EXPECT_EQ(user.answerMessageBox(IDYES, main), L"変換元ファイルと同じフォルダーに保存します。\n実行しますか？");
            EXPECT_EQ(user.answerMessageBox(IDOK, main), L"完了しました。");
            HWND log = user.waitForWindow(WindowQuery::ofClass(LogClass));
            std::wstring lines = user.text(child(log, {LogPaneId, LogTextId}));
            for (const std::wstring& picture : pictures) {
                std::wstring written = picture.substr(0, picture.size() - 3) + L"jpg";
                EXPECT_NE(lines.find(picture + L" -> " + written), std::wstring::npos) << lines;
            }

            PostMessageW(main, WM_COMMAND, IDM_SAVE_LAYOUT, 0);
            HWND saving = user.waitForWindow({L"#32770", {}, main});
            HWND field = user.waitForItem(saving, FileNameField);
            HWND edit = reinterpret_cast<HWND>(SendMessageW(field, CBEM_GETEDITCONTROL, 0, 0));
            user.type(GetParent(edit), GetDlgCtrlID(edit), layout);
            user.press(saving, IDOK);
            user.waitUntil([&] { return GetFileAttributesW(layout.c_str()) != INVALID_FILE_ATTRIBUTES; },
                           L"the layout file");
            PostMessageW(main, WM_CLOSE, 0, 0);
        },
        Patience);
    EXPECT_EQ(program.exitCode(), 0);
    robot.finish();
    for (const std::wstring& picture : pictures) {
        std::wstring written = picture.substr(0, picture.size() - 3) + L"jpg";
        BitmapPtr converted(Gdiplus::Bitmap::FromFile(written.c_str()));
        EXPECT_TRUE(converted && converted->GetWidth() == 160) << "no picture at " << written.c_str();
    }

    RunningProgram reopened(copy.path(), L"\"" + layout + L"\"");
    WindowRobot again(
        [&](WindowRobot& user) {
            user.watchProcess(reopened.id());
            HWND main = waitForList(user, 3);
            EXPECT_EQ(copiedList(user, main), listed);
            PostMessageW(main, WM_CLOSE, 0, 0);
        },
        Patience);
    EXPECT_EQ(reopened.exitCode(), 0);
    again.finish();
}

TEST_F(ProgramWindowTest, StartUpThatCannotMakeItsWindowShowsWhyAndFails)
{
    HANDLE update = BeginUpdateResourceW(copy.path().c_str(), FALSE);
    ASSERT_NE(update, nullptr);
    // A key table too short to hold a single key.
    char broken = 0;
    ASSERT_TRUE(UpdateResourceW(update, RT_ACCELERATOR, MAKEINTRESOURCEW(IDR_MAIN_ACCELERATORS),
                                MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), &broken, 1));
    ASSERT_TRUE(EndUpdateResourceW(update, FALSE));

    RunningProgram program(copy.path(), L"");
    WindowRobot robot(
        [&](WindowRobot& user) {
            user.watchProcess(program.id());
            EXPECT_FALSE(user.answerMessageBox(IDOK).empty());
        },
        Patience);
    EXPECT_EQ(program.exitCode(), 1);
    robot.finish();
}

TEST_F(ProgramWindowTest, AnUnreadableSettingsFileNeverStopsTheCommandLineWithABox)
{
    std::wstring settings = std::wstring(Path(copy.path().c_str()).getDirectory().buffer()) + L"korvilane.xml";
    writeText(settings, "<Korvilane><Window>");
    // With a display a box would wait for an answer that nobody gives.
    std::wstring converted = folder.file(L"converted.png");
    EXPECT_EQ(copy.run(L"/file \"" + pictures[0] + L"\" \"" + converted + L"\" /format png"), 0);
    EXPECT_NE(GetFileAttributesW(converted.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesW((settings + L".unreadable").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(ProgramWindowTest, ACommandLineSettingsFileThatCannotBeReadOrALogInItsPlaceFailsWithTheReason)
{
    auto systemText = [](DWORD error) {
        return std::wstring(Application::getExceptionText(Exception(static_cast<int>(error))).trimRight().buffer());
    };
    std::string sound = "<Korvilane><Resize><element name=\"Enable\" value=\"true\"/></Resize></Korvilane>";
    std::wstring own = std::wstring(Path(copy.path().c_str()).getDirectory().buffer()) + L"korvilane.xml";
    writeSettings([](AppSetting&) {});
    Bytes ownBefore = readBytes(own);
    const struct {
        const wchar_t* what;
        std::string text;
        bool held; // by another program that shares it with no one
        std::wstring log;
        std::wstring reason;
    } files[] = {
        {L"held", sound, true, L"", systemText(ERROR_SHARING_VIOLATION)},
        {L"damaged", "<Korvilane><Resize><element name=\"Enable\" value=\"true\"/>", false, L"",
         systemText(ERROR_INVALID_DATA)},
        {L"logged", sound, false, folder.file(L"logged.xml"),
         L"ログファイル " + folder.file(L"logged.xml") +
             L" は /par の設定ファイルと同じファイルのため、変換しませんでした。"},
        {L"picture", sound, false, pictures[0],
         L"ログファイル " + pictures[0] + L" は変換元の画像と同じファイルのため、変換しませんでした。"},
        {L"own", sound, false, own,
         L"ログファイル " + own + L" はプログラムの設定ファイルと同じファイルのため、変換しませんでした。"},
    };
    std::wstring converted = folder.file(L"converted.png");
    for (const auto& file : files) {
        std::wstring settings = folder.file(std::wstring(file.what) + L".xml");
        writeText(settings, file.text);
        FileHandle holder(file.held ? holdUnshared(settings) : INVALID_HANDLE_VALUE);
        std::wstring log = file.log.empty() ? L"" : L" /log \"" + file.log + L"\"";
        RunningProgram program(copy.path(), L"/par \"" + settings + L"\" /file \"" + pictures[0] + L"\" \"" +
                                                converted + L"\" /u" + log);
        std::wstring told;
        WindowRobot robot(
            [&](WindowRobot& user) {
                user.watchProcess(program.id());
                told = user.answerMessageBox(IDOK, nullptr, std::wstring(L"command-line-settings-") + file.what);
            },
            Patience);
        EXPECT_EQ(program.exitCode(), 1) << file.what;
        robot.finish();
        EXPECT_EQ(told, L"変換に失敗しました。\n" + file.reason) << file.what;
        EXPECT_EQ(GetFileAttributesW(converted.c_str()), INVALID_FILE_ATTRIBUTES) << file.what;
        if (!file.held) {
            EXPECT_EQ(readBytes(settings), Bytes(file.text.begin(), file.text.end())) << file.what;
        }
    }
    EXPECT_EQ(readBytes(own), ownBefore);
}

TEST_F(ProgramWindowTest, AConvertedPreviewOfALargeNoisyPictureTakesAboutWhatTheCommandLineTakes)
{
    // 12 megapixels of noise, which a JPEG hardly shrinks: megabytes in a kilobyte at a time from the encoder.
    std::wstring noisy = folder.file(L"noisy.jpg");
    BitmapPtr picture(noisyBitmap(4000, 3000));
    ASSERT_TRUE(gdipSaveToFile(noisy.c_str(), L"image/jpeg", picture.get(), nullptr));
    picture.reset();
    std::wstring converted = folder.file(L"converted.jpg");
    auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(copy.run(L"/file \"" + noisy + L"\" \"" + converted + L"\" /format JPEG"), 0);
    auto commandLine = std::chrono::steady_clock::now() - started;
    ULONGLONG written = readBytes(converted).size();

    RunningProgram program(copy.path(), L"\"" + noisy + L"\"");
    WindowRobot robot(
        [&](WindowRobot& user) {
            user.watchProcess(program.id());
            HWND main = waitForSelectedPicture(user);
            // The conversion holds the window until the preview shows: its longest silence is the preview's time.
            PostMessageW(main, WM_COMMAND, IDM_CONVERTED_PREVIEW_WINDOWS, 0);
            HWND window = nullptr;
            auto shown = [&] { return (window = FindWindowW(PreviewClass, nullptr)) && IsWindowVisible(window); };
            std::chrono::milliseconds longest = answersUntil(user, main, shown, L"the converted preview").longest;
            EXPECT_LT(longest, commandLine * 2 + std::chrono::seconds(1))
                << "the window was held " << longest.count() << " ms, the command line took "
                << std::chrono::duration_cast<std::chrono::milliseconds>(commandLine).count() << " ms";
            // The title tells the size of the file that the preview shows, which is the command line's.
            std::wstring title = user.text(window);
            std::wstring kilobytes = std::to_wstring((written + 1023) / 1024) + L"KB]";
            EXPECT_NE(title.find(L" 4000 x 3000 24bit "), std::wstring::npos) << title;
            EXPECT_NE(title.find(kilobytes), std::wstring::npos) << title << L" for " << written << L" bytes";
            user.screenshot(window, L"converted-preview-large");
            PostMessageW(main, WM_CLOSE, 0, 0);
        },
        Patience);
    EXPECT_EQ(program.exitCode(), 0);
    robot.finish();
}

TEST_F(ProgramWindowTest, ABackgroundChosenOnThePreviewPageReachesThePaneAndTheOpenPreviewWindow)
{
    std::wstring small = folder.file(L"small.png");
    writeSolidPicture(small, Colours[1], 24, 24);
    writeSettings([](AppSetting& setting) {
        setting.viewPreviewBack = 5;
        setting.windowIndexSetting = 0;
    });
    RunningProgram program(copy.path(), L"\"" + small + L"\"");
    WindowRobot robot(
        [&](WindowRobot& user) {
            user.watchProcess(program.id());
            HWND main = waitForList(user, 1);
            PostMessageW(child(main, {SplitterId, ListPaneId, InnerListId}), WM_KEYDOWN, VK_HOME, 0);
            HWND pane = child(main, {SplitterId, PreviewPaneId});
            user.waitUntil([&] { return colourAtCentre(pane) == colourOf(Colours[1]); }, L"the preview");
            PostMessageW(main, WM_COMMAND, IDM_PREVIEW_WINDOWS, 0);
            HWND view = user.waitForItem(user.waitForWindow(WindowQuery::ofClass(PreviewClass)), PreviewViewId);
            user.waitUntil([&] { return coloursAlongRightEdge(view).count(PurpleSwatch) > 0; },
                           L"the purple background of the preview window");

            PostMessageW(main, WM_COMMAND, IDM_ENVIRONMENT_SETTINGS, 0);
            HWND sheet = user.waitForWindow({L"#32770", L"環境設定", main});
            auto page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
            HWND backgrounds = user.waitForItem(page, PreviewBackgroundId);
            SendMessageW(backgrounds, CB_SETCURSEL, 6, 0);
            SendMessageW(page, WM_COMMAND, MAKEWPARAM(PreviewBackgroundId, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(backgrounds));
            user.press(sheet, IDOK);
            user.waitUntilGone(sheet);
            // Looked at again: the main window came back over it with the sheet's end.
            SetWindowPos(GetParent(view), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            for (HWND shown : {view, pane})
                user.waitUntil(
                    [&] {
                        std::set<COLORREF> colours = coloursAlongRightEdge(shown);
                        return colours.count(GraySwatch) && !colours.count(PurpleSwatch);
                    },
                    L"the gray background");
            user.screenshot(GetParent(view), L"preview-window-background");
            PostMessageW(main, WM_CLOSE, 0, 0);
        },
        Patience);
    EXPECT_EQ(program.exitCode(), 0);
    robot.finish();
}

TEST_F(ProgramWindowTest, ThePaneLoadsAPictureAsideWhileTheWindowAnswersAndShowsOnlyTheNewestSelection)
{
    for (int slow : {1, 2})
        addTextChunks(pictures[slow], 2000);
    RunningProgram program(copy.path(), L"\"" + pictures[0] + L"\" \"" + pictures[1] + L"\" \"" + pictures[2] + L"\"");
    WindowRobot robot(
        [&](WindowRobot& user) {
            user.watchProcess(program.id());
            HWND main = waitForList(user, 3);
            HWND list = child(main, {SplitterId, ListPaneId, InnerListId});
            HWND pane = child(main, {SplitterId, PreviewPaneId});
            auto shows = [&](int picture) { return colourAtCentre(pane) == colourOf(Colours[picture]); };
            auto selected = [&](int item) { return SendMessageW(list, LVM_GETITEMSTATE, item, LVIS_SELECTED) != 0; };
            auto press = [&](int key) { PostMessageW(list, WM_KEYDOWN, key, 0); };
            // Each look asks the window whether it answers, then reads the pane: the looks that still find the
            // picture shown before came while the next one loaded.
            auto lookUntil = [&](int before, int next, const std::function<bool()>& done) {
                struct {
                    int whileLoading = 0;
                    std::chrono::milliseconds longest{};
                    std::set<COLORREF> others;
                } looks;
                user.waitUntil(
                    [&] {
                        std::chrono::milliseconds waited = answerTime(main);
                        COLORREF colour = colourAtCentre(pane);
                        if (colour == colourOf(Colours[before])) {
                            ++looks.whileLoading;
                            looks.longest = std::max(looks.longest, waited);
                        } else if (colour != colourOf(Colours[next])) {
                            looks.others.insert(colour);
                        }
                        return done();
                    },
                    L"the next picture");
                // On a fresh prefix a busy machine decodes the slow picture in a third of a second.
                EXPECT_GT(looks.whileLoading, 5) << "looks while the picture loaded";
                EXPECT_LT(looks.longest.count(), 100) << "milliseconds the window took at most to answer";
                EXPECT_TRUE(looks.others.empty()) << "the pane showed something else than the two pictures";
            };

            press(VK_HOME);
            user.waitUntil([&] { return shows(0); }, L"the first picture");
            press(VK_DOWN);
            lookUntil(0, 1, [&] { return shows(1); });
            user.screenshot(main, L"preview-pane-slow-picture");

            press(VK_HOME);
            user.waitUntil([&] { return shows(0); }, L"the first picture again");
            // The second slow picture is chosen while the first one loads, which then never shows.
            press(VK_DOWN);
            user.waitUntil([&] { return selected(1); }, L"the first slow picture selected");
            press(VK_DOWN);
            lookUntil(0, 2, [&] { return shows(2); });
            user.screenshot(main, L"preview-pane-newest-selection");

            // The window closes while a picture loads.
            press(VK_UP);
            user.waitUntil([&] { return selected(1); }, L"the slow picture selected again");
            user.screenshot(main, L"preview-pane-while-loading");
            PostMessageW(main, WM_CLOSE, 0, 0);
        },
        Patience);
    EXPECT_EQ(program.exitCode(), 0);
    robot.finish();
}

TEST_F(ProgramWindowTest, APreviewWindowOfASlowPictureShowsItOnceDecodedWhileTheMainWindowAnswers)
{
    addTextChunks(pictures[1], 2000);
    RunningProgram program(copy.path(), L"\"" + pictures[1] + L"\"");
    WindowRobot robot(
        [&](WindowRobot& user) {
            user.watchProcess(program.id());
            HWND main = waitForSelectedPicture(user);
            PostMessageW(main, WM_COMMAND, IDM_PREVIEW_WINDOWS, 0);
            HWND window = nullptr;
            Answers answers = answersUntil(
                user, main,
                [&] {
                    window = FindWindowW(PreviewClass, nullptr);
                    return window && IsWindowVisible(window) &&
                           colourAtCentre(GetDlgItem(window, PreviewViewId)) == colourOf(Colours[1]);
                },
                L"the preview window's picture");
            EXPECT_GT(answers.looks, 10) << "looks while the picture decoded";
            EXPECT_LT(answers.longest.count(), 100) << "milliseconds the main window took at most to answer";
            user.screenshot(window, L"preview-window-slow-picture");
            PostMessageW(main, WM_CLOSE, 0, 0);
        },
        Patience);
    EXPECT_EQ(program.exitCode(), 0);
    robot.finish();
}

namespace {

// What the program's threads do with the keyboard: the window that has the focus, and the active one.
GUITHREADINFO keyboardOf(HWND main)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info);
    return info;
}

int threadCountOf(DWORD process)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    int threads = 0;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        if (entry.th32ProcessID == process)
            threads = static_cast<int>(entry.cntThreads);
    CloseHandle(snapshot);
    return threads;
}

// The program's preview windows, and how many of them show.
struct PreviewWindows {
    DWORD process;
    std::vector<HWND> all;
    int shown = 0;
};

PreviewWindows previewWindowsOf(DWORD process)
{
    PreviewWindows found{process};
    EnumWindows(
        [](HWND window, LPARAM lParam) -> BOOL {
            auto* found = reinterpret_cast<PreviewWindows*>(lParam);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t name[64] = L"";
            GetClassNameW(window, name, 64);
            if (owner == found->process && std::wstring(name) == PreviewClass) {
                found->all.push_back(window);
                found->shown += IsWindowVisible(window) ? 1 : 0;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Whether `lower` lies somewhere behind `upper` in the order of the top-level windows.
bool liesBehind(HWND lower, HWND upper)
{
    for (HWND next = GetWindow(upper, GW_HWNDNEXT); next; next = GetWindow(next, GW_HWNDNEXT))
        if (next == lower)
            return true;
    return false;
}

} // namespace

TEST_F(ProgramWindowTest, EnterOnManySelectedPicturesShowsEveryWindowWithAFewThreadsWhileTheMainWindowAnswers)
{
    constexpr int Count = 100;
    std::wstring many = folder.file(L"many");
    CreateDirectoryW(many.c_str(), nullptr);
    for (int i = 0; i < Count; ++i)
        writeSolidPicture(many + L"\\p" + std::to_wstring(i) + L".png", Colours[i % 3], 64, 48);
    RunningProgram program(copy.path(), L"\"" + many + L"\"");
    WindowRobot robot(
        [&](WindowRobot& user) {
            user.watchProcess(program.id());
            HWND main = waitForList(user, Count);
            SendMessageW(main, WM_COMMAND, IDM_SELECT_ALL, 0);
            int before = threadCountOf(program.id());
            int most = before;
            PostMessageW(child(main, {SplitterId, ListPaneId, InnerListId}), WM_KEYDOWN, VK_RETURN, 0);
            Answers answers = answersUntil(
                user, main,
                [&] {
                    most = std::max(most, threadCountOf(program.id()));
                    return previewWindowsOf(program.id()).shown == Count;
                },
                L"every preview window");
            EXPECT_GT(answers.looks, 5) << "looks while the windows opened";
            EXPECT_LT(answers.longest.count(), 100) << "milliseconds the main window took at most to answer";
            SYSTEM_INFO system{};
            GetSystemInfo(&system);
            EXPECT_LE(most - before, static_cast<int>(system.dwNumberOfProcessors) + 2)
                << "threads made for " << Count << " windows";
            user.screenshot(GetDesktopWindow(), L"preview-windows-of-a-selection");
            PostMessageW(main, WM_CLOSE, 0, 0);
        },
        Patience);
    EXPECT_EQ(program.exitCode(), 0);
    robot.finish();
}

// A preview window that comes once the user has gone on to something else shows behind it: the folder question
// of a conversion keeps the activation and the keys; and a window still decoding never gets the focus.
TEST_F(ProgramWindowTest, APreviewWindowThatComesLateStaysBehindTheQuestionAndAHiddenOneNeverGetsTheFocus)
{
    addTextChunks(pictures[1], 2000);
    writeSettings([](AppSetting& setting) {
        setting.fileSaveSrcFolder = false;
        setting.fileEnsureSetting = false;
        setting.viewPreview = false;
    });
    RunningProgram program(copy.path(), L"\"" + pictures[1] + L"\"");
    WindowRobot robot(
        [&](WindowRobot& user) {
            user.watchProcess(program.id());
            HWND main = waitForSelectedPicture(user);
            HWND list = child(main, {SplitterId, ListPaneId, InnerListId});

            // Asked for again while it decodes: the hidden window is not given the focus.
            PostMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
            user.waitUntil([&] { return !previewWindowsOf(program.id()).all.empty(); }, L"the preview window made");
            PostMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
            std::set<HWND> hiddenFocus;
            user.waitUntil(
                [&] {
                    HWND focus = keyboardOf(main).hwndFocus;
                    if (focus && !IsWindowVisible(GetAncestor(focus, GA_ROOT)))
                        hiddenFocus.insert(focus);
                    return previewWindowsOf(program.id()).shown == 1;
                },
                L"the preview window shown");
            EXPECT_TRUE(hiddenFocus.empty()) << "a hidden window had the focus";
            HWND first = previewWindowsOf(program.id()).all.front();
            PostMessageW(first, WM_CLOSE, 0, 0);
            user.waitUntilGone(first);

            // Enter, then at once the conversion of the selection, whose folder question comes before the picture.
            PostMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
            PostMessageW(main, WM_COMMAND, IDM_CONVERT_SELECTED, 0);
            HWND question = user.waitForWindow({L"#32770", {}, main});
            std::chrono::milliseconds longest =
                answersUntil(user, main, [&] { return previewWindowsOf(program.id()).shown == 1; },
                             L"the late preview window")
                    .longest;
            HWND late = previewWindowsOf(program.id()).all.front();
            GUITHREADINFO keyboard = keyboardOf(main);
            EXPECT_EQ(keyboard.hwndActive, question) << "the question stays active";
            EXPECT_TRUE(keyboard.hwndFocus && GetAncestor(keyboard.hwndFocus, GA_ROOT) == question)
                << "the keys go to the question";
            EXPECT_TRUE(liesBehind(late, question)) << "the preview lies behind the question";
            EXPECT_LT(longest.count(), 100) << "milliseconds the main window took at most to answer";
            user.screenshot(GetDesktopWindow(), L"late-preview-behind-the-question");
            user.press(question, IDCANCEL);
            user.waitUntilGone(question);
            PostMessageW(main, WM_CLOSE, 0, 0);
        },
        Patience);
    EXPECT_EQ(program.exitCode(), 0);
    robot.finish();
}

// The properties of a picture that takes long to read: the main window answers and paints meanwhile, takes no
// input, and shows the sheet once the picture is read.
TEST_F(ProgramWindowTest, APicturesPropertiesAreReadWhileTheMainWindowAnswers)
{
    std::wstring large = folder.file(L"大きな写真.jpg");
    writeLargeJpeg(large, 6000, 4000);
    // The pane, which would decode the picture first, is left out.
    writeSettings([](AppSetting& setting) { setting.viewPreview = false; });
    RunningProgram program(copy.path(), L"\"" + large + L"\"");
    WindowRobot robot(
        [&](WindowRobot& user) {
            user.watchProcess(program.id());
            HWND main = waitForSelectedPicture(user);
            PostMessageW(main, WM_COMMAND, IDM_PICTURE_PROPERTIES, 0);
            int looks = 0;
            bool heldWhileReading = false;
            HWND sheet = nullptr;
            Answers answers = answersUntil(
                user, main,
                [&] {
                    if (++looks == 3)
                        user.screenshot(main, L"properties-while-reading");
                    sheet = FindWindowW(L"#32770", L"画像のプロパティ");
                    bool shown = sheet && IsWindowVisible(sheet);
                    heldWhileReading = heldWhileReading || (!shown && !IsWindowEnabled(main));
                    return shown;
                },
                L"the properties sheet");
            EXPECT_TRUE(heldWhileReading) << "the main window took input while the picture was read";
            EXPECT_GT(answers.looks, 10) << "looks while the picture was read";
            EXPECT_LT(answers.longest.count(), 100) << "milliseconds the main window took at most to answer";
            user.screenshot(sheet, L"properties-of-a-slow-picture");
            user.press(sheet, IDCANCEL);
            user.waitUntilGone(sheet);
            user.waitUntil([&] { return IsWindowEnabled(main) != FALSE; }, L"the main window given back");
            PostMessageW(main, WM_CLOSE, 0, 0);
        },
        Patience);
    EXPECT_EQ(program.exitCode(), 0);
    robot.finish();
}
