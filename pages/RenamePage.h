#pragma once
#include "pages/SettingPage.h"
#include "toolkit/Button.h"
#include "toolkit/Edit.h"
#include "toolkit/HtmlPanel.h"

// The rename sheet's page of the rule that names output files. Its help page, shown in an HTML panel,
// lists the rule's macros and holds the three inputs of the $index counter (start, step, least digits).
// The counter's settings travel through those inputs only: when the help page cannot be shown (a notice then
// says so in its place), or is not shown yet, the page still edits the rule, and the counter settings stay as
// they were.
class RenamePage : public SettingPage {
public:
    // Sent to the page: wParam nonzero enables the counter inputs, zero disables them. Answers 1.
    static constexpr UINT EnableCounterMessage = WM_APP + 1;

    RenamePage();

    LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    // Keeps the user on the page while the rule is empty or a counter input is out of its range.
    bool onKillActive(HWND hwnd) override;

    // The input's value as a number (decimal or "0x" hexadecimal), -1 for text that is no number. A help
    // page that is not there throws Exception (1400 for a dead panel window).
    int readIndexField(const wchar_t* id) const;
    void writeIndexField(const wchar_t* id, int value) const;
    // Runs when the help page has loaded, or failed to: copies the counter settings into its inputs, or shows
    // the notice of the failure in the page's place.
    void onHelpLoaded(Window* sender, HtmlPanel::HtmlPanelEventArgs& args);

    // True once the counter inputs show the settings' values.
    bool hasCounterInputs() const { return countersFilled; }

protected:
    // The help page's document, a new reference; null while there is none.
    virtual IDispatch* helpDocument() const { return help.getDocument(); }
    void bindControls() override;
    void exchange(PageExchange& x, AppSetting& setting) override;
    void command(int id, int code) override;

private:
    void showHelp();
    void showHelpFailure();
    void enableCounterInputs(bool enabled) const;
    // The first message of a failed check, empty when the page is valid.
    wstring invalidInput() const;
    void applyCounters(AppSetting& setting) const;

    Button enable;
    Edit rule;
    HtmlPanel help;
    bool countersFilled = false;
};
