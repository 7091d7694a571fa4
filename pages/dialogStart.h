#pragma once
#include "foundation/Exception.h"
#include "toolkit/Dialog.h"

// Runs what a dialog does on WM_INITDIALOG; a dialog that cannot set itself up ends at once with -1.
template <typename Initialize>
LRESULT startDialog(Dialog& dialog, Initialize initialize)
{
    try {
        initialize();
    } catch (const Exception&) {
        dialog.endDialog(-1);
    }
    return TRUE;
}
