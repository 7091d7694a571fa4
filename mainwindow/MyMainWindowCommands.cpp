// The main window's commands: the menu's, the keys', the toolbar's and those the panes send.
#include <windows.h>
#include <shellapi.h>
#include "foundation/Application.h"
#include "foundation/Mutex.h"
#include "foundation/Path.h"
#include "jobs/LogWindow.h"
#include "mainwindow/LayoutAssociation.h"
#include "mainwindow/MainSplit.h"
#include "mainwindow/MyMainWindow.h"
#include "mainwindow/OptionSheets.h"
#include "mainwindow/PictureProperties.h"
#include "mainwindow/commandStates.h"
#include "mainwindow/mainWindowStrings.h"
#include "settings/AppSetting.h"
#include "settings/Messages.h"
#include "settings/OutputFormat.h"

namespace {

// More output folders than this are opened only after asking.
constexpr int FoldersOpenedWithoutAsking = 10;
constexpr DWORD AnimationTime = 200;

void openInShell(HWND owner, const wstring& path)
{
    ShellExecuteW(owner, L"open", path.buffer(), nullptr, nullptr, SW_SHOWNORMAL);
}

void readPlacement(HWND window, int& left, int& top, int& width, int& height)
{
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (!GetWindowPlacement(window, &placement))
        Exception::throwLastError();
    const RECT& normal = placement.rcNormalPosition;
    left = normal.left;
    top = normal.top;
    width = normal.right - normal.left;
    height = normal.bottom - normal.top;
}

} // namespace

void MyMainWindow::onCommand(HWND, int id, int code)
{
    HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    try {
        runCommand(id, code);
    } catch (const Exception& exception) {
        try {
            refreshStatus();
            previewSelection();
            services.program.showException(hwnd, exception);
        } catch (const Exception&) {
        }
    }
    refreshToolbar();
    SetCursor(previous);
}

void MyMainWindow::runCommand(int id, int code)
{
    if (runListCommand(id) || runJobCommand(id) || runViewCommand(id, code) || runSettingsCommand(id))
        return;
    if (id >= IDM_FIRST_VIEWER && id <= IDM_LAST_VIEWER)
        launchViewer(id - IDM_FIRST_VIEWER);
}

bool MyMainWindow::runListCommand(int id)
{
    MainPane& mainPane = pane();
    switch (id) {
    case IDM_CLEAR_LIST:
        mainPane.clearList();
        break;
    case IDM_ADD_FILES:
        mainPane.addFilesByDialog();
        refreshStatus();
        return true;
    case IDM_RELEASE_SELECTED:
        if (mainPane.list().selectedCount() == 0)
            return true;
        mainPane.releaseSelected();
        break;
    case IDM_OPEN_LAYOUT:
        parts().layouts.openByDialog();
        break;
    case IDM_SAVE_LAYOUT:
        parts().layouts.save();
        return true;
    case IDM_EXIT:
        SendMessageW(hwnd, WM_CLOSE, 0, 0);
        return true;
    case IDM_COPY_LIST:
        mainPane.copyNames();
        return true;
    case IDM_SELECT_ALL:
        mainPane.selectAll();
        return true;
    case IDM_REFRESH_LIST:
        mainPane.refreshList();
        break;
    case IDM_START_EXPLORER:
        openInShell(hwnd, L"explorer.exe");
        return true;
    case IDM_FORMAT_JPEG:
    case IDM_FORMAT_GIF:
    case IDM_FORMAT_TIFF:
    case IDM_FORMAT_PNG:
    case IDM_FORMAT_HD_PHOTO:
    case IDM_FORMAT_BITMAP:
        mainPane.setFormat(commandIdToFormatIndex(id));
        refreshStatus();
        return true;
    default:
        return false;
    }
    refreshStatus();
    previewSelection();
    return true;
}

bool MyMainWindow::runJobCommand(int id)
{
    JobLauncher& jobs = parts().jobs;
    const AppSetting& setting = services.setting;
    switch (id) {
    case IDM_CONVERT_ALL:
    case IDM_CONVERT_SELECTED:
        convert(id == IDM_CONVERT_ALL);
        return true;
    case IDM_THUMBNAIL_SHEET: {
        JobLauncher::JobResult job = jobs.makeThumbnailSheet();
        reportJob(job, setting.fileThumbnailOpenFile, job.output);
        return true;
    }
    case IDM_SPLIT_PICTURE: {
        JobLauncher::JobResult job = jobs.splitPicture();
        reportJob(job, setting.fileOpenFolder, job.output);
        return true;
    }
    case IDM_JOIN_PICTURES:
    case IDM_MULTI_FRAME_TIFF:
    case IDM_ANIMATED_GIF:
    case IDM_MOVIE:
    case IDM_SCREEN_SAVER: {
        JobLauncher::JobResult job = id == IDM_JOIN_PICTURES      ? jobs.joinPictures()
                                     : id == IDM_MULTI_FRAME_TIFF ? jobs.makeMultiTiff()
                                     : id == IDM_ANIMATED_GIF     ? jobs.makeAnimatedGif()
                                     : id == IDM_MOVIE            ? jobs.makeAvi()
                                                                  : jobs.makeScreenSaver();
        reportJob(job, setting.fileOpenFolder, Path(job.output).getDirectory());
        return true;
    }
    default:
        return false;
    }
}

