#pragma once
#include "pages/SettingPage.h"
#include "toolkit/ShlTreeView.h"

// The environment sheet's page of the folder that the question for an output folder starts from, chosen in a
// tree of the computer's folders, and of saving outputs beside their sources instead.
class SavePage : public SettingPage {
public:
    // The folder tree that tells the page about every change of its selection, as WM_COMMAND with the
    // tree's control id.
    class ShlTreeViewNotify : public ShlTreeView {
    public:
        bool onNotify(const NMHDR& header, LRESULT& result) override;
    };

    SavePage();

protected:
    void bindControls() override;
    void exchange(PageExchange& x, AppSetting& setting) override;
    void command(int id, int code) override;

private:
    void showFolder(const wstring& folder);
    wstring selectedFolder();

    ShlTreeViewNotify folderTree;
};
