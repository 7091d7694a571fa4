#include <memory>
#include "imaging/ComStream.h"
#include "imaging/WicBitmapDecoder.h"
#include "imaging/WicBitmapEncoder.h"
#include "imaging/WicMetadataQueryReader.h"
#include "imaging/wicDecode.h"
#include "imaging/wicEncode.h"
#include "support/WicTesting.h"

namespace {

struct Format {
    const wchar_t* name;
    const GUID* container;
    const GUID* pixelFormat;
    int tolerance;
    bool keepsResolution;
};

// Every format whose encoder and decoder the system has. GIF needs indexed pixels.
const Format Formats[] = {
    {L"bmp", &GUID_ContainerFormatBmp, &GUID_WICPixelFormatDontCare, 0, true},
    {L"png", &GUID_ContainerFormatPng, &GUID_WICPixelFormatDontCare, 0, true},
    {L"jpg", &GUID_ContainerFormatJpeg, &GUID_WICPixelFormat24bppBGR, 16, true},
    // The palette comes from a median cut, which may only come near the colours; GIF stores no resolution.
    {L"gif", &GUID_ContainerFormatGif, &GUID_WICPixelFormat8bppIndexed, 8, false},
    {L"tif", &GUID_ContainerFormatTiff, &GUID_WICPixelFormatDontCare, 0, true},
};

class WicCodec : public WicTest {
protected:
    ScratchFolder folder{L"korvilane-wic"};
    BitmapPtr picture{makeQuarters(40, 30)};
    WIC::EncodeProperties noOptions;

    std::wstring saved(const Format& format)
    {
        std::wstring path = folder.file((std::wstring(L"picture.") + format.name).c_str());
        wicSaveGdiplusBitmap(path.c_str(), *format.container, *format.pixelFormat, picture.get(), noOptions,
                             nullptr, 150, 150);
        return path;
    }
};

} // namespace

TEST_F(WicCodec, EveryFormatRoundTripsThroughFilesAndStreams)
{
    for (const Format& format : Formats) {
        SCOPED_TRACE(format.name);
        std::wstring path = saved(format);
        EXPECT_EQ(wicFrameCount(path.c_str()), 1u);
        BitmapPtr loaded(wicLoadFrameAsGdiplusBitmap(path.c_str(), 0, nullptr));
        ASSERT_EQ(loaded->GetWidth(), 40u);
        ASSERT_EQ(loaded->GetHeight(), 30u);
        expectQuarters(loaded.get(), format.tolerance);

        WIC::BitmapFrameDecode frame(wicOpenFrame(path.c_str(), 0, nullptr), true);
        if (format.keepsResolution) {
            EXPECT_NEAR(frame.dpiX(), 150.0, 0.1);
            EXPECT_NEAR(frame.dpiY(), 150.0, 0.1);
        }

        StreamPtr stream(wicEncodeGdiplusBitmapToStream(*format.container, *format.pixelFormat, picture.get(),
                                                        noOptions, nullptr, 0, 0));
        WIC::BitmapFrameDecode fromStream(wicFirstFrameFromStream(stream.get()), true);
        BitmapPtr decoded(wicToGdiplusBitmap(fromStream));
        expectQuarters(decoded.get(), format.tolerance);
    }
}

TEST_F(WicCodec, PixelFormatIsKeptOrConverted)
{
    WIC::Bitmap source(gdiplusToWicBitmap(picture.get(), 0, 0), true);
    EXPECT_TRUE(IsEqualGUID(source.pixelFormat(), GUID_WICPixelFormat32bppBGRA));

    StreamPtr own(wicEncodeSourceToStream(GUID_ContainerFormatPng, source, GUID_WICPixelFormatDontCare, noOptions,
                                          nullptr));
    WIC::BitmapFrameDecode kept(wicFirstFrameFromStream(own.get()), true);
    EXPECT_TRUE(IsEqualGUID(kept.pixelFormat(), GUID_WICPixelFormat32bppBGRA));

    StreamPtr converted(wicEncodeSourceToStream(GUID_ContainerFormatPng, source, GUID_WICPixelFormat24bppBGR,
                                                noOptions, nullptr));
    WIC::BitmapFrameDecode changed(wicFirstFrameFromStream(converted.get()), true);
    EXPECT_TRUE(IsEqualGUID(changed.pixelFormat(), GUID_WICPixelFormat24bppBGR));
    BitmapPtr decoded(wicToGdiplusBitmap(changed));
    expectQuarters(decoded.get(), 0);
}

