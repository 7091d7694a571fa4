#include "toolkit/ComboBox.h"
#include "foundation/wstringArray.h"

void ComboBox::addStrings(const wstringArray& strings)
{
    liveHandle();
    for (int i = 0; i < strings.count(); ++i)
        if (sendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(strings.at(i).buffer())) < 0)
            throw Exception(ErrorCode::NoMemory);
}

void ComboBox::setCurSel(int index)
{
    if (index < -1 || index >= sendMessage(CB_GETCOUNT))
        throw Exception(ErrorCode::InvalidArgument);
    sendMessage(CB_SETCURSEL, static_cast<WPARAM>(index));
}
