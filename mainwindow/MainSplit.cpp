#include "mainwindow/MainSplit.h"
#include "foundation/Application.h"
#include "mainwindow/mainWindowStrings.h"

LRESULT MainSplit::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == AddTipsMessage) {
        try {
            addTips();
        } catch (const Exception&) {
            // The tips only explain; the splitter works without them.
        }
        return 0;
    }
    return Split::handleMessage(window, message, wParam, lParam);
}

// The splitter's own procedure still gets the message.
bool MainSplit::onDestroy()
{
    destroyed = true;
    return false;
}

void MainSplit::setListAndPreview(Control& listPane, Control& previewPane)
{
    setPanes(&listPane, &previewPane);
    list = &listPane;
    preview = &previewPane;
}

// By role, not by place: the preview may already lie first when the tips are made.
void MainSplit::addTips()
{
    if (!list || !preview || !list->getHandle() || !preview->getHandle())
        return;
    if (!toolTip.getHandle())
        toolTip.create(hwnd, WS_POPUP | TTS_ALWAYSTIP);
    toolTip.setMaxTipWidth();
    // The file list's own child window takes the mouse, not the list's frame.
    HWND listWindow = GetWindow(list->getHandle(), GW_CHILD);
    if (!listWindow)
        listWindow = list->getHandle();
    HMODULE module = program.getResourceModule();
    toolTip.addTool(listWindow, module, MAKEINTRESOURCEW(IDS_LIST_TIP));
    toolTip.addTool(preview->getHandle(), module, MAKEINTRESOURCEW(IDS_PREVIEW_TIP));
}
