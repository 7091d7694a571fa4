#include "imaging/PictureProperties.h"
#include <algorithm>
#include "foundation/ComPtr.h"
#include "foundation/Exception.h"
#include "foundation/PropVariant.h"
#include "imaging/WicBitmapDecoder.h"
#include "imaging/WicEncodeProperties.h"
#include "imaging/WicMetadataQueryReader.h"
#include "imaging/dibBitmapSource.h"
#include "imaging/pictureLoading.h"
#include "imaging/wicEncode.h"
#include "imaging/wicFactory.h"

namespace {

constexpr UINT ThumbnailSide = 100;

// A missing or unreadable item keeps the text as it was.
void readText(const WIC::MetadataQueryReader& reader, const wchar_t* query, wstring& text)
{
    try {
        PropVariant value;
        reader.getValue(query, value);
        text = value.toString();
    } catch (const Exception&) {
        // The picture does not tell.
    }
}

void readMetadata(WIC::BitmapDecoder& decoder, const wstring& path, PictureMetadata& metadata)
{
    decoder.openFile(path);
    WIC::BitmapFrameDecode frame(decoder.frame(0), true);
    metadata.dpiX = static_cast<float>(frame.dpiX());
    metadata.dpiY = static_cast<float>(frame.dpiY());
    IWICMetadataQueryReader* queries = frame.metadataQueryReader();
    if (!queries)
        Exception::throwInvalidArgument();
    WIC::MetadataQueryReader reader(queries);
    readText(reader, L"System.Photo.CameraModel", metadata.cameraModel);
    readText(reader, L"System.Photo.CameraManufacturer", metadata.cameraMaker);
    metadata.hasDateTaken = readDateTaken(reader, metadata.dateTaken);
}

// The decoder now reads what the plug-in made of the file, as a BMP.
void openPluginPicture(WIC::BitmapDecoder& decoder, const wchar_t* path)
{
    Dib fromPlugin;
    if (!loadWithPlugins(path, fromPlugin))
        return;
    ComPtr<IStream> stream(fromPlugin.toStream());
    if (stream)
        decoder.openStream(stream.get());
}

void encodeAsBmp(const WIC::BitmapSource& source, const GUID& pixelFormat, Dib& dib)
{
    ComPtr<IStream> bmp(
        wicEncodeSourceToStream(GUID_ContainerFormatBmp, source, pixelFormat, WIC::EncodeProperties(), nullptr));
    dib.loadFromStream(bmp.get());
}

// Some converters and scalers (Wine's) take only a few formats, but reach 32bppBGRA from nearly all: a step
// that fails is tried again on the source converted to that.
template <typename Step>
void withBgraFallback(const WIC::BitmapSource& source, Step step)
{
    try {
        step(source);
        return;
    } catch (const Exception&) {
        // Tried again below.
    }
    step(WIC::BitmapSource(wicConvertPixelFormat(source, GUID_WICPixelFormat32bppBGRA), true));
}

void encodeAsBmp24(const WIC::BitmapSource& source, Dib& dib)
{
    withBgraFallback(source, [&](const WIC::BitmapSource& pixels) {
        encodeAsBmp(pixels, GUID_WICPixelFormat24bppBGR, dib);
    });
}

// Shallow pictures keep their depth where a BMP can hold it (grey ones cannot).
void encodePicture(const WIC::BitmapSource& frame, UINT frameBits, Dib& picture)
{
    if (frameBits >= 24)
        return encodeAsBmp24(frame, picture);
    try {
        encodeAsBmp(frame, GUID_WICPixelFormatDontCare, picture);
    } catch (const Exception&) {
        encodeAsBmp24(frame, picture);
    }
}

IWICBitmapSource* thumbnailSource(const WIC::BitmapDecoder& decoder, const Dib& picture)
{
    IWICBitmapSource* source = nullptr;
    try {
        source = decoder.thumbnail();
    } catch (const Exception&) {
        source = dibToBitmapSource(picture);
    }
    if (!source)
        Exception::throwInvalidArgument();
    return source;
}

void makeThumbnail(const WIC::BitmapDecoder& decoder, const Dib& picture, Dib& thumbnail)
{
    WIC::BitmapSource source(thumbnailSource(decoder, picture), true);
    int widthPercent = 0;
    int heightPercent = 0;
    picture.aspectPercent(widthPercent, heightPercent);
    // A sliver of a picture still gets a thumbnail one pixel across.
    auto width = static_cast<UINT>(std::max(widthPercent, 1));
    auto height = static_cast<UINT>(std::max(heightPercent, 1));
    withBgraFallback(source, [&](const WIC::BitmapSource& pixels) {
        ComPtr<IWICBitmapScaler> scaler(wicCreateScaler(pixels.get(), width, height));
        if (scaler)
            encodeAsBmp24(WIC::BitmapSource(scaler.get(), false), thumbnail);
    });
}

} // namespace

bool readDateTaken(const WIC::MetadataQueryReader& reader, DateTime& taken)
{
    try {
        PropVariant value;
        reader.getValue(L"System.Photo.DateTaken", value);
        FILETIME universal = value.toFileTime();
        FILETIME local;
        SYSTEMTIME fields;
        if (!FileTimeToLocalFileTime(&universal, &local) || !FileTimeToSystemTime(&local, &fields))
            return false;
        taken.setSystemTime(fields);
        return true;
    } catch (const Exception&) {
        return false;
    }
}

bool readPictureProperties(const wchar_t* path, PictureMetadata& metadata, WORD& bits, UINT& frames, Dib& picture,
                           Dib& thumbnail)
{
    metadata.cameraModel = L"-";
    metadata.cameraMaker = L"-";
    metadata.hasDateTaken = false;
    picture.reallocInfo(0);
    thumbnail.reallocInfo(0);
    if (!path)
        Exception::throwInvalidArgument();
    WIC::BitmapDecoder decoder;
    try {
        readMetadata(decoder, path, metadata);
    } catch (const Exception&) {
        // No metadata here, perhaps no WIC decoder at all: a plug-in may still read the picture.
        openPluginPicture(decoder, path);
    }
    WIC::BitmapFrameDecode frame(decoder.frame(0), true);
    UINT frameBits = frame.bitsPerPixel();
    bits = static_cast<WORD>(frameBits);
    frames = decoder.frameCount();
    encodePicture(frame, frameBits, picture);
    if (picture.isEmpty())
        return false;
    makeThumbnail(decoder, picture, thumbnail);
    return true;
}
