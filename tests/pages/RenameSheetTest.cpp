#include <gtest/gtest.h>
#include "PageTesting.h"
#include <string>
#include <vector>
#include "pages/RenamePage.h"
#include "pages/RenameSheet.h"
#include "pages/SettingSheet.h"
#include "pages/renamePageIds.h"
#include "pages/renameSheetStrings.h"
#include "settings/AppSetting.h"
#include "settings/Messages.h"
#include "toolkit/HtmlPanel.h"

namespace {

constexpr wchar_t RenameSheetCaption[] = L"リネームと振り分けの設定";
enum Tab { RenameTab, FilterTab, ExtensionTab };

class RenameSheetTest : public PageTest {
protected:
    RenameSheetTest()
    {
        loadMessages(GetModuleHandleW(nullptr));
        setting.renameEnable = true;
        setting.renameDefinition = L"photo$index.$ext";
        setting.renameIndexBase = 100;
        setting.renameIndexIncrement = 5;
        setting.renameIndexPadding = 3;
        setting.filterEnable = true;
        setting.filterType = 1;
        setting.filterNameLength = 4;
        setting.outputExtEnable = true;
        for (const wchar_t* extension : {L"jpeg", L"gif", L"tiff", L"png", L"dib", L"jxr", L"hdp"})
            setting.outputExts.add(extension);
    }

    void runSheet(const WindowRobot::Script& script)
    {
        WindowRobot robot(
            [&](WindowRobot& user) {
                HWND shown = user.waitForWindow(WindowQuery::dialog(RenameSheetCaption));
                script(user);
                user.waitUntilGone(shown);
            },
            std::chrono::milliseconds(30000));
        showRenameSheet(nullptr);
        robot.finish();
    }

    static HWND sheetOf(WindowRobot& user) { return user.waitForWindow(WindowQuery::dialog(RenameSheetCaption)); }
};

} // namespace

TEST_F(RenameSheetTest, ThePagesOpenWhereTheUserLeftAndResetTheExtensionsToTheFormatsOwn)
{
    setting.windowIndexRenameSetting = ExtensionTab;
    runSheet([&](WindowRobot& user) {
        HWND sheet = sheetOf(user);
        HWND page = currentPage(sheet);
        EXPECT_TRUE(isEnabled(page, IDC_EXT_RESET)) << "opens at the page the user left it on";
        click(page, IDC_EXT_RESET);
        EXPECT_EQ(user.text(page, IDC_EXT_JPEG), L"jpg");
        EXPECT_EQ(user.text(page, IDC_EXT_HDPHOTO), L"wdp");
        EXPECT_EQ(user.text(page, IDC_EXT_BITMAP), L"bmp");
        click(page, IDC_EXT_ENABLE);
        EXPECT_TRUE(enabledAre(page, {IDC_EXT_JPEG_LABEL, IDC_EXT_JPEG, IDC_EXT_BITMAP, IDC_EXT_RESET}, false));
        user.screenshot(sheet, L"rename_sheet_extensions");

        page = showPage(user, sheet, FilterTab);
        EXPECT_FALSE(isEnabled(page, IDC_FILTER_LENGTH)) << "only names have a length";
        click(page, IDC_FILTER_BY_NAME);
        EXPECT_TRUE(enabledAre(page, {IDC_FILTER_LENGTH_LABEL, IDC_FILTER_LENGTH}, true));
        user.screenshot(sheet, L"rename_sheet_filter");
        click(page, IDC_FILTER_ENABLE);
        EXPECT_TRUE(enabledAre(page, {IDC_FILTER_BY_FOLDER, IDC_FILTER_BY_NAME, IDC_FILTER_LENGTH}, false));

        showPage(user, sheet, RenameTab);
        user.screenshot(sheet, L"rename_sheet_rule");
        user.press(sheet, IDOK);
    });
    EXPECT_EQ(setting.windowIndexRenameSetting, RenameTab);
    const wchar_t* const expected[] = {L"jpg", L"gif", L"tif", L"png", L"bmp", L"wdp", L"hdp"};
    ASSERT_EQ(setting.outputExts.count(), 7);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(setting.outputExts.at(i), wstring(expected[i])) << i << ", HD Photo's .hdp kept";
}

TEST_F(RenameSheetTest, AHelpPageThatFailedToLoadSaysSoInItsPlaceAndTheCounterSettingsOutliveIt)
{
    runSheet([&](WindowRobot& user) {
        HWND sheet = sheetOf(user);
        HWND page = currentPage(sheet);
        // Wine has no HTML engine: the load fails once the browser has been silent for a while.
        if (runningUnderWine()) {
            user.waitUntil([&] { return isShown(page, IDC_RENAME_HELP_FAILED); }, L"the notice of the failed help");
            EXPECT_FALSE(isShown(page, IDC_RENAME_HELP)) << "no empty box beside the notice";
            EXPECT_NE(user.text(page, IDC_RENAME_HELP_FAILED).find(L"ヘルプページを表示できませんでした。"),
                      std::wstring::npos);
        }
        user.type(page, IDC_RENAME_RULE, L"img$index");
        user.screenshot(sheet, L"rename_sheet_after_help");
        user.press(sheet, IDOK);
    });
    EXPECT_EQ(setting.renameDefinition, wstring(L"img$index"));
    if (runningUnderWine()) {
        EXPECT_EQ(setting.renameIndexBase, 100);
        EXPECT_EQ(setting.renameIndexIncrement, 5);
        EXPECT_EQ(setting.renameIndexPadding, 3);
    }
}

