#include "jobs/ThumbNailMaker.h"
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include "foundation/Application.h"
#include "foundation/DateTime.h"
#include "foundation/Exception.h"
#include "foundation/Path.h"
#include "foundation/TextWriter.h"
#include "imaging/BitmapGeometry.h"
#include "imaging/BitmapPtr.h"
#include "imaging/JpegFileGenerator.h"
#include "imaging/pictureLoading.h"
#include "jobs/ThumbNailMakerAlbum.h"
#include "jobs/ThumbNailMakerJoin.h"
#include "jobs/ThumbNailMakerReport.h"
#include "jobs/ThumbNailMakerTile.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"
#include "settings/Messages.h"
#include "settings/TextEncoding.h"

namespace thumbnailmaker {

namespace {

[[noreturn]] void throwThumbnailFailure()
{
    throw ApplicationException(Messages::E0012.get());
}

constexpr char HexDigits[] = "0123456789ABCDEF";

bool keptInUrl(unsigned char byte)
{
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
           (byte != 0 && std::strchr("-._~/:", byte) != nullptr);
}

// The path as the part of a file URL after "file:///": "/" for "\", and every byte of its UTF-8 form that is
// not a letter, a digit or one of "-._~/:" percent-encoded, so that "#", "%", spaces and non-ASCII names reach
// their file. What is left needs no escaping in an attribute.
wstring urlPath(const wstring& path)
{
    std::wstring slashed(path.replace(L"\\", L"/").buffer());
    int size = WideCharToMultiByte(CP_UTF8, 0, slashed.c_str(), static_cast<int>(slashed.size()), nullptr, 0, nullptr,
                                   nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, slashed.c_str(), static_cast<int>(slashed.size()), bytes.data(), size, nullptr,
                        nullptr);
    std::wstring url;
    for (char signedByte : bytes) {
        auto byte = static_cast<unsigned char>(signedByte);
        if (keptInUrl(byte)) {
            url += static_cast<wchar_t>(byte);
            continue;
        }
        url += L'%';
        url += static_cast<wchar_t>(HexDigits[byte >> 4]);
        url += static_cast<wchar_t>(HexDigits[byte & 0xF]);
    }
    return wstring(url.c_str());
}

bool fileExists(const wstring& path)
{
    return GetFileAttributesW(path.buffer()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

IThumbNailMaker* createThumbNailMaker(int kind, int columns, Observer* observer)
{
    IThumbNailMaker* maker = nullptr;
    switch (kind) {
    case 1:
        maker = new (std::nothrow) ThumbNailMakerTile(columns, observer);
        break;
    case 2:
        maker = new (std::nothrow) ThumbNailMakerReport(observer);
        break;
    case 3:
        maker = new (std::nothrow) ThumbNailMakerAlbum(columns, observer);
        break;
    case 4:
    case 5:
    case 6:
        maker = new (std::nothrow) ThumbNailMakerJoin(kind - 4, columns, observer);
        break;
    default:
        throw Exception(ErrorCode::InvalidArgument);
    }
    if (!maker)
        throw Exception(ErrorCode::NoMemory);
    return maker;
}

bool AbstractThumbNailMaker::addFile(const wstring& path)
{
    files.add(path);
    return true;
}

bool AbstractThumbNailMaker::make(HWND owner, const wstring& charset, const wstring& title, OutputStream* stream,
                                  const wstring& thumbnailFolder)
{
    if (files.count() == 0)
        throw Exception(ErrorCode::InvalidState);
    // Whichever way the page ends, no thumbnail stays under its temporary name.
    try {
        bool complete = writeSheet(owner, charset, title, stream, thumbnailFolder);
        if (complete)
            commitThumbnails();
        stagedThumbnails.clear();
        return complete;
    } catch (...) {
        stagedThumbnails.clear();
        throw;
    }
}

bool AbstractThumbNailMaker::writeSheet(HWND owner, const wstring& charset, const wstring& title, OutputStream* stream,
                                        const wstring& thumbnailFolder)
{
    questions = 0;
    thumbnailBase = makeThumbnails(owner, files, thumbnailFolder, thumbnailSize(), observer, infos);
    if (observer && observer->isCancelled(0))
        return false;
    if (observer)
        observer->started();
    if (!stream)
        throw Exception(ErrorCode::InvalidArgument);
    // The page has no byte-order mark: browsers take the encoding from its meta element.
    TextWriter page(stream, createTextConverter(charset), false, true);
    writeHead(page, charset, title);
    writeStyle(page);
    writeLine(page, L"<body>");
    if (!writeBody(page))
        return false;
    writeLine(page, L"</body>");
    writeLine(page, L"</html>");
    return true;
}

void AbstractThumbNailMaker::commitThumbnails()
{
    for (StagedThumbnail& thumbnail : stagedThumbnails) {
        if (!thumbnail.file.commit())
            throwThumbnailFailure();
        if (observer)
            observer->fileDone(thumbnail.source, thumbnail.name);
    }
}

void AbstractThumbNailMaker::writeHead(TextWriter& page, const wstring& charset, const wstring& title)
{
    const wstring& language = getAppSetting().fileThumbnailLang;
    writeLine(page, L"<!DOCTYPE html >");
    writeLine(page, language.isEmpty() ? wstring(L"<html>") : L"<html lang=\"" + escaped(language) + L"\">");
    writeLine(page, L"<head>");
    writeLine(page, L"<meta charset=\"" + escaped(charset) + L"\">");
    writeLine(page, L"<title>" + escaped(title) + L"</title>");
}

Size AbstractThumbNailMaker::fittedSize(int sourceWidth, int sourceHeight, int size) const
{
    if (sourceWidth < sourceHeight)
        return Size(scaledSide(sourceWidth, sourceHeight, size), size);
    return Size(size, scaledSide(sourceHeight, sourceWidth, size));
}

bool AbstractThumbNailMaker::fitThumbnailSize(Gdiplus::Image* bitmap, int size, int& width, int& height,
                                              WORD bitsPerPixel, GenericArray<ImageInfo>& list)
{
    ImageInfo info;
    info.bitsPerPixel = bitsPerPixel;
    info.sourceSize = Size(static_cast<LONG>(bitmap->GetWidth()), static_cast<LONG>(bitmap->GetHeight()));
    Size fitted = fittedSize(info.sourceSize.cx, info.sourceSize.cy, size);
    width = fitted.cx;
    height = fitted.cy;
    info.thumbnailSize = fitted;
    list.add(info);
    return true;
}

wstring AbstractThumbNailMaker::makeThumbnails(HWND owner, const wstringArray& list, const wstring& folder, int size,
                                               Observer* watcher, GenericArray<ImageInfo>& made)
{
    made.removeAll();
    if (folder.isEmpty())
        return wstring();
    wstring base = Path(folder.endsWith(L"\\") ? folder : folder + L"\\").getDirectory();
    const AppSetting& setting = getAppSetting();
    for (int i = 0; i < list.count(); ++i) {
        WORD bits = 0;
        BitmapPtr source(loadBitmap(list.at(i).buffer(), nullptr, &bits));
        if (!source)
            throwThumbnailFailure();
        int width = size;
        int height = size;
        fitThumbnailSize(source.get(), size, width, height, bits, made);
        BitmapPtr thumbnail(resizeBitmap(source.get(), width, height, Gdiplus::InterpolationModeHighQuality));
        source.reset();
        if (!thumbnail)
            throw Exception(ErrorCode::NoMemory);
        wstring name = base + setting.fileThumbnailImageFile + number(i) + L".jpg";
        if (!setting.fileThumbnailImageOverWrite && fileExists(name) && !confirmOverwrite(owner, name))
            return wstring();
        StagedThumbnail& staged = stagedThumbnails.emplace_back();
        staged.source = Path(list.at(i)).getPath();
        staged.name = name;
        ComPtr<IStream> file(staged.file.create(name.buffer()) ? staged.file.stream() : nullptr);
        if (!file || !JpegFileGenerator().saveInto(file.get(), thumbnail.get()))
            throwThumbnailFailure();
        thumbnail.reset();
        if (watcher && watcher->isCancelled(0))
            return wstring();
    }
    return base;
}

bool AbstractThumbNailMaker::confirmOverwrite(HWND owner, const wstring& thumbnail)
{
    wstring question = wstring(Messages::W0001.get()).replace(L"%s", thumbnail.buffer());
    return Application::messageBox(owner, question, MB_YESNO | MB_ICONWARNING) == IDYES;
}

AbstractThumbNailMaker::Reference AbstractThumbNailMaker::reference(int index) const
{
    Reference picture;
    Path path(files.at(index));
    picture.source = path.getPath();
    picture.name = path.getFileName();
    int size = thumbnailSize();
    if (usesThumbnails() && index < infos.count()) {
        const ImageInfo& info = infos.at(index);
        picture.image = thumbnailBase + getAppSetting().fileThumbnailImageFile + number(index) + L".jpg";
        picture.width = info.thumbnailSize.cx;
        picture.height = info.thumbnailSize.cy;
        picture.known = true;
        picture.sourceSize = info.sourceSize;
        picture.bitsPerPixel = info.bitsPerPixel;
        return picture;
    }
    picture.image = picture.source;
    picture.width = size;
    picture.height = size;
    WORD bits = 0;
    BitmapPtr source(loadBitmap(picture.source.buffer(), nullptr, &bits));
    if (!source)
        return picture;
    picture.known = true;
    picture.sourceSize = Size(static_cast<LONG>(source->GetWidth()), static_cast<LONG>(source->GetHeight()));
    picture.bitsPerPixel = bits;
    Size fitted = fittedSize(picture.sourceSize.cx, picture.sourceSize.cy, size);
    picture.width = fitted.cx;
    picture.height = fitted.cy;
    return picture;
}

bool AbstractThumbNailMaker::cancelled()
{
    return observer && observer->isCancelled(questions++);
}

bool AbstractThumbNailMaker::writeGrid(TextWriter& page, int columns,
                                       const std::function<void(const Reference&)>& writeCell)
{
    writeLine(page, L"<table>");
    writeLine(page, L"<tbody>");
    for (int row = 0, rows = rowCount(columns); row < rows; ++row) {
        writeLine(page, L"<tr>");
        for (int column = 0; column < columns; ++column) {
            writeLine(page, L"<td>");
            int index = row * columns + column;
            if (index < fileCount())
                writeCell(reference(index));
            writeLine(page, L"</td>");
            if (cancelled())
                return false;
        }
        writeLine(page, L"</tr>");
    }
    writeLine(page, L"</tbody>");
    writeLine(page, L"</table>");
    return true;
}

int AbstractThumbNailMaker::scaledSide(int side, int other, int size)
{
    int value = static_cast<int>(static_cast<double>(side) * size / other);
    return value < 1 ? 1 : value;
}

void AbstractThumbNailMaker::writeLine(TextWriter& page, const wstring& text)
{
    page.write(text.buffer());
    page.newLine();
}

void AbstractThumbNailMaker::writeTableStyleEnd(TextWriter& page)
{
    for (const wchar_t* line : {L"table {", L"border-collapse: collapse;", L"border-width: 0px;", L"}", L"</style>",
                                L"</head>"})
        writeLine(page, line);
}

wstring AbstractThumbNailMaker::anchorLine(const Reference& picture)
{
    return L"<a href=\"file:///" + urlPath(picture.source) + L"\" target=\"_blank\">";
}

wstring AbstractThumbNailMaker::imageLine(const Reference& picture)
{
    return L"<img style=\"width:" + number(picture.width) + L"px;height:" + number(picture.height) +
           L"px\" src=\"file:///" + urlPath(picture.image) + L"\" alt=\"" + escaped(picture.name) + L"\">";
}

wstring AbstractThumbNailMaker::escaped(const wstring& text)
{
    // "&" first, so that the entities of the others stay as they are.
    return text.replace(L"&", L"&amp;")
        .replace(L"<", L"&lt;")
        .replace(L">", L"&gt;")
        .replace(L"\"", L"&quot;")
        .replace(L"'", L"&#39;");
}

int AbstractThumbNailMaker::bySizeClass(int middle, int large, int small)
{
    switch (getAppSetting().fileThumbnailSize) {
    case 1:
        return middle;
    case 2:
        return large;
    default:
        return small;
    }
}

wstring AbstractThumbNailMaker::number(int value)
{
    wstring text;
    text.setInt(value);
    return text;
}

} // namespace thumbnailmaker
