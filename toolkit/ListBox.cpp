#include "toolkit/ListBox.h"

namespace {

void throwIfFull(LRESULT answer)
{
    if (answer < 0)
        throw Exception(ErrorCode::NoMemory);
}

} // namespace

void ListBox::checkIndex(int index, int lowest, int highest) const
{
    if (index < lowest || index > highest)
        throw Exception(ErrorCode::InvalidArgument);
}

void ListBox::addString(const wstring& text)
{
    throwIfFull(sendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.buffer())));
}

void ListBox::insertString(int index, const wstring& text)
{
    checkIndex(index, 0, getCount());
    throwIfFull(sendMessage(LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.buffer())));
}

void ListBox::deleteString(int index)
{
    checkIndex(index, 0, getCount() - 1);
    sendMessage(LB_DELETESTRING, static_cast<WPARAM>(index));
}

void ListBox::setCurSel(int index)
{
    checkIndex(index, -1, getCount() - 1);
    sendMessage(LB_SETCURSEL, static_cast<WPARAM>(index));
}

wstring ListBox::getString(int index) const
{
    checkIndex(index, 0, getCount() - 1);
    int length = static_cast<int>(sendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(index)));
    wstring text;
    wchar_t* chars = text.reserve(length + 1);
    LRESULT copied = sendMessage(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(chars));
    chars[copied < 0 ? 0 : copied] = 0;
    return text;
}
