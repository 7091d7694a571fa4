#include "imaging/MultiFrameTiffFileGenerator.h"
#include <memory>
#include "imaging/EncoderParameterBlock.h"
#include "imaging/GdiplusEncoder.h"
#include "imaging/gdipImageIO.h"

namespace {

constexpr const wchar_t* TiffMime = L"image/tiff";

bool saveFlag(EncoderParameterBlock& block, Gdiplus::EncoderValue value)
{
    return block.set(Gdiplus::EncoderSaveFlag, value);
}

} // namespace

bool MultiFrameTiffFileGenerator::open(const wchar_t* path, Gdiplus::Image* first)
{
    close(false);
    CLSID encoder;
    EncoderParameterBlock block;
    if (!path || !first || getEncoderClsid(TiffMime, &encoder) < 0 ||
        !saveFlag(block, Gdiplus::EncoderValueMultiFrame))
        return false;
    // The file is written through a TIFF-decoded picture, which GDI+ can extend by pages.
    imageStream = gdipEncodeToStream(TiffMime, first, nullptr);
    LARGE_INTEGER start = {};
    if (!imageStream || FAILED(imageStream->Seek(start, STREAM_SEEK_SET, nullptr))) {
        close(false);
        return false;
    }
    image = Gdiplus::Image::FromStream(imageStream);
    fileFailure = ERROR_SUCCESS;
    bool opened = image && image->GetLastStatus() == Gdiplus::Ok && noteFileFailure(file.create(path));
    if (opened) {
        // The picture keeps the stream for the pages to come.
        ComPtr<IStream> output(file.stream());
        opened = output && image->Save(output.get(), &encoder, block.get()) == Gdiplus::Ok;
    }
    if (!opened)
        close(false);
    return opened;
}

bool MultiFrameTiffFileGenerator::addFrame(Gdiplus::Image* frame)
{
    EncoderParameterBlock block;
    if (!image || !frame || frame->GetType() == Gdiplus::ImageTypeUnknown ||
        !saveFlag(block, Gdiplus::EncoderValueFrameDimensionPage))
        return false;
    return image->SaveAdd(frame, block.get()) == Gdiplus::Ok;
}

bool MultiFrameTiffFileGenerator::close(bool flush)
{
    if (!imageStream && !image) {
        file.discard();
        return false;
    }
    bool flushed = false;
    if (flush && image) {
        EncoderParameterBlock block;
        flushed = saveFlag(block, Gdiplus::EncoderValueFlush) && image->SaveAdd(block.get()) == Gdiplus::Ok;
    }
    // The picture writes the file through its stream until it is gone.
    delete image;
    image = nullptr;
    if (imageStream)
        imageStream->Release();
    imageStream = nullptr;
    if (flushed)
        return noteFileFailure(file.commit());
    file.discard();
    return false;
}

bool MultiFrameTiffFileGenerator::noteFileFailure(bool succeeded)
{
    if (!succeeded)
        fileFailure = GetLastError();
    return succeeded;
}
