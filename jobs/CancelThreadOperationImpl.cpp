#include "jobs/CancelThreadOperationImpl.h"
#include "foundation/Application.h"
#include "foundation/FileSystem.h"
#include "foundation/Path.h"
#include "imaging/WicShotDateReader.h"
#include "jobs/JobReport.h"
#include "jobs/LogMessages.h"
#include "jobs/PictureConversion.h"
#include "jobs/ProgressDialog.h"
#include "jobs/RenameUtil.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"
#include "settings/Messages.h"

namespace {

const wchar_t newLine[] = L"\r\n";
const wchar_t failureMark[] = L"(failure)";
const wchar_t skipMark[] = L"(skip)";

} // namespace

// One run of the job, on the worker thread.
class CancelThreadOperationImpl::Run {
public:
    Run(CancelThreadOperationImpl& job, ProgressDialog& dialog)
        : job(job), dialog(dialog), setting(getAppSetting()), canceller(dialog), report(dialog), log(report.log)
    {
    }

    int execute();

private:
    enum class Next { Continue, Stop };

    int convertAll();
    Next convertFile(const Path& source, RenameUtil& renamer);
    wstring outputName(const Path& source, RenameUtil& renamer);
    bool mayReplace(const wstring& target) const;
    Next failure(const wstring& source);
    void skip(const wstring& source);
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
    int processed = 0;
    int succeeded = 0;
    int failed = 0;
    int skipped = 0;
    // The outputs of this run, and the sources whose outputs were written, for the deletion at the end.
    wstringArray written;
    wstringArray deletions;
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
    int total = job.files.count();
    dialog.progress(0, total);
    RenameUtil renamer(setting, &shotDates);
    int result = 0;
    for (int i = 0; i < total; ++i) {
        if (convertFile(Path(job.files.at(i)), renamer) == Next::Stop) {
            result = Cancelled;
            break;
        }
        result = i + 1;
        dialog.progress(result, total);
    }
    if (result == Cancelled)
        log.write(wstring(LogMessages::M005.get()) + newLine);
    writeEnd();
    // After a stop the user has not seen the run through: no question about deleting anything.
    if (result != Cancelled)
        deleteSources();
    return result;
}

CancelThreadOperationImpl::Run::Next CancelThreadOperationImpl::Run::convertFile(const Path& source,
                                                                                 RenameUtil& renamer)
{
    if (dialog.isCancelled())
        return Next::Stop;
    wstring target = outputName(source, renamer);
    if (Path(target).exists() && !mayReplace(target)) {
        if (setting.fileAutoRename) {
            target = Path(target).makeUnique(L"_").getPath();
        } else {
            int answer = ask(fillIn(Messages::W0002, target), MB_YESNOCANCEL | MB_ICONWARNING);
            if (answer == IDCANCEL)
                return Next::Stop;
            if (answer == IDNO) {
                skip(source.getPath());
                return Next::Continue;
            }
        }
    }
    PictureOutcome outcome =
        convertPictureFile(pictureRequest(source.getPath(), target, job.formatIndex, setting), &canceller);
    if (outcome == PictureOutcome::Cancelled)
        return Next::Stop;
    if (outcome == PictureOutcome::Written || outcome == PictureOutcome::TimesNotKept) {
        written.add(Path(target).getPath());
        // A source that is its own output is the output now: it is never offered for deletion.
        if (setting.fileDelSrc && !isSameFile(source.getPath(), target))
            deletions.add(source.getPath());
    }
    if (outcome != PictureOutcome::Written)
        return failure(source.getPath());
    log.write(source.getPath() + L" -> " + target + newLine);
    ++processed;
    ++succeeded;
    return Next::Continue;
}

wstring CancelThreadOperationImpl::Run::outputName(const Path& source, RenameUtil& renamer)
{
    wstring folder = job.saveBesideSource ? source.getDirectory() : job.outputFolder;
    wstring name = combinePath(folder, source.getBaseName() + L"." + job.extension);
    name = renamer.rename(name, source.getPath());
    name = renamer.sortIntoFolder(source.getPath(), Path(name));
    if (job.saveBesideSource ? !job.outputFolders.contains(folder, true) : job.outputFolders.count() == 0)
        job.outputFolders.add(folder);
    return name;
}

// File/OverWrite is for files that were there before the run. An output of this run that a later source
// would replace is kept: replacing it would lose that picture, and with File/DelSrc its source too.
bool CancelThreadOperationImpl::Run::mayReplace(const wstring& target) const
{
    return setting.fileOverWrite && !written.contains(Path(target).getPath(), true);
}

CancelThreadOperationImpl::Run::Next CancelThreadOperationImpl::Run::failure(const wstring& source)
{
    log.writeMarked(failureMark, static_cast<int>(setting.windowLogFailureColor), source + newLine);
    ++processed;
    ++failed;
    return ask(Messages::W0003.get(), MB_YESNO | MB_ICONWARNING) == IDNO ? Next::Stop : Next::Continue;
}

void CancelThreadOperationImpl::Run::skip(const wstring& source)
{
    log.writeMarked(skipMark, static_cast<int>(setting.windowLogSkipColor), source + newLine);
    ++processed;
    ++skipped;
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
    if (!setting.fileDelSrc || deletions.count() == 0)
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
