#pragma once
#include <windows.h>
#include "jobs/CancelThreadOperation.h"

class DlgCancel;

// Convert and save: every file of the list through the effect chain into the output format, named by the
// rename rule and sorted into sub-folders as the settings say, into one output folder or beside each source.
// An existing output is replaced when it was there before the run and no later picture reads it
// (File/OverWrite), else numbered name_1, name_2 ... (File/AutoRename), else asked about; a picture that fails is
// logged and the user chooses whether to go on. With File/DelSrc the sources whose outputs were written may be
// deleted at the end, after a question.
// The log goes to the application's log window: a start line, one line per file, the end line and the counts.
// Several pictures are converted at once; what the user sees (questions, log, counts, files left on disk) is what
// a one-at-a-time run shows.
class CancelThreadOperationImpl : public CancelThreadOperation {
public:
    using Progress = DlgCancel;
    static constexpr UINT DialogTemplate = 1311;

    // Into the folder (a path ending in a backslash) with the extension (without the dot) of the format
    // (OutputFormat index).
    CancelThreadOperationImpl(int formatIndex, const wstring& extension, const wstring& outputFolder,
                              const wstringArray& files);
    // Each output beside its source.
    CancelThreadOperationImpl(int formatIndex, const wstring& extension, const wstringArray& files);

    // Pictures converted at once; 0 (the default) for as many as the machine allows.
    void setWorkers(int count) { workers = count; }

    // The number of files handled, Cancelled when the user stopped, Failed after an error it has shown.
    int run(ProgressDialog& dialog) override;

    // ---- results, for after the dialog has closed ----

    // Every distinct folder that received outputs (beside the sources: each source's folder).
    const wstringArray& getOutputFolders() const { return outputFolders; }
    // The user agreed to delete the sources, and the deletion was tried.
    bool getSourcesDeleted() const { return sourcesDeleted; }

private:
    class Run;

    const int formatIndex;
    const wstring extension;
    const bool saveBesideSource;
    const wstring outputFolder;
    wstringArray files;
    int workers = 0;
    wstringArray outputFolders;
    bool sourcesDeleted = false;
};
