#include "jobs/ScreenSaverBuilder.h"
#include <objidl.h>
#include <gdiplus.h>
#include <memory>
#include <new>
#include "foundation/Cabinet.h"
#include "foundation/ComPtr.h"
#include "foundation/Exception.h"
#include "foundation/File.h"
#include "foundation/FileHandle.h"
#include "foundation/MemoryStream.h"
#include "foundation/ResourceUpdater.h"
#include "imaging/BitmapGeometry.h"
#include "imaging/ComStream.h"
#include "imaging/TemporaryOutputFile.h"
#include "imaging/gdipImageIO.h"
#include "imaging/pictureLoading.h"
#include "imaging/ICanceller.h"
#include "jobs/JobReport.h"
#include "jobs/LogMessages.h"
#include "foundation/MessageWriter.h"
#include "foundation/ScreenSaverFile.h"
#include "settings/Messages.h"

namespace {

const wchar_t newLine[] = L"\r\n";
const wchar_t noOutput[] = L"-";
constexpr DWORD CopyBufferBytes = 10240;
// Stored pictures are always drawn anew, also those that keep their size.
constexpr Gdiplus::InterpolationMode StoredInterpolation = Gdiplus::InterpolationModeHighQuality;

using BitmapPtr = std::unique_ptr<Gdiplus::Bitmap>;

[[noreturn]] void throwBuildFailed()
{
    throw ApplicationException(Messages::E0025.get());
}

// The user learns that the saver could not be made, not which inner step refused.
template <typename Step>
void asBuildStep(Step step)
{
    try {
        step();
    } catch (const Exception&) {
        throwBuildFailed();
    }
}

// A reference of its own, since the loader releases the module it is given.
HMODULE ownProgramModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExW(0, nullptr, &module);
    return module;
}

void copyStreamToFile(IStream* stream, HANDLE file)
{
    rewindComStream(stream);
    auto buffer = std::make_unique<BYTE[]>(CopyBufferBytes);
    for (;;) {
        ULONG read = 0;
        Exception::check(stream->Read(buffer.get(), CopyBufferBytes, &read));
        if (read == 0)
            return;
        if (!File::writeAll(file, buffer.get(), read))
            Exception::throwLastError();
    }
}

} // namespace

ScreenSaverBuilder::ScreenSaverBuilder(int maxImageSize, MessageWriter* log, ICanceller* canceller,
                                       HMODULE playerModule)
    : maxImageSize(maxImageSize), log(log), canceller(canceller),
      player(playerModule ? playerModule : ownProgramModule())
{
}

SIZE ScreenSaverBuilder::fittedSize(int width, int height, int limit)
{
    if (width <= limit && height <= limit)
        return SIZE{width, height};
    if (width < height)
        return SIZE{static_cast<int>(static_cast<double>(width) * limit / height), limit};
    return SIZE{limit, static_cast<int>(static_cast<double>(height) * limit / width)};
}

void ScreenSaverBuilder::writePictureCount(ResourceUpdater& updater, int count)
{
    asBuildStep([&] {
        wchar_t digits[16];
        int length = wsprintfW(digits, L"%d", count);
        // The block of strings 0 to 15: string 0 empty, string 1 the count, the others left out.
        WORD block[2 + sizeof(digits) / sizeof(digits[0])] = {0, static_cast<WORD>(length)};
        CopyMemory(block + 2, digits, length * sizeof(wchar_t));
        InputMemoryStream data;
        data.open(block, (2 + length) * static_cast<int>(sizeof(WORD)));
        updater.update(RT_STRING, MAKEINTRESOURCEW(ScreenSaverFile::CountBlockId), &data);
        updater.end(true);
    });
}

