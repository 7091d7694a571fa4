#include "jobs/CommandLineBatch.h"
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include "foundation/ComPtr.h"
#include "foundation/Exception.h"
#include "imaging/BitmapPtr.h"
#include "imaging/clipboardImage.h"
#include "imaging/gdipImageIO.h"
#include "conversion/SaveImage.h"
#include "foundation/MessageWriter.h"
#include "jobs/LogMessages.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"

namespace {

const wchar_t clipboardName[] = L":clipboard";
const wchar_t clipboardText[] = L"[clipboard data]";
const wchar_t failureMark[] = L"(failure)";
const wchar_t newLine[] = L"\r\n";
constexpr WORD clipboardBitsPerPixel = 32;

// The clipboard gets what the file would have held.
bool putOnClipboard(Gdiplus::Bitmap* picture, IWICMetadataBlockReader* metadata, int format)
{
    ComPtr<IStream> stream;
    if (!saveImageDefault(&stream, format, picture, metadata, nullptr))
        return false;
    LARGE_INTEGER start{};
    Exception::check(stream->Seek(start, STREAM_SEEK_SET, nullptr));
    BitmapPtr decoded(gdipBitmapFromStream(stream.get()));
    if (!decoded)
        return false;
    saveImageToClipboard(decoded.get(), nullptr);
    return true;
}

} // namespace

CommandLineBatch::~CommandLineBatch() = default;

bool CommandLineBatch::isClipboard(const wstring& name)
{
    return name.toLower().equals(clipboardName);
}

CommandLineBatch::CommandLineBatch(AppSetting& setting, MessageWriter* log, IShotDateReader* shotDates)
    : setting(setting), log(log), shotDates(shotDates)
{
}

int CommandLineBatch::run(const wstringArray& sources, const wstringArray& targets,
                          const CommandLineBatchOptions& batchOptions)
{
    options = batchOptions;
    converted = 0;
    // What the batch reads of the settings and what the steps it calls read must be one record.
    AppServices lent(setting);
    // Anything else that stops the batch, memory running out outside a picture included, is its error: the
    // command line ends with an exit code the caller knows.
    try {
        return convertAll(sources, targets);
    } catch (...) {
        writeErrorEnd();
        return Failed;
    }
}

int CommandLineBatch::convertAll(const wstringArray& sources, const wstringArray& targets)
{
    write(stampedLogText(LogMessages::C001) + newLine + newLine);
    OrderedRunOptions runOptions{.overwrite = options.overwrite,
                                 .deleteSources = options.deleteSources,
                                 .applyRenameRules = options.applyRenameRules,
                                 .workers = options.workers};
    OrderedConversionRun run(setting, shotDates, *this, nullptr, runOptions);
    bool stopped = !run.run(sources.count(), [&](int index) { return pictureAt(sources, targets, index); });
    if (stopped)
        write(wstring(LogMessages::C005.get()) + newLine);
    writeEnd();
    // A source goes only when every target of the batch is there: after a stop some were never written.
    if (!stopped && sources.count() > 0 && options.deleteSources)
        deleteSources(run.outputs());
    return !stopped && sources.count() > 0 ? AllWritten : Stopped;
}

RunPicture CommandLineBatch::pictureAt(const wstringArray& sources, const wstringArray& targets, int index)
{
    RunPicture picture;
    picture.source = sources.at(index);
    picture.target = targets.at(index);
    picture.sourceIsFile = !isClipboard(picture.source);
    picture.targetIsFile = !isClipboard(picture.target);
    return picture;
}

// No questions on the command line: a target that may not be replaced is the picture's failure.
IRunFrontEnd::Answer CommandLineBatch::existingTarget(const RunPicture&)
{
    return Answer::Fail;
}

// The picture's log line; false when it failed, which ends the batch.
bool CommandLineBatch::finished(const RunPicture& picture, PictureOutcome outcome)
{
    wstring source = picture.sourceIsFile ? picture.source : wstring(clipboardText);
    if (outcome != PictureOutcome::Written) {
        write(wstring(failureMark) + source + newLine);
        return false;
    }
    write(source + L" -> " + (picture.targetIsFile ? picture.target : wstring(clipboardText)) + newLine);
    ++converted;
    return true;
}

PictureRequest CommandLineBatch::request(const RunPicture& picture)
{
    PictureRequest request = pictureRequest(picture.source, picture.target, setting.editFormat, setting);
    // The clipboard has no file times to give or take.
    request.keepFileTimes = request.keepFileTimes && picture.sourceIsFile && picture.targetIsFile;
    request.dpiX = options.dpiX;
    request.dpiY = options.dpiY;
    return request;
}

// The clipboard gives the picture or takes it: the picture after a round trip through the format.
PictureOutcome CommandLineBatch::convertOther(const RunPicture& picture, const PictureRequest& request)
{
    SourcePicture loaded;
    if (!picture.sourceIsFile) {
        loaded.bitmap.reset(pasteImageFromClipboard());
        loaded.bitsPerPixel = clipboardBitsPerPixel;
    } else {
        loadSourcePicture(request, loaded);
    }
    if (!loaded.bitmap)
        return PictureOutcome::Failed;
    if (picture.targetIsFile)
        return convertSourcePicture(loaded, request, nullptr);
    if (processPicture(loaded, request.format, nullptr) != ChainOutcome::Done)
        return PictureOutcome::Failed;
    bool put = putOnClipboard(loaded.bitmap.get(), loaded.metadata.get(), request.format);
    return put ? PictureOutcome::Written : PictureOutcome::Failed;
}

void CommandLineBatch::deleteSources(const RunOutputs& outputs)
{
    write(newLine);
    wstringArray deletions;
    outputs.sourcesToDelete(deletions);
    for (int i = 0; i < deletions.count(); ++i) {
        const wstring& source = deletions.at(i);
        const SimpleString& text = DeleteFileW(source.buffer()) ? LogMessages::C006 : LogMessages::C007;
        write(fillIn(text, source) + newLine);
    }
}

void CommandLineBatch::writeEnd()
{
    write(wstring(newLine) + stampedLogText(LogMessages::C002) + newLine + newLine);
    writeCount();
}

void CommandLineBatch::writeErrorEnd()
{
    // The error is what the caller reports; a log that cannot take these lines any more must not hide it.
    try {
        write(wstring(newLine) + stampedLogText(LogMessages::C004) + newLine + newLine);
        writeCount();
    } catch (...) {
    }
}

void CommandLineBatch::writeCount()
{
    wstring count;
    count.setInt(converted);
    write(wstring(LogMessages::C003.get()) + count + newLine);
}

void CommandLineBatch::write(const wstring& text)
{
    if (log)
        log->write(text);
}
