#include "mainwindow/PictureProperties.h"
#include <new>
#include "foundation/Decimal.h"
#include "foundation/Exception.h"
#include "foundation/FindFiles.h"
#include "foundation/Path.h"
#include "imaging/PictureProperties.h"
#include "imaging/carriedPalette.h"
#include "settings/Messages.h"

namespace {

wstring dpiText(float dpi)
{
    return Decimal(static_cast<double>(dpi)).toStringDecimals(0);
}

DateTime localTimeOf(const FindFiles& found, int kind)
{
    SYSTEMTIME local{};
    if (!found.getLocalTime(kind, local))
        Exception::throwLastError();
    return DateTime(local);
}

[[noreturn]] void throwUnreadable()
{
    throw ApplicationException(Messages::E0008.get());
}

} // namespace

void PictureProperties::read(const wstring& path)
{
    try {
        Path normalised(path);
        if (!normalised.exists())
            throw ApplicationException(Messages::E0003.toWstring().replace(L"%s", path.buffer()).buffer());
        fileName = normalised.getFileName();
        fullPath = normalised.getPath();
        readFile(fullPath);
        readPicture();
    } catch (const std::bad_alloc&) {
        throwUnreadable();
    }
}

void PictureProperties::readFile(const wstring& path)
{
    FindFiles found;
    if (!found.findFirst(path.buffer()))
        Exception::throwLastError();
    ULONGLONG bytes = found.getSize();
    sizeText = wstring(wstring::fromInt(static_cast<int>((bytes + 1023) / 1024))) + L" KB";
    created = localTimeOf(found, FindFiles::Creation);
    modified = localTimeOf(found, FindFiles::LastWrite);
}

void PictureProperties::readPicture()
{
    PictureMetadata metadata;
    WORD bits = 0;
    UINT frames = 0;
    try {
        if (!readPictureProperties(fullPath.buffer(), metadata, bits, frames, picture, thumbnail))
            throwUnreadable();
        histogram = ColorHistogram::compute(picture, RGB(255, 255, 255), RGB(0xC0, 0xC0, 0xC0));
    } catch (const ApplicationException&) {
        throw;
    } catch (const Exception&) {
        throwUnreadable();
    }
    dimensionText = wstring::fromInt(picture.width()) + L" x " + wstring::fromInt(picture.height());
    dpiX = metadata.dpiX;
    dpiY = metadata.dpiY;
    if (dpiX <= 0 || dpiY <= 0)
        resolutionText = L"-";
    else if (dpiX == dpiY)
        resolutionText = dpiText(dpiX) + L" dpi";
    else
        resolutionText = dpiText(dpiX) + L" x " + dpiText(dpiY) + L" dpi";
    depthText = wstring::fromInt(bits) + L"bit";
    frameCount = static_cast<int>(frames);
    cameraModel = metadata.cameraModel;
    cameraMaker = metadata.cameraMaker;
    hasShotDate = metadata.hasDateTaken;
    if (hasShotDate)
        shotDate = metadata.dateTaken;
    readPalette(bits);
}

void PictureProperties::readPalette(WORD bits)
{
    RGBQUAD carried[256];
    const RGBQUAD* table = carried;
    if (bits <= 8) {
        colorCount = picture.colorCount();
        table = picture.getColorTable();
    } else {
        colorCount = readCarriedPalette(fullPath.buffer(), carried);
    }
    if (colorCount <= 0)
        return;
    if (!table)
        throwUnreadable();
    for (int i = 0; i < colorCount && i < 256; ++i)
        palette[i] = {table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
}