TEST_F(RenameSheetTest, AnEmptyRuleKeepsTheUserOnThePage)
{
    setting.renameEnable = false;
    setting.renameDefinition = L"";
    runSheet([&](WindowRobot& user) {
        HWND sheet = sheetOf(user);
        HWND page = currentPage(sheet);
        EXPECT_FALSE(enabledAre(page, {IDC_RENAME_RULE_LABEL, IDC_RENAME_RULE}, true));
        click(page, IDC_RENAME_ENABLE);
        EXPECT_TRUE(enabledAre(page, {IDC_RENAME_RULE_LABEL, IDC_RENAME_RULE}, true));
        PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
        EXPECT_EQ(user.answerMessageBox(IDOK, sheet), L"リネーム規則を入力してください。");
        EXPECT_EQ(currentPage(sheet), page) << "the page stays";
        PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_APPLYNOW, 0);
        EXPECT_EQ(user.answerMessageBox(IDOK, sheet), L"リネーム規則を入力してください。");
        user.press(sheet, IDCANCEL);
    });
    EXPECT_FALSE(setting.renameEnable);
}

namespace {

// The three counter inputs of a help page, as a loaded document hands them out: getElementById gives an
// element whose "value" is text and whose "disabled" is a flag.
class FakeDispatch : public IDispatch {
public:
    virtual ~FakeDispatch() = default;
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDispatch))
            return E_NOINTERFACE;
        *object = static_cast<IDispatch*>(this);
        return S_OK;
    }
    // The test owns the objects.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* id) override
    {
        for (DISPID known = 0; known < static_cast<DISPID>(members.size()); ++known) {
            if (members[known] == names[0]) {
                *id = known + 1;
                return S_OK;
            }
        }
        return DISP_E_UNKNOWNNAME;
    }

protected:
    std::vector<std::wstring> members;
};

class FakeInput : public FakeDispatch {
public:
    FakeInput() { members = {L"value", L"disabled"}; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result, EXCEPINFO*,
                        UINT*) override
    {
        if (flags & DISPATCH_PROPERTYPUT) {
            VARIANT text;
            VariantInit(&text);
            if (FAILED(VariantChangeType(&text, &parameters->rgvarg[0], VARIANT_ALPHABOOL, VT_BSTR)))
                return DISP_E_TYPEMISMATCH;
            (id == 1 ? value : disabled) = text.bstrVal;
            VariantClear(&text);
            return S_OK;
        }
        result->vt = VT_BSTR;
        result->bstrVal = SysAllocString((id == 1 ? value : disabled).c_str());
        return S_OK;
    }

    std::wstring value;
    std::wstring disabled;
};

class FakeHelpPage : public FakeDispatch {
public:
    FakeHelpPage() { members = {L"getElementById"}; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT* result, EXCEPINFO*,
                        UINT*) override
    {
        std::wstring id = parameters->rgvarg[0].bstrVal;
        FakeInput* input = id == L"indexBase" ? &base : id == L"indexIncrement" ? &increment : &padding;
        result->vt = VT_DISPATCH;
        result->pdispVal = input;
        return S_OK;
    }

    FakeInput base;
    FakeInput increment;
    FakeInput padding;
};

// The rename page with a help page that has loaded.
class LoadedRenamePage : public RenamePage {
public:
    explicit LoadedRenamePage(FakeHelpPage& help) : help(help) {}

protected:
    IDispatch* helpDocument() const override { return &help; }

private:
    FakeHelpPage& help;
};

} // namespace

TEST_F(RenameSheetTest, CounterInputsShowTheSettingsAndAreCheckedBeforeTheyAreStored)
{
    FakeHelpPage help;
    LoadedRenamePage page(help);
    SettingSheet sheet(IDS_RENAME_SHEET);
    sheet.add(page, IDD_RENAME);
    WindowRobot robot([&](WindowRobot& user) {
        HWND shown = user.waitForWindow(WindowQuery::dialog(RenameSheetCaption));
        HtmlPanel::HtmlPanelEventArgs loaded(true);
        page.onHelpLoaded(nullptr, loaded);
        EXPECT_EQ(help.base.value, L"100");
        EXPECT_EQ(help.padding.value, L"3");
        EXPECT_EQ(help.increment.disabled, L"False") << "renaming is on";

        auto refused = [&](const wchar_t* field, FakeInput& input, const wchar_t* text) {
            input.value = text;
            PostMessageW(shown, PSM_PRESSBUTTON, PSBTN_OK, 0);
            std::wstring message = user.answerMessageBox(IDOK, shown);
            EXPECT_NE(message.find(field), std::wstring::npos) << message;
        };
        refused(L"0-9999", help.base, L"abc");
        help.base.value = L"0x10";
        refused(L"1-9999", help.increment, L"0");
        help.increment.value = L"7";
        refused(L"1-4", help.padding, L"5");
        help.padding.value = L"4";
        click(currentPage(shown), IDC_RENAME_ENABLE);
        EXPECT_EQ(help.base.disabled, L"True") << "renaming is off";
        user.press(shown, IDOK);
    });
    sheet.show(nullptr);
    robot.finish();
    EXPECT_FALSE(setting.renameEnable);
    EXPECT_EQ(setting.renameIndexBase, 16) << "hexadecimal is a number too";
    EXPECT_EQ(setting.renameIndexIncrement, 7);
    EXPECT_EQ(setting.renameIndexPadding, 4);
}
