#pragma once
#include "toolkit/Split.h"
#include "toolkit/ToolTip.h"

class Application;

// The splitter of the main window between the file list and the preview pane, with two tips: how to switch
// the preview over the list's window, and "プレビュー" over the preview pane.
class MainSplit : public Split {
public:
    // The tips' texts come from the program's resource module.
    explicit MainSplit(Application& program) : program(program) {}

    // Sent by the main window once the panes are in place: makes the tips.
    static constexpr UINT AddTipsMessage = WM_APP + 1;

    // AddTipsMessage; the rest goes to the splitter.
    LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    bool onDestroy() override;

    // Makes the two panes, the list first; the tips stay with them wherever the preview is placed later.
    void setListAndPreview(Control& list, Control& preview);

    // The splitter's window has been destroyed.
    bool isDestroyed() const { return destroyed; }
    ToolTip& getToolTip() { return toolTip; }

private:
    void addTips();

    Application& program;
    ToolTip toolTip;
    Control* list = nullptr;
    Control* preview = nullptr;
    bool destroyed = false;
};
