#pragma once
#include "pages/SettingPage.h"
#include "toolkit/Button.h"
#include "toolkit/Edit.h"
#include "toolkit/FileDialog.h"
#include "toolkit/Static.h"

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
    void bindControls() override;
    void fill(const AppSetting& setting) override;
    void apply(AppSetting& setting) override;
    void command(int id, int code) override;
    void releaseWindowResources() override;

private:
    void registerDropTarget();
    void chooseLayoutFile();

    FileDialog layoutDialog;
    Button openLayout;
    Static layoutLabel;
    Button chooseLayout;
    Edit layout;
    Button overwrite;
    Button autoRename;
    Button keepFileTime;
    Button keepDpi;
    Button ensureSetting;
    Button ensureLog;
    Button deleteSource;
    Button openFolder;
    // One reference, from filling the page until its window goes.
    FileDropHandler* dropHandler = nullptr;
};
