#pragma once
#include "pages/OrderedListDialog.h"

class wstringArray;

// The "Susie-Pluginの設定" dialog: the plug-in DLLs through which the program reads the formats it cannot
// read itself, in the order they are tried. Each row shows the plug-in's own description ("(不明)" when it
// gives none or cannot be loaded), its path and whether it reads pictures ("有効") or not ("無効"). OK replaces
// the settings' list by the rows; the dialog keeps no plug-in loaded.
class DlgSpi : public OrderedListDialog {
public:
    DlgSpi() : OrderedListDialog(0) {}

    bool onInitDialog(HWND focus) override;

    // Appends a row for each path that is not listed yet (letter case ignored), in the order given.
    void addPlugins(const wstringArray& paths);

protected:
    void command(int id) override;
    void store() override;

private:
    void appendRows(const wstringArray& paths);
    void chooseFiles();

    wstring lastChosen;
};

// Shows the plug-in dialog modally over the parent.
void showPluginDialog(HWND parent);
