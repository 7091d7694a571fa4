#pragma once
#include "mainwindow/IFileListView.h"

// The file list that the settings ask for, with its window class registered: the explorer-browser list on
// Windows 7 and later when View/ViewType is 0 and the system's browser can show a results folder, the classic
// list otherwise, so the program starts wherever the browser is missing or incomplete. The caller owns the
// list; out of memory throws Exception 8. The first form reads View/ViewType from the lent settings record.
IFileListView* createFileListView();
IFileListView* createFileListView(int viewType);
