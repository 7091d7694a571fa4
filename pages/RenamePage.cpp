#include "pages/RenamePage.h"
#include "foundation/Application.h"
#include "foundation/Com.h"
#include "foundation/Integer.h"
#include "jobs/LogMessages.h"
#include "pages/renamePageIds.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"
#include "settings/Messages.h"
#include "settings/ProgramResources.h"

namespace {

constexpr wchar_t HelpPageName[] = L"RENAMEHELP";
const wchar_t* const HtmlResourceType = MAKEINTRESOURCEW(23);
constexpr wchar_t IndexBase[] = L"indexBase";
constexpr wchar_t IndexIncrement[] = L"indexIncrement";
constexpr wchar_t IndexPadding[] = L"indexPadding";

// What each counter input may hold; the settings are read within the same ranges.
struct CounterRange {
    const wchar_t* input;
    int lowest;
    int highest;
    int byDefault;
    const wchar_t* rangeText;
    const SimpleString& message;
};

const CounterRange counterRanges[] = {
    {IndexBase, 0, 9999, 0, L"0-9999", Messages::E0032},
    {IndexIncrement, 1, 9999, 1, L"1-9999", Messages::E0033},
    {IndexPadding, 1, 4, 1, L"1-4", Messages::E0034},
};

bool inRange(const CounterRange& range, int value)
{
    return value >= range.lowest && value <= range.highest;
}

int* counterSetting(AppSetting& setting, int index)
{
    int* const fields[] = {&setting.renameIndexBase, &setting.renameIndexIncrement, &setting.renameIndexPadding};
    return fields[index];
}

// The input element of the help page; a page without it throws.
void findInput(IDispatch* shown, const wchar_t* id, Com& element)
{
    Com document(shown);
    document.getObject(element, L"getElementById", Variant(id));
    if (!element)
        throw Exception(ErrorCode::InvalidArgument);
}

} // namespace

RenamePage::RenamePage() : SettingPage(IDC_RENAME_ENABLE)
{
}

void RenamePage::bindControls()
{
    bind(enable, IDC_RENAME_ENABLE);
    bind(rule, IDC_RENAME_RULE);
}

void RenamePage::exchange(PageExchange& x, AppSetting& setting)
{
    // An empty rule is never stored as switched on.
    if (x.isApplying() && enable.getCheck() && rule.getText().isEmpty())
        enable.setCheck(false);
    x.check(IDC_RENAME_ENABLE, setting.renameEnable);
    x.text(IDC_RENAME_RULE, setting.renameDefinition);
    if (x.isApplying()) {
        applyCounters(setting);
        return;
    }
    countersFilled = false;
    try {
        showHelp();
    } catch (const Exception&) {
        // Without its help page the page still edits the rule; the counter settings stay untouched.
        showHelpFailure();
    }
}

void RenamePage::showHelp()
{
    bind(help, IDC_RENAME_HELP);
    help.subclass();
    help.setEventHandler(setEvent(this, &RenamePage::onHelpLoaded));
    HMODULE module = programResourceModule();
    HRSRC found = FindResourceW(module, HelpPageName, HtmlResourceType);
    if (!found)
        Exception::throwLastError();
    DWORD size = SizeofResource(module, found);
    HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes || !size)
        Exception::throwLastError();
    help.setRedraw();
    help.setText(bytes, size);
}

// An empty panel would leave the user guessing: a notice in its place says that there is no help and that the
// counter stays as it was.
void RenamePage::showHelpFailure()
{
    ShowWindow(getDlgItem(IDC_RENAME_HELP), SW_HIDE);
    ShowWindow(getDlgItem(IDC_RENAME_HELP_FAILED), SW_SHOW);
}

void RenamePage::onHelpLoaded(Window*, HtmlPanel::HtmlPanelEventArgs& args)
{
    if (!args.succeeded) {
        showHelpFailure();
        return;
    }
    const AppSetting& setting = getAppSetting();
    writeIndexField(IndexBase, setting.renameIndexBase);
    writeIndexField(IndexIncrement, setting.renameIndexIncrement);
    writeIndexField(IndexPadding, setting.renameIndexPadding);
    countersFilled = true;
    sendMessage(EnableCounterMessage, enable.getCheck() ? 1 : 0);
}

LRESULT RenamePage::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != EnableCounterMessage)
        return SettingPage::handleMessage(window, message, wParam, lParam);
    try {
        enableCounterInputs(wParam != 0);
    } catch (const Exception&) {
        // The help page is not there (yet): its inputs take their state when it has loaded.
    }
    return 1;
}

int RenamePage::readIndexField(const wchar_t* id) const
{
    Com element;
    findInput(helpDocument(), id, element);
    Variant value;
    element.getProperty(L"value", value);
    try {
        Integer number(0);
        number.parse(value.toString());
        return number.value;
    } catch (const Exception& exception) {
        if (exception.getCode() != ErrorCode::InvalidArgument)
            throw;
        return -1;
    }
}

void RenamePage::writeIndexField(const wchar_t* id, int value) const
{
    Com element;
    findInput(helpDocument(), id, element);
    element.putProperty(L"value", Variant(value));
}

void RenamePage::enableCounterInputs(bool enabled) const
{
    for (const CounterRange& range : counterRanges) {
        Com element;
        findInput(helpDocument(), range.input, element);
        element.putProperty(L"disabled", Variant(!enabled));
    }
}

void RenamePage::command(int id, int code)
{
    if (id != IDC_RENAME_ENABLE || code != BN_CLICKED)
        return;
    enableItems({IDC_RENAME_RULE_LABEL, IDC_RENAME_RULE}, enable.getCheck());
    sendMessage(EnableCounterMessage, enable.getCheck() ? 1 : 0);
}

wstring RenamePage::invalidInput() const
{
    if (!enable.getCheck())
        return wstring();
    if (rule.getText().isEmpty())
        return Messages::E0023.toWstring();
    // Counter inputs that never showed the settings are not the user's: there is nothing to check.
    if (!countersFilled)
        return wstring();
    for (const CounterRange& range : counterRanges) {
        if (!inRange(range, readIndexField(range.input)))
            return fillIn(range.message, range.rangeText);
    }
    return wstring();
}

bool RenamePage::onKillActive(HWND window)
{
    wstring message;
    try {
        message = invalidInput();
    } catch (const Exception&) {
        // A help page gone since it was filled leaves only the rule to check, and that was fine.
        return false;
    }
    if (message.isEmpty())
        return false;
    if (Application* application = getApplication())
        application->warn(window, message.buffer());
    return true;
}

// Inputs that did not show the settings, or cannot be read back, would replace the user's counter with the
// page's placeholders: the settings stay as they are then.
void RenamePage::applyCounters(AppSetting& setting) const
{
    if (!countersFilled)
        return;
    int values[3];
    try {
        for (int i = 0; i < 3; ++i)
            values[i] = readIndexField(counterRanges[i].input);
    } catch (const Exception&) {
        return;
    }
    for (int i = 0; i < 3; ++i)
        *counterSetting(setting, i) = inRange(counterRanges[i], values[i]) ? values[i] : counterRanges[i].byDefault;
}