bool MyMainWindow::runViewCommand(int id, int code)
{
    WNDDATA& parts = this->parts();
    switch (id) {
    case IDM_TOGGLE_TOOLBAR: {
        bool shown = parts.rebar.isVisible();
        parts.toolbar.show(!shown);
        parts.rebar.show(!shown);
        break;
    }
    case IDM_TOGGLE_STATUSBAR:
        parts.statusbar.show(!parts.statusbar.isVisible());
        break;
    case IDM_TOGGLE_PREVIEW:
        togglePreview();
        return true;
    case IDM_TOGGLE_LOG_WINDOW:
        toggleLogWindow(code);
        return true;
    case IDM_PREVIEW_WINDOWS:
    case IDM_CONVERTED_PREVIEW_WINDOWS:
        previewWindows(id == IDM_CONVERTED_PREVIEW_WINDOWS);
        return true;
    case IDM_CLOSE_PREVIEW_WINDOWS:
        parts.pane.closePreviews();
        return true;
    case IDM_ALWAYS_ON_TOP:
        if (!SetWindowPos(hwnd, isTopMost() ? HWND_NOTOPMOST : HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE))
            Exception::throwLastError();
        return true;
    case IDM_LIST_PATHS:
    case IDM_LIST_FILE_NAMES:
    case IDM_LIST_COMPACT:
    case IDM_LIST_CONTENT:
    case IDM_LIST_ICONS:
        parts.pane.list().setViewMode(id - IDM_LIST_PATHS);
        return true;
    case IDM_LIST_GROUPING:
        parts.pane.list().setGrouping(!parts.pane.list().isGrouping());
        return true;
    case IDM_PREVIEW_ACTUAL_SIZE:
    case IDM_PREVIEW_STRETCH:
    case IDM_PREVIEW_FIT:
        setPreviewMode(drawModeOfCommand(id));
        return true;
    case IDM_PREVIEW_LEFT:
    case IDM_PREVIEW_TOP:
    case IDM_PREVIEW_RIGHT:
    case IDM_PREVIEW_BOTTOM:
        setPreviewPosition(static_cast<PreviewPosition>(id - IDM_PREVIEW_LEFT));
        return true;
    default:
        return false;
    }
    layoutClient();
    return true;
}

bool MyMainWindow::runSettingsCommand(int id)
{
    const OptionSheets& sheets = getOptionSheets();
    switch (id) {
    case IDM_ENVIRONMENT_SETTINGS:
        sheets.environment ? sheets.environment(hwnd) : notYet();
        return true;
    case IDM_CONVERSION_SETTINGS:
        // The sheet tells the window itself once it has closed, however it closed.
        sheets.conversion ? sheets.conversion(hwnd, samplePicture()) : notYet();
        return true;
    case IDM_FORMAT_SETTINGS:
        sheets.format ? sheets.format(hwnd, pane().getFormat()) : notYet();
        return true;
    case IDM_RENAME_SETTINGS:
        sheets.rename ? sheets.rename(hwnd) : notYet();
        return true;
    case IDM_VIEWER_SETTINGS:
        sheets.viewers ? sheets.viewers(hwnd) : notYet();
        return true;
    case IDM_PLUGIN_SETTINGS:
        sheets.plugins ? sheets.plugins(hwnd) : notYet();
        return true;
    case IDM_VERSION:
        sheets.version ? sheets.version(hwnd) : notYet();
        return true;
    case IDM_PICTURE_PROPERTIES:
        showPictureProperties();
        return true;
    case IDM_ASSOCIATE_LAYOUTS: {
        const Application& program = services.program;
        LayoutAssociation(program.getName(), program.getDirectory() + program.getFileName()).toggle(hwnd);
        return true;
    }
    case IDM_SAVE_SETTINGS:
    case IDM_SAVE_SETTINGS_AS:
        savePositions(id == IDM_SAVE_SETTINGS_AS);
        return true;
    case IDM_DELETE_SETTINGS:
        deleteSettingsFile();
        return true;
    case IDM_LOAD_SETTINGS:
        loadSettingsFile();
        return true;
    case IDM_HELP:
        openHelp();
        return true;
    default:
        return false;
    }
}

