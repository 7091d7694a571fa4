#pragma once
#include <memory>
#include "foundation/wstringArray.h"
#include "mainwindow/MainWindowServices.h"
#include "toolkit/FileDialog.h"
#include "toolkit/FolderDialog.h"

class IMainPaneHost;
class MainPane;

// The main window's batch jobs on the pictures of the file list: what each needs of the list, what it asks
// the user (a folder or a file to write), and the job under its progress dialog. The dialogs remember where
// the user left them from one job to the next.
//
// A job that needs more of the list than there is, or whose question is cancelled, starts nothing.
class JobLauncher {
public:
    // A job's outcome for the main window: positive when done, 0 when nothing was started, negative when
    // cancelled or failed (already reported).
    struct JobResult {
        int result = 0;
        // The file written (thumbnail sheet, joined picture, TIFF, GIF, AVI, screen saver) or the folder of
        // the split tiles.
        wstring output;
        // Convert and save: every folder that received outputs, and whether the sources were deleted.
        // Shared so the outcome can be returned (the list itself cannot be copied).
        std::shared_ptr<wstringArray> outputFolders = std::make_shared<wstringArray>();
        bool sourcesDeleted = false;
    };

    JobLauncher(MainPane& pane, IMainPaneHost& host, const MainWindowServices& services);
    JobLauncher(const JobLauncher&) = delete;
    JobLauncher& operator=(const JobLauncher&) = delete;

    // Once the pane's window is made: the dialogs are owned by it.
    void prepare(HWND owner);

    // The listed pictures (all) or the selected ones into the pane's output format.
    JobResult convertFiles(bool all);
    JobResult makeThumbnailSheet();
    JobResult splitPicture();
    JobResult joinPictures();
    JobResult makeMultiTiff();
    JobResult makeAnimatedGif();
    JobResult makeAvi();
    JobResult makeScreenSaver();

private:
    template <typename Job>
    int runJob(Job& job);
    void showLogIfWanted();
    // The file a job on the list writes; empty when the list is empty or the user cancelled.
    wstring askOutputFile(FileDialog& dialog);
    // The chosen folder, starting where the dialog was left or at the start folder; empty when cancelled.
    wstring chooseFolder(FolderDialog& dialog, const wstring& startFolder);
    template <typename Job>
    JobResult outputFileJob(FileDialog& dialog);

    MainPane& pane;
    IMainPaneHost& host;
    MainWindowServices services;
    FolderDialog convertFolder;
    FolderDialog splitFolder;
    FileDialog thumbnailSheet;
    FileDialog joinedPicture;
    FileDialog multiTiff;
    FileDialog animatedGif;
    FileDialog avi;
    FileDialog screenSaver;
};
