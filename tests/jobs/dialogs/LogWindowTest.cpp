// The log window: what closing it does, its line limit, and how the jobs' lines look in it.
#include "JobTesting.h"
#include "support/ExpectCode.h"
#include "jobs/CancelThreadOperationImpl.h"
#include "settings/OutputFormat.h"
#include "settings/settingsStrings.h"
#include "support/Screenshot.h"
#include "toolkit/Font.h"

namespace {

class LogWindowTest : public JobTest {};

} // namespace

TEST_F(LogWindowTest, ClosingOnlyHidesItAndAJobOverAnEmptyListStillWritesIntoIt)
{
    log.show(true);
    SendMessageW(log.getHandle(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(IsWindow(log.getHandle()));
    EXPECT_FALSE(IsWindowVisible(log.getHandle()));

    CancelThreadOperationImpl job(OutputFormat::Png, L"png", pathOf(L""), wstringArray());
    EXPECT_EQ(runJob(job), IDOK);
    EXPECT_EQ(logText(), L"---- 変換開始(T) ----\r\n\r\n\r\n---- 変換終了(T) ----\r\n\r\n"
                         L"処理ファイル数:0 成功:0 失敗:0 スキップ:0\r\n\r\n");
    EXPECT_EQ(job.getOutputFolders().count(), 0);

    log.setLimit(3);
    EXPECT_EQ(logText(), L"処理ファイル数:0 成功:0 失敗:0 スキップ:0\r\n\r\n") << "the last 3 lines, two of them empty";
    log.destroy();
    EXPECT_EQ(thrownCode([&] { log.setLimit(5); }), ErrorCode::WindowGone);
}

TEST_F(LogWindowTest, JapaneseLinesInTheirColours)
{
    log.show(true);
    // The program gives the pane a Japanese face at start-up; the test prefix has this one.
    Font font;
    ASSERT_TRUE(font.create(nullptr, L"IPAPGothic", 9, FW_NORMAL, false, false, false, DEFAULT_CHARSET));
    log.getPane().setFont(font.handle());
    log.write(wstring(L"---- 変換開始(2026:12:09 10:11:12) ----\r\n\r\nC:\\写真\\夏.jpg -> C:\\出力\\夏.png\r\n"));
    log.getPane().setTextColor(static_cast<int>(setting.windowLogFailureColor));
    log.write(wstring(L"(failure)"));
    log.getPane().setTextColor(-1);
    log.write(wstring(L"C:\\写真\\壊れた.png\r\n処理を中断しました。\r\n"));
    EXPECT_FALSE(saveWindowScreenshot(log.getHandle(), L"log-window").empty());

    HWND control = log.getPane().getTextControl();
    EXPECT_EQ(logText(), L"---- 変換開始(T) ----\r\n\r\nC:\\写真\\夏.jpg -> C:\\出力\\夏.png\r\n(failure)C:\\写真\\"
                         L"壊れた.png\r\n処理を中断しました。\r\n");
    LONG failure = richEditFind(control, L"(failure)");
    ASSERT_GE(failure, 0);
    EXPECT_EQ(richEditColorAt(control, failure - 1), -1) << "the line before, in the system's colour";
    EXPECT_EQ(richEditColorAt(control, failure), static_cast<int>(setting.windowLogFailureColor));
    EXPECT_EQ(richEditColorAt(control, failure + 8), static_cast<int>(setting.windowLogFailureColor));
    EXPECT_EQ(richEditColorAt(control, failure + 9), -1) << "the failed picture's name";
    EXPECT_EQ(richEditColorAt(control, richEditFind(control, L"処理を中断")), -1);
}

namespace {

// Whether anything is drawn in the control's client area from the point, that wide and high, other than the
// colour of the point's corner.
bool drawnAt(HWND control, POINT at, int width, int height)
{
    UpdateWindow(control);
    HDC dc = GetDC(control);
    COLORREF background = GetPixel(dc, at.x + width - 1, at.y);
    bool drawn = false;
    for (int y = at.y; y < at.y + height && !drawn; ++y)
        for (int x = at.x; x < at.x + width && !drawn; ++x)
            drawn = GetPixel(dc, x, y) != background;
    ReleaseDC(control, dc);
    return drawn;
}

POINT pointOfCharacter(HWND control, LONG position)
{
    POINTL at{};
    SendMessageW(control, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), position);
    return {at.x, at.y};
}

} // namespace

TEST_F(LogWindowTest, AJobsLongLinesShowFromTheirStartWithEveryUnderscore)
{
    // A narrow log window in the program's face, chosen from its list as the program does.
    log.setBounds(0, 0, 360, 160);
    log.show(true);
    wstring faces;
    faces.loadString(GetModuleHandleW(nullptr), IDS_FONT_FACES);
    Font font;
    ASSERT_TRUE(
        font.create(nullptr, firstInstalledFace(faces).buffer(), 9, FW_NORMAL, false, false, false, DEFAULT_CHARSET));
    log.getPane().setFont(font.handle());
    CreateDirectoryW(pathOf(L"summer_holiday_pictures").buffer(), nullptr);
    Files pictures{png(L"summer_holiday_pictures\\pic_01.png"), file(L"summer_holiday_pictures\\not_a_picture.png"),
                   png(L"summer_holiday_pictures\\pic_02.png")};
    CreateDirectoryW(pathOf(L"converted_pictures").buffer(), nullptr);
    CancelThreadOperationImpl job(OutputFormat::Png, L"png", pathOf(L"converted_pictures\\"), pictures);
    runJob(job, [](WindowRobot& user) { user.answerMessageBox(IDYES, waitForProgress(user, L"保存中")); });
    log.write(wstring(L"________\r\n"));

    HWND control = log.getPane().getTextControl();
    EXPECT_EQ(richEditScrollPosition(control).x, 0) << "every line from its start";
    EXPECT_TRUE(showsHorizontalBar(control)) << "and a bar to read on along them";

    LONG underscores = richEditFind(control, L"________");
    POINT line = pointOfCharacter(control, underscores);
    LONG lineNumber = static_cast<LONG>(SendMessageW(control, EM_EXLINEFROMCHAR, 0, underscores));
    int lineHeight =
        line.y - pointOfCharacter(control, static_cast<LONG>(SendMessageW(control, EM_LINEINDEX, lineNumber - 1, 0))).y;
    RECT client;
    GetClientRect(control, &client);
    EXPECT_TRUE(line.y >= 0 && line.y + lineHeight <= client.bottom) << "the newest lines in view";
    EXPECT_TRUE(drawnAt(control, line, 40, lineHeight)) << "underscores are drawn";
    saveWindowScreenshot(log.getHandle(), L"log-window-long-lines");
}
