#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <chrono>
#include "ToolkitTestResources.h"
#include "support/WindowRobot.h"
#include "toolkit/Dialog.h"

// The harness itself: when the robot does not find what it waits for, the test fails with a message that
// says what was missing, and the window left open is closed so the test's thread comes back.

namespace {

// A dialog that only ends when cancelled.
class StubbornDialog : public Dialog {
public:
    void onCommand(HWND, int id, int) override
    {
        if (id == IDCANCEL)
            endDialog(IDCANCEL);
    }
};

// Long enough for a dialog to appear on a loaded machine.
constexpr std::chrono::milliseconds Short{3000};

} // namespace

TEST(WindowRobot, AWindowThatNeverAppearsFailsTheTestAndFreesTheModalLoop)
{
    StubbornDialog dialog;
    WindowRobot robot([](WindowRobot& user) { user.waitForWindow(WindowQuery::dialog(L"どこにもない")); }, Short);
    INT_PTR result = dialog.doModal(nullptr, IDD_NAME_EXTENDED, nullptr, 0);
    EXPECT_NONFATAL_FAILURE(robot.finish(), "gave up after 3000 ms waiting for a window of class #32770 captioned");
    EXPECT_EQ(result, IDCANCEL) << "the robot cancelled the dialog it left open";
}

TEST(WindowRobot, AButtonThatStaysDisabledIsNotPressed)
{
    StubbornDialog dialog;
    WindowRobot robot(
        [](WindowRobot& user) {
            HWND shown = user.waitForWindow(WindowQuery::dialog(L"名前の入力"));
            EnableWindow(GetDlgItem(shown, IDOK), FALSE);
            user.press(shown, IDOK);
        },
        Short);
    dialog.doModal(nullptr, IDD_NAME_EXTENDED, nullptr, 0);
    EXPECT_NONFATAL_FAILURE(robot.finish(), "button 1 of");
}

TEST(WindowRobot, AMessageBoxAnswerIsOnlyGivenWithAButtonTheBoxHas)
{
    int answer = 0;
    WindowRobot robot([](WindowRobot& user) { user.answerMessageBox(IDYES); }, Short);
    answer = MessageBoxW(nullptr, L"続けますか?", L"確認", MB_OKCANCEL);
    EXPECT_NONFATAL_FAILURE(robot.finish(), "has no button 6");
    EXPECT_EQ(answer, IDCANCEL);
}