TEST_F(WicCodec, PixelRowsAreWrittenBottomUp)
{
    // Two rows of two pixels as a DIB holds them: the bottom row first.
    const UINT32 rows[] = {Blue, White, Red, Green};
    OutputComStream output;
    output.create();
    WIC::BitmapEncoder encoder;
    encoder.createOnStream(output.get(), GUID_ContainerFormatPng);
    {
        std::unique_ptr<WIC::BitmapFrameEncode> frame = encoder.createFrame(2, 2, GUID_WICPixelFormat32bppBGRA);
        EXPECT_EQ(frame->bitsPerPixel(), 32u);
        frame->writePixels(reinterpret_cast<const BYTE*>(rows));
        // Committed frames hold nothing more.
        expectCode(ErrorCode::InvalidState, [&] { frame->writePixels(reinterpret_cast<const BYTE*>(rows)); });
    }
    encoder.commit();
    expectCode(ErrorCode::InvalidState, [&] { encoder.commit(); });

    WIC::BitmapFrameDecode frame(wicFirstFrameFromStream(output.get()), true);
    UINT32 top[2] = {};
    WICRect topRow = {0, 0, 2, 1};
    ASSERT_EQ(frame.get()->CopyPixels(&topRow, 8, sizeof(top), reinterpret_cast<BYTE*>(top)), S_OK);
    EXPECT_EQ(top[0], Red);
    EXPECT_EQ(top[1], Green);
}

TEST_F(WicCodec, FramesAreAddedAndOpenedByIndex)
{
    std::wstring path = folder.file(L"pages.tif");
    BitmapPtr second(makeBitmap32(8, 4, [](int, int) { return Blue; }));
    {
        WIC::BitmapEncoder encoder;
        encoder.create(path.c_str(), nullptr, GUID_ContainerFormatTiff);
        encoder.addFrame(WIC::Bitmap(gdiplusToWicBitmap(picture.get(), 0, 0), true));
        encoder.addFrame(WIC::Bitmap(gdiplusToWicBitmap(second.get(), 0, 0), true));
        encoder.commit();
    }
    EXPECT_EQ(wicFrameCount(path.c_str()), 2u);
    BitmapPtr page(wicLoadFrameAsGdiplusBitmap(path.c_str(), 1, nullptr));
    EXPECT_EQ(page->GetWidth(), 8u);
    EXPECT_EQ(pixelAt(page.get(), 7, 3), Blue);
    EXPECT_LT(thrownCode([&] { wicOpenFrame(path.c_str(), 2, nullptr); }), 0);
}

