#pragma once
#include <memory>
#include "pages/OrderedListDialog.h"
#include "toolkit/Edit.h"

class SystemImageList;

// The "外部ビューアーの設定" dialog: the external programs the user opens files with, each with the
// extensions it is offered for, its name and its program path, at most MaxEntries of them. Adding and editing
// go through DlgViewerEntry; OK replaces the settings' list by the rows that have a path.
class DlgViewer : public OrderedListDialog {
public:
    static constexpr int MaxEntries = 100;

    DlgViewer();
    ~DlgViewer() override;

    bool onInitDialog(HWND focus) override;
    bool onDestroy() override;

protected:
    int rowImage(const Row& texts) const override;
    void command(int id) override;
    void store() override;

private:
    void editRow(bool adding);

    std::unique_ptr<SystemImageList> icons;
};

// The dialog of one viewer ("外部ビューアーの追加", or "外部ビューアーの編集" when editing): the extensions
// separated by ";", the name and the program path, which also takes a program dropped from the shell. OK
// tidies the extensions and insists on all three.
class DlgViewerEntry : public AppDialog {
public:
    // Sent to the dialog when a program was dropped on the path or chosen: an empty name takes the
    // program's file name without its extension.
    static constexpr UINT ProgramChosenMessage = WM_APP + 1;

    DlgViewerEntry(const wstring& extensions, const wstring& name, const wstring& path)
        : extensions(extensions), name(name), path(path)
    {
    }

    bool onInitDialog(HWND focus) override;
    LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    void onCommand(HWND hwnd, int id, int code) override;
    void onException(const Exception& exception) override;

    // The texts, as the user confirmed them after IDOK.
    wstring extensions;
    wstring name;
    wstring path;

private:
    // The path edit: a program dropped on it becomes its text.
    class DDEdit : public Edit {
    public:
        bool onDropFiles(HDROP drop) override;
    };

    void chooseProgram();
    void nameAfterProgram();
    void confirm();

    Edit extensionEdit;
    Edit nameEdit;
    DDEdit pathEdit;
};

// Shows the viewer dialog modally over the parent.
void showViewerDialog(HWND parent);
