#include "jobs/CancelThreadOperationImpl.h"
#include <list>
#include <memory>
#include "foundation/Application.h"
#include "foundation/FileSystem.h"
#include "foundation/Path.h"
#include "imaging/WicShotDateReader.h"
#include "jobs/ConversionPipeline.h"
#include "jobs/JobReport.h"
#include "jobs/LogMessages.h"
#include "jobs/PictureConversion.h"
#include "jobs/ProgressDialog.h"
#include "jobs/RenameUtil.h"
#include "jobs/RunOutputs.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"
#include "settings/Messages.h"

namespace {

const wchar_t newLine[] = L"\r\n";
const wchar_t failureMark[] = L"(failure)";
const wchar_t skipMark[] = L"(skip)";

} // namespace

// One run of the job, on the worker thread. With several workers the pictures are settled in list order ahead of
// the writing of the pictures before them; wherever that writing could change an answer (a source or target an
// earlier picture writes, an existing target, a folder still to be made, an error) the run first catches up
// with them, so every answer, question and log line is the one a one-at-a-time run gives.
class CancelThreadOperationImpl::Run {
public:
    Run(CancelThreadOperationImpl& job, ProgressDialog& dialog)
        : job(job), dialog(dialog), setting(getAppSetting()), canceller(dialog), report(dialog), log(report.log)
    {
    }

    int execute();

private:
    // Skip: the picture is done without a conversion and the run goes on.
    enum class Next { Continue, Skip, Stop };

    struct Item {
        // The position in the list, for the progress count.
        int index = 0;
        wstring source;
        wstring target;
        // The folder the output goes to before the sorting into sub-folders.
        wstring folder;
    };

    int convertAll();
    Next convertFile(Item& item, RenameUtil& renamer);
    Next nameOutput(Item& item, RenameUtil& renamer);
    Next placeOutput(Item& item, RenameUtil& renamer, const wstring& name);
    Next settleTarget(Item& item);
    PictureRequest requestFor(const Item& item) const;
    Next finishFile(const Item& item, PictureOutcome outcome);
    Next catchUp();
    Next finishQueued(size_t keep);
    bool isQueuedTarget(const wstring& path) const;
    void noteOutputFolder(const Item& item);
    bool mayReplace(const wstring& target) const;
    Next failure(const Item& item);
    void skip(const Item& item);
    void writeEnd();
    void deleteSources();
    int ask(const wstring& text, UINT type);

    CancelThreadOperationImpl& job;
    ProgressDialog& dialog;
    const AppSetting& setting;
    Canceller canceller;
    JobReport report;
    JobLog& log;
    WicShotDateReader shotDates;
    int total = 0;
    int processed = 0;
    int succeeded = 0;
    int failed = 0;
    int skipped = 0;
    // The outputs of this run, and the sources whose outputs were written, for the deletion at the end.
    RunOutputs outputs;
    // With several workers: the pictures in work, oldest first.
    ConversionPipeline* pipeline = nullptr;
    std::list<Item> queued;
};

CancelThreadOperationImpl::CancelThreadOperationImpl(int formatIndex, const wstring& extension,
                                                     const wstring& outputFolder, const wstringArray& files)
    : formatIndex(formatIndex), extension(extension), saveBesideSource(false), outputFolder(outputFolder)
{
    this->files.addAll(files);
}

CancelThreadOperationImpl::CancelThreadOperationImpl(int formatIndex, const wstring& extension,
                                                     const wstringArray& files)
    : formatIndex(formatIndex), extension(extension), saveBesideSource(true)
{
    this->files.addAll(files);
}

int CancelThreadOperationImpl::run(ProgressDialog& dialog)
{
    return Run(*this, dialog).execute();
}

int CancelThreadOperationImpl::Run::execute()
{
    try {
        return convertAll();
    } catch (const Exception& exception) {
        return report.fail(exception);
    }
}

int CancelThreadOperationImpl::Run::convertAll()
{
    report.start(LogMessages::M001);
    job.outputFolders.removeAll();
    total = job.files.count();
    dialog.progress(0, total);
    RenameUtil renamer(setting, &shotDates);
    int workers = job.workers > 0 ? job.workers : conversionWorkerCount();
    std::unique_ptr<ConversionPipeline> workersPipeline;
    if (workers > 1 && total > 1)
        workersPipeline = std::make_unique<ConversionPipeline>(workers, &canceller);
    pipeline = workersPipeline.get();
    Next next = Next::Continue;
    for (int i = 0; i < total && next != Next::Stop; ++i) {
        Item item;
        item.index = i;
        item.source = Path(job.files.at(i)).getPath();
        next = convertFile(item, renamer);
    }
    if (next != Next::Stop)
        next = finishQueued(0);
    // Nothing of the pictures after a stop stays on disk, not even under a temporary name.
    if (pipeline)
        pipeline->discardAll();
    bool stopped = next == Next::Stop;
    if (stopped)
        log.write(wstring(LogMessages::M005.get()) + newLine);
    writeEnd();
    // After a stop the user has not seen the run through: no question about deleting anything.
    if (!stopped)
        deleteSources();
    return stopped ? Cancelled : total;
}

