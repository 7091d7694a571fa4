#include "jobs/CancelThreadOperationImpl.h"
#include "foundation/Application.h"
#include "foundation/Path.h"
#include "imaging/WicShotDateReader.h"
#include "jobs/JobReport.h"
#include "jobs/LogMessages.h"
#include "jobs/OrderedConversionRun.h"
#include "jobs/ProgressDialog.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"
#include "settings/Messages.h"

namespace {

const wchar_t newLine[] = L"\r\n";
const wchar_t failureMark[] = L"(failure)";
const wchar_t skipMark[] = L"(skip)";

} // namespace

// One run of the job, on the worker thread: the window's side of the ordered run, which asks the user, logs to the
// log window and counts in the progress dialog.
class CancelThreadOperationImpl::Run : private IRunFrontEnd {
public:
    Run(CancelThreadOperationImpl& job, ProgressDialog& dialog)
        : job(job), dialog(dialog), setting(getAppSetting()), canceller(dialog), report(dialog), log(report.log)
    {
    }

    int execute();

private:
    int convertAll();
    RunPicture pictureAt(int index) const;
    Answer existingTarget(const RunPicture& picture) override;
    void reached(const RunPicture& picture) override;
    bool finished(const RunPicture& picture, PictureOutcome outcome) override;
    PictureRequest request(const RunPicture& picture) override;
    bool failure(const RunPicture& picture);
    void skip(const RunPicture& picture);
    wstring folderOf(const wstring& source) const;
    void writeEnd();
    void deleteSources(const RunOutputs& outputs);
    void tellOfFailedDeletions(int failures);
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
    return report.runReportingErrors([this] { return convertAll(); });
}

int CancelThreadOperationImpl::Run::convertAll()
{
    report.start(LogMessages::M001);
    job.outputFolders.removeAll();
    total = job.files.count();
    dialog.progress(0, total);
    OrderedRunOptions options{.overwrite = setting.fileOverWrite,
                              .deleteSources = setting.fileDelSrc,
                              .workers = job.workers};
    OrderedConversionRun run(setting, &shotDates, *this, &canceller, options);
    bool stopped = !run.run(total, [this](int index) { return pictureAt(index); });
    if (stopped)
        log.write(wstring(LogMessages::M005.get()) + newLine);
    writeEnd();
    // After a stop the user has not seen the run through: no question about deleting anything.
    if (!stopped)
        deleteSources(run.outputs());
    return stopped ? Cancelled : total;
}

RunPicture CancelThreadOperationImpl::Run::pictureAt(int index) const
{
    Path source(job.files.at(index));
    RunPicture picture;
    picture.source = source.getPath();
    picture.target = combinePath(folderOf(picture.source), source.getBaseName() + L"." + job.extension);
    return picture;
}

IRunFrontEnd::Answer CancelThreadOperationImpl::Run::existingTarget(const RunPicture& picture)
{
    int answer = ask(fillIn(Messages::W0002, picture.target), MB_YESNOCANCEL | MB_ICONWARNING);
    if (answer == IDCANCEL)
        return Answer::Stop;
    if (answer == IDNO) {
        skip(picture);
        return Answer::Skip;
    }
    return Answer::Replace;
}

// The folder of a picture the run has come to, in list order.
void CancelThreadOperationImpl::Run::reached(const RunPicture& picture)
{
    wstring folder = folderOf(picture.source);
    bool known = job.saveBesideSource ? job.outputFolders.contains(folder, true) : job.outputFolders.count() > 0;
    if (!known)
        job.outputFolders.add(folder);
}

// The picture in the log, the counts and the progress; false when it was cancelled or the user chose to stop
// after its failure.
bool CancelThreadOperationImpl::Run::finished(const RunPicture& picture, PictureOutcome outcome)
{
    if (outcome == PictureOutcome::Cancelled)
        return false;
    if (outcome != PictureOutcome::Written) {
        if (!failure(picture))
            return false;
    } else {
        log.write(picture.source + L" -> " + picture.target + newLine);
        ++processed;
        ++succeeded;
    }
    dialog.progress(picture.index + 1, total);
    return true;
}

PictureRequest CancelThreadOperationImpl::Run::request(const RunPicture& picture)
{
    return pictureRequest(picture.source, picture.target, job.formatIndex, setting);
}

bool CancelThreadOperationImpl::Run::failure(const RunPicture& picture)
{
    log.writeMarked(failureMark, static_cast<int>(setting.windowLogFailureColor), picture.source + newLine);
    ++processed;
    ++failed;
    return ask(Messages::W0003.get(), MB_YESNO | MB_ICONWARNING) != IDNO;
}

void CancelThreadOperationImpl::Run::skip(const RunPicture& picture)
{
    log.writeMarked(skipMark, static_cast<int>(setting.windowLogSkipColor), picture.source + newLine);
    ++processed;
    ++skipped;
    dialog.progress(picture.index + 1, total);
}

// Where the picture's output goes before the rename rule and the sorting into sub-folders.
wstring CancelThreadOperationImpl::Run::folderOf(const wstring& source) const
{
    return job.saveBesideSource ? Path(source).getDirectory() : job.outputFolder;
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

void CancelThreadOperationImpl::Run::deleteSources(const RunOutputs& outputs)
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
    job.sourcesDeleted = true;
    log.write(newLine);
    if (failures > 0)
        tellOfFailedDeletions(failures);
}

// The files are gone whether or not the user can be told: a box that cannot be shown leaves the run done.
void CancelThreadOperationImpl::Run::tellOfFailedDeletions(int failures)
{
    if (Application* application = getApplication())
        application->warn(nullptr, fillIn(Messages::E0026, decimal(failures)).buffer());
}

int CancelThreadOperationImpl::Run::ask(const wstring& text, UINT type)
{
    return Application::messageBox(dialog.getHandle(), text, type);
}