int ScreenSaverBuilder::build(const wstring& outputPath, const wstringArray& pictures)
{
    try {
        writeStart(pictures.count());
        checkReplaceable(outputPath);
        // The resource updater opens the saver by name, unshared.
        TemporaryOutputFile output;
        if (!output.create(outputPath.buffer(), TemporaryOutputFile::Writer::PrivateName))
            throwStagingFailure(outputPath.buffer());
        int result = addPictures(output.path(), pictures);
        if (result == Cancelled)
            output.discard();
        else if (!output.commit())
            throwStagingFailure(outputPath.buffer());
        writeEnd(outputPath, result);
        return result;
    } catch (const Exception&) {
        writeFailure();
        throw;
    } catch (const std::bad_alloc&) {
        writeFailure();
        throw Exception(ErrorCode::NoMemory);
    }
}

int ScreenSaverBuilder::addPictures(const wstring& path, const wstringArray& pictures)
{
    copyPlayer(path);
    ResourceUpdater updater;
    updater.begin(path);
    for (int index = 0; index < pictures.count(); ++index) {
        if (isCancelled(canceller)) {
            write(wstring(LogMessages::M005.get()) + newLine);
            return Cancelled;
        }
        addPicture(updater, pictures.at(index), index);
        if (index > 0 && index % ScreenSaverFile::PicturesPerGroup == 0) {
            // Each group of 50 beyond the first goes to the temporary file at once, so an update never grows
            // without end.
            writePictureCount(updater, 0);
            asBuildStep([&] { updater.begin(path); });
        }
    }
    writePictureCount(updater, pictures.count());
    return Written;
}

void ScreenSaverBuilder::copyPlayer(const wstring& path)
{
    FileHandle file(CreateFileW(path.buffer(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    if (!file.isValid())
        Exception::throwLastError();
    asBuildStep([&] {
        OutputComStream cabinet;
        cabinet.create();
        player.loadBin(cabinet);
        ComPtr<IStream> extracted(extractCabinet(cabinet.get()));
        copyStreamToFile(extracted.get(), file.get());
    });
}

void ScreenSaverBuilder::addPicture(ResourceUpdater& updater, const wstring& picture, int index)
{
    BitmapPtr bitmap;
    asBuildStep([&] { bitmap.reset(loadBitmap(picture.buffer())); });
    if (!bitmap)
        throwBuildFailed();
    SIZE size = fittedSize(static_cast<int>(bitmap->GetWidth()), static_cast<int>(bitmap->GetHeight()), maxImageSize);
    BitmapPtr stored(resizeBitmap(bitmap.get(), size.cx, size.cy, StoredInterpolation));
    if (!stored)
        throwBuildFailed();
    bitmap.reset();
    write(picture + L" -> " + newLine);
    ComPtr<IStream> jpeg(gdipEncodeToStream(L"image/jpeg", stored.get(), nullptr));
    if (!jpeg.get())
        throwBuildFailed();
    asBuildStep([&] {
        rewindComStream(jpeg.get());
        InputComStream data(jpeg.detach());
        updater.update(ScreenSaverFile::pictureType(index).name, MAKEINTRESOURCEW(ScreenSaverFile::pictureId(index)),
                       &data);
    });
}

void ScreenSaverBuilder::write(const wstring& text)
{
    if (log)
        log->write(text);
}

void ScreenSaverBuilder::writeStart(int pictureCount)
{
    wstring count;
    count.setInt(pictureCount);
    write(stampedLogText(LogMessages::M701) + newLine + newLine);
    write(wstring(LogMessages::M703.get()) + count + newLine);
}

void ScreenSaverBuilder::writeEnd(const wstring& outputPath, int result)
{
    write(wstring(newLine) + stampedLogText(LogMessages::M702) + newLine + newLine);
    write(wstring(LogMessages::M704.get()) + (result == Cancelled ? wstring(noOutput) : outputPath) + newLine +
          newLine);
}

void ScreenSaverBuilder::writeFailure()
{
    write(wstring(newLine) + stampedLogText(LogMessages::M004) + newLine + newLine);
}
