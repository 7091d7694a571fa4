#pragma once
#include <windows.h>
#include <memory>
#include <optional>
#include "foundation/Application.h"
#include "foundation/GarbageCollector.h"
#include "foundation/WorkerPool.h"
#include "foundation/Trace.h"
#include "foundation/wstringArray.h"
#include "imaging/Dib.h"
#include "jobs/LogWindow.h"
#include "mainwindow/MainSplit.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"
#include "toolkit/Font.h"
#include "toolkit/UserWindow.h"

class MyMainWindow;

// The program's one application object: its names and version from the program's version block, the settings
// record for the whole run, the owner of shared heap objects, and the decision from the command line between
// the file association, the command-line batch mode and the windowed start.
class MyApp : public Application {
public:
    // The small pictures drawn once at start-up: the six preview background swatches (View/PreviewBack n
    // selects swatch n - 1) and the ten position pictograms (a 3 x 3 grid with cell k marked, the last with
    // every cell marked) that option pages show.
    class Resource {
    public:
        static constexpr int SwatchCount = 6;
        static constexpr int PictogramCount = 10;

        virtual ~Resource() = default;

        // At the display's resolution; a device context or picture that cannot be made throws Exception with
        // the system's error.
        void build();
        void build(int dpiX, int dpiY);

        Dib swatches[SwatchCount];
        Dib pictograms[PictogramCount];
    };

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
    MyMainWindow* getMainWindowObject() const { return mainWindowObject.get(); }
    LogWindow& getLogWindow() { return logWindow; }
    MainSplit& getSplitter() { return splitter; }
    const Resource& getResource() const { return resource; }
    // The full path of a layout file given as the only argument; empty otherwise.
    const wstring& getStartupLayout() const { return startupLayout; }
    // The plain file arguments of a windowed start.
    const wstringArray& getStartupFiles() const { return startupFiles; }
    // Once: the text that tells the user that the settings file could not be read, that the defaults are in
    // use and under which name the file was kept, or that it could not be opened, why, and that a save will
    // ask before it replaces the file; empty when there is nothing (more) to tell. openWindows shows it in a
    // warning box before it makes the main window; the command-line batch never does.
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

    // The windowed run in its three parts, which tests of the windows also call themselves (GDI+ and COM
    // started by the caller, who says whether GDI+ started, and who calls closeWindows before GDI+ ends).
    // openWindows draws the pictures, loads the message tables, registers the window classes, makes the worker
    // pool and the main window and the log window; a failure leaves no window and throws (an
    // ApplicationException with the text the user is shown). runMessageLoop returns the quit message's code.
    // closeWindows destroys what openWindows made, then stops the pool, which waits for the pictures still
    // loading or scaling, and empties the filter-preset table, whose converters belong to the collector;
    // harmless when nothing is open.
    void openWindows(bool graphicsStarted);
    int runMessageLoop();
    void closeWindows();

private:
    void readVersionInfo();
    void loadSettings();
    wstring settingsNotice() const;
    // Registers or removes the layout-file association; 0, or an Exception.
    int changeAssociation(bool registering);
    int runCommandLine(const wstringArray& arguments);
    int startWindowed();
    void loadMessageTables();
    void registerWindowClasses();
    // Shows the settings notice, if there is one, in a warning box.
    void tellOfSettingsNotice();
    void openMainWindow();
    void openLogWindow();

    HWND mainWindow = nullptr;
    // Before the windows, which it outlives: every thread that loads or scales their pictures.
    std::optional<WorkerPool> workers;
    std::unique_ptr<MyMainWindow> mainWindowObject;
    LogWindow logWindow;
    Font logFont;
    MainSplit splitter{*this};
    UserWindowClass mainWindowClass;
    UserWindowClass logWindowClass;
    HACCEL accelerators = nullptr;
    Trace trace;
    AppSetting setting;
    GarbageCollector collector;
    Resource resource;
    wstring startupLayout;
    wstringArray startupFiles;
    bool settingsNoticeTaken = false;
    // Last: taken back before the record and the collector go.
    std::optional<AppServices> services;
};

// The global application object as the program's own; null before the entry point has stored it, and in
// programs whose application object is of another kind.
MyApp* getMyApp();
