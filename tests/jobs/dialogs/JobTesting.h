#pragma once
// The jobs' surroundings: the program's message tables, GDI+, an application object for the message boxes, the
// default settings and a log window, both lent to the jobs. Jobs run under their real progress dialogs.
#include <windows.h>
#include <gtest/gtest.h>
#include <regex>
#include <string>
#include "imaging/GdiplusSession.h"
#include "jobs/LogMessages.h"
#include "jobs/LogWindow.h"
#include "jobs/ProgressDialog.h"
#include "settings/Messages.h"
#include "support/ComTesting.h"
#include "support/GlobalApplication.h"
#include "support/LentSettings.h"
#include "support/RichEditText.h"
#include "support/ScratchFolder.h"
#include "support/WindowRobot.h"

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

    // The log's text with the dates and times of start and end lines, which a test cannot know, as "T".
    std::wstring logText()
    {
        static const std::wregex stamp(L"\\d{4}:\\d{2}:\\d{2} \\d{2}:\\d{2}:\\d{2}");
        return std::regex_replace(richEditText(log.getPane().getTextControl()), stamp, L"T");
    }

    // A path in the test's folder.
    wstring pathOf(const wchar_t* name) const { return wstring(folder.file(name).c_str()); }

    ScratchFolder folder{L"jobs-dialogs"};
    GdiplusSession graphics;
    LentSettings lent;
    AppSetting& setting = lent.setting;
    LogWindow log;
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
