#include "pages/OrderedListDialog.h"
#include "foundation/Application.h"
#include "foundation/wstringArray.h"
#include "pages/dialogIds.h"
#include "settings/ProgramResources.h"

namespace {

void check(bool succeeded)
{
    if (!succeeded)
        Exception::throwLastError();
}

} // namespace

void OrderedListDialog::bindList()
{
    list.attach(getDlgItem(IDC_LIST));
    up.attach(getDlgItem(IDC_UP));
    down.attach(getDlgItem(IDC_DOWN));
    add.attach(getDlgItem(IDC_ADD));
    remove.attach(getDlgItem(IDC_DELETE));
    if (editId)
        edit.attach(getDlgItem(editId));
    ok.attach(getDlgItem(IDOK));
    list.sendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    list.subclass();
}

void OrderedListDialog::addColumns(UINT namesId, std::initializer_list<int> widths)
{
    wstringArray names;
    names.splitResourceString(programResourceModule(), namesId, L"/");
    int index = 0;
    for (int width : widths) {
        wstring name = index < names.count() ? names.at(index) : wstring();
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = width;
        column.pszText = const_cast<wchar_t*>(name.buffer());
        column.iSubItem = index;
        check(list.insertColumn(index, column));
        ++index;
    }
    columnCount = index;
}

// Column 0 with the row, then the other columns, then the image: the calls the list makes a row from.
void OrderedListDialog::writeRow(int index, const Row& texts, bool insert)
{
    LVITEMW item{};
    item.mask = LVIF_TEXT | (insert ? LVIF_IMAGE : 0);
    item.iItem = index;
    item.pszText = const_cast<wchar_t*>(texts.empty() ? L"" : texts[0].buffer());
    item.iImage = -1;
    if (insert) {
        index = list.insertItem(item);
        check(index >= 0);
    } else {
        check(list.setItem(item));
    }
    for (size_t column = 1; column < texts.size(); ++column) {
        LVITEMW sub{};
        sub.mask = LVIF_TEXT;
        sub.iItem = index;
        sub.iSubItem = static_cast<int>(column);
        sub.pszText = const_cast<wchar_t*>(texts[column].buffer());
        check(list.setItem(sub));
    }
    // Also a row without an image of its own: a replaced row must not keep the one it had.
    int image = rowImage(texts);
    LVITEMW picture{};
    picture.mask = LVIF_IMAGE;
    picture.iItem = index;
    picture.iImage = image >= 0 ? image : I_IMAGENONE;
    check(list.setItem(picture));
}

void OrderedListDialog::insertRow(int index, const Row& texts)
{
    writeRow(index, texts, true);
}

void OrderedListDialog::replaceRow(int index, const Row& texts)
{
    writeRow(index, texts, false);
}

OrderedListDialog::Row OrderedListDialog::rowTexts(int index) const
{
    int columns = static_cast<int>(
        SendMessageW(reinterpret_cast<HWND>(list.sendMessage(LVM_GETHEADER)), HDM_GETITEMCOUNT, 0, 0));
    // A list that lost columns has no whole rows to give.
    if (columns < columnCount)
        throw Exception(ErrorCode::InvalidState);
    Row texts;
    wchar_t buffer[ListView::ItemTextCapacity];
    for (int column = 0; column < columns; ++column) {
        check(list.getItemText(index, column, buffer));
        texts.emplace_back(buffer);
    }
    return texts;
}

void OrderedListDialog::disableButton(Button& button)
{
    HWND handle = button.getHandle();
    if (!handle || !IsWindowEnabled(handle))
        return;
    if (GetFocus() == handle) {
        button.sendMessage(BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
        ok.sendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
        sendMessage(DM_SETDEFID, IDOK);
        ok.setFocus();
        list.setFocus();
    }
    button.enable(false);
}

void OrderedListDialog::updateButtons()
{
    for (Button* button : {&up, &down, &add, &remove, &edit})
        if (button->getHandle())
            button->enable(true);
    int selected = selectedRow();
    int count = rowCount();
    if (selected < 1)
        disableButton(up);
    if (selected < 0 || selected >= count - 1)
        disableButton(down);
    if (selected < 0) {
        disableButton(remove);
        disableButton(edit);
    }
}

void OrderedListDialog::moveSelected(int step)
{
    int from = selectedRow();
    int to = from + step;
    if (from < 0 || to < 0 || to >= rowCount())
        return;
    Row texts = rowTexts(from);
    list.deleteItem(from);
    insertRow(to, texts);
    list.select(to);
    list.sendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(to), FALSE);
    updateButtons();
}

void OrderedListDialog::onCommand(HWND, int id, int)
{
    switch (id) {
    case IDC_UP:
        moveSelected(-1);
        break;
    case IDC_DOWN:
        moveSelected(1);
        break;
    case IDC_DELETE: {
        int selected = selectedRow();
        if (selected >= 0)
            list.deleteItem(selected);
        updateButtons();
        break;
    }
    case IDOK:
        store();
        endDialog(IDOK);
        break;
    case IDCANCEL:
        endDialog(IDCANCEL);
        break;
    default:
        command(id);
        break;
    }
}

bool OrderedListDialog::onNotify(const NMHDR& header, LRESULT&)
{
    if (header.idFrom == IDC_LIST && header.code == LVN_ITEMCHANGED && list.getHandle())
        updateButtons();
    return false;
}

bool OrderedListDialog::KeyList::onKeyDown(UINT key, UINT, UINT)
{
    if (key != VK_DELETE)
        return false;
    sendCommand(dialog.getHandle(), IDC_DELETE);
    return true;
}

bool OrderedListDialog::KeyList::onDoubleClick(MouseButton button, const Point&, UINT)
{
    // The list still selects the row that was clicked.
    if (button == MouseButton::Left && dialog.editId)
        sendCommand(dialog.getHandle(), dialog.editId);
    return false;
}

void OrderedListDialog::onException(const Exception& exception)
{
    if (Application* application = getApplication())
        application->showException(getHandle(), exception);
}