// Settles the picture's target, then converts it at once (one worker) or queues it.
CancelThreadOperationImpl::Run::Next CancelThreadOperationImpl::Run::convertFile(Item& item, RenameUtil& renamer)
{
    // A source that an earlier picture writes is read as that picture leaves it.
    if (isQueuedTarget(item.source) && catchUp() == Next::Stop)
        return Next::Stop;
    if (dialog.isCancelled())
        return Next::Stop;
    Next named = nameOutput(item, renamer);
    if (named != Next::Continue)
        return named;
    // An existing output is numbered or asked about only once every picture before it is written: one of them
    // may be what makes it exist. One that may simply be replaced waits for nothing.
    if (isQueuedTarget(item.target) || (Path(item.target).exists() && !mayReplace(item.target))) {
        if (catchUp() == Next::Stop)
            return Next::Stop;
        noteOutputFolder(item);
        Next settled = settleTarget(item);
        if (settled != Next::Continue)
            return settled;
    }
    if (!pipeline) {
        noteOutputFolder(item);
        return finishFile(item, convertPictureFile(requestFor(item), &canceller));
    }
    pipeline->queue(requestFor(item));
    queued.push_back(item);
    return finishQueued(static_cast<size_t>(pipeline->capacity()) - 1);
}

// The output's name under the rename rule, in its sub-folder, which is made here. Skip when the rule gives the
// picture no name: that is its failure.
CancelThreadOperationImpl::Run::Next CancelThreadOperationImpl::Run::nameOutput(Item& item, RenameUtil& renamer)
{
    Path source(item.source);
    item.folder = job.saveBesideSource ? source.getDirectory() : job.outputFolder;
    try {
        wstring name = renamer.rename(combinePath(item.folder, source.getBaseName() + L"." + job.extension),
                                      item.source);
        if (!name.isEmpty())
            return placeOutput(item, renamer, name);
    } catch (...) {
        // A one-at-a-time run does not meet this error before the pictures before it.
        if (catchUp() == Next::Stop)
            return Next::Stop;
        throw;
    }
    // Nor this failure, which it logs and asks about in its turn.
    if (catchUp() == Next::Stop)
        return Next::Stop;
    return finishFile(item, PictureOutcome::Failed) == Next::Stop ? Next::Stop : Next::Skip;
}

CancelThreadOperationImpl::Run::Next CancelThreadOperationImpl::Run::placeOutput(Item& item, RenameUtil& renamer,
                                                                                 const wstring& name)
{
    item.target = Path(renamer.sortedName(item.source, Path(name))).getPath();
    wstring folder = Path(item.target).getDirectory();
    // A one-at-a-time run makes the folder after the pictures before it, and not at all when one of them ends
    // the run.
    if (!Path(folder).exists() && catchUp() == Next::Stop)
        return Next::Stop;
    createDirectoryTree(folder);
    return Next::Continue;
}

// An existing output that may not be replaced is numbered, or the user decides.
CancelThreadOperationImpl::Run::Next CancelThreadOperationImpl::Run::settleTarget(Item& item)
{
    if (!Path(item.target).exists() || mayReplace(item.target))
        return Next::Continue;
    if (setting.fileAutoRename) {
        item.target = Path(item.target).makeUnique(L"_").getPath();
        return Next::Continue;
    }
    int answer = ask(fillIn(Messages::W0002, item.target), MB_YESNOCANCEL | MB_ICONWARNING);
    if (answer == IDCANCEL)
        return Next::Stop;
    if (answer == IDNO) {
        skip(item);
        return Next::Skip;
    }
    return Next::Continue;
}

PictureRequest CancelThreadOperationImpl::Run::requestFor(const Item& item) const
{
    return pictureRequest(item.source, item.target, job.formatIndex, setting);
}

