// The log window: what closing it does, its line limit, and how the jobs' lines look in it.
#include "JobTesting.h"
#include "support/ExpectCode.h"
#include "jobs/CancelThreadOperationImpl.h"
#include "settings/OutputFormat.h"
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
}
