#pragma once
#include "foundation/Decimal.h"
#include "foundation/wstringArray.h"
#include "jobs/OrderedConversionRun.h"

class AppSetting;
class IShotDateReader;
class MessageWriter;

// What the command-line mode asks of one batch beside its sources and targets.
struct CommandLineBatchOptions {
    // Replace targets that exist before the batch and that no later source names (without it, or for such a
    // source, File/AutoRename numbers them).
    bool overwrite = false;
    // Delete every source once all of them are written.
    bool deleteSources = false;
    // Apply the rename rule and the sorting into sub-folders to each target.
    bool applyRenameRules = false;
    // The resolution written into the outputs; 0 keeps what the format options say.
    Decimal dpiX{0};
    Decimal dpiY{0};
    // Pictures converted at once; 0 for as many as the machine allows. The outputs, the log and every file
    // left on disk are the same for any number.
    int workers = 0;
};

// The conversion loop of the command-line mode: each source through the effect chain into the target of the
// same position, without questions. The first source that cannot be written ends the batch; every output
// written before it stays. Either name may be ":clipboard" (any case): the picture comes from, or goes to, the
// clipboard.
class CommandLineBatch : private IRunFrontEnd {
public:
    static constexpr int AllWritten = 1;
    // A source failed, or there was none.
    static constexpr int Stopped = -1;
    // An error ended the batch.
    static constexpr int Failed = -2;

    // The settings must outlive the batch: the batch reads them, and lends them to the loaders, the effect
    // chain and the save for each run, so that one record decides everything. Without a log (null) nothing is
    // written about the run; shotDates may be null (rename rules then use the update time for shooting
    // dates).
    CommandLineBatch(AppSetting& setting, MessageWriter* log, IShotDateReader* shotDates);
    CommandLineBatch(const CommandLineBatch&) = delete;
    CommandLineBatch& operator=(const CommandLineBatch&) = delete;
    virtual ~CommandLineBatch();

    // Whether a source or target name stands for the clipboard.
    static bool isClipboard(const wstring& name);

    // AllWritten, Stopped or Failed. A target list shorter than the source list is an error (Failed).
    int run(const wstringArray& sources, const wstringArray& targets, const CommandLineBatchOptions& options);

private:
    int convertAll(const wstringArray& sources, const wstringArray& targets);
    static RunPicture pictureAt(const wstringArray& sources, const wstringArray& targets, int index);
    Answer existingTarget(const RunPicture& picture) override;
    bool finished(const RunPicture& picture, PictureOutcome outcome) override;
    PictureRequest request(const RunPicture& picture) override;
    PictureOutcome convertOther(const RunPicture& picture, const PictureRequest& request) override;
    void deleteSources(const RunOutputs& outputs);
    void writeEnd();
    void writeErrorEnd();
    void write(const wstring& text);
    void writeCount();

    AppSetting& setting;
    MessageWriter* log;
    IShotDateReader* shotDates;
    CommandLineBatchOptions options;
    int converted = 0;
};
