// The main window's commands: the menu's, the keys', the toolbar's and those the panes send.
#include <windows.h>
#include <shellapi.h>
#include "foundation/Application.h"
#include "foundation/Mutex.h"
#include "foundation/Path.h"
#include "mainwindow/LayoutAssociation.h"
#include "mainwindow/MainSplit.h"
#include "mainwindow/MyApp.h"
#include "mainwindow/MyMainWindow.h"
#include "mainwindow/OptionSheets.h"
#include "mainwindow/PictureProperties.h"
#include "settings/OutputFormat.h"
#include "settings/Messages.h"

namespace {

constexpr UINT NotYetString = 2990;
constexpr int FirstViewerCommand = 13001;
constexpr int LastViewerCommand = 13101;
// More output folders than this are opened only after asking.
constexpr int FoldersOpenedWithoutAsking = 10;
// The notification code with which the log window is only shown.
constexpr int ShowOnly = 1;
constexpr DWORD AnimationTime = 200;

AppSetting& settings()
{
    return myApp().getSetting();
}

void openInShell(HWND owner, const wstring& path)
{
    ShellExecuteW(owner, L"open", path.buffer(), nullptr, nullptr, SW_SHOWNORMAL);
}

// View/PreviewMode of a draw mode of the preview.
int previewModeSetting(int drawMode)
{
    return drawMode == 1 ? 1 : drawMode == 3 ? 2 : 0;
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
            SendMessageW(hwnd, RefreshStatusMessage, 0, 0);
            SendMessageW(hwnd, PreviewSelectionMessage, 0, 0);
            myApp().showException(hwnd, exception);
        } catch (const Exception&) {
        }
    }
    SendMessageW(hwnd, RefreshToolbarMessage, 0, 0);
    SetCursor(previous);
}

void MyMainWindow::runCommand(int id, int code)
{
    if (runListCommand(id) || runJobCommand(id) || runViewCommand(id, code) || runSettingsCommand(id))
        return;
    if (id >= FirstViewerCommand && id <= LastViewerCommand)
        launchViewer(id - FirstViewerCommand);
}

bool MyMainWindow::runListCommand(int id)
{
    MainPane& mainPane = pane();
    switch (id) {
    case 4102:
        mainPane.clearList();
        break;
    case 4103:
        mainPane.addFilesByDialog();
        SendMessageW(hwnd, RefreshStatusMessage, 0, 0);
        return true;
    case 4104:
        if (mainPane.list().selectedCount() == 0)
            return true;
        mainPane.releaseSelected();
        break;
    case 4114:
        mainPane.openLayoutByDialog();
        break;
    case 4115:
        mainPane.saveLayout();
        return true;
    case 4116:
        SendMessageW(hwnd, WM_CLOSE, 0, 0);
        return true;
    case 4121:
        mainPane.copyNames();
        return true;
    case 4122:
        mainPane.selectAll();
        return true;
    case 4150:
        mainPane.refreshList();
        break;
    case 4201:
        openInShell(hwnd, L"explorer.exe");
        return true;
    case FormatCommand::Jpeg:
    case FormatCommand::Gif:
    case FormatCommand::Tiff:
    case FormatCommand::Png:
    case FormatCommand::HdPhoto:
    case FormatCommand::Bitmap:
        mainPane.setFormat(commandIdToFormatIndex(id));
        SendMessageW(hwnd, RefreshStatusMessage, 0, 0);
        return true;
    default:
        return false;
    }
    SendMessageW(hwnd, RefreshStatusMessage, 0, 0);
    SendMessageW(hwnd, PreviewSelectionMessage, 0, 0);
    return true;
}

