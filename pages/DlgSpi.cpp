#include "pages/DlgSpi.h"
#include "foundation/wstringArray.h"
#include "imaging/SusiePlugin.h"
#include "pages/dialogIds.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"
#include "settings/ProgramResources.h"
#include "toolkit/FileDialog.h"

namespace {

constexpr DWORD FileDialogFlags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT | OFN_NOCHANGEDIR |
                                  OFN_HIDEREADONLY;

wstring resourceString(UINT id)
{
    wstring text;
    text.loadString(programResourceModule(), id);
    return text;
}

bool samePath(const wstring& one, const wstring& other)
{
    return CompareStringOrdinal(one.buffer(), -1, other.buffer(), -1, TRUE) == CSTR_EQUAL;
}

} // namespace

bool DlgSpi::onInitDialog(HWND)
{
    bindList();
    addColumns(IDS_SPI_COLUMNS, {160, 180, 60});
    appendRows(getAppSetting().spiPaths);
    updateButtons();
    return true;
}

// Each plug-in is loaded only while it is asked for its description and formats.
void DlgSpi::appendRows(const wstringArray& paths)
{
    if (paths.count() == 0)
        return;
    wstringArray states;
    states.splitResourceString(programResourceModule(), IDS_SPI_STATES, L"/");
    wstring unknown = resourceString(IDS_SPI_UNKNOWN);
    SusiePlugin plugins;
    plugins.paths.addAll(paths);
    for (int i = 0; i < paths.count(); ++i) {
        wstring description = plugins.description(i);
        wstringArray filters;
        plugins.filters(i, wstring(), filters);
        Row row{description.isEmpty() ? unknown : description, paths.at(i),
                states.count() >= 2 ? states.at(filters.count() > 0 ? 0 : 1) : wstring()};
        insertRow(rowCount(), row);
    }
}

void DlgSpi::addPlugins(const wstringArray& paths)
{
    wstringArray fresh;
    for (int i = 0; i < paths.count(); ++i) {
        const wstring& path = paths.at(i);
        bool listed = false;
        for (int row = 0; row < rowCount() && !listed; ++row)
            listed = samePath(rowTexts(row)[1], path);
        for (int k = 0; k < fresh.count() && !listed; ++k)
            listed = samePath(fresh.at(k), path);
        if (!listed)
            fresh.add(path);
    }
    appendRows(fresh);
    updateButtons();
}

void DlgSpi::chooseFiles()
{
    FileDialog files(getHandle(), FileDialogFlags);
    files.setDefaultExtension(L"spi");
    files.setFilter(resourceString(IDS_SPI_FILTER).buffer());
    if (!lastChosen.isEmpty())
        files.setFileName(lastChosen.buffer());
    if (!files.showOpen())
        return;
    wstringArray chosen;
    for (int i = 0; i < files.getCount(); ++i)
        chosen.add(files.getPath(i));
    if (chosen.count() > 0)
        lastChosen = chosen.at(0);
    addPlugins(chosen);
}

// The new list is read whole before it replaces the settings' one: a row that cannot be read leaves the
// settings as they were.
void DlgSpi::store()
{
    wstringArray paths;
    for (int row = 0; row < rowCount(); ++row) {
        wstring path = rowTexts(row)[1];
        if (!path.isEmpty())
            paths.add(path);
    }
    getAppSetting().spiPaths.swap(paths);
}

void DlgSpi::command(int id)
{
    if (id == IDC_ADD)
        chooseFiles();
}

void showPluginDialog(HWND parent)
{
    DlgSpi dialog;
    dialog.doModal(nullptr, IDD_SPI, parent, 0);
}
