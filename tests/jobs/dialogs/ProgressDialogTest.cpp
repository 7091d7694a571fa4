// The worker thread and the progress dialogs, driven with jobs whose run is the test's own function.
#include <functional>
#include <stdexcept>
#include "JobTesting.h"

namespace {

class ScriptedJob : public CancelThreadOperation {
public:
    using Progress = DlgCancelSimple;
    static constexpr UINT DialogTemplate = 1313;

    explicit ScriptedJob(std::function<int(ProgressDialog&)> body) : body(std::move(body)) {}
    int run(ProgressDialog& dialog) override { return body(dialog); }

private:
    std::function<int(ProgressDialog&)> body;
};

class ProgressDialogTest : public JobTest {};

} // namespace

TEST_F(ProgressDialogTest, TheJobsResultDecidesHowEachJobsDialogCloses)
{
    // A job that ends before its dialog has painted still closes it: the result is posted.
    const int results[] = {0, 3, CancelThreadOperation::Cancelled, CancelThreadOperation::Failed, 1, 0, -1};
    for (UINT id = 1312; id <= 1318; ++id) {
        int result = results[id - 1312];
        ScriptedJob job([=](ProgressDialog&) { return result; });
        DlgCancelSimple dialog(job);
        EXPECT_EQ(dialog.doModal(nullptr, id, nullptr, 0), result < 0 ? IDCANCEL : IDOK) << id;
    }
}

TEST_F(ProgressDialogTest, AnErrorThatEscapesTheJobIsShownOverTheDialogAndEndsTheJobAsFailed)
{
    ScriptedJob failing([](ProgressDialog&) -> int { throw ApplicationException(L"ジョブが壊れました。"); });
    ScriptedJob foreign([](ProgressDialog&) -> int { throw std::runtime_error("not a program error"); });
    for (ScriptedJob* job : {&failing, &foreign}) {
        std::wstring shown;
        EXPECT_EQ(runJob(*job,
                         [&](WindowRobot& user) {
                             shown = user.answerMessageBox(IDOK, waitForProgress(user, L"画像分割中"));
                         }),
                  IDCANCEL);
        EXPECT_EQ(shown, job == &failing ? L"ジョブが壊れました。" : L"not a program error");
    }
}
