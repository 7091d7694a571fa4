#include "mainwindow/JobLauncher.h"
#include "foundation/Application.h"
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
#include "mainwindow/IMainPaneHost.h"
#include "mainwindow/MainPane.h"
#include "mainwindow/commandDialogs.h"
#include "mainwindow/mainWindowStrings.h"
#include "settings/AppSetting.h"
#include "settings/Messages.h"
#include "settings/OutputFormat.h"

namespace {

// Where the thumbnails of a sheet go: nowhere without File/ThumbnailImage, else the sheet's folder or its
// named sub-folder, which the job makes when missing.
wstring thumbnailFolder(const AppSetting& setting, const wstring& sheetPath)
{
    if (!setting.fileThumbnailImage)
        return wstring();
    wstring folder = Path(sheetPath).getDirectory();
    if (setting.fileThumbnailImageFolder.isEmpty())
        return folder;
    return withBackslash(combinePath(folder, setting.fileThumbnailImageFolder));
}

} // namespace

JobLauncher::JobLauncher(MainPane& pane, IMainPaneHost& host, const MainWindowServices& services)
    : pane(pane), host(host), services(services), thumbnailSheet(nullptr, SaveDialogFlags),
      joinedPicture(nullptr, SaveDialogFlags), multiTiff(nullptr, SaveDialogFlags),
      animatedGif(nullptr, SaveDialogFlags), avi(nullptr, SaveDialogFlags), screenSaver(nullptr, SaveDialogFlags)
{
}

void JobLauncher::prepare(HWND owner)
{
    for (FolderDialog* dialog : {&convertFolder, &splitFolder}) {
        dialog->record.hwndOwner = owner;
        dialog->record.ulFlags |= BIF_NEWDIALOGSTYLE;
    }
    struct SaveDialog {
        FileDialog* dialog;
        const wchar_t* extension;
        UINT filter;
    };
    const SaveDialog saving[] = {{&thumbnailSheet, L"html", IDS_HTML_FILTER},
                                 {&joinedPicture, L"png", IDS_PNG_FILTER},
                                 {&multiTiff, L"tif", IDS_TIFF_FILTER},
                                 {&animatedGif, L"gif", IDS_GIF_FILTER},
                                 {&avi, L"avi", IDS_AVI_FILTER},
                                 {&screenSaver, L"scr", IDS_SCREEN_SAVER_FILTER}};
    for (const SaveDialog& save : saving)
        prepareFileDialog(*save.dialog, owner, services.program.loadString(save.filter), save.extension);
}

wstring JobLauncher::chooseFolder(FolderDialog& dialog, const wstring& startFolder)
{
    if (!startFolder.isEmpty())
        lstrcpynW(dialog.path, startFolder.buffer(), MAX_PATH);
    wstring title;
    title.loadString(services.program.getResourceModule(), IDS_FOLDER_TITLE);
    if (!dialog.show(title.buffer()))
        return wstring();
    return wstring(dialog.path);
}

template <typename Job>
int JobLauncher::runJob(Job& job)
{
    return showProgressDialog(job, host.ownerWindow()) == IDOK ? 1 : -1;
}

void JobLauncher::showLogIfWanted()
{
    if (services.setting.fileEnsureLog)
        host.showLogOnly();
}

JobLauncher::JobResult JobLauncher::convertFiles(bool all)
{
    JobResult outcome;
    IFileListView& files = pane.list();
    if (files.count() == 0 || (!all && files.selectedCount() == 0))
        return outcome;
    const AppSetting& setting = services.setting;
    HWND main = host.ownerWindow();
    wstring folder;
    if (setting.fileSaveSrcFolder) {
        if (services.program.messageBox(main, Messages::Q0001.get(), MB_YESNO | MB_ICONQUESTION) != IDYES)
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
    int format = pane.getFormat();
    wstring extension = outputExtensionForFormat(format, setting);
    showLogIfWanted();
    auto job = setting.fileSaveSrcFolder ? CancelThreadOperationImpl(format, extension, paths)
                                         : CancelThreadOperationImpl(format, extension, folder, paths);
    outcome.result = runJob(job);
    outcome.outputFolders->addAll(job.getOutputFolders());
    outcome.sourcesDeleted = job.getSourcesDeleted();
    return outcome;
}

wstring JobLauncher::askOutputFile(FileDialog& dialog)
{
    if (pane.list().count() == 0)
        return wstring();
    return askSaveName(dialog);
}

JobLauncher::JobResult JobLauncher::makeThumbnailSheet()
{
    JobResult outcome;
    wstring sheet = askOutputFile(thumbnailSheet);
    if (sheet.isEmpty())
        return outcome;
    IFileListView& files = pane.list();
    wstring pictures = thumbnailFolder(services.setting, sheet);
    wstringArray paths;
    for (int i = 0; i < files.count(); ++i)
        paths.add(files.itemPath(i));
    showLogIfWanted();
    // The dialog's place must not stay blank behind the progress dialog.
    RedrawWindow(host.ownerWindow(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    ThumbnailThreadImpl job(pictures, sheet, paths);
    outcome.result = runJob(job);
    outcome.output = sheet;
    return outcome;
}

JobLauncher::JobResult JobLauncher::splitPicture()
{
    JobResult outcome;
    if (pane.list().selectedCount() == 0)
        return outcome;
    wstring folder = chooseFolder(splitFolder, wstring());
    if (folder.isEmpty())
        return outcome;
    folder = withBackslash(folder);
    showLogIfWanted();
    SplitThreadImpl job(folder, pane.focusedPath());
    outcome.result = runJob(job);
    outcome.output = folder;
    return outcome;
}

// The frame-file jobs and the screen saver: the selected pictures into one file the user names.
template <typename Job>
JobLauncher::JobResult JobLauncher::outputFileJob(FileDialog& dialog)
{
    JobResult outcome;
    wstring file = askOutputFile(dialog);
    if (file.isEmpty())
        return outcome;
    wstringArray paths;
    pane.list().selectedPaths(paths);
    showLogIfWanted();
    outcome.output = file;
    Job job(file, paths);
    outcome.result = runJob(job);
    return outcome;
}

JobLauncher::JobResult JobLauncher::joinPictures()
{
    return outputFileJob<JoinThreadImpl>(joinedPicture);
}

JobLauncher::JobResult JobLauncher::makeMultiTiff()
{
    return outputFileJob<MultiTiffThreadImpl>(multiTiff);
}

JobLauncher::JobResult JobLauncher::makeAnimatedGif()
{
    return outputFileJob<AnimeGifThreadImpl>(animatedGif);
}

JobLauncher::JobResult JobLauncher::makeAvi()
{
    return outputFileJob<AviThreadImpl>(avi);
}

JobLauncher::JobResult JobLauncher::makeScreenSaver()
{
    return outputFileJob<SSThreadImpl>(screenSaver);
}
