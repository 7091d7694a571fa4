#include <memory>
#include <thread>
#include "PictureFiles.h"
#include "imaging/GdipImageWithWIC.h"

namespace {

constexpr UINT DoneMessage = WM_APP + 1;
constexpr UINT32 PreviewColour = 0xFF00FF00u;

// A decoder of the file that, unlike the system's, offers a preview and reports progress. Taking a frame while
// a canceller is registered (the load thread's decode) waits at the gate and asks the canceller meanwhile.
class PreviewDecoder : public IWICBitmapDecoder, public WIC::IWICBitmapCodecProgressNotification {
public:
    PreviewDecoder(IWICBitmapDecoder* inner, IWICBitmapSource* preview, HANDLE gate, volatile LONG& progressCalls)
        : inner(inner), preview(preview), gate(gate), progressCalls(progressCalls)
    {
    }
    virtual ~PreviewDecoder() { inner->Release(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override
    {
        *result = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IWICBitmapDecoder))
            *result = static_cast<IWICBitmapDecoder*>(this);
        else if (IsEqualIID(iid, WIC::IID_IWICBitmapCodecProgressNotification))
            *result = static_cast<WIC::IWICBitmapCodecProgressNotification*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        ULONG left = InterlockedDecrement(&references);
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE RegisterProgressNotification(WIC::PFNProgressNotification function, void* data,
                                                           DWORD) override
    {
        callback = function;
        callbackData = data;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetFrame(UINT index, IWICBitmapFrameDecode** frame) override
    {
        while (callback && WaitForSingleObject(gate, 2) == WAIT_TIMEOUT) {
            InterlockedIncrement(&progressCalls);
            HRESULT answer = callback(callbackData, index, WIC::WICProgressOperationCopyPixels, 0.5);
            if (answer != S_OK)
                return answer;
        }
        return inner->GetFrame(index, frame);
    }
    HRESULT STDMETHODCALLTYPE GetPreview(IWICBitmapSource** result) override
    {
        *result = preview;
        if (!preview)
            return WINCODEC_ERR_UNSUPPORTEDOPERATION;
        preview->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetFrameCount(UINT* count) override { return inner->GetFrameCount(count); }
    HRESULT STDMETHODCALLTYPE GetContainerFormat(GUID* format) override { return inner->GetContainerFormat(format); }
    HRESULT STDMETHODCALLTYPE QueryCapability(IStream*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Initialize(IStream*, WICDecodeOptions) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDecoderInfo(IWICBitmapDecoderInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CopyPalette(IWICPalette*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMetadataQueryReader(IWICMetadataQueryReader**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetColorContexts(UINT, IWICColorContext**, UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetThumbnail(IWICBitmapSource**) override { return E_NOTIMPL; }

private:
    volatile LONG references = 1;
    IWICBitmapDecoder* inner;
    IWICBitmapSource* preview;
    HANDLE gate;
    volatile LONG& progressCalls;
    WIC::PFNProgressNotification callback = nullptr;
    void* callbackData = nullptr;
};

class PreviewSource : public IWicDecoderSource {
public:
    PreviewSource()
    {
        UINT32 green[4] = {PreviewColour, PreviewColour, PreviewColour, PreviewColour};
        preview = wicCreateBitmapFromMemory(2, 2, reinterpret_cast<const BYTE*>(green));
    }
    ~PreviewSource() override
    {
        preview->Release();
        CloseHandle(gate);
    }
    void openDecoder(const wstring& path, WIC::BitmapDecoder& decoder) override
    {
        ComPtr<IWICImagingFactory> factory(wicCreateFactory());
        IWICBitmapDecoder* inner = nullptr;
        Exception::check(factory->CreateDecoderFromFilename(path.buffer(), nullptr, GENERIC_READ,
                                                            WICDecodeMetadataCacheOnDemand, &inner));
        decoder.attach(new PreviewDecoder(inner, offerPreview ? preview : nullptr, gate, progressCalls));
    }

    HANDLE gate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    IWICBitmap* preview;
    bool offerPreview = true;
    volatile LONG progressCalls = 0;
};

class BackgroundDecoding : public WicTest {
protected:
    void SetUp() override
    {
        WicTest::SetUp();
        samples = writeSamples(folder);
        window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(window);
        WicTest::TearDown();
    }

    // The wParam of the next done message, -1 when none comes within the time.
    int nextMessage(DWORD milliseconds)
    {
        DWORD start = GetTickCount();
        MSG message;
        do {
            if (PeekMessageW(&message, window, DoneMessage, DoneMessage, PM_REMOVE))
                return static_cast<int>(message.wParam);
            Sleep(5);
        } while (GetTickCount() - start < milliseconds);
        return -1;
    }

    ScratchFolder folder{L"korvilane-background"};
    std::vector<SamplePicture> samples;
    HWND window = nullptr;
    PreviewSource source;
};

// The TIFF sample, of three frames: 24, 8 and 1 bits per pixel.
std::wstring tiffOf(const std::vector<SamplePicture>& samples)
{
    for (const SamplePicture& picture : samples)
        if (picture.frames == 3)
            return picture.path;
    return std::wstring();
}

void expectPreview(Gdiplus::Bitmap* shown)
{
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->GetWidth(), static_cast<UINT>(SampleWidth));
    EXPECT_EQ(shown->GetHeight(), static_cast<UINT>(SampleHeight));
    EXPECT_EQ(pixelAt(shown, 1, 1), PreviewColour);
}

void expectFullFrame(Gdiplus::Bitmap* shown)
{
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(pixelAt(shown, 1, 1), 0xFFFF0000u);
    EXPECT_EQ(pixelAt(shown, SampleWidth - 1, SampleHeight - 1), 0xFF0000FFu);
}

} // namespace

TEST_F(BackgroundDecoding, ThePreviewShowsAtOnceAndTheFullFrameFollows)
{
    std::wstring path = tiffOf(samples);
    GdipImageWithWIC image(source);
    ASSERT_TRUE(image.open(path.c_str(), 0, window, DoneMessage, true, false));
    EXPECT_EQ(image.width(), SampleWidth);
    EXPECT_EQ(image.height(), SampleHeight);
    EXPECT_EQ(image.frameCount(), 3);
    EXPECT_EQ(image.bitsPerPixel(), 24);
    BitmapPtr shown(image.cloneBitmap());
    expectPreview(shown.get());
    EXPECT_EQ(nextMessage(50), -1);

    SetEvent(source.gate);
    EXPECT_EQ(nextMessage(5000), 1);
    shown.reset(image.cloneBitmap());
    expectFullFrame(shown.get());
}

TEST_F(BackgroundDecoding, ReleasingOrDestroyingCancelsTheDecode)
{
    std::wstring path = tiffOf(samples);
    GdipImageWithWIC image(source);
    ASSERT_TRUE(image.open(path.c_str(), 0, window, DoneMessage, true, false));
    image.release();
    EXPECT_GT(source.progressCalls, 0);
    EXPECT_EQ(nextMessage(1000), 0);
    EXPECT_TRUE(image.isEmpty());
    EXPECT_EQ(image.width(), 0);
    EXPECT_EQ(image.frameCount(), 0);
    EXPECT_EQ(image.cloneBitmap(), nullptr);

    {
        GdipImageWithWIC doomed(source);
        ASSERT_TRUE(doomed.open(path.c_str(), 0, window, DoneMessage, true, false));
    }
    EXPECT_EQ(nextMessage(1000), 0);
}

TEST_F(BackgroundDecoding, SelectingAFrameCancelsTheRunningDecodeFirst)
{
    std::wstring path = tiffOf(samples);
    GdipImageWithWIC image(source);
    ASSERT_TRUE(image.open(path.c_str(), 0, window, DoneMessage, true, false));
    ASSERT_TRUE(image.selectFrame(1));
    EXPECT_EQ(nextMessage(1000), 0);
    EXPECT_EQ(image.bitsPerPixel(), 8);
    expectPreview(BitmapPtr(image.cloneBitmap()).get());

    SetEvent(source.gate);
    expectFullFrame(image.waitBitmap());
    // The new frame's decode had no window to tell.
    EXPECT_EQ(nextMessage(50), -1);
    EXPECT_FALSE(image.selectFrame(3));
    EXPECT_TRUE(image.isEmpty());
}

TEST_F(BackgroundDecoding, SavingAndCloningWaitForTheFullPicture)
{
    std::wstring path = tiffOf(samples);
    GdipImageWithWIC image(source);
    ASSERT_TRUE(image.open(path.c_str(), 0, window, DoneMessage, true, false));
    std::thread opener([&] {
        Sleep(100);
        SetEvent(source.gate);
    });
    std::wstring saved = folder.file(L"saved.bmp");
    EXPECT_TRUE(image.save(saved.c_str()));
    opener.join();
    BitmapPtr written(new Gdiplus::Bitmap(saved.c_str()));
    expectFullFrame(written.get());
    EXPECT_EQ(nextMessage(1000), 1);

    std::unique_ptr<IImage> copy(image.clone());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->frameCount(), 3);
    EXPECT_EQ(copy->width(), SampleWidth);
    expectFullFrame(BitmapPtr(static_cast<GdipImageWithWIC*>(copy.get())->cloneBitmap()).get());
    // A file that cannot be written is no success.
    EXPECT_FALSE(image.save(folder.file(L"no such folder\\saved.bmp").c_str()));
    image.release();
    copy.reset(image.clone());
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(copy->isEmpty());
}

TEST_F(BackgroundDecoding, PreviewOnlyKeepsThePreview)
{
    std::wstring path = tiffOf(samples);
    GdipImageWithWIC image(source);
    ASSERT_TRUE(image.open(path.c_str(), 2, nullptr, 0, false, true));
    expectPreview(image.waitBitmap());
    EXPECT_EQ(image.bitsPerPixel(), 1);
    EXPECT_EQ(source.progressCalls, 0);
}

TEST_F(BackgroundDecoding, WithoutAPreviewTheFrameIsDecodedAtOnce)
{
    source.offerPreview = false;
    std::wstring path = tiffOf(samples);
    GdipImageWithWIC image(source);
    ASSERT_TRUE(image.open(path.c_str(), 0, window, DoneMessage, true, false));
    expectFullFrame(image.waitBitmap());
    EXPECT_EQ(nextMessage(50), -1);

    // The system's decoders, which offer no preview under Wine; the depth is the file's, not GDI+'s.
    std::wstring deep = folder.file(L"48.png");
    GdipImageWithWIC real;
    ASSERT_TRUE(real.open(deep.c_str(), 0, window, DoneMessage, true, false));
    EXPECT_EQ(real.bitsPerPixel(), 48);
    EXPECT_EQ(nextMessage(50), -1);
    Dib canvas;
    ASSERT_TRUE(canvas.create(SampleWidth, SampleHeight, 24, RGB(0, 0, 0)));
    HDC dc = canvas.getDC();
    EXPECT_TRUE(real.draw(dc, 0, 0, SampleWidth, SampleHeight, 0, 0, SampleWidth, SampleHeight));
    EXPECT_EQ(GetPixel(dc, 1, 1), RGB(255, 0, 0));

    EXPECT_FALSE(real.open(deep.c_str(), 0, nullptr, DoneMessage, true, false));
    EXPECT_TRUE(real.isEmpty());
    EXPECT_FALSE(real.draw(dc, 0, 0, 1, 1, 0, 0, 1, 1));
    EXPECT_FALSE(real.open(deep.c_str(), 1, nullptr, 0, false, false));
    EXPECT_TRUE(real.isEmpty());
    EXPECT_FALSE(real.load(folder.file(L"missing.png").c_str()));
    EXPECT_FALSE(real.reload(0, nullptr, 0));
    canvas.releaseDC();
}
