#pragma once
#include <windows.h>
#include <memory>
#include <vector>

class Dib;
class MainPane;

// The menus built from the file list's state: the list's context menu, whose items are the main menu's
// commands in the same states, and the external viewers of the selected picture, which both the context
// menu and the main menu's view menu offer.
class FileListMenu {
public:
    explicit FileListMenu(MainPane& pane) : pane(pane) {}

    // Shows the context menu at the screen point until the user chooses or leaves it; the chosen command
    // goes to `owner` (the list's window, which hands it on as its command event). A menu that cannot be
    // made throws Exception.
    void show(POINT at, HWND owner);
    // Fills the menu with the external viewers of the single selected picture (IDM_FIRST_VIEWER onward); the
    // entries' pictures are kept in `pictures` until the menu closes.
    void fillViewers(HMENU menu, std::vector<std::unique_ptr<Dib>>& pictures);

private:
    MainPane& pane;
};
