#include <algorithm>
#include <vector>
#include "imaging/BitmapLock.h"
#include "foundation/Com.h"
#include "foundation/wstringArray.h"
#include "imaging/WicBitmapDecoder.h"
#include "imaging/WicBitmapEncoder.h"
#include "imaging/wicDecode.h"
#include "imaging/wicDecoderList.h"
#include "imaging/wicEncode.h"
#include "imaging/wicFactory.h"
#include "support/WicTesting.h"

namespace {

// A decoder that reports its progress while a frame is taken, as some system decoders do. It lives on the
// stack; the count tells whether the wrapper gave its reference back.
class ProgressDecoder : public IWICBitmapDecoder, public WIC::IWICBitmapCodecProgressNotification {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override
    {
        *result = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IWICBitmapDecoder))
            *result = static_cast<IWICBitmapDecoder*>(this);
        else if (IsEqualIID(iid, WIC::IID_IWICBitmapCodecProgressNotification) && offersProgress)
            *result = static_cast<WIC::IWICBitmapCodecProgressNotification*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }

    HRESULT STDMETHODCALLTYPE RegisterProgressNotification(WIC::PFNProgressNotification function, void* data,
                                                           DWORD progressFlags) override
    {
        callback = function;
        callbackData = data;
        flags = progressFlags;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetFrame(UINT index, IWICBitmapFrameDecode** frame) override
    {
        *frame = nullptr;
        for (int step = 0; callback && step <= 4; ++step) {
            ++notifications;
            HRESULT answer = callback(callbackData, index, WIC::WICProgressOperationCopyPixels, step / 4.0);
            if (answer != S_OK)
                return answer;
        }
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE QueryCapability(IStream*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Initialize(IStream*, WICDecodeOptions) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetContainerFormat(GUID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDecoderInfo(IWICBitmapDecoderInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CopyPalette(IWICPalette*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMetadataQueryReader(IWICMetadataQueryReader**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPreview(IWICBitmapSource**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetColorContexts(UINT, IWICColorContext**, UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetThumbnail(IWICBitmapSource**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetFrameCount(UINT*) override { return E_NOTIMPL; }

    bool offersProgress = true;
    ULONG references = 1;
    WIC::PFNProgressNotification callback = nullptr;
    void* callbackData = nullptr;
    DWORD flags = 0;
    int notifications = 0;
};

IWICBitmap* makeWicBitmap(UINT width, UINT height, const GUID& format)
{
    ComPtr<IWICImagingFactory> factory(wicCreateFactory());
    IWICBitmap* bitmap = nullptr;
    EXPECT_EQ(factory->CreateBitmap(width, height, format, WICBitmapCacheOnLoad, &bitmap), S_OK);
    return bitmap;
}

} // namespace

TEST_F(WicTest, CancellingEndsTheDecodeWithAbort)
{
    ProgressDecoder fake;
    TestCanceller canceller;
    {
        WIC::BitmapDecoder decoder;
        decoder.attach(&fake);
        EXPECT_TRUE(decoder.setCanceller(&canceller));
        EXPECT_EQ(fake.flags, 0x40001u);
        EXPECT_EQ(fake.callbackData, &canceller);

        decoder.frame(0);
        EXPECT_EQ(canceller.asked, 5);
        canceller.cancel = true;
        expectCode(static_cast<int>(E_ABORT), [&] { decoder.frame(0); });
        EXPECT_EQ(canceller.asked, 6);

        // Once withdrawn, progress reaches no callback.
        decoder.clearCanceller();
        EXPECT_EQ(fake.callback, nullptr);
        EXPECT_EQ(fake.flags, 0u);
        decoder.frame(0);
        EXPECT_EQ(canceller.asked, 6);

        decoder.setCanceller(&canceller);
    }
    // The destructor withdrew the canceller before it let the decoder go.
    EXPECT_EQ(fake.callback, nullptr);
    EXPECT_EQ(fake.references, 0u);
    EXPECT_EQ(WIC::wicProgressNotification(nullptr, 0, WIC::WICProgressOperationCopyPixels, 0.5), S_OK);
}

TEST_F(WicTest, DecodersWithoutProgressDecodeToTheEnd)
{
    ProgressDecoder fake;
    fake.offersProgress = false;
    TestCanceller canceller;
    canceller.cancel = true;
    {
        WIC::BitmapDecoder decoder;
        decoder.attach(&fake);
        EXPECT_FALSE(decoder.setCanceller(&canceller));
        decoder.frame(0);
        expectCode(ErrorCode::InvalidArgument, [&] { decoder.setCanceller(nullptr); });
    }
    EXPECT_EQ(fake.references, 0u);

    // The system's own decoders: Wine's report no progress, so a cancelling canceller changes nothing there.
    ScratchFolder folder(L"korvilane-wic-cancel");
    BitmapPtr picture(makeQuarters(16, 16));
    std::wstring path = folder.file(L"picture.png");
    wicSaveGdiplusBitmap(path.c_str(), GUID_ContainerFormatPng, GUID_WICPixelFormatDontCare, picture.get(),
                         WIC::EncodeProperties(), nullptr, 0, 0);
    WIC::BitmapDecoder decoder;
    decoder.openFile(path.c_str());
    EXPECT_TRUE(IsEqualGUID(decoder.containerFormat(), GUID_ContainerFormatPng));
    bool registered = decoder.setCanceller(&canceller);
    if (runningUnderWine()) {
        EXPECT_FALSE(registered) << "Wine's decoders report progress now";
        BitmapPtr loaded(wicLoadFrameAsGdiplusBitmap(path.c_str(), 0, &canceller));
        expectQuarters(loaded.get(), 0);
    }
    decoder.clearCanceller();
}

TEST_F(WicTest, EmptyWrappersAndMissingArgumentsThrow)
{
    WIC::BitmapDecoder decoder;
    TestCanceller canceller;
    expectCode(ErrorCode::InvalidState, [&] { decoder.containerFormat(); });
    expectCode(ErrorCode::InvalidState, [&] { decoder.setCanceller(&canceller); });
    expectCode(ErrorCode::InvalidState, [&] { decoder.clearCanceller(); });
    expectCode(ErrorCode::InvalidArgument, [&] { decoder.openStream(nullptr); });

    expectCode(ErrorCode::InvalidArgument, [] { WIC::BitmapSource source(nullptr, false); });
    expectCode(ErrorCode::InvalidArgument, [] { wicCreateBitmapFromMemory(0, 4, reinterpret_cast<const BYTE*>("")); });
    expectCode(ErrorCode::InvalidArgument, [] { wicCreateBitmapFromMemory(4, 0, reinterpret_cast<const BYTE*>("")); });
    expectCode(ErrorCode::InvalidArgument, [] { wicCreateScaler(nullptr, 1, 1); });

    WIC::BitmapEncoder encoder;
    expectCode(ErrorCode::InvalidState, [&] { encoder.createFrame(1, 1, GUID_WICPixelFormat32bppBGRA); });
    expectCode(ErrorCode::InvalidArgument, [&] { encoder.createOnStream(nullptr, GUID_ContainerFormatPng); });

    WIC::EncodeProperties options;
    expectCode(ErrorCode::InvalidArgument, [&] { options.setImageQuality(1.5f); });
    expectCode(ErrorCode::InvalidArgument, [&] { options.setCompressionQuality(-0.1f); });
    EXPECT_EQ(options.options(), 0u);
    options.setImageQuality(1.0f);
    options.setTiffCompressionMethod(2);
    EXPECT_EQ(options.options(), static_cast<DWORD>(WIC::EncodeProperties::ImageQuality |
                                                    WIC::EncodeProperties::TiffCompressionMethod));
    expectCode(ErrorCode::InvalidArgument, [&] { options.applyTo(nullptr); });

    expectCode(ErrorCode::InvalidArgument, [] { gdiplusToWicBitmap(nullptr, 0, 0); });
}

TEST_F(WicTest, BitmapsHoldTwoReferencesAndDropBoth)
{
    const UINT32 pixels[] = {Red, Green, Blue, White};
    WIC::Bitmap bitmap(wicCreateBitmapFromMemory(2, 2, reinterpret_cast<const BYTE*>(pixels)), true);
    EXPECT_EQ(bitmap.width(), 2u);
    EXPECT_EQ(bitmap.bitsPerPixel(), 32u);
    WICColor colours[256];
    EXPECT_EQ(bitmap.copyPalette(colours), 0u);
    bitmap.setResolution(300, 200);
    EXPECT_DOUBLE_EQ(bitmap.dpiX(), 300.0);
    EXPECT_DOUBLE_EQ(bitmap.dpiY(), 200.0);

    IWICBitmapSource* held = bitmap.get();
    held->AddRef();
    // Our reference is all that is left.
    EXPECT_EQ(bitmap.release(), 1u);
    EXPECT_EQ(bitmap.release(), 0u);
    expectCode(ErrorCode::InvalidState, [&] { bitmap.width(); });
    expectCode(ErrorCode::InvalidState, [&] { bitmap.setResolution(1, 1); });
    EXPECT_EQ(held->Release(), 0u);
}

TEST_F(WicTest, PalettesAreSetAndCopied)
{
    WIC::Bitmap indexed(makeWicBitmap(4, 4, GUID_WICPixelFormat8bppIndexed), true);
    std::vector<WICColor> colours(256);
    for (UINT i = 0; i < 256; ++i)
        colours[i] = 0xFF000000 | i * 0x010101;
    indexed.setPalette(colours.data());
    std::vector<WICColor> copied(256);
    ASSERT_EQ(indexed.copyPalette(copied.data()), 256u);
    EXPECT_EQ(copied, colours);

    // A converter to indexed pixels makes its own palette of the picture's colours (Wine's only near them).
    const UINT32 pixels[] = {Red, Green, Blue, White};
    WIC::Bitmap source(wicCreateBitmapFromMemory(2, 2, reinterpret_cast<const BYTE*>(pixels)), true);
    WIC::BitmapSource reduced(wicConvertPixelFormat(source, GUID_WICPixelFormat8bppIndexed), true);
    EXPECT_EQ(reduced.bitsPerPixel(), 8u);
    UINT count = reduced.copyPalette(copied.data());
    ASSERT_GE(count, 4u);
    copied.resize(count);
    for (UINT32 colour : pixels) {
        auto isNear = [&](WICColor entry) { return channelDistance(entry, colour) <= 8; };
        EXPECT_TRUE(std::any_of(copied.begin(), copied.end(), isNear)) << std::hex << colour;
    }
}

TEST_F(WicTest, ConvertersScalersAndBitDepths)
{
    EXPECT_EQ(wicBitsPerPixel(GUID_WICPixelFormat48bppRGB), 48u);
    EXPECT_EQ(wicBitsPerPixel(GUID_WICPixelFormat24bppBGR), 24u);
    const UINT32 pixels[] = {Red, Green, Blue, White};
    WIC::Bitmap source(wicCreateBitmapFromMemory(2, 2, reinterpret_cast<const BYTE*>(pixels)), true);

    WIC::BitmapSource scaled(wicCreateScaler(source.get(), 6, 4), true);
    EXPECT_EQ(scaled.width(), 6u);
    EXPECT_EQ(scaled.height(), 4u);
    WIC::BitmapSource converted(
        wicCreateFormatConverter(source.get(), GUID_WICPixelFormat24bppBGR, nullptr, 0.0, WICBitmapPaletteTypeCustom),
        true);
    EXPECT_TRUE(IsEqualGUID(converted.pixelFormat(), GUID_WICPixelFormat24bppBGR));
    WIC::BitmapSource same(wicConvertPixelFormat(source, GUID_WICPixelFormatDontCare), true);
    EXPECT_TRUE(IsEqualGUID(same.pixelFormat(), GUID_WICPixelFormat32bppBGRA));

    // Deep pictures reach GDI+ through PNG.
    WIC::Bitmap deep(makeWicBitmap(3, 2, GUID_WICPixelFormat48bppRGB), true);
    BitmapPtr fromDeep(wicToGdiplusBitmap(deep));
    EXPECT_EQ(fromDeep->GetWidth(), 3u);
    EXPECT_EQ(pixelAt(fromDeep.get(), 2, 1), 0xFF000000u);
}

TEST_F(WicTest, GdiplusPixelsBecomeStraightAlphaBgra)
{
    // Alpha-less and premultiplied GDI+ pixels are passed on as WIC reads them: opaque and unpremultiplied.
    BitmapPtr rgb(new Gdiplus::Bitmap(2, 1, PixelFormat32bppRGB));
    BitmapPtr premultiplied(new Gdiplus::Bitmap(2, 1, PixelFormat32bppPARGB));
    {
        BitmapLock lock(rgb.get(), Gdiplus::ImageLockModeWrite, PixelFormat32bppRGB);
        lock.pixels(0)[0] = 0x00102030;
        lock.pixels(0)[1] = 0x00405060;
        BitmapLock half(premultiplied.get(), Gdiplus::ImageLockModeWrite, PixelFormat32bppPARGB);
        half.pixels(0)[0] = 0x80400000;
        half.pixels(0)[1] = 0xFF00FF00;
    }
    UINT32 read[2] = {};
    WIC::Bitmap fromRgb(gdiplusToWicBitmap(rgb.get(), 0, 0), true);
    ASSERT_EQ(fromRgb.get()->CopyPixels(nullptr, 8, sizeof(read), reinterpret_cast<BYTE*>(read)), S_OK);
    EXPECT_EQ(read[0], 0xFF102030u);
    EXPECT_EQ(read[1], 0xFF405060u);
    WIC::Bitmap fromPremultiplied(gdiplusToWicBitmap(premultiplied.get(), 0, 0), true);
    ASSERT_EQ(fromPremultiplied.get()->CopyPixels(nullptr, 8, sizeof(read), reinterpret_cast<BYTE*>(read)), S_OK);
    EXPECT_LE(channelDistance(read[0], 0x807F0000), 1);
    EXPECT_EQ(read[1], 0xFF00FF00u);

    // Without resolutions the WIC bitmap keeps the default of a new one.
    const UINT32 pixel = Red;
    WIC::Bitmap plain(wicCreateBitmapFromMemory(1, 1, reinterpret_cast<const BYTE*>(&pixel)), true);
    EXPECT_DOUBLE_EQ(fromRgb.dpiX(), plain.dpiX());
    EXPECT_DOUBLE_EQ(fromRgb.dpiY(), plain.dpiY());
}

TEST_F(WicTest, DecoderListComesFromTheRegistry)
{
    int count = wicDecoderCount();
    ASSERT_GT(count, 0);
    expectCode(ErrorCode::InvalidArgument, [&] { wicDecoderClsid(count); });
    expectCode(ErrorCode::InvalidArgument, [] { wicDecoderClsid(-1); });
    bool jpegListed = false;
    for (int i = 0; i < count; ++i) {
        wstring clsid = wicDecoderClsid(i);
        EXPECT_TRUE(clsid.startsWith(L"{") && clsid.endsWith(L"}"));
        jpegListed = jpegListed || clsidFromString(clsid.buffer()) == CLSID_WICJpegDecoder;
    }
    EXPECT_TRUE(jpegListed);

    wstringArray extensions;
    extensions.add(L"stale");
    wicDecoderFileExtensions(CLSID_WICJpegDecoder, extensions);
    ASSERT_GT(extensions.count(), 0);
    EXPECT_GE(extensions.join(L",").toLower().find(L".jpg"), 0);
    wicDecoderFileExtensions(GUID_NULL, extensions);
    EXPECT_EQ(extensions.count(), 0);
}
