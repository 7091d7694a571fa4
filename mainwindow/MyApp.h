#pragma once
#include <windows.h>
#include <optional>
#include "foundation/Application.h"
#include "foundation/GarbageCollector.h"
#include "foundation/Trace.h"
#include "foundation/wstringArray.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"

// The program's one application object: its names and version from the program's version block, the settings
// record for the whole run, the owner of shared heap objects, and the decision from the command line between
// the file association, the command-line batch mode and the windowed start.
class MyApp : public Application {
public:
    // Names the application after the product, places the settings file and loads it under the named mutex.
    // A failure is shown in a warning box and passed on.
    MyApp();
    ~MyApp() override;

    // The exit code of the process.
    int run(const wstringArray& arguments) override;

    AppSetting& getSetting() { return setting; }
    GarbageCollector& getCollector() { return collector; }
    Trace& getTrace() { return trace; }
    HWND getMainWindow() const { return mainWindow; }
    // The full path of a layout file given as the only argument; empty otherwise.
    const wstring& getStartupLayout() const { return startupLayout; }
    // The plain file arguments of a windowed start.
    const wstringArray& getStartupFiles() const { return startupFiles; }
    // Once: the text that tells the user that the settings file could not be read, that the defaults are in
    // use and under which name the file was kept; empty when there is nothing (more) to tell. The windowed
    // start shows it.
    wstring takeSettingsNotice();

    // The shown version of a product version such as "1, 0, 5, 0" (gives "1.05"): blanks removed, the first
    // piece, a dot, then the second and third pieces. Fewer than three pieces throws Exception 87.
    static wstring versionText(const wstring& productVersion);
    // True when the directory is the folder or lies inside it, compared without regard to case. Either may
    // end in a backslash or not.
    static bool isInsideFolder(const wstring& directory, const wstring& folder);
    // Where the settings of the application `name` live: "<name in lower case>.xml" beside the program, or
    // in a folder named after the application inside the user's application-data folder when the program
    // lies inside the Program Files folder.
    static wstring settingsFilePath(const wstring& name, const wstring& programDirectory,
                                    const wstring& programFiles, const wstring& applicationData);

private:
    void readVersionInfo();
    void loadSettings();
    // Registers or removes the layout-file association; 0, or an Exception.
    int changeAssociation(bool registering);
    int runCommandLine(const wstringArray& arguments);
    int startWindowed();
    void loadMessageTables();
    int openMainWindow();

    HWND mainWindow = nullptr;
    Trace trace;
    AppSetting setting;
    GarbageCollector collector;
    wstring startupLayout;
    wstringArray startupFiles;
    bool settingsNoticeTaken = false;
    // Last: taken back before the record and the collector go.
    std::optional<AppServices> services;
};

// The global application object as the program's own; null before the entry point has stored it, and in
// programs whose application object is of another kind.
MyApp* getMyApp();
