// The main pane's job starts: what each job needs of the list, what it asks the user, and the job under its
// progress dialog.
#include "foundation/FileSystem.h"
#include "foundation/Path.h"
#include "jobs/AnimeGifThreadImpl.h"
#include "jobs/AviThreadImpl.h"
#include "jobs/CancelThreadOperationImpl.h"
#include "jobs/JoinThreadImpl.h"
#include "jobs/MultiTiffThreadImpl.h"
#include "jobs/ProgressDialog.h"
#include "jobs/SSThreadImpl.h"
#include "jobs/SplitThreadImpl.h"
#include "jobs/ThumbnailThreadImpl.h"
#include "mainwindow/MainPane.h"
#include "mainwindow/MyApp.h"
#include "settings/Messages.h"
#include "settings/OutputFormat.h"

namespace {

constexpr UINT FolderTitleString = 2401;

enum OutputFileKind { Join, MultiTiff, AnimatedGif, Avi, ScreenSaver };

wstring withBackslash(const wstring& folder)
{
    return folder.endsWith(L"\\") ? folder : folder + L"\\";
}

// The chosen folder, starting where the dialog was left or at the start folder; empty when cancelled.
wstring chooseFolder(FolderDialog& dialog, const wstring& startFolder)
{
    if (!startFolder.isEmpty())
        lstrcpynW(dialog.path, startFolder.buffer(), MAX_PATH);
    wstring title;
    title.loadString(myApp().getResourceModule(), FolderTitleString);
    if (!dialog.show(title.buffer()))
        return wstring();
    return wstring(dialog.path);
}

// Where the thumbnails of a sheet go: nowhere without File/ThumbnailImage, else the sheet's folder or its
// named sub-folder, made when missing.
wstring thumbnailFolder(const AppSetting& setting, const wstring& sheetPath)
{
    if (!setting.fileThumbnailImage)
        return wstring();
    wstring folder = Path(sheetPath).getDirectory();
    if (setting.fileThumbnailImageFolder.isEmpty())
        return folder;
    folder = withBackslash(combinePath(folder, setting.fileThumbnailImageFolder));
    createDirectoryTree(folder);
    return folder;
}

} // namespace

template <typename Job>
int MainPane::runJob(Job& job)
{
    return showProgressDialog(job, myApp().getMainWindow()) == IDOK ? 1 : -1;
}

void MainPane::showLogIfWanted()
{
    if (myApp().getSetting().fileEnsureLog)
        commandMainWindow(IDM_TOGGLE_LOG_WINDOW, CODE_SHOW_LOG_ONLY);
}

MainPane::JobResult MainPane::convertFiles(bool all)
{
    JobResult outcome;
    IFileListView& files = list();
    if (files.count() == 0 || (!all && files.selectedCount() == 0))
        return outcome;
    AppSetting& setting = myApp().getSetting();
    HWND main = myApp().getMainWindow();
    wstring folder;
    if (setting.fileSaveSrcFolder) {
        if (myApp().messageBox(main, Messages::Q0001.get(), MB_YESNO | MB_ICONQUESTION) != IDYES)
            return outcome;
    } else {
        wstring start = setting.fileInitFolder ? setting.fileFolder : wstring();
        folder = chooseFolder(convertFolder, start);
        if (folder.isEmpty())
            return outcome;
        folder = withBackslash(folder);
    }
    wstringArray paths;
    if (all)
        files.allPaths(paths);
    else
        files.selectedPaths(paths);
    wstring extension = outputExtensionForFormat(format, setting);
    showLogIfWanted();
    auto job = setting.fileSaveSrcFolder ? CancelThreadOperationImpl(format, extension, paths)
                                         : CancelThreadOperationImpl(format, extension, folder, paths);
    outcome.result = runJob(job);
    outcome.outputFolders->addAll(job.getOutputFolders());
    outcome.sourcesDeleted = job.getSourcesDeleted();
    return outcome;
}

MainPane::JobResult MainPane::makeThumbnailSheet()
{
    JobResult outcome;
    IFileListView& files = list();
    if (files.count() == 0)
        return outcome;
    wstring sheet = askSaveName(thumbnailSheet);
    if (sheet.isEmpty())
        return outcome;
    wstring pictures = thumbnailFolder(myApp().getSetting(), sheet);
    wstringArray paths;
    for (int i = 0; i < files.count(); ++i)
        paths.add(files.itemPath(i));
    showLogIfWanted();
    // The dialog's place must not stay blank behind the progress dialog.
    RedrawWindow(myApp().getMainWindow(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    ThumbnailThreadImpl job(pictures, sheet, paths);
    outcome.result = runJob(job);
    outcome.output = sheet;
    return outcome;
}

MainPane::JobResult MainPane::splitPicture()
{
    JobResult outcome;
    if (list().selectedCount() == 0)
        return outcome;
    wstring folder = chooseFolder(splitFolder, wstring());
    if (folder.isEmpty())
        return outcome;
    folder = withBackslash(folder);
    showLogIfWanted();
    SplitThreadImpl job(folder, focusedPath());
    outcome.result = runJob(job);
    outcome.output = folder;
    return outcome;
}

MainPane::JobResult MainPane::outputFileJob(FileDialog& dialog, int kind)
{
    JobResult outcome;
    IFileListView& files = list();
    if (files.count() == 0)
        return outcome;
    wstring file = askSaveName(dialog);
    if (file.isEmpty())
        return outcome;
    wstringArray paths;
    files.selectedPaths(paths);
    showLogIfWanted();
    outcome.output = file;
    switch (kind) {
    case Join: {
        JoinThreadImpl job(file, paths);
        outcome.result = runJob(job);
        break;
    }
    case MultiTiff: {
        MultiTiffThreadImpl job(file, paths);
        outcome.result = runJob(job);
        break;
    }
    case AnimatedGif: {
        AnimeGifThreadImpl job(file, paths);
        outcome.result = runJob(job);
        break;
    }
    case Avi: {
        AviThreadImpl job(file, paths);
        outcome.result = runJob(job);
        break;
    }
    default: {
        SSThreadImpl job(file, paths);
        outcome.result = runJob(job);
        break;
    }
    }
    return outcome;
}

MainPane::JobResult MainPane::joinPictures()
{
    return outputFileJob(joinedPicture, Join);
}

MainPane::JobResult MainPane::makeMultiTiff()
{
    return outputFileJob(multiTiff, MultiTiff);
}

MainPane::JobResult MainPane::makeAnimatedGif()
{
    return outputFileJob(animatedGif, AnimatedGif);
}

MainPane::JobResult MainPane::makeAvi()
{
    return outputFileJob(avi, Avi);
}

MainPane::JobResult MainPane::makeScreenSaver()
{
    return outputFileJob(screenSaver, ScreenSaver);
}
