#pragma once
#include <windows.h>
#include "foundation/wstring.h"
#include "toolkit/FileDialog.h"

// The file dialogs of the main window's commands. A save dialog asks before it replaces a file, an open
// dialog takes existing files only; neither leaves the process in the folder the user browsed to.
constexpr DWORD SaveDialogFlags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
constexpr DWORD OpenDialogFlags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;

// Owned by `owner`, with the filter ("name|pattern|...") and, for saving, the extension a name without one
// gets.
void prepareFileDialog(FileDialog& dialog, HWND owner, const wstring& filter, const wchar_t* extension = nullptr);
// The name the user chose in the save dialog; empty when cancelled.
wstring askSaveName(FileDialog& dialog);
// Exception 1400 unless the dialogs' owner is (still) a window: no dialog opens over a window that is gone.
void requireOwner(HWND owner);