// The picture's outcome in the log, the counts and the progress; Stop when it was cancelled or the user chose
// to stop after its failure.
CancelThreadOperationImpl::Run::Next CancelThreadOperationImpl::Run::finishFile(const Item& item,
                                                                                PictureOutcome outcome)
{
    if (outcome == PictureOutcome::Cancelled)
        return Next::Stop;
    if (outcome == PictureOutcome::Written || outcome == PictureOutcome::TimesNotKept)
        outputs.add(item.source, item.target, setting.fileDelSrc);
    if (outcome != PictureOutcome::Written) {
        if (failure(item) == Next::Stop)
            return Next::Stop;
    } else {
        log.write(item.source + L" -> " + item.target + newLine);
        ++processed;
        ++succeeded;
    }
    dialog.progress(item.index + 1, total);
    return Next::Continue;
}

// Brings the run to where a one-at-a-time run stands before the next picture: every picture before it written
// and logged, and the user's cancel looked at.
CancelThreadOperationImpl::Run::Next CancelThreadOperationImpl::Run::catchUp()
{
    if (finishQueued(0) == Next::Stop)
        return Next::Stop;
    return dialog.isCancelled() ? Next::Stop : Next::Continue;
}

// Takes the oldest pictures from the workers until `keep` remain. The cancel is looked at before each, as a
// one-at-a-time run looks before each picture: a picture done in the background but not yet logged is dropped.
CancelThreadOperationImpl::Run::Next CancelThreadOperationImpl::Run::finishQueued(size_t keep)
{
    while (queued.size() > keep) {
        if (dialog.isCancelled())
            return Next::Stop;
        Item item = queued.front();
        queued.pop_front();
        noteOutputFolder(item);
        if (finishFile(item, pipeline->finishOldest()) == Next::Stop)
            return Next::Stop;
    }
    return Next::Continue;
}

bool CancelThreadOperationImpl::Run::isQueuedTarget(const wstring& path) const
{
    for (const Item& item : queued) {
        if (item.target.toLower().equals(path.toLower()))
            return true;
    }
    return false;
}

// The folder of a picture the run has come to, in list order.
void CancelThreadOperationImpl::Run::noteOutputFolder(const Item& item)
{
    bool known = job.saveBesideSource ? job.outputFolders.contains(item.folder, true) : job.outputFolders.count() > 0;
    if (!known)
        job.outputFolders.add(item.folder);
}

// File/OverWrite is for files that were there before the run. An output of this run that a later source
// would replace is kept: replacing it would lose that picture, and with File/DelSrc its source too.
bool CancelThreadOperationImpl::Run::mayReplace(const wstring& target) const
{
    return setting.fileOverWrite && !outputs.isOutput(target);
}

CancelThreadOperationImpl::Run::Next CancelThreadOperationImpl::Run::failure(const Item& item)
{
    log.writeMarked(failureMark, static_cast<int>(setting.windowLogFailureColor), item.source + newLine);
    ++processed;
    ++failed;
    return ask(Messages::W0003.get(), MB_YESNO | MB_ICONWARNING) == IDNO ? Next::Stop : Next::Continue;
}

void CancelThreadOperationImpl::Run::skip(const Item& item)
{
    log.writeMarked(skipMark, static_cast<int>(setting.windowLogSkipColor), item.source + newLine);
    ++processed;
    ++skipped;
    dialog.progress(item.index + 1, total);
}

void CancelThreadOperationImpl::Run::writeEnd()
{
    if (!log.isPresent())
        return;
    log.write(wstring(newLine) + stampedLogText(LogMessages::M002) + newLine + newLine);
    wstringArray labels;
    labels.split(LogMessages::M003.get(), L"/", false);
    log.write(labels.at(0) + decimal(processed) + L" ");
    log.write(labels.at(1) + decimal(succeeded) + L" ");
    log.write(labels.at(2) + decimal(failed) + L" ");
    log.write(labels.at(3) + decimal(skipped) + newLine + newLine);
}

void CancelThreadOperationImpl::Run::deleteSources()
{
    if (!setting.fileDelSrc)
        return;
    // Only what will really go is counted in the question.
    wstringArray deletions;
    outputs.sourcesToDelete(deletions);
    if (deletions.count() == 0)
        return;
    if (ask(fillIn(Messages::Q0003, decimal(deletions.count())), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    int failures = 0;
    for (int i = 0; i < deletions.count(); ++i) {
        const wstring& source = deletions.at(i);
        bool deleted = DeleteFileW(source.buffer()) != FALSE;
        if (!deleted)
            ++failures;
        log.write(fillIn(deleted ? LogMessages::M006 : LogMessages::M007, source) + newLine);
    }
    log.write(newLine);
    if (failures > 0)
        Application::messageBox(nullptr, fillIn(Messages::E0026, decimal(failures)), MB_ICONWARNING);
    job.sourcesDeleted = true;
}

int CancelThreadOperationImpl::Run::ask(const wstring& text, UINT type)
{
    return Application::messageBox(dialog.getHandle(), text, type);
}
