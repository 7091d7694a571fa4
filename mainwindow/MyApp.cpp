#include "mainwindow/MyApp.h"
#include <shlobj.h>
#include "conversion/EffectTable.h"
#include "foundation/ApplicationInfo.h"
#include "foundation/Path.h"
#include "imaging/GdiplusSession.h"
#include "jobs/CommandLineMode.h"
#include "jobs/LogMessages.h"
#include "mainwindow/LayoutAssociation.h"
#include "mainwindow/MyMainWindow.h"
#include "mainwindow/mainCommandIds.h"
#include "mainwindow/mainWindowStrings.h"
#include "settings/Messages.h"
#include "settings/OpenParams.h"
#include "settings/settingsStrings.h"

namespace {

constexpr UINT MainIcon = 1;
constexpr int LogFontPoints = 9;
constexpr DWORD LogAnimationTime = 200;

// A resource that cannot be loaded does not always say why (a key table too short for one key sets no error);
// the user still gets a reason.
[[noreturn]] void throwResourceFailure()
{
    DWORD error = GetLastError();
    throw Exception(static_cast<int>(error ? error : ERROR_RESOURCE_DATA_NOT_FOUND));
}

} // namespace

MyApp* getMyApp()
{
    return dynamic_cast<MyApp*>(getApplication());
}

MyApp::MyApp()
{
    try {
        readVersionInfo();
        wstring programFiles = Path::getSpecialFolder(CSIDL_PROGRAM_FILES).getDirectory();
        wstring applicationData = Path::getSpecialFolder(CSIDL_APPDATA).getDirectory();
        setting.setSectionsAndPath(settingsFilePath(name, directory, programFiles, applicationData));
        loadSettings();
    } catch (const Exception& exception) {
        showException(nullptr, exception);
        throw;
    }
    // The imaging core and the conversion engine reach the record and the collector from below; lent only
    // once they are loaded.
    services.emplace(&setting, &collector);
}

MyApp::~MyApp()
{
    closeWindows();
}

wstring MyApp::versionText(const wstring& productVersion)
{
    wstringArray pieces;
    pieces.split(productVersion.replace(L" ", L""), L",", false);
    if (pieces.count() < 3)
        Exception::throwInvalidArgument();
    return pieces.at(0) + L"." + pieces.at(1) + pieces.at(2);
}

bool MyApp::isInsideFolder(const wstring& directory, const wstring& folder)
{
    // The folder's own backslash keeps "C:\Program FilesX" out, and a directory shorter than the folder can
    // never match.
    return withBackslash(directory).toLower().startsWith(withBackslash(folder).toLower().buffer());
}

wstring MyApp::settingsFilePath(const wstring& name, const wstring& programDirectory, const wstring& programFiles,
                                const wstring& applicationData)
{
    wstring fileName = name.toLower() + L".xml";
    // An installed program may not write beside itself.
    if (isInsideFolder(programDirectory, programFiles))
        return combinePath(combinePath(applicationData, name), fileName);
    return combinePath(programDirectory, fileName);
}

wstring MyApp::takeSettingsNotice()
{
    if (settingsNoticeTaken)
        return wstring();
    wstring notice = settingsNotice();
    settingsNoticeTaken = !notice.isEmpty();
    return notice;
}

wstring MyApp::settingsNotice() const
{
    wstring text;
    if (DWORD unopened = setting.getUnopenedFileError()) {
        text.loadString(getResourceModule(), IDS_SETTINGS_UNOPENED);
        // The system's reason tells the user what to look for: another program holding the file, or access.
        wstring reason = getExceptionText(Exception(static_cast<int>(unopened))).trimRight();
        return text.replace(L"%s", setting.getPath().buffer()) + L"\n\n" + reason;
    }
    const wstring& kept = setting.getKeptAsideFile();
    if (kept.isEmpty())
        return wstring();
    text.loadString(getResourceModule(), IDS_SETTINGS_KEPT_ASIDE);
    return text.replace(L"%s", kept.buffer());
}

void MyApp::readVersionInfo()
{
    ApplicationInfo info((directory + fileName).buffer());
    name = info.getProductName();
    title = name;
    version = versionText(info.getProductVersion());
    extraText = info.getLegalNotice();
}

void MyApp::loadSettings()
{
    // Another instance may be saving the file right now: the load holds the mutex while it reads the file.
    setting.load(name, nullptr, getResourceModule(), &getNamedMutex());
}

int MyApp::run(const wstringArray& arguments)
{
    try {
        if (arguments.count() == 1) {
            wstring only = arguments.at(0).toLower();
            if (only.equals(L"-regist"))
                return changeAssociation(true);
            if (only.equals(L"-unregist"))
                return changeAssociation(false);
            if (only.endsWith(L".lay"))
                startupLayout = Path(arguments.at(0)).getPath();
        }
        if (startupLayout.isEmpty() && arguments.count() > 0) {
            OpenParams params;
            if (!params.parse(arguments))
                return runCommandLine(arguments);
            startupFiles.removeAll();
            startupFiles.addAll(params.files);
        }
    } catch (const Exception&) {
        return 1;
    }
    return startWindowed();
}

