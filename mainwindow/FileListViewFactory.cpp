#include "mainwindow/FileListViewFactory.h"
#include <new>
#include "foundation/Environment.h"
#include "mainwindow/EBFileListView.h"
#include "mainwindow/FileListView.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"

namespace {

template <typename List>
IFileListView* made()
{
    IFileListView* list = new (std::nothrow) List;
    if (!list)
        throw Exception(ErrorCode::NoMemory);
    try {
        list->registerClass();
    } catch (...) {
        delete list;
        throw;
    }
    return list;
}

} // namespace

IFileListView* createFileListView()
{
    return createFileListView(getAppSetting().viewViewType);
}

IFileListView* createFileListView(int viewType)
{
    if (viewType == 0 && isWindows7OrLater() && ExplorerBrowser::canShowFiles())
        return made<EBFileListView>();
    return made<FileListView>();
}
