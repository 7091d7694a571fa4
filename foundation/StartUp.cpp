#include "foundation/StartUp.h"
#include "foundation/Exception.h"
#include "toolkit/CommonControls.h"
#include <commctrl.h>

namespace {

struct StartUpState {
    StartUpState()
    {
        INITCOMMONCONTROLSEX controls{};
        controls.dwSize = sizeof(controls);
        controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES |
                         ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS | ICC_HOTKEY_CLASS | ICC_ANIMATE_CLASS;
        if (!InitCommonControlsEx(&controls)) {
            DWORD error = GetLastError();
            controlsError = error ? static_cast<int>(error) : ErrorCode::InvalidState;
        }
        toolTipRecordSize = getComctl32Version();
    }

    int controlsError = 0;
    int toolTipRecordSize = 0;
};

// Built on first use, so that a static initialiser elsewhere that asks early still finds it complete.
const StartUpState& startUpState()
{
    static const StartUpState state;
    return state;
}

// Windows of any kind may be made as soon as the entry point runs.
[[maybe_unused]] const StartUpState& beforeEntryPoint = startUpState();

} // namespace

void StartUp::check()
{
    int error = startUpState().controlsError;
    if (error)
        throw Exception(error);
}

int StartUp::getToolTipRecordSize()
{
    return startUpState().toolTipRecordSize;
}
