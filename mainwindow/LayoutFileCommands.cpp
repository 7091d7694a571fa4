#include "mainwindow/LayoutFileCommands.h"
#include "foundation/Application.h"
#include "mainwindow/LayoutFile.h"
#include "mainwindow/MainPane.h"
#include "mainwindow/commandDialogs.h"
#include "mainwindow/mainWindowStrings.h"

LayoutFileCommands::LayoutFileCommands(MainPane& pane, const MainWindowServices& services)
    : pane(pane), services(services), opening(nullptr, OpenDialogFlags), saving(nullptr, SaveDialogFlags)
{
}

void LayoutFileCommands::prepare(HWND owner)
{
    wstring filter = services.program.loadString(IDS_LAYOUT_FILTER);
    prepareFileDialog(saving, owner, filter, L"lay");
    prepareFileDialog(opening, owner, filter);
}

void LayoutFileCommands::save()
{
    IFileListView& list = pane.list();
    int count = list.count();
    if (count == 0)
        return;
    wstring path = askSaveName(saving);
    if (path.isEmpty())
        return;
    opening.setFileName(path.buffer());
    wstringArray files;
    for (int i = 0; i < count; ++i)
        files.add(list.itemPath(i));
    writeLayout(path, services.program.getName(), files);
}

void LayoutFileCommands::openByDialog()
{
    requireOwner(pane.getHandle());
    if (!opening.showOpen())
        return;
    wstring path = opening.getPath(0);
    saving.setFileName(path.buffer());
    pane.openLayout(path);
}