TEST_F(WicCodec, MalformedPicturesFailCleanly)
{
    std::wstring good = saved(Formats[1]);
    std::vector<BYTE> png = readBytes(good);
    std::vector<BYTE> jpeg = readBytes(saved(Formats[2]));
    std::vector<std::vector<BYTE>> broken = {
        {},
        {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e', 0, 0, 0},
        std::vector<BYTE>(png.begin(), png.begin() + 40),
        std::vector<BYTE>(jpeg.begin(), jpeg.begin() + jpeg.size() / 3),
    };
    for (size_t i = 0; i < broken.size(); ++i) {
        SCOPED_TRACE(i);
        std::wstring path = folder.file(L"broken.bin");
        writeBytes(path, broken[i]);
        int code = thrownCode([&] { BitmapPtr bitmap(wicLoadFrameAsGdiplusBitmap(path.c_str(), 0, nullptr)); });
        EXPECT_NE(code, -1);
        EXPECT_NE(code, 0);
    }
    // A file that is not there fails in the file layer.
    expectCode(ERROR_FILE_NOT_FOUND, [&] { wicFrameCount(folder.file(L"missing.png").c_str()); });

    WIC::BitmapDecoder decoder;
    StreamPtr garbage(streamOf(broken[1]));
    EXPECT_LT(thrownCode([&] { decoder.openStream(garbage.get()); }), 0);
    expectCode(ErrorCode::InvalidState, [&] { decoder.frame(0); });
}

TEST_F(WicCodec, MissingEncodersAndRefusedOptionsLeaveNoFile)
{
    std::wstring path = folder.file(L"picture.wdp");
    int code = thrownCode([&] {
        wicSaveGdiplusBitmap(path.c_str(), GUID_ContainerFormatWmp, GUID_WICPixelFormatDontCare, picture.get(),
                             noOptions, nullptr, 0, 0);
    });
    if (runningUnderWine()) {
        EXPECT_EQ(code, static_cast<int>(WINCODEC_ERR_COMPONENTNOTFOUND)) << "Wine has an HD Photo encoder now";
    }
    EXPECT_EQ(fileExists(path), code == -1);

    // An option that the JPEG encoder does not take fails after the file was started.
    std::wstring jpeg = folder.file(L"lossless.jpg");
    WIC::EncodeProperties lossless;
    lossless.setLossless(true);
    code = thrownCode([&] {
        wicSaveGdiplusBitmap(jpeg.c_str(), GUID_ContainerFormatJpeg, GUID_WICPixelFormat24bppBGR, picture.get(),
                             lossless, nullptr, 0, 0);
    });
    EXPECT_NE(code, -1);
    EXPECT_FALSE(fileExists(jpeg));

    // The JPEG encoder takes a quality (Wine's ignores it).
    WIC::EncodeProperties quality;
    quality.setImageQuality(0.5f);
    std::wstring kept = folder.file(L"quality.jpg");
    wicSaveGdiplusBitmap(kept.c_str(), GUID_ContainerFormatJpeg, GUID_WICPixelFormat24bppBGR, picture.get(),
                         quality, nullptr, 0, 0);
    BitmapPtr loaded(wicLoadFrameAsGdiplusBitmap(kept.c_str(), 0, nullptr));
    expectQuarters(loaded.get(), 24);
}

TEST_F(WicCodec, MetadataOfADecodedJpeg)
{
    std::wstring path = saved(Formats[2]);
    WIC::BitmapFrameDecode frame(wicOpenFrame(path.c_str(), 0, nullptr), true);

    // A picture without EXIF has no camera model; Wine reads no JPEG metadata at all.
    WIC::MetadataQueryReader reader(frame.metadataQueryReader());
    PropVariant value;
    EXPECT_LT(thrownCode([&] { reader.getValue(L"/app1/ifd/{ushort=272}", value); }), 0);
    WIC::MetadataQueryReader empty(nullptr);
    expectCode(ErrorCode::InvalidState, [&] { empty.getValue(L"/app1", value); });

    // Copying the blocks into a new JPEG: Wine's encoder cannot, and then no file is left.
    ComPtr<IWICMetadataBlockReader> blocks;
    frame.queryInterface(WIC::IID_IWICMetadataBlockReader, blocks.outVoid());
    std::wstring copy = folder.file(L"copy.jpg");
    int code = thrownCode([&] {
        wicSaveGdiplusBitmap(copy.c_str(), GUID_ContainerFormatJpeg, GUID_WICPixelFormat24bppBGR, picture.get(),
                             noOptions, blocks.get(), 0, 0);
    });
    if (runningUnderWine()) {
        EXPECT_EQ(code, static_cast<int>(E_NOTIMPL)) << "Wine copies JPEG metadata now";
    }
    EXPECT_EQ(fileExists(copy), code == -1);
}

TEST_F(WicCodec, DecodersWithoutPreviewOrThumbnailThrow)
{
    std::wstring path = saved(Formats[1]);
    EXPECT_LT(thrownCode([&] { wicPreview(path.c_str()); }), 0);
    EXPECT_LT(thrownCode([&] { wicThumbnail(path.c_str()); }), 0);
    EXPECT_LT(thrownCode([&] { BitmapPtr preview(wicLoadPreviewAsGdiplusBitmap(path.c_str())); }), 0);
}
