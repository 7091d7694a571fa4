#pragma once
// The jobs' surroundings: the program's message tables, GDI+, an application object for the message boxes, the
// default settings and a log window, both lent to the jobs. Jobs run under their real progress dialogs.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <initializer_list>
#include <map>
#include <regex>
#include <string>
#include <vector>
#include "imaging/GdiplusSession.h"
#include "imaging/gdipImageIO.h"
#include "jobs/LogMessages.h"
#include "jobs/LogWindow.h"
#include "jobs/ProgressDialog.h"
#include "settings/Messages.h"
#include "support/ComTesting.h"
#include "support/GlobalApplication.h"
#include "support/LentSettings.h"
#include "support/RichEditText.h"
#include "support/ScratchFolder.h"
#include "support/Screenshot.h"
#include "support/WindowRobot.h"
#include "support/fileBytes.h"
#include "support/ImagingTestSupport.h"

inline std::string contentsOf(const wstring& path)
{
    std::vector<BYTE> bytes = readBytes(path.buffer());
    return std::string(bytes.begin(), bytes.end());
}

inline bool exists(const wstring& path)
{
    return GetFileAttributesW(path.buffer()) != INVALID_FILE_ATTRIBUTES;
}

// A job's log: its start line, the lines between, its end line and the last line (a label and a value).
inline std::wstring jobLog(const std::wstring& job, const std::wstring& lines, const std::wstring& last)
{
    return L"---- " + job + L"開始(T) ----\r\n\r\n" + lines + L"\r\n---- " + job + L"終了(T) ----\r\n\r\n" + last +
           L"\r\n\r\n";
}

// The line of a picture that went into the job's one output.
inline std::wstring arrow(const wstring& picture)
{
    return std::wstring(picture.buffer()) + L" -> \r\n";
}

const std::wstring Stopped = L"処理を中断しました。\r\n";
const std::wstring ErrorEnd = L"\r\n---- 異常終了(T) ----\r\n\r\n";

// Files left under a temporary name in the folder.
inline int temporaryFilesIn(const wstring& folder)
{
    return temporaryFilesIn(std::wstring(folder.buffer()));
}

// The same files under the same names, byte for byte.
inline void expectSameFiles(const std::map<std::wstring, Bytes>& actual, const std::map<std::wstring, Bytes>& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (const auto& [name, bytes] : expected) {
        auto other = actual.find(name);
        ASSERT_NE(other, actual.end()) << name;
        EXPECT_TRUE(other->second == bytes) << name;
    }
}

// How a job's dialog closed, and the text of the message box the user met.
using Ending = std::pair<INT_PTR, std::wstring>;

struct Files : wstringArray {
    Files() = default;
    Files(const Files& other) : wstringArray() { addAll(other); }
    Files(std::initializer_list<wstring> paths)
    {
        for (const wstring& path : paths)
            add(path);
    }
};

// The progress dialog of a job, once it shows.
inline HWND waitForProgress(WindowRobot& user, const wchar_t* caption)
{
    return user.waitForWindow(WindowQuery::dialog(caption));
}

// A message box of the job over its dialog, once it shows (left unanswered).
inline HWND waitForQuestion(WindowRobot& user, HWND dialog)
{
    return user.waitForWindow(WindowQuery{L"#32770", {}, dialog});
}

// The Cancel button, handled by the time this returns (a click is only posted), so the job sees it next.
inline void pressCancel(HWND dialog)
{
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
}

class JobTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // The message tables are read with the system's XML parser.
        static ComApartment com;
        static GlobalApplication application;
        loadMessages(GetModuleHandleW(nullptr));
        loadLogMessages(GetModuleHandleW(nullptr));
    }

    void SetUp() override
    {
        ASSERT_TRUE(graphics.isStarted());
        // The defaults of a settings file that does not exist yet.
        setting.setSectionsAndPath(wstring(folder.file(L"korvilane.xml").c_str()));
        setting.load(L"korvilane", nullptr, GetModuleHandleW(nullptr));
        setting.windowUiFontFaces = L"Meiryo UI:9;IPAPGothic:9";
        static UserWindowClass logClass;
        if (logClass.windowClass.getName().isEmpty())
            logClass.windowClass.registerClass(L"KorvilaneTestLogWindow", nullptr, 0, 0);
        log.create(0, logClass, L"ログ", WS_OVERLAPPEDWINDOW, 0, 0, 640, 360, nullptr, nullptr, nullptr);
        setAppLogWindow(&log);
    }
    void TearDown() override
    {
        setAppLogWindow(nullptr);
        log.destroy();
    }

    // The job under its progress dialog while the robot's script plays the user.
    template <typename Job>
    INT_PTR runJob(Job& job, WindowRobot::Script script = [](WindowRobot&) {})
    {
        WindowRobot robot(std::move(script));
        INT_PTR result = showProgressDialog(job, nullptr);
        robot.finish();
        return result;
    }

    // The job under its dialog (of that caption) when the user meets one message box on the way: how the dialog
    // closed, and the box's text, answered with the button.
    template <typename Job>
    Ending runAnswering(Job& job, const wchar_t* caption, int button = IDOK)
    {
        std::wstring shown;
        INT_PTR result = runJob(job, [&](WindowRobot& user) {
            shown = user.answerMessageBox(button, waitForProgress(user, caption));
        });
        return {result, shown};
    }

    // The log's text with the dates and times of start and end lines, which a test cannot know, as "T".
    std::wstring logText()
    {
        static const std::wregex stamp(L"\\d{4}:\\d{2}:\\d{2} \\d{2}:\\d{2}:\\d{2}");
        return std::regex_replace(richEditText(log.getPane().getTextControl()), stamp, L"T");
    }

    // A path in the test's folder.
    wstring pathOf(const wchar_t* name) const { return wstring(folder.file(name).c_str()); }
    // A PNG picture of one colour in the test's folder.
    wstring png(const wchar_t* name, int width = 8, int height = 6, UINT32 argb = 0xFFC81E1E)
    {
        wstring path = pathOf(name);
        BitmapPtr bitmap(makeBitmap32(width, height, [=](int, int) { return argb; }));
        EXPECT_TRUE(gdipSaveToFile(path.buffer(), L"image/png", bitmap.get(), nullptr));
        return path;
    }
    // Numbered PNG pictures name0.png, name1.png ...
    Files pngs(const wchar_t* name, int count)
    {
        Files files;
        for (int i = 0; i < count; ++i)
            files.add(png((name + std::to_wstring(i) + L".png").c_str(), 8, 6, 0xFF000000u | (i * 0x1F3D5B)));
        return files;
    }
    // A file of the test's folder with these bytes.
    wstring file(const wchar_t* name, const std::string& contents = "not a picture")
    {
        wstring path = pathOf(name);
        writeBytes(path.buffer(), std::vector<BYTE>(contents.begin(), contents.end()));
        return path;
    }

    ScratchFolder folder{L"jobs-dialogs"};
    GdiplusSession graphics;
    LentSettings lent;
    AppSetting& setting = lent.setting;
    LogWindow log;
};

// Presses Cancel on the job's dialog while the job writes the n-th piece of log text that holds the mark, so the
// job meets the cancel at its next look, right after that line. The log's pane runs on the test's thread and the
// job waits until its text is taken, so the moment is the same on every run. Given a name, it first takes a
// screenshot of the dialog as the job shows it at that moment.
class CancelAtLogText {
public:
    CancelAtLogText(LogWindow& log, std::wstring mark, int occurrence, std::wstring screenshot = {})
        : control(log.getPane().getTextControl()), mark(std::move(mark)), remaining(occurrence),
          screenshot(std::move(screenshot))
    {
        SetWindowSubclass(control, watch, 1, reinterpret_cast<DWORD_PTR>(this));
    }
    CancelAtLogText(const CancelAtLogText&) = delete;
    CancelAtLogText& operator=(const CancelAtLogText&) = delete;
    ~CancelAtLogText() { RemoveWindowSubclass(control, watch, 1); }

private:
    static LRESULT CALLBACK watch(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
    {
        auto* self = reinterpret_cast<CancelAtLogText*>(data);
        if (message == EM_REPLACESEL && lParam &&
            wcsstr(reinterpret_cast<const wchar_t*>(lParam), self->mark.c_str()) && --self->remaining == 0)
            EnumThreadWindows(GetCurrentThreadId(), pressCancelOfDialog, data);
        return DefSubclassProc(window, message, wParam, lParam);
    }
    static BOOL CALLBACK pressCancelOfDialog(HWND window, LPARAM data)
    {
        wchar_t name[16] = {};
        GetClassNameW(window, name, 16);
        if (wcscmp(name, L"#32770") != 0)
            return TRUE;
        auto* self = reinterpret_cast<CancelAtLogText*>(data);
        if (!self->screenshot.empty()) {
            EXPECT_FALSE(saveWindowScreenshot(window, self->screenshot).empty()) << "no screenshot of the dialog";
        }
        pressCancel(window);
        return FALSE;
    }

    HWND control;
    std::wstring mark;
    int remaining;
    std::wstring screenshot;
};
