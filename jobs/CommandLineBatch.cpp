#include "jobs/CommandLineBatch.h"
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <memory>
#include "foundation/ComPtr.h"
#include "foundation/Exception.h"
#include "foundation/FileSystem.h"
#include "foundation/Path.h"
#include "imaging/BitmapPtr.h"
#include "imaging/clipboardImage.h"
#include "imaging/gdipImageIO.h"
#include "conversion/SaveImage.h"
#include "foundation/MessageWriter.h"
#include "jobs/ConversionPipeline.h"
#include "jobs/LogMessages.h"
#include "jobs/PictureConversion.h"
#include "jobs/RenameUtil.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"

namespace {

const wchar_t clipboardName[] = L":clipboard";
const wchar_t clipboardText[] = L"[clipboard data]";
const wchar_t failureMark[] = L"(failure)";
const wchar_t newLine[] = L"\r\n";
constexpr WORD clipboardBitsPerPixel = 32;

// The clipboard gets what the file would have held: the picture after a round trip through the format.
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

struct CommandLineBatch::Item {
    wstring source;
    wstring target;
    bool sourceIsClipboard = false;
    bool targetIsClipboard = false;

    bool involvesClipboard() const { return sourceIsClipboard || targetIsClipboard; }
    wstring sourceText() const { return sourceIsClipboard ? wstring(clipboardText) : source; }
    wstring targetText() const { return targetIsClipboard ? wstring(clipboardText) : target; }
};

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
    outputs.clear();
    // What the batch reads of the settings and what the steps it calls read must be one record.
    AppServices lent(setting);
    try {
        return convertAll(sources, targets);
    } catch (const Exception&) {
        writeErrorEnd();
        return Failed;
    }
}

int CommandLineBatch::convertAll(const wstringArray& sources, const wstringArray& targets)
{
    write(stampedLogText(LogMessages::C001) + newLine + newLine);
    RenameUtil renamer(setting, shotDates);
    int workers = options.workers > 0 ? options.workers : conversionWorkerCount();
    std::unique_ptr<ConversionPipeline> workersPipeline;
    if (workers > 1 && sources.count() > 1)
        workersPipeline = std::make_unique<ConversionPipeline>(workers);
    pipeline = workersPipeline.get();
    queued.clear();
    bool stopped = false;
    for (int i = 0; i < sources.count() && !stopped; ++i) {
        Item item;
        item.source = sources.at(i);
        item.target = targets.at(i);
        item.sourceIsClipboard = isClipboard(item.source);
        item.targetIsClipboard = isClipboard(item.target);
        stopped = pipeline ? !queueItem(item, renamer) : !finishItem(item, convertItem(item, renamer));
    }
    stopped = stopped || !finishQueued(0);
    // Nothing of the pictures after a stop stays on disk.
    if (pipeline)
        pipeline->discardAll();
    if (stopped)
        write(wstring(LogMessages::C005.get()) + newLine);
    writeEnd();
    // A source goes only when every target of the batch is there: after a stop some were never written.
    if (!stopped && sources.count() > 0 && options.deleteSources)
        deleteSources();
    return !stopped && sources.count() > 0 ? AllWritten : Stopped;
}

// The item's log line; false when it failed, which ends the batch.
bool CommandLineBatch::finishItem(const Item& item, bool done)
{
    if (!done) {
        write(wstring(failureMark) + item.sourceText() + newLine);
        return false;
    }
    write(item.sourceText() + L" -> " + item.targetText() + newLine);
    ++converted;
    return true;
}

bool CommandLineBatch::convertItem(Item& item, RenameUtil& renamer)
{
    if (!settleTarget(item, renamer))
        return false;
    return convertPicture(item);
}

bool CommandLineBatch::settleTarget(Item& item, RenameUtil& renamer)
{
    if (item.targetIsClipboard)
        return true;
    item.target = Path(item.target).getPath();
    if (options.applyRenameRules) {
        item.target = renamer.rename(item.target, item.source);
        if (item.target.isEmpty())
            return false;
        item.target = renamer.sortIntoFolder(item.source, Path(item.target));
    }
    return targetIsFree(item);
}

bool CommandLineBatch::targetIsFree(Item& item)
{
    if (!Path(item.target).exists())
        return true;
    if (setting.fileAutoRename) {
        item.target = Path(item.target).makeUnique(L"_").getPath();
        return true;
    }
    // "/overwrite" is for files that were there before the batch. An output of this batch that a later source
    // would replace is lost, and with "/delsrc" its source too.
    return options.overwrite && !outputs.isOutput(item.target);
}

