#include "jobs/CommandLineMode.h"
#include <memory>
#include "foundation/Application.h"
#include "foundation/FileSystem.h"
#include "foundation/Mutex.h"
#include "foundation/Path.h"
#include "foundation/TextConverter.h"
#include "imaging/GdiplusSession.h"
#include "imaging/WicShotDateReader.h"
#include "imaging/readableFileTypes.h"
#include "jobs/CommandLineBatch.h"
#include "jobs/LogFile.h"
#include "jobs/LogMessages.h"
#include "jobs/jobsStrings.h"
#include "settings/AppSetting.h"
#include "settings/CmdParams.h"
#include "settings/Messages.h"
#include "settings/OutputFormat.h"

namespace {

constexpr int Success = 0;
constexpr int Failure = 1;

// The options of one command line carried out against the application's settings record.
class CommandLineMode {
public:
    CommandLineMode(Application& application, AppSetting& setting) : application(application), setting(setting) {}

    int run(const wstringArray& arguments);

private:
    int convert(CmdParams& params);
    void loadSettingsFile(const wstring& name);
    void targetBesideSource(CmdParams& params) const;
    void targetsFromFolders(CmdParams& params) const;
    void refuseLogInPlaceOfFiles(const CmdParams& params);
    void refuseLogAt(const wstring& log, const wstring& file, UINT reason);
    wstring outputName(const wstring& folder, const Path& source) const;
    void tell(bool success);

    Application& application;
    AppSetting& setting;
    // Why the run ended before its first picture: the settings file of "/par" could not be read, or the log
    // would have replaced a file. The failure box tells it after its own text.
    wstring failureReason;
};

int CommandLineMode::run(const wstringArray& arguments)
{
    // The box is asked for by the options, so it can be shown only once they have been understood.
    bool tellUser = false;
    try {
        CmdParams params(setting);
        if (!params.parse(arguments, setting))
            return Failure;
        tellUser = params.unicode;
        bool success = convert(params) == CommandLineBatch::AllWritten;
        if (tellUser)
            tell(success);
        return success ? Success : Failure;
    } catch (...) {
        // Memory that runs out is a failure too: the exit code is 0 or 1 whatever happened.
        if (tellUser)
            tell(false);
        return Failure;
    }
}

int CommandLineMode::convert(CmdParams& params)
{
    if (!params.settingsName().isEmpty()) {
        loadSettingsFile(params.settingsName());
        params.followStoredLogEncoding(setting);
    }
    if (params.formatGiven)
        setting.editFormat = params.formatIndex();
    if (params.inputMode == CmdParams::FileIndirectInput)
        targetBesideSource(params);
    else if (params.inputMode == CmdParams::DirInput)
        targetsFromFolders(params);
    std::unique_ptr<LogFile> log;
    if (params.logGiven) {
        refuseLogInPlaceOfFiles(params);
        log = std::make_unique<LogFile>(params.logPath(), std::unique_ptr<TextConverter>(params.logConverter()));
    }
    CommandLineBatchOptions options;
    options.overwrite = params.overwrite;
    options.deleteSources = params.deleteSources;
    options.applyRenameRules = params.inputMode == CmdParams::DirInput;
    options.dpiX = params.dpiX();
    options.dpiY = params.dpiY();
    WicShotDateReader shotDates;
    CommandLineBatch batch(setting, log.get(), &shotDates);
    return batch.run(params.sources, params.targets, options);
}

void CommandLineMode::loadSettingsFile(const wstring& name)
{
    Path file(name);
    if (!file.exists())
        throw ApplicationException(nullptr, ErrorCode::SettingsFileMissing);
    // A file that cannot be read ends the run with the settings untouched, rather than converting with the
    // defaults. The mutex is held only while the file is read.
    try {
        setting.loadWhole(application.getName(), file.getPath(), application.getResourceModule(),
                          &application.getNamedMutex());
    } catch (const Exception& exception) {
        failureReason = Application::getExceptionText(exception).trimRight();
        throw;
    }
}

void CommandLineMode::targetBesideSource(CmdParams& params) const
{
    if (CommandLineBatch::isClipboard(params.targets.at(0)))
        return;
    Path source(params.sources.at(0));
    wstring target = outputName(source.getDirectory(), source);
    params.targets.removeAll();
    params.targets.add(target);
}

void CommandLineMode::targetsFromFolders(CmdParams& params) const
{
    wstring sourceFolder = params.sources.at(0);
    wstring targetFolder = params.targets.at(0);
    if (!isDirectory(sourceFolder) || !isDirectory(targetFolder))
        throw ApplicationException(nullptr, ErrorCode::SourceNotFolder);
    params.sources.removeAll();
    params.targets.removeAll();
    findReadablePictures(sourceFolder, params.sources);
    for (int i = 0; i < params.sources.count(); ++i)
        params.targets.add(outputName(targetFolder, Path(params.sources.at(i))));
}

// The log is made before the first picture is read: in the place of a source it would replace that picture, in
// the place of a target be replaced by it, and in the place of the settings file of "/par" or of the program's
// own replace the user's settings with a log that no later start can read. Each is a mistake in the command
// line, refused before anything is written.
void CommandLineMode::refuseLogInPlaceOfFiles(const CmdParams& params)
{
    const wstring log = params.logPath();
    for (int i = 0; i < params.sources.count(); ++i)
        refuseLogAt(log, params.sources.at(i), IDS_LOG_IS_SOURCE);
    for (int i = 0; i < params.targets.count(); ++i)
        refuseLogAt(log, params.targets.at(i), IDS_LOG_IS_TARGET);
    refuseLogAt(log, params.settingsName(), IDS_LOG_IS_PAR_FILE);
    refuseLogAt(log, setting.getPath(), IDS_LOG_IS_SETTINGS_FILE);
}

void CommandLineMode::refuseLogAt(const wstring& log, const wstring& file, UINT reason)
{
    if (file.isEmpty() || CommandLineBatch::isClipboard(file) || !mayBeSameFile(log, file))
        return;
    failureReason.loadString(application.getResourceModule(), reason);
    failureReason = failureReason.replace(L"%s", log.buffer());
    throw ApplicationException(nullptr, ErrorCode::LogReplacesFile);
}

wstring CommandLineMode::outputName(const wstring& folder, const Path& source) const
{
    return combinePath(folder, source.getBaseName() + L"." + outputExtensionForFormat(setting.editFormat, setting));
}

void CommandLineMode::tell(bool success)
{
    // Shown without an owner: there is no window. A box that cannot be shown changes nothing of the outcome.
    try {
        if (success) {
            application.messageBox(nullptr, Messages::I0002.get(), MB_ICONINFORMATION);
            return;
        }
        wstring text = Messages::E0018.toWstring();
        if (!failureReason.isEmpty())
            text += L"\n" + failureReason;
        application.messageBox(nullptr, text.buffer(), MB_ICONWARNING);
    } catch (...) {
    }
}

} // namespace

int runCommandLineMode(Application& application, AppSetting& setting, const wstringArray& arguments)
{
    HMODULE module = application.getResourceModule();
    try {
        loadMessages(module);
        loadLogMessages(module);
    } catch (...) {
        return Failure;
    }
    GdiplusSession graphics;
    if (!graphics.isStarted())
        return Failure;
    return CommandLineMode(application, setting).run(arguments);
}
