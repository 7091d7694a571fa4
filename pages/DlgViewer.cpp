#include "pages/DlgViewer.h"
#include <shellapi.h>
#include "foundation/Application.h"
#include "foundation/Path.h"
#include "foundation/wstringArray.h"
#include "pages/dialogIds.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"
#include "settings/Messages.h"
#include "settings/ProgramResources.h"
#include "toolkit/FileDialog.h"
#include "toolkit/SystemImageList.h"

namespace {

constexpr DWORD FileDialogFlags =
    OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
constexpr int NameCapacity = 100;
constexpr int PathCapacity = 259;
enum Column { ExtensionsColumn, NameColumn, PathColumn };

wstring resourceString(UINT id)
{
    wstring text;
    text.loadString(programResourceModule(), id);
    return text;
}

// ";jpg;;png;" becomes "jpg;png".
wstring tidyExtensions(const wstring& text)
{
    wstringArray pieces;
    pieces.split(text, L";", true);
    return pieces.join(L";");
}

} // namespace

// ---- DlgViewer ----

DlgViewer::DlgViewer() : OrderedListDialog(IDC_EDIT_ENTRY)
{
}

DlgViewer::~DlgViewer() = default;

int DlgViewer::rowImage(const Row& texts) const
{
    if (!icons || texts.size() <= PathColumn)
        return -1;
    try {
        return icons->iconIndex(texts[PathColumn].buffer());
    } catch (const Exception&) {
        // A program that is not there (yet) shows no icon.
        return -1;
    }
}

bool DlgViewer::onInitDialog(HWND)
{
    bindList();
    try {
        icons = std::make_unique<SystemImageList>();
        listView().sendMessage(LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(icons->handle()));
    } catch (const Exception&) {
        // The list works without its icons.
        icons.reset();
    }
    addColumns(IDS_VIEWER_COLUMNS, {100, 120, 180});
    const ViewerEntries& entries = getAppSetting().applications;
    for (int i = 0; i < entries.count() && i < MaxEntries; ++i) {
        const ViewerEntry& entry = entries.at(i);
        insertRow(rowCount(), {entry.exts.join(L";"), entry.name, entry.path});
    }
    updateButtons();
    return true;
}

void DlgViewer::editRow(bool adding)
{
    int selected = selectedRow();
    if (!adding && selected < 0)
        return;
    Row texts = adding ? Row{wstring(), wstring(), wstring()} : rowTexts(selected);
    DlgViewerEntry entry(texts[ExtensionsColumn], texts[NameColumn], texts[PathColumn]);
    if (entry.doModal(nullptr, IDD_VIEWER_ENTRY, getHandle(), adding ? 0 : 1) != IDOK)
        return;
    Row edited{entry.extensions, entry.name, entry.path};
    if (!adding) {
        replaceRow(selected, edited);
    } else if (rowCount() < MaxEntries) {
        insertRow(rowCount(), edited);
    } else {
        if (Application* application = getApplication())
            application->warn(getHandle(), Messages::E0031.toWstring().buffer());
        return;
    }
    updateButtons();
}

// The new list is read whole before it replaces the settings' one: a row that cannot be read leaves the
// settings as they were.
void DlgViewer::store()
{
    ViewerEntries entries;
    for (int row = 0; row < rowCount() && row < MaxEntries; ++row) {
        Row texts = rowTexts(row);
        if (texts[PathColumn].isEmpty())
            continue;
        ViewerEntry entry;
        entry.exts.split(texts[ExtensionsColumn], L";", true);
        entry.name = texts[NameColumn];
        entry.path = texts[PathColumn];
        entries.add(entry);
    }
    getAppSetting().applications.swap(entries);
}

bool DlgViewer::onDestroy()
{
    // The system's list is shared: the list view must not take it along.
    if (listView().getHandle())
        listView().sendMessage(LVM_SETIMAGELIST, LVSIL_SMALL, 0);
    return true;
}

void DlgViewer::command(int id)
{
    if (id == IDC_ADD || id == IDC_EDIT_ENTRY)
        editRow(id == IDC_ADD);
}

void showViewerDialog(HWND parent)
{
    DlgViewer dialog;
    dialog.doModal(nullptr, IDD_VIEWER, parent, 0);
}

// ---- DlgViewerEntry ----

bool DlgViewerEntry::onInitDialog(HWND)
{
    extensionEdit.attach(getDlgItem(IDC_VIEWER_EXTS));
    nameEdit.attach(getDlgItem(IDC_VIEWER_NAME));
    pathEdit.attach(getDlgItem(IDC_VIEWER_PATH));
    if (getInitParam() == 1)
        setText(resourceString(IDS_VIEWER_EDIT_TITLE));
    extensionEdit.limitText(NameCapacity);
    extensionEdit.setText(extensions);
    nameEdit.limitText(NameCapacity);
    nameEdit.setText(name);
    pathEdit.limitText(PathCapacity);
    DragAcceptFiles(pathEdit.getHandle(), TRUE);
    pathEdit.subclass();
    pathEdit.setText(path);
    return true;
}

void DlgViewerEntry::chooseProgram()
{
    FileDialog files(getHandle(), FileDialogFlags);
    files.setDefaultExtension(L"exe");
    files.setFilter(resourceString(IDS_VIEWER_FILTER).buffer());
    if (!files.showOpen())
        return;
    pathEdit.setText(files.getPath(0));
    sendMessage(ProgramChosenMessage);
}

void DlgViewerEntry::nameAfterProgram()
{
    if (!nameEdit.getText().isEmpty())
        return;
    nameEdit.setText(Path(pathEdit.getText()).getBaseName());
}

void DlgViewerEntry::confirm()
{
    wstring tidy = tidyExtensions(extensionEdit.getText());
    extensionEdit.setText(tidy);
    if (tidy.isEmpty())
        throw ApplicationException(Messages::E0028.toWstring().buffer());
    if (nameEdit.getText().isEmpty())
        throw ApplicationException(Messages::E0029.toWstring().buffer());
    if (pathEdit.getText().isEmpty())
        throw ApplicationException(Messages::E0030.toWstring().buffer());
    extensions = tidy;
    name = nameEdit.getText();
    path = pathEdit.getText();
    endDialog(IDOK);
}

LRESULT DlgViewerEntry::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != ProgramChosenMessage)
        return AppDialog::handleMessage(window, message, wParam, lParam);
    nameAfterProgram();
    return 1;
}

void DlgViewerEntry::onCommand(HWND, int id, int)
{
    switch (id) {
    case IDC_VIEWER_CHOOSE:
        chooseProgram();
        break;
    case IDOK:
        confirm();
        break;
    case IDCANCEL:
        endDialog(IDCANCEL);
        break;
    default:
        break;
    }
}

void DlgViewerEntry::onException(const Exception& exception)
{
    if (Application* application = getApplication())
        application->showException(getHandle(), exception);
}

bool DlgViewerEntry::DDEdit::onDropFiles(HDROP drop)
{
    wchar_t dropped[PathCapacity + 1] = {};
    if (DragQueryFileW(drop, 0, dropped, PathCapacity + 1))
        setText(dropped);
    DragFinish(drop);
    SendMessageW(GetParent(hwnd), ProgramChosenMessage, 0, 0);
    return true;
}