bool MyMainWindow::runJobCommand(int id)
{
    MainPane& mainPane = pane();
    const AppSetting& setting = settings();
    switch (id) {
    case 4105:
    case 4106:
        convert(id == 4105);
        return true;
    case 4107: {
        MainPane::JobResult job = mainPane.makeThumbnailSheet();
        reportJob(job, setting.fileThumbnailOpenFile, job.output);
        return true;
    }
    case 4108: {
        MainPane::JobResult job = mainPane.splitPicture();
        reportJob(job, setting.fileOpenFolder, job.output);
        return true;
    }
    case 4109:
    case 4110:
    case 4111:
    case 4112:
    case 4113: {
        MainPane::JobResult job = id == 4109   ? mainPane.joinPictures()
                                  : id == 4110 ? mainPane.makeMultiTiff()
                                  : id == 4111 ? mainPane.makeAnimatedGif()
                                  : id == 4112 ? mainPane.makeAvi()
                                               : mainPane.makeScreenSaver();
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
    case 4143: {
        bool shown = parts.rebar.isVisible();
        parts.toolbar.show(!shown);
        parts.rebar.show(!shown);
        break;
    }
    case 4144:
        parts.statusbar.show(!parts.statusbar.isVisible());
        break;
    case 4145:
        togglePreview();
        return true;
    case 4146:
        toggleLogWindow(code);
        return true;
    case 4147:
    case 4151:
        previewWindows(id == 4151);
        return true;
    case 4148:
        parts.pane.closePreviews();
        return true;
    case 4149: {
        bool topMost = !parts.topMost;
        if (!SetWindowPos(hwnd, topMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE))
            Exception::throwLastError();
        parts.topMost = topMost;
        return true;
    }
    case 4152:
    case 4153:
    case 4154:
    case 4155:
    case 4156:
        parts.pane.list().setViewMode(id - 4152);
        return true;
    case 4159:
        parts.pane.list().setGrouping(!parts.pane.list().isGrouping());
        return true;
    case 4160:
    case 4161:
    case 4162:
        setPreviewMode(id == 4160 ? 0 : id == 4161 ? 1 : 3);
        return true;
    case 4301:
    case 4302:
    case 4303:
    case 4304:
        setPreviewPosition(static_cast<PreviewPosition>(id - 4301));
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
    case 4163:
        sheets.environment ? sheets.environment(hwnd) : notYet();
        return true;
    case 4164:
        // The sheet tells the window itself once it has closed, however it closed.
        sheets.conversion ? sheets.conversion(hwnd, samplePicture()) : notYet();
        return true;
    case 4170:
        sheets.format ? sheets.format(hwnd, pane().getFormat()) : notYet();
        return true;
    case 4166:
        sheets.rename ? sheets.rename(hwnd) : notYet();
        return true;
    case 4173:
        sheets.viewers ? sheets.viewers(hwnd) : notYet();
        return true;
    case 4165:
        sheets.plugins ? sheets.plugins(hwnd) : notYet();
        return true;
    case 4182:
        sheets.version ? sheets.version(hwnd) : notYet();
        return true;
    case 4123:
        showPictureProperties();
        return true;
    case 4167: {
        MyApp& app = myApp();
        LayoutAssociation(app.getName(), app.getDirectory() + app.getFileName()).toggle(hwnd);
        return true;
    }
    case 4168:
    case 4171:
        savePositions(id == 4171);
        return true;
    case 4169:
        deleteSettingsFile();
        return true;
    case 4172:
        loadSettingsFile();
        return true;
    case 4181:
        openHelp();
        return true;
    default:
        return false;
    }
}

// ---- jobs ----

void MyMainWindow::convert(bool all)
{
    if (settings().fileEnsureSetting) {
        const OptionSheets& sheets = getOptionSheets();
        if (!sheets.confirmConversion) {
            notYet();
            return;
        }
        if (!sheets.confirmConversion(hwnd, samplePicture(), pane().getFormat()))
            return;
    }
    MainPane::JobResult job = pane().convertFiles(all);
    if (job.result < 0) {
        inform(Messages::W0004.get(), MB_ICONWARNING);
        return;
    }
    if (job.result == 0)
        return;
    inform(Messages::I0001.get(), MB_ICONINFORMATION);
    if (settings().fileOpenFolder)
        openConvertedFolders(*job.outputFolders);
    // Deleted sources must leave the list.
    if (job.sourcesDeleted)
        PostMessageW(hwnd, WM_COMMAND, 4150, 0);
}

void MyMainWindow::openConvertedFolders(const wstringArray& folders)
{
    if (folders.count() > FoldersOpenedWithoutAsking) {
        wstring question = Messages::W0007.toWstring().replace(L"%s", wstring::fromInt(folders.count()).buffer());
        if (myApp().messageBox(hwnd, question.buffer(), MB_YESNO | MB_ICONWARNING) != IDYES)
            return;
    }
    for (int i = 0; i < folders.count(); ++i)
        openInShell(hwnd, folders.at(i));
}

void MyMainWindow::reportJob(const MainPane::JobResult& job, bool openOutput, const wstring& opened)
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
    myApp().messageBox(hwnd, text, icon);
}