// ---- jobs ----

void MyMainWindow::convert(bool all)
{
    if (services.setting.fileEnsureSetting) {
        const OptionSheets& sheets = getOptionSheets();
        if (!sheets.confirmConversion) {
            notYet();
            return;
        }
        if (!sheets.confirmConversion(hwnd, samplePicture(), pane().getFormat()))
            return;
    }
    JobLauncher::JobResult job = parts().jobs.convertFiles(all);
    if (job.result < 0) {
        inform(Messages::W0004.get(), MB_ICONWARNING);
        return;
    }
    if (job.result == 0)
        return;
    inform(Messages::I0001.get(), MB_ICONINFORMATION);
    if (services.setting.fileOpenFolder)
        openConvertedFolders(*job.outputFolders);
    // Deleted sources must leave the list.
    if (job.sourcesDeleted)
        postCommand(IDM_REFRESH_LIST);
}

void MyMainWindow::openConvertedFolders(const wstringArray& folders)
{
    if (folders.count() > FoldersOpenedWithoutAsking) {
        wstring question = Messages::W0007.toWstring().replace(L"%s", wstring::fromInt(folders.count()).buffer());
        if (services.program.messageBox(hwnd, question.buffer(), MB_YESNO | MB_ICONWARNING) != IDYES)
            return;
    }
    for (int i = 0; i < folders.count(); ++i)
        openInShell(hwnd, folders.at(i));
}

void MyMainWindow::reportJob(const JobLauncher::JobResult& job, bool openOutput, const wstring& opened)
{
    if (job.result < 0) {
        inform(Messages::W0004.get(), MB_ICONWARNING);
        return;
    }
    if (job.result == 0)
        return;
    inform(Messages::I0001.get(), MB_ICONINFORMATION);
    if (openOutput && !opened.isEmpty())
        openInShell(hwnd, opened);
}

void MyMainWindow::inform(const wchar_t* text, UINT icon)
{
    services.program.messageBox(hwnd, text, icon);
}

wstring MyMainWindow::samplePicture() const
{
    IFileListView& list = pane().list();
    return list.count() > 0 ? list.itemPath(0) : wstring();
}

void MyMainWindow::notYet()
{
    services.program.messageBox(hwnd, services.program.loadString(IDS_NOT_YET).buffer(), MB_ICONINFORMATION);
}

// ---- view ----

void MyMainWindow::togglePreview()
{
    WNDDATA& parts = this->parts();
    bool shown = parts.preview.isVisible();
    if (shown)
        parts.previewSize = mainPaneExtent();
    parts.preview.show(!shown);
    placeSplitter(parts.previewSize);
    previewSelection();
}

void MyMainWindow::toggleLogWindow(int code)
{
    AppSetting& setting = services.setting;
    LogWindow& log = services.logWindow;
    if (setting.windowLogLeft == static_cast<int>(CW_USEDEFAULT)) {
        // Never placed by the user: in the main window's lower right corner.
        Rect main = getWindowRect();
        log.setBounds(main.right - setting.windowLogWidth, main.bottom - setting.windowLogHeight,
                      setting.windowLogWidth, setting.windowLogHeight);
        setting.windowLogLeft = 0;
    }
    if (log.isVisible()) {
        if (code != CODE_SHOW_LOG_ONLY)
            log.hide();
        else
            log.invalidate();
        return;
    }
    AnimateWindow(log.getHandle(), AnimationTime, AW_BLEND);
    if (!log.isVisible())
        log.show(SW_SHOWNOACTIVATE);
    log.invalidate();
}

void MyMainWindow::previewWindows(bool converted)
{
    try {
        pane().previewSelected(converted);
    } catch (const Exception& exception) {
        warnPreviewFailure(exception);
    }
}

void MyMainWindow::openNextPreviews()
{
    try {
        pane().openNextPreviews();
    } catch (const Exception& exception) {
        warnPreviewFailure(exception);
    }
}

void MyMainWindow::warnPreviewFailure(const Exception& exception)
{
    if (dynamic_cast<const ApplicationException*>(&exception) || exception.getCode() == ErrorCode::NoMemory) {
        services.program.showException(hwnd, exception);
        return;
    }
    services.program.messageBox(hwnd, Messages::E0004.get(), MB_ICONEXCLAMATION);
}