PictureRequest CommandLineBatch::requestFor(const Item& item) const
{
    PictureRequest request = pictureRequest(item.source, item.target, setting.editFormat, setting);
    // The clipboard has no file times to give or take.
    request.keepFileTimes = request.keepFileTimes && !item.involvesClipboard();
    request.dpiX = options.dpiX;
    request.dpiY = options.dpiY;
    return request;
}

bool CommandLineBatch::convertPicture(const Item& item)
{
    PictureRequest request = requestFor(item);
    if (item.involvesClipboard()) {
        if (pictureStep(nullptr, [&] { return convertWithClipboard(item, request); }) != PictureOutcome::Written)
            return false;
        if (!item.targetIsClipboard)
            outputs.add(item.source, item.target, false);
        return true;
    }
    if (convertPictureFile(request, nullptr) != PictureOutcome::Written)
        return false;
    noteWritten(item);
    return true;
}

void CommandLineBatch::noteWritten(const Item& item)
{
    outputs.add(item.source, item.target, options.deleteSources);
}

// With several workers the items are settled in list order as in a one-worker run, but ahead of the writing
// of the items before them. Wherever that writing could change the answer (a source or target that an earlier
// item writes, a target that exists, a folder still to be made, the clipboard), the earlier items are
// finished first, so every answer is the one a one-worker run would get. False when the batch stops.
bool CommandLineBatch::queueItem(Item& item, RenameUtil& renamer)
{
    if (item.involvesClipboard() || isQueuedTarget(Path(item.source).getPath())) {
        if (!finishQueued(0))
            return false;
    }
    if (item.involvesClipboard())
        return finishItem(item, convertItem(item, renamer));
    bool continues = true;
    bool free = false;
    try {
        free = settleQueuedTarget(item, renamer, continues);
    } catch (...) {
        // A one-worker run meets this error only after writing every item before this one, and not at all
        // when one of them stops the batch.
        if (!finishQueued(0))
            return false;
        throw;
    }
    if (!free)
        return continues && finishItem(item, false);
    pipeline->queue(requestFor(item));
    queued.push_back(item);
    return finishQueued(static_cast<size_t>(pipeline->capacity()) - 1);
}

// False when the item cannot be written; `continues` is cleared when an earlier item stopped the batch.
bool CommandLineBatch::settleQueuedTarget(Item& item, RenameUtil& renamer, bool& continues)
{
    item.target = Path(item.target).getPath();
    if (options.applyRenameRules) {
        item.target = renamer.rename(item.target, item.source);
        // A one-worker run logs this picture's failure after the pictures before it.
        if (item.target.isEmpty()) {
            continues = finishQueued(0);
            return false;
        }
        Path sorted(renamer.sortedName(item.source, Path(item.target)));
        if (!Path(sorted.getDirectory()).exists() && !finishQueued(0)) {
            continues = false;
            return false;
        }
        createDirectoryTree(sorted.getDirectory());
        item.target = sorted.getPath();
    }
    if ((Path(item.target).exists() || isQueuedTarget(item.target)) && !finishQueued(0)) {
        continues = false;
        return false;
    }
    return targetIsFree(item);
}

bool CommandLineBatch::isQueuedTarget(const wstring& path) const
{
    for (const Item& item : queued) {
        if (item.target.toLower().equals(path.toLower()))
            return true;
    }
    return false;
}

// Takes the oldest pictures from the workers until `keep` remain, writing their log lines; false at the first
// that could not be written.
bool CommandLineBatch::finishQueued(size_t keep)
{
    while (queued.size() > keep) {
        Item item = queued.front();
        queued.pop_front();
        bool done = pipeline->finishOldest() == PictureOutcome::Written;
        if (done)
            noteWritten(item);
        if (!finishItem(item, done))
            return false;
    }
    return true;
}

PictureOutcome CommandLineBatch::convertWithClipboard(const Item& item, const PictureRequest& request)
{
    SourcePicture picture;
    if (item.sourceIsClipboard) {
        picture.bitmap.reset(pasteImageFromClipboard());
        picture.bitsPerPixel = clipboardBitsPerPixel;
    } else {
        loadSourcePicture(request, picture);
    }
    if (!picture.bitmap)
        return PictureOutcome::Failed;
    if (!item.targetIsClipboard)
        return convertSourcePicture(picture, request, nullptr);
    if (processPicture(picture, request.format, nullptr) != ChainOutcome::Done)
        return PictureOutcome::Failed;
    bool put = putOnClipboard(picture.bitmap.get(), picture.metadata.get(), request.format);
    return put ? PictureOutcome::Written : PictureOutcome::Failed;
}

void CommandLineBatch::deleteSources()
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
    } catch (const Exception&) {
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
