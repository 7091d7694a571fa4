#include <gtest/gtest.h>
#include <tuple>
#include <vector>
#include "ToolkitTestResources.h"
#include "ToolkitTesting.h"
#include "support/ExpectCode.h"
#include "support/Screenshot.h"
#include "support/WindowRobot.h"
#include "toolkit/Dialog.h"
#include "toolkit/DialogTemplate.h"

namespace {

constexpr wchar_t NameCaption[] = L"名前の入力";
constexpr wchar_t Prompt[] = L"保存する名前を入力してください。";
constexpr wchar_t Question[] = L"この名前で保存しますか?";

// Asks for a name; "確認..." asks a question and fails when the answer is no.
template <typename Base>
class NameDialogOf : public Base {
public:
    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_INITDIALOG) {
            seenParam = lParam;
            // Opening the dialog again while it shows is refused.
            reopenCode = thrownCode([&] { this->doModal(nullptr, IDD_NAME_EXTENDED, nullptr, 0); });
            return TRUE;
        }
        return Base::handleMessage(window, message, wParam, lParam);
    }
    void onCommand(HWND window, int id, int) override
    {
        if (id == IDC_CHECK_NAME && MessageBoxW(window, Question, L"確認", MB_YESNOCANCEL) == IDNO)
            throw Exception(5555);
        if (id == IDOK)
            name = textOf(window, IDC_NAME);
        if (id == IDOK || id == IDCANCEL)
            close(id);
    }
    void onException(const Exception& exception) override { exceptionCodes.push_back(exception.getCode()); }

    LPARAM seenParam = 0;
    int reopenCode = 0;
    std::wstring name;
    std::vector<int> exceptionCodes;

private:
    static std::wstring textOf(HWND window, int id)
    {
        wchar_t text[256] = L"";
        GetDlgItemTextW(window, id, text, 256);
        return text;
    }
    void close(int id)
    {
        if (this->isModal())
            this->endDialog(id);
        else
            this->destroy();
    }
};

using NameDialog = NameDialogOf<Dialog>;
using NameAppDialog = NameDialogOf<AppDialog>;

// What a dialog's prompt is drawn in, read by the robot while the dialog shows.
struct Looks {
    std::wstring face;
    LONG height = 0;
};

Looks looksOf(HWND dialog)
{
    HWND prompt = GetDlgItem(dialog, IDC_PROMPT);
    return {fontFaceOf(prompt), fontHeightOf(prompt)};
}

// A template of the test program as its bytes.
std::vector<BYTE> templateBytes(UINT id)
{
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), RT_DIALOG);
    const BYTE* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    return std::vector<BYTE>(bytes, bytes + SizeofResource(module, found));
}

// The character height in pixels that a dialog font of that many points gets on this display.
LONG heightOfPoints(int points)
{
    HDC screen = GetDC(nullptr);
    LONG height = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    return height;
}

} // namespace

TEST(Dialog, AModalDialogShowsTheFirstInstalledFaceOfTheUsersListAndTalksToItsObject)
{
    LentSettings settings(L"Korvilane Missing Face:9;IPAPGothic:10");
    NameAppDialog dialog;
    Looks looks;
    std::wstring prompt, question;
    WindowRobot robot([&](WindowRobot& user) {
        HWND shown = user.waitForWindow(WindowQuery::dialog(NameCaption));
        looks = looksOf(shown);
        prompt = user.text(shown, IDC_PROMPT);
        user.screenshot(shown, L"dialog_japanese");
        user.press(shown, IDC_CHECK_NAME);
        question = user.answerMessageBox(IDNO, shown);
        user.type(shown, IDC_NAME, L"新しい名前");
        user.press(shown, IDOK);
        user.waitUntilGone(shown);
    });
    INT_PTR result = dialog.doModal(nullptr, IDD_NAME_EXTENDED, nullptr, 77);
    robot.finish();

    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(looks.face, InstalledFace);
    EXPECT_EQ(looks.height, heightOfPoints(10));
    EXPECT_EQ(prompt, Prompt);
    EXPECT_EQ(question, Question);
    EXPECT_EQ(dialog.exceptionCodes, std::vector<int>{5555}) << "the handler's exception reached the object";
    EXPECT_EQ(dialog.name, L"新しい名前");
    EXPECT_EQ(dialog.seenParam, 77);
    EXPECT_EQ(dialog.reopenCode, ErrorCode::InvalidState);
    EXPECT_EQ(dialog.getHandle(), nullptr);
    EXPECT_FALSE(dialog.isModal());
}

TEST(Dialog, AMissingFaceKeepsTheTemplatesFontAndASizeOfNoneKeepsItsSize)
{
    // The same dialog object shown twice, with one more face in its list the second time.
    NameDialog dialog;
    for (auto [face, points, expected] : {std::tuple{MissingFace, 9, L"MS Shell Dlg"}, {InstalledFace, 0, InstalledFace}}) {
        dialog.addPriorityFont(face, points);
        Looks looks;
        WindowRobot robot([&](WindowRobot& user) {
            HWND shown = user.waitForWindow(WindowQuery::dialog(NameCaption));
            looks = looksOf(shown);
            user.press(shown, IDCANCEL);
        });
        EXPECT_EQ(dialog.doModal(nullptr, IDD_NAME_EXTENDED, nullptr, 0), IDCANCEL);
        robot.finish();
        EXPECT_EQ(looks.face, expected);
        EXPECT_EQ(looks.height, heightOfPoints(8)) << "the template's 8 points";
    }
}

