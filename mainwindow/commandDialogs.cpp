#include "mainwindow/commandDialogs.h"

void prepareFileDialog(FileDialog& dialog, HWND owner, const wstring& filter, const wchar_t* extension)
{
    dialog.record.hwndOwner = owner;
    dialog.setDefaultExtension(extension);
    dialog.setFilter(filter.buffer());
}

wstring askSaveName(FileDialog& dialog)
{
    if (!GetSaveFileNameW(&dialog.record))
        return wstring();
    return wstring(dialog.record.lpstrFile);
}

void requireOwner(HWND owner)
{
    if (!IsWindow(owner))
        throw Exception(ErrorCode::WindowGone);
}