int MyApp::changeAssociation(bool registering)
{
    // Shows nothing: an elevated instance started by the menu command reports only through its exit code.
    LayoutAssociation(name, directory + fileName).setAssociation(registering);
    return 0;
}

int MyApp::runCommandLine(const wstringArray& arguments)
{
    return runCommandLineMode(*this, setting, arguments);
}

// The windows and the threads that load and scale their pictures end while GDI+ still runs.
int MyApp::startWindowed()
{
    GdiplusSession graphics;
    int exitCode = 1;
    try {
        openWindows(graphics.isStarted());
        exitCode = runMessageLoop();
    } catch (const Exception& exception) {
        showException(nullptr, exception);
    } catch (...) {
    }
    closeWindows();
    return exitCode;
}

void MyApp::openWindows(bool graphicsStarted)
{
    resource.build();
    loadMessageTables();
    if (!graphicsStarted)
        throw ApplicationException(Messages::E0001.get());
    registerWindowClasses();
    SetLastError(0);
    accelerators = LoadAcceleratorsW(getResourceModule(), MAKEINTRESOURCEW(IDR_MAIN_ACCELERATORS));
    if (!accelerators)
        throwResourceFailure();
    tellOfSettingsNotice();
    workers.emplace();
    openMainWindow();
    try {
        openLogWindow();
    } catch (...) {
        // The main window's end posts the quit message, which nothing must find waiting later.
        closeWindows();
        MSG quit;
        while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        throw;
    }
}

// Before the main window exists, so that nothing the window starts (the files it adds) comes between the user
// and the answer.
void MyApp::tellOfSettingsNotice()
{
    wstring notice = takeSettingsNotice();
    if (!notice.isEmpty())
        warn(nullptr, notice.buffer());
}

int MyApp::runMessageLoop()
{
    return messageLoop(accelerators, mainWindow);
}

void MyApp::closeWindows()
{
    setAppLogWindow(nullptr);
    if (mainWindowObject)
        mainWindowObject->destroy();
    mainWindowObject.reset();
    mainWindow = nullptr;
    logWindow.destroy();
    logFont.release();
    workers.reset();
    // The converters of the presets belong to the collector, which may go before the table.
    clearEffectTable();
}

void MyApp::loadMessageTables()
{
    try {
        loadMessages(getResourceModule());
        loadLogMessages(getResourceModule());
    } catch (const Exception&) {
        throw ApplicationException::fromModule(getResourceModule());
    }
}

void MyApp::registerWindowClasses()
{
    mainWindowClass.windowClass.registerClass((name + L"Main").buffer(), getResourceModule(), MainIcon, MainIcon);
    logWindowClass.windowClass.registerClass((title + L"LogWindow").buffer(), nullptr, 0, 0);
}

void MyApp::openMainWindow()
{
    SetLastError(0);
    HMENU menu = LoadMenuW(getResourceModule(), MAKEINTRESOURCEW(IDR_MAIN_MENU));
    if (!menu)
        throwResourceFailure();
    MainWindowServices services{*this, setting, logWindow, *workers, resource.swatches, Resource::SwatchCount};
    mainWindowObject = std::make_unique<MyMainWindow>(splitter, services,
                                                      MyMainWindow::Startup{startupFiles, startupLayout});
    try {
        mainWindow = mainWindowObject->create(0, mainWindowClass, title.buffer(),
                                              WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                                              setting.windowLeft, setting.windowTop, setting.windowWidth,
                                              setting.windowHeight, nullptr, menu, nullptr);
    } catch (...) {
        DestroyMenu(menu);
        mainWindowObject.reset();
        throw;
    }
    ShowWindow(mainWindow, SW_SHOWDEFAULT);
}

void MyApp::openLogWindow()
{
    wstring logTitle = loadString(IDS_LOG_TITLE);
    // The string lists faces in order of preference; asked for the whole list, the font mapper picks a face of
    // its own, which may not draw underscores at the log's size.
    wstring faces = loadString(IDS_FONT_FACES);
    wstring face = firstInstalledFace(faces);
    if (face.isEmpty())
        face = faces;
    if (!logFont.create(nullptr, face.buffer(), LogFontPoints, FW_NORMAL, false, false, false, DEFAULT_CHARSET))
        Exception::throwLastError();
    logWindow.create(WS_EX_TOOLWINDOW, logWindowClass, logTitle.buffer(), WS_OVERLAPPEDWINDOW, setting.windowLogLeft,
                     setting.windowLogTop, setting.windowLogWidth, setting.windowLogHeight, mainWindow, nullptr,
                     nullptr);
    logWindow.getPane().setFont(logFont.handle());
    logWindow.setLimit(setting.windowLogLines);
    setAppLogWindow(&logWindow);
    if (setting.viewLogWindow) {
        AnimateWindow(logWindow.getHandle(), LogAnimationTime, AW_BLEND);
        if (!logWindow.isVisible())
            logWindow.show(SW_SHOWNOACTIVATE);
        logWindow.invalidate();
    }
}