TEST(Dialog, ATemplateWithoutAFontGetsTheFaceAndKeepsEveryItem)
{
    NameDialog dialog;
    dialog.addPriorityFont(InstalledFace, 0);
    Looks looks;
    std::vector<std::wstring> labels;
    WindowRobot robot([&](WindowRobot& user) {
        HWND shown = user.waitForWindow(WindowQuery::dialog(L"フォントなし"));
        looks = looksOf(shown);
        labels = user.staticTexts(shown);
        user.screenshot(shown, L"dialog_plain_template");
        user.press(shown, IDOK);
    });
    EXPECT_EQ(dialog.doModal(nullptr, IDD_NAME_PLAIN, nullptr, 0), IDOK);
    robot.finish();
    EXPECT_EQ(looks.face, InstalledFace);
    EXPECT_EQ(looks.height, heightOfPoints(9)) << "no size anywhere: a readable default";
    EXPECT_EQ(labels, std::vector<std::wstring>{L"日本語のラベル"});
}

TEST(Dialog, AModelessDialogLivesInTheCallersMessageLoop)
{
    NameDialog dialog;
    WindowRobot robot([&](WindowRobot& user) {
        HWND shown = user.waitForWindow(WindowQuery::dialog(NameCaption));
        user.type(shown, IDC_NAME, L"モードレス");
        EXPECT_FALSE(saveScreenScreenshot(L"screen_with_modeless_dialog").empty());
        user.press(shown, IDOK);
    });
    HWND shown = dialog.create(nullptr, IDD_NAME_EXTENDED, nullptr, 5);
    ASSERT_TRUE(shown);
    EXPECT_FALSE(dialog.isModal());
    EXPECT_TRUE(pumpMessagesUntil([&] { return !IsWindow(shown); }));
    robot.finish();
    EXPECT_EQ(dialog.name, L"モードレス");
    EXPECT_EQ(dialog.seenParam, 5);
    EXPECT_EQ(dialog.getHandle(), nullptr);
}

namespace {

// A dialog whose setting up fails for a reason of the program's own.
class FailingDialog : public Dialog {
public:
    bool onInitDialog(HWND) override { throw ApplicationException(L"設定を読めません。"); }
};

} // namespace

TEST(Dialog, ADialogThatCannotSetItselfUpEndsAndReportsWhy)
{
    FailingDialog dialog;
    for (bool modal : {true, false}) {
        std::wstring why;
        try {
            if (modal)
                dialog.doModal(nullptr, IDD_NAME_EXTENDED, nullptr, 0);
            else
                dialog.create(nullptr, IDD_NAME_EXTENDED, nullptr, 0);
        } catch (const ApplicationException& exception) {
            why = exception.getText();
        }
        EXPECT_EQ(why, L"設定を読めません。") << (modal ? "modal" : "modeless");
        EXPECT_EQ(dialog.getHandle(), nullptr);
        EXPECT_FALSE(IsWindow(FindWindowW(L"#32770", NameCaption))) << "no dialog is left behind";
    }
}

TEST(DialogTemplate, ATruncatedTemplateIsRefusedAndAMissingOneReported)
{
    std::vector<BYTE> extended = templateBytes(IDD_NAME_EXTENDED);
    for (size_t size : {size_t(4), size_t(26), size_t(40)})
        EXPECT_EQ(thrownCode([&] { DialogTemplate::withFont(extended.data(), size, InstalledFace, 9); }),
                  ErrorCode::InvalidArgument)
            << size;
    PriorityFontList none;
    EXPECT_EQ(thrownCode([&] { DialogTemplate::load(nullptr, 999, none); }), ERROR_RESOURCE_NAME_NOT_FOUND);
}

TEST(PriorityFonts, TheUsersListIsReadInOrderAndMalformedEntriesAreRefused)
{
    PriorityFontList fonts;
    fonts.addFromSetting(L"Korvilane Missing Face:9;;IPAPGothic:0;Tahoma:11");
    ASSERT_EQ(fonts.count(), 3);
    EXPECT_TRUE(fonts.at(1).face == L"IPAPGothic");
    EXPECT_EQ(fonts.at(1).points, 0);
    EXPECT_EQ(fonts.firstInstalled(), &fonts.at(1));

    for (const wchar_t* bad : {L"Meiryo UI", L"Meiryo UI:nine", L"Meiryo UI:9;Tahoma", L"Meiryo UI:-3"}) {
        LentSettings settings(bad);
        EXPECT_EQ(thrownCode([] { NameAppDialog dialog; }), ErrorCode::InvalidArgument) << bad;
    }
    EXPECT_EQ(thrownCode([] { NameAppDialog dialog; }), ErrorCode::InvalidState) << "no settings record lent";
}