wstring MyMainWindow::samplePicture() const
{
    IFileListView& list = pane().list();
    return list.count() > 0 ? list.itemPath(0) : wstring();
}

void MyMainWindow::notYet()
{
    myApp().messageBox(hwnd, myApp().loadString(NotYetString).buffer(), MB_ICONINFORMATION);
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
    SendMessageW(hwnd, PreviewSelectionMessage, 0, 0);
}

void MyMainWindow::toggleLogWindow(int code)
{
    AppSetting& setting = settings();
    LogWindow& log = myApp().getLogWindow();
    if (setting.windowLogLeft == static_cast<int>(CW_USEDEFAULT)) {
        // Never placed by the user: in the main window's lower right corner.
        Rect main = getWindowRect();
        log.setBounds(main.right - setting.windowLogWidth, main.bottom - setting.windowLogHeight,
                      setting.windowLogWidth, setting.windowLogHeight);
        setting.windowLogLeft = 0;
    }
    if (log.isVisible()) {
        if (code != ShowOnly)
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

void MyMainWindow::warnPreviewFailure(const Exception& exception)
{
    if (dynamic_cast<const ApplicationException*>(&exception) || exception.getCode() == ErrorCode::NoMemory) {
        myApp().showException(hwnd, exception);
        return;
    }
    myApp().messageBox(hwnd, Messages::E0004.get(), MB_ICONEXCLAMATION);
}

void MyMainWindow::launchViewer(int index)
{
    wstring quoted = L"\"" + pane().focusedPath() + L"\"";
    wstring program = settings().applications.getPath(index);
    HINSTANCE started = ShellExecuteW(hwnd, L"open", program.buffer(), quoted.buffer(), nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(started) <= 32)
        throw ApplicationException(Messages::E0027.get());
}

void MyMainWindow::openHelp()
{
    openInShell(hwnd, applicationRelativePath(settings().fileHelp));
}

// ---- picture properties ----

void MyMainWindow::showPictureProperties()
{
    const OptionSheets& sheets = getOptionSheets();
    if (!sheets.pictureProperties) {
        notYet();
        return;
    }
    MainPane& mainPane = pane();
    int index = mainPane.list().firstSelectedIndex();
    if (index < 0)
        return;
    try {
        PictureProperties picture;
        picture.read(mainPane.list().itemPath(index));
        sheets.pictureProperties(hwnd, picture);
        if (picture.changed) {
            int shown = mainPane.list().replaceFile(index, picture.fullPath);
            PostMessageW(hwnd, SelectItemMessage, static_cast<WPARAM>(shown), 0);
        }
    } catch (const ApplicationException& exception) {
        myApp().showException(hwnd, exception);
    }
}

// ---- settings ----

void MyMainWindow::savePositions(bool toFile)
{
    MyApp& app = myApp();
    AppSetting& setting = app.getSetting();
    WNDDATA& parts = this->parts();
    try {
        readPlacement(hwnd, setting.windowLeft, setting.windowTop, setting.windowWidth, setting.windowHeight);
        readPlacement(app.getLogWindow().getHandle(), setting.windowLogLeft, setting.windowLogTop,
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
        setting.viewLogWindow = app.getLogWindow().isVisible();
        setting.viewFileListDisplayMode = list.viewMode();
        setting.viewGroup = list.isGrouping();
        setting.viewPreviewMode = previewModeSetting(previewMode());
        setting.viewPreviewPos = previewPosition();
        setting.viewTopMost = parts.topMost;
    } catch (const Exception&) {
        // What could be gathered is saved all the same.
    }
    try {
        parts.pane.saveSettings(toFile);
    } catch (const Exception& exception) {
        app.showException(hwnd, exception);
    }
}

void MyMainWindow::deleteSettingsFile()
{
    MyApp& app = myApp();
    try {
        MutexLock hold(app.getNamedMutex());
        app.getSetting().deleteSettingsFile();
    } catch (const Exception&) {
        // Nothing to delete is no error to the user.
    }
}

void MyMainWindow::loadSettingsFile()
{
    try {
        pane().loadSettings();
    } catch (const Exception&) {
        PostMessageW(hwnd, SummaryTipMessage, 0, 0);
        throw;
    }
    PostMessageW(hwnd, SummaryTipMessage, 0, 0);
}
