#pragma once
#include <windows.h>
#include <memory>
#include <vector>
#include "foundation/wstring.h"
#include "mainwindow/MainWindowServices.h"

class Dib;
struct ListState;

// The menus built from the file list's state: the list's context menu, whose items are the main menu's
// commands in the same states, and the external viewers of the selected picture, which both the context
// menu and the main menu's view menu offer.
class FileListMenu {
public:
    explicit FileListMenu(const MainWindowServices& services) : services(services) {}

    // Shows the context menu for the list in that state at the screen point until the user chooses or leaves
    // it; the chosen command goes to `owner` (the list's window, which hands it on as its command event).
    // `picture` is the single selected one (empty when not one is selected). A menu that cannot be made
    // throws Exception.
    void show(POINT at, HWND owner, const ListState& state, const wstring& picture);
    // Fills the menu with the external viewers of the picture (IDM_FIRST_VIEWER onward), none for an empty
    // one; the entries' pictures are kept in `pictures` until the menu closes.
    void fillViewers(HMENU menu, const wstring& picture, std::vector<std::unique_ptr<Dib>>& pictures);

private:
    MainWindowServices services;
};
