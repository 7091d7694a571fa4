#include "toolkit/CommonControls.h"
#include "foundation/DllVersion.h"
#include "foundation/Exception.h"
#include <commctrl.h>

int getComctl32Version() noexcept
{
    // The record sizes follow this build's pointer size; the 32-bit sizes are rejected by 64-bit Windows.
    const int olderSize = TTTOOLINFOW_V2_SIZE;
    const int fullSize = sizeof(TTTOOLINFOW);
    try {
        DLLVERSIONINFO info;
        getDllVersion(L"comctl32.dll", info);
        return info.dwMajorVersion >= 6 ? fullSize : olderSize;
    } catch (const Exception&) {
        return olderSize;
    }
}

namespace {

void initClasses(DWORD classes)
{
    INITCOMMONCONTROLSEX request{sizeof(request), classes};
    if (!InitCommonControlsEx(&request))
        Exception::throwLastError();
}

} // namespace

void initBarControls()
{
    initClasses(ICC_BAR_CLASSES | ICC_COOL_CLASSES);
}

void initComboBoxEx()
{
    initClasses(ICC_USEREX_CLASSES);
}
