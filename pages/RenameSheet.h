#pragma once
#include <windows.h>

// The rename sheet ("リネームと振り分けの設定"): the rule that names output files, their sorting into
// sub-folders and the extension of each output format. Shown modally over the owner; it opens at the page
// the user left it on and edits the settings record only when the user presses OK or Apply.
void showRenameSheet(HWND owner);
