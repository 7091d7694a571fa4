#include "mainwindow/MyApp.h"
#include <shlobj.h>
#include "foundation/ApplicationInfo.h"
#include "foundation/Path.h"
#include "imaging/GdiplusSession.h"
#include "jobs/CommandLineMode.h"
#include "jobs/LogMessages.h"
#include "mainwindow/LayoutAssociation.h"
#include "settings/Messages.h"
#include "settings/OpenParams.h"

namespace {

constexpr UINT SettingsKeptAsideString = 2610;

wstring withBackslash(const wstring& folder)
{
    return folder.endsWith(L"\\") ? folder : folder + L"\\";
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

MyApp::~MyApp() = default;

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
    const wstring& kept = setting.getKeptAsideFile();
    if (kept.isEmpty() || settingsNoticeTaken)
        return wstring();
    settingsNoticeTaken = true;
    wstring text;
    text.loadString(getResourceModule(), SettingsKeptAsideString);
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
    // Another instance may be saving the file right now.
    MutexLock hold(getNamedMutex());
    setting.load(name, nullptr, getResourceModule());
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

int MyApp::startWindowed()
{
    try {
        loadMessageTables();
        GdiplusSession graphics;
        if (!graphics.isStarted())
            throw ApplicationException(Messages::E0001.get());
        return openMainWindow();
    } catch (const Exception& exception) {
        showException(nullptr, exception);
    } catch (...) {
    }
    return 1;
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

int MyApp::openMainWindow()
{
    // The windows need the windowing toolkit, which this program does not have yet. Ending here with an error
    // is better than a program that runs on without any window to close.
    throw Exception(ERROR_CALL_NOT_IMPLEMENTED);
}