void MyMainWindow::launchViewer(int index)
{
    wstring quoted = L"\"" + pane().focusedPath() + L"\"";
    wstring program = services.setting.applications.getPath(index);
    HINSTANCE started = ShellExecuteW(hwnd, L"open", program.buffer(), quoted.buffer(), nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(started) <= 32)
        throw ApplicationException(Messages::E0027.get());
}

void MyMainWindow::openHelp()
{
    openInShell(hwnd, applicationRelativePath(services.setting.fileHelp));
}

// ---- picture properties ----

// The record is read aside, as long as a hostile picture takes: meanwhile the window answers and paints and,
// as under a modal dialog, takes no input.
void MyMainWindow::showPictureProperties()
{
    if (!getOptionSheets().pictureProperties) {
        notYet();
        return;
    }
    WNDDATA& parts = this->parts();
    int index = parts.pane.list().firstSelectedIndex();
    if (index < 0 || isReadingProperties())
        return;
    wstring path = parts.pane.list().itemPath(index);
    parts.propertiesReader.read(path, hwnd, PropertiesReadMessage);
    parts.propertiesItem = index;
    parts.propertiesPath = path;
    EnableWindow(hwnd, FALSE);
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
}

void MyMainWindow::propertiesRead(WPARAM request)
{
    WNDDATA& parts = *data;
    PicturePropertiesResult read;
    if (!parts.propertiesReader.take(request, read))
        return;
    int item = parts.propertiesItem;
    wstring path = parts.propertiesPath;
    parts.propertiesItem = -1;
    EnableWindow(hwnd, TRUE);
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    try {
        if (read.failure)
            std::rethrow_exception(read.failure);
        showPropertiesSheet(*read.record, item, path);
    } catch (const Exception& exception) {
        services.program.showException(hwnd, exception);
    }
    refreshToolbar();
}

void MyMainWindow::showPropertiesSheet(PictureProperties& picture, int item, const wstring& path)
{
    getOptionSheets().pictureProperties(hwnd, picture);
    IFileListView& list = pane().list();
    // The list may have changed meanwhile; the row is replaced only where it still is.
    if (!picture.changed || item >= list.count() || !(list.itemPath(item) == path))
        return;
    int shown = list.replaceFile(item, picture.fullPath);
    PostMessageW(hwnd, SelectItemMessage, static_cast<WPARAM>(shown), 0);
}

// ---- settings ----

void MyMainWindow::savePositions(bool toFile)
{
    AppSetting& setting = services.setting;
    WNDDATA& parts = this->parts();
    try {
        readPlacement(hwnd, setting.windowLeft, setting.windowTop, setting.windowWidth, setting.windowHeight);
        readPlacement(services.logWindow.getHandle(), setting.windowLogLeft, setting.windowLogTop,
                      setting.windowLogWidth, setting.windowLogHeight);
        IFileListView& list = parts.pane.list();
        int* widths[] = {&setting.windowCWName, &setting.windowCWSize, &setting.windowCWType, &setting.windowCWDate};
        for (int column = 0; column < 4; ++column)
            *widths[column] = list.columnWidth(column);
        setting.editFormat = parts.pane.getFormat();
        setting.viewToolbar = parts.rebar.isVisible();
        setting.viewStatusbar = parts.statusbar.isVisible();
        setting.viewPreview = parts.preview.isVisible();
        setting.windowLeftWidth = parts.preview.isVisible() ? mainPaneExtent() : parts.previewSize;
        setting.viewLogWindow = services.logWindow.isVisible();
        setting.viewFileListDisplayMode = list.viewMode();
        setting.viewGroup = list.isGrouping();
        setting.viewPreviewMode = previewSettingOfDrawMode(previewMode());
        setting.viewPreviewPos = previewPosition();
        setting.viewTopMost = isTopMost();
    } catch (const Exception&) {
        // What could be gathered is saved all the same.
    }
    try {
        parts.settingsFiles.save(toFile);
    } catch (const Exception& exception) {
        services.program.showException(hwnd, exception);
    }
}

void MyMainWindow::deleteSettingsFile()
{
    try {
        MutexLock hold(services.program.getNamedMutex());
        services.setting.deleteSettingsFile();
    } catch (const Exception& exception) {
        // Nothing to delete is no error to the user; a file that stays (held by another program, access
        // denied) is.
        if (exception.getCode() != ERROR_FILE_NOT_FOUND)
            throw;
    }
}

void MyMainWindow::loadSettingsFile()
{
    try {
        parts().settingsFiles.load();
    } catch (const Exception&) {
        PostMessageW(hwnd, SummaryTipMessage, 0, 0);
        throw;
    }
    PostMessageW(hwnd, SummaryTipMessage, 0, 0);
}
