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
    try {
        saveImageToClipboard(decoded.get(), nullptr);
    } catch (const Exception&) {
        return false;
    }
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
    written.removeAll();
    deletions.removeAll();
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
    int result = Stopped;
    bool stopped = false;
    for (int i = 0; i < sources.count() && !stopped; ++i) {
        Item item;
        item.source = sources.at(i);
        item.target = targets.at(i);
        item.sourceIsClipboard = isClipboard(item.source);
        item.targetIsClipboard = isClipboard(item.target);
        result = Stopped;
        if (convertItem(item, renamer)) {
            write(item.sourceText() + L" -> " + item.targetText() + newLine);
            ++converted;
            result = AllWritten;
        } else {
            write(wstring(failureMark) + item.sourceText() + newLine);
            stopped = true;
        }
    }
    if (stopped)
        write(wstring(LogMessages::C005.get()) + newLine);
    writeEnd();
    // A source goes only when every target of the batch is there: after a stop some were never written.
    if (result == AllWritten && options.deleteSources)
        deleteSources();
    return result;
}

bool CommandLineBatch::convertItem(Item& item, RenameUtil& renamer)
{
    if (!settleTarget(item, renamer))
        return false;
    if (!convertPicture(item))
        return false;
    if (!item.targetIsClipboard)
        written.add(item.target);
    return true;
}

bool CommandLineBatch::settleTarget(Item& item, RenameUtil& renamer)
{
    if (item.targetIsClipboard)
        return true;
    item.target = Path(item.target).getPath();
    if (options.applyRenameRules) {
        item.target = renamer.rename(item.target, item.source);
        item.target = renamer.sortIntoFolder(item.source, Path(item.target));
    }
    if (!Path(item.target).exists())
        return true;
    if (setting.fileAutoRename) {
        item.target = Path(item.target).makeUnique(L"_").getPath();
        return true;
    }
    // "/overwrite" is for files that were there before the batch. An output of this batch that a later source
    // would replace is lost, and with "/delsrc" its source too.
    return options.overwrite && !written.contains(item.target, true);
}

bool CommandLineBatch::convertPicture(const Item& item)
{
    PictureRequest request = pictureRequest(item.source, item.target, setting.editFormat, setting);
    // The clipboard has no file times to give or take.
    request.keepFileTimes = request.keepFileTimes && !item.involvesClipboard();
    request.dpiX = options.dpiX;
    request.dpiY = options.dpiY;
    if (item.involvesClipboard())
        return convertWithClipboard(item, request);
    if (convertPictureFile(request, nullptr) != PictureOutcome::Written)
        return false;
    if (options.deleteSources && !isSameFile(item.source, item.target))
        deletions.add(item.source);
    return true;
}

bool CommandLineBatch::convertWithClipboard(const Item& item, const PictureRequest& request)
{
    SourcePicture picture;
    if (item.sourceIsClipboard) {
        try {
            picture.bitmap.reset(pasteImageFromClipboard());
        } catch (const Exception&) {
        }
        picture.bitsPerPixel = clipboardBitsPerPixel;
    } else {
        loadSourcePicture(request, picture);
    }
    if (!picture.bitmap)
        return false;
    if (!item.targetIsClipboard)
        return convertSourcePicture(picture, request, nullptr) == PictureOutcome::Written;
    if (processPicture(picture, request.format, nullptr) != ChainOutcome::Done)
        return false;
    return putOnClipboard(picture.bitmap.get(), picture.metadata.get(), request.format);
}

void CommandLineBatch::deleteSources()
{
    write(newLine);
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
