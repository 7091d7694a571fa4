#pragma once
#include "mainwindow/MainWindowServices.h"
#include "toolkit/FileDialog.h"

class MainPane;

// The main window's commands on layout files, the saved lists of pictures: save the list under a name the
// user picks, and open a layout the user picks into the list. The two dialogs hand each other the last name,
// so that saving offers the layout just opened and opening the one just saved.
//
// Both throw Exception 1400 once the pane's window is gone.
class LayoutFileCommands {
public:
    LayoutFileCommands(MainPane& pane, const MainWindowServices& services);
    LayoutFileCommands(const LayoutFileCommands&) = delete;
    LayoutFileCommands& operator=(const LayoutFileCommands&) = delete;

    // Once the pane's window is made: the dialogs are owned by it.
    void prepare(HWND owner);

    // Nothing when the list is empty or the dialog is cancelled.
    void save();
    // Asks with the open dialog, then adds the layout's pictures through the pane.
    void openByDialog();

private:
    MainPane& pane;
    MainWindowServices services;
    FileDialog opening;
    FileDialog saving;
};
