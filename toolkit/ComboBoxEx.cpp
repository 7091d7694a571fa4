#include "toolkit/ComboBoxEx.h"

void ComboBoxEx::addItem(const wstring& text, int imageIndex)
{
    COMBOBOXEXITEMW item{};
    item.mask = CBEIF_TEXT | CBEIF_INDENT;
    item.iItem = -1;
    item.pszText = const_cast<wchar_t*>(text.buffer());
    item.cchTextMax = text.length();
    if (imageIndex >= 0) {
        item.mask |= CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
        item.iImage = imageIndex;
        item.iSelectedImage = imageIndex;
    }
    if (sendMessage(CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)) < 0)
        throw Exception(ErrorCode::NoMemory);
}

void ComboBoxEx::setCurSel(int index)
{
    if (index < -1 || index >= sendMessage(CB_GETCOUNT))
        throw Exception(ErrorCode::InvalidArgument);
    sendMessage(CB_SETCURSEL, static_cast<WPARAM>(index));
}
