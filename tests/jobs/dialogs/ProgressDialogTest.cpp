// The worker thread and the progress dialogs, driven with jobs whose run is the test's own function.
#include <functional>
#include <stdexcept>
#include "JobTesting.h"

namespace {

// A job whose run is the test's function, shown under the dialog of the template.
template <typename Dialog, UINT Template>
class ScriptedJobOf : public CancelThreadOperation {
public:
    using Progress = Dialog;
    static constexpr UINT DialogTemplate = Template;

    explicit ScriptedJobOf(std::function<int(ProgressDialog&)> body) : body(std::move(body)) {}
    int run(ProgressDialog& dialog) override { return body(dialog); }

private:
    std::function<int(ProgressDialog&)> body;
};

using ScriptedJob = ScriptedJobOf<DlgCancelSimple, 1313>;
using CountingJob = ScriptedJobOf<DlgCancel, 1311>;

// Until the user has cancelled.
void waitForCancel(ProgressDialog& dialog)
{
    while (!dialog.isCancelled())
        Sleep(10);
}

class ProgressDialogTest : public JobTest {};

} // namespace

TEST_F(ProgressDialogTest, TheJobsResultDecidesHowTheDialogCloses)
{
    // A job that ends before the dialog has painted still closes it: the result is posted.
    for (int result : {0, 3, CancelThreadOperation::Cancelled, CancelThreadOperation::Failed}) {
        ScriptedJob job([=](ProgressDialog&) { return result; });
        EXPECT_EQ(runJob(job), result < 0 ? IDCANCEL : IDOK) << result;
    }
}

TEST_F(ProgressDialogTest, CancelOnlyAsksTheJobToStopAndTheDialogWaitsForIt)
{
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    bool stillCancelled = false;
    ScriptedJob job([&](ProgressDialog& dialog) {
        waitForCancel(dialog);
        WaitForSingleObject(release, 10000);
        Canceller canceller(dialog);
        stillCancelled = canceller.isCancelled() && canceller.isCancelled();
        return CancelThreadOperation::Cancelled;
    });
    INT_PTR result = runJob(job, [&](WindowRobot& user) {
        HWND dialog = waitForProgress(user, L"画像分割中");
        pressCancel(dialog);
        pressCancel(dialog);
        Sleep(200);
        EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog stays until the job has ended";
        SetEvent(release);
        user.waitUntilGone(dialog);
    });
    CloseHandle(release);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(stillCancelled);
}

TEST_F(ProgressDialogTest, AnErrorThatEscapesTheJobIsShownOverTheDialogAndEndsTheJobAsFailed)
{
    ScriptedJob failing([](ProgressDialog&) -> int { throw ApplicationException(L"ジョブが壊れました。"); });
    std::wstring shown;
    EXPECT_EQ(runJob(failing,
                     [&](WindowRobot& user) {
                         shown = user.answerMessageBox(IDOK, waitForProgress(user, L"画像分割中"));
                     }),
              IDCANCEL);
    EXPECT_EQ(shown, L"ジョブが壊れました。");

    ScriptedJob foreign([](ProgressDialog&) -> int { throw std::runtime_error("not a program error"); });
    EXPECT_EQ(runJob(foreign,
                     [&](WindowRobot& user) {
                         shown = user.answerMessageBox(IDOK, waitForProgress(user, L"画像分割中"));
                     }),
              IDCANCEL);
    EXPECT_EQ(shown, L"not a program error");
}

TEST_F(ProgressDialogTest, TheSavingDialogCountsThePicturesDone)
{
    CountingJob job([](ProgressDialog& dialog) {
        dialog.progress(3, 5);
        waitForCancel(dialog);
        return CancelThreadOperation::Cancelled;
    });
    INT_PTR result = runJob(job, [&](WindowRobot& user) {
        HWND dialog = waitForProgress(user, L"保存中");
        user.waitUntil([&] { return user.text(dialog, DlgCancel::CountId) == L"( 3 / 5 )"; }, L"( 3 / 5 )");
        EXPECT_EQ(user.text(dialog, 1033), L"保存しています．．．");
        user.screenshot(dialog, L"progress-saving");
        user.press(dialog, IDCANCEL);
        user.waitUntilGone(dialog);
    });
    EXPECT_EQ(result, IDCANCEL);
}

TEST_F(ProgressDialogTest, EveryJobHasItsDialog)
{
    const std::pair<UINT, const wchar_t*> dialogs[] = {
        {1312, L"サムネイル作成中"},   {1313, L"画像分割中"},        {1314, L"画像結合中"},
        {1315, L"TIFFファイル作成中"}, {1316, L"GIFファイル作成中"}, {1317, L"AVIファイル作成中"},
        {1318, L"スクリーンセーバー作成中"},
    };
    for (const auto& [id, caption] : dialogs) {
        ScriptedJob job([](ProgressDialog& dialog) {
            waitForCancel(dialog);
            return CancelThreadOperation::Cancelled;
        });
        DlgCancelSimple dialog(job);
        WindowRobot robot([&, caption = caption](WindowRobot& user) {
            HWND shown = waitForProgress(user, caption);
            EXPECT_NE(user.text(shown, 1033), L"");
            user.press(shown, IDCANCEL);
        });
        EXPECT_EQ(dialog.doModal(nullptr, id, nullptr, 0), IDCANCEL) << id;
        robot.finish();
    }
}
