#pragma once
#include "pages/SettingPage.h"
#include "toolkit/FileDialog.h"

class FileDropHandler;

// The environment sheet's page of the general switches of the convert-and-save run (overwriting, renaming,
// file times, DPI, showing the conversion settings and the log, deleting the sources, opening the output
// folder) and of the layout file opened at start-up, whose name may also be dropped from the shell onto its
// field.
class EtcPage : public SettingPage {
public:
    EtcPage();
    ~EtcPage() override;

protected:
    void exchange(PageExchange& x, AppSetting& setting) override;
    void command(int id, int code) override;
    void releaseWindowResources() override;

private:
    void registerDropTarget();
    // True when the user chose a file.
    bool chooseLayoutFile();

    FileDialog layoutDialog;
    // One reference, from filling the page until its window goes.
    FileDropHandler* dropHandler = nullptr;
};
