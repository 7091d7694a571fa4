#include "mainwindow/ShellItemIteration.h"
#include "toolkit/ExplorerBrowser.h"

void ShellItemIteration::reset()
{
    array.release();
    position = -1;
    count = 0;
}

wstring ShellItemIteration::first(IShellItemArray* items)
{
    reset();
    array.attach(items);
    if (!array)
        return wstring();
    DWORD total = 0;
    Exception::check(array->GetCount(&total));
    if (total < 1) {
        reset();
        return wstring();
    }
    count = static_cast<int>(total);
    position = 1;
    return nameAt(0);
}

wstring ShellItemIteration::next()
{
    if (position < 1)
        throw Exception(ErrorCode::InvalidState);
    if (position >= count) {
        reset();
        return wstring();
    }
    return nameAt(position++);
}

wstring ShellItemIteration::nameAt(int index) const
{
    ComPtr<IShellItem> item;
    Exception::check(array->GetItemAt(static_cast<DWORD>(index), item.out()));
    return shellItemParsingName(item.get());
}
