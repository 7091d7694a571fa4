#include "imaging/GdipImageWithWIC.h"
#include <new>
#include <memory>
#include "foundation/Exception.h"
#include "imaging/BitmapGeometry.h"
#include "imaging/GdipImage.h"
#include "imaging/ICanceller.h"
#include "imaging/WicBitmapSource.h"
#include "imaging/gdipImageIO.h"
#include "imaging/wicDecode.h"

namespace {

void postDone(HWND window, UINT message, WPARAM complete)
{
    if (window)
        PostMessageW(window, message, complete, 0);
}

} // namespace

GdipImageWithWIC::GdipImageWithWIC() : GdipImageWithWIC(WicFileDecoderSource::shared())
{
}

GdipImageWithWIC::GdipImageWithWIC(IWicDecoderSource& source) : source(source)
{
}

GdipImageWithWIC::~GdipImageWithWIC()
{
    // The load thread works on the members: it has to be gone before any of them.
    loadThread.cancel();
    clear();
}

void GdipImageWithWIC::clear()
{
    delete picture;
    picture = nullptr;
    path = wstring();
    frameWidth = 0;
    frameHeight = 0;
    frameBits = 0;
    frames = 0;
    frameIndex = 0;
    window = nullptr;
    message = 0;
}

bool GdipImageWithWIC::holdsPicture() const
{
    return picture && picture->GetType() != Gdiplus::ImageTypeUnknown;
}

bool GdipImageWithWIC::open(const wchar_t* file, UINT index, HWND notified, UINT notifyMessage, bool notify,
                            bool previewOnly)
{
    release();
    if ((notify && !notified) || !file)
        return false;
    // Held throughout, so a load thread started here begins its work only once the object is complete.
    CriticalSectionLock hold(lock);
    try {
        return openLocked(file, index, notified, notifyMessage, previewOnly);
    } catch (const Exception&) {
        clear();
        return false;
    }
}

bool GdipImageWithWIC::openLocked(const wchar_t* file, UINT index, HWND notified, UINT notifyMessage,
                                  bool previewOnly)
{
    path = wstring(file);
    WIC::BitmapDecoder decoder;
    source.openDecoder(path, decoder);
    frames = decoder.frameCount();
    frameIndex = index;
    WIC::BitmapFrameDecode frame(decoder.frame(index), true);
    frameWidth = frame.width();
    frameHeight = frame.height();
    frameBits = frame.bitsPerPixel();
    std::unique_ptr<Gdiplus::Bitmap> preview(scaledPreview(decoder));
    if (!preview) {
        picture = wicToGdiplusBitmap(frame);
        return true;
    }
    picture = preview.release();
    if (previewOnly)
        return true;
    window = notified;
    message = notifyMessage;
    if (!loadThread.start(this)) {
        clear();
        return false;
    }
    return true;
}

Gdiplus::Bitmap* GdipImageWithWIC::scaledPreview(WIC::BitmapDecoder& decoder) const
{
    IWICBitmapSource* offered = nullptr;
    try {
        offered = decoder.preview();
    } catch (const Exception&) {
        return nullptr;
    }
    if (!offered)
        return nullptr;
    WIC::BitmapSource preview(offered, true);
    std::unique_ptr<Gdiplus::Bitmap> small(wicToGdiplusBitmap(preview));
    Gdiplus::Bitmap* scaled = resizeBitmap(small.get(), static_cast<int>(frameWidth), static_cast<int>(frameHeight),
                                           Gdiplus::InterpolationModeDefault);
    if (!scaled)
        throw Exception(ErrorCode::NoMemory);
    return scaled;
}

Gdiplus::Bitmap* GdipImageWithWIC::decodeFrame(const wstring& file, UINT index, ICanceller* canceller)
{
    WIC::BitmapDecoder decoder;
    source.openDecoder(file, decoder);
    if (canceller)
        decoder.setCanceller(canceller);
    WIC::BitmapFrameDecode frame(decoder.frame(index), true);
    // Only taking the frame reports progress; what follows runs to its end once begun.
    decoder.clearCanceller();
    return wicToGdiplusBitmap(frame);
}

DWORD GdipImageWithWIC::LoadThread::Run(void* argument)
{
    auto owner = static_cast<GdipImageWithWIC*>(argument);
    if (FAILED(CoInitialize(nullptr))) {
        owner->failBackgroundDecode();
        return 0;
    }
    // Cancelling is clearing the thread's run flag.
    class Canceller : public ICanceller {
    public:
        explicit Canceller(const LoadThread* thread) : thread(thread) {}
        bool isCancelled() override { return !thread->isRunning(); }

    private:
        const LoadThread* thread;
    } canceller(this);
    try {
        wstring file;
        UINT index = 0;
        {
            CriticalSectionLock hold(owner->lock);
            file = wstring(owner->path.buffer());
            index = owner->frameIndex;
        }
        owner->finishBackgroundDecode(owner->decodeFrame(file, index, &canceller));
    } catch (...) {
        // Whatever stopped the decode, the thread must end in an orderly way and tell the window.
        owner->failBackgroundDecode();
    }
    CoUninitialize();
    return 0;
}

void GdipImageWithWIC::finishBackgroundDecode(Gdiplus::Bitmap* bitmap)
{
    CriticalSectionLock hold(lock);
    delete picture;
    picture = bitmap;
    postDone(window, message, 1);
}

void GdipImageWithWIC::failBackgroundDecode()
{
    CriticalSectionLock hold(lock);
    HWND notified = window;
    UINT notifyMessage = message;
    clear();
    postDone(notified, notifyMessage, 0);
}

bool GdipImageWithWIC::reload(UINT index, HWND notified, UINT notifyMessage)
{
    try {
        // Taken before the cancel: a cancelled decode empties the object, the path included.
        wstring file;
        {
            CriticalSectionLock hold(lock);
            file = wstring(path.buffer());
        }
        loadThread.cancel();
        if (file.isEmpty())
            return false;
        return open(file.buffer(), index, notified, notifyMessage, notified != nullptr, false);
    } catch (const Exception&) {
        return false;
    }
}

Gdiplus::Bitmap* GdipImageWithWIC::waitBitmap()
{
    loadThread.wait();
    CriticalSectionLock hold(lock);
    return picture;
}

Gdiplus::Bitmap* GdipImageWithWIC::cloneBitmap()
{
    CriticalSectionLock hold(lock);
    if (!picture)
        return nullptr;
    std::unique_ptr<Gdiplus::Bitmap> copy(picture->Clone());
    if (!copy || copy->GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    return copy.release();
}

void GdipImageWithWIC::release()
{
    loadThread.cancel();
    CriticalSectionLock hold(lock);
    clear();
}

bool GdipImageWithWIC::draw(HDC dc, int x, int y, int width, int height, int sourceX, int sourceY,
                            int sourceWidth, int sourceHeight)
{
    CriticalSectionLock hold(lock);
    if (!picture)
        return false;
    return drawImage(dc, picture, x, y, width, height, sourceX, sourceY, sourceWidth, sourceHeight);
}

bool GdipImageWithWIC::load(const wchar_t* file)
{
    return open(file, 0, nullptr, 0, false, false);
}

bool GdipImageWithWIC::save(const wchar_t* file)
{
    loadThread.wait();
    CriticalSectionLock hold(lock);
    if (!file || !picture)
        return false;
    return gdipSaveToFile(file, L"image/bmp", picture, nullptr);
}

bool GdipImageWithWIC::selectFrame(int index)
{
    return reload(static_cast<UINT>(index), nullptr, 0);
}

IImage* GdipImageWithWIC::clone()
{
    loadThread.wait();
    std::unique_ptr<GdipImageWithWIC> copy(new (std::nothrow) GdipImageWithWIC(source));
    if (!copy)
        return keepClone(nullptr, false);
    CriticalSectionLock hold(lock);
    bool holding = holdsPicture();
    if (!holding)
        return keepClone(copy.release(), false);
    copy->picture = cloneBitmap();
    if (!copy->picture)
        return keepClone(copy.release(), true);
    try {
        copy->path = wstring(path.buffer());
    } catch (const Exception&) {
        return keepClone(nullptr, true);
    }
    copy->frameWidth = frameWidth;
    copy->frameHeight = frameHeight;
    copy->frameBits = frameBits;
    copy->frames = frames;
    copy->frameIndex = frameIndex;
    return keepClone(copy.release(), true);
}

bool GdipImageWithWIC::isEmpty()
{
    CriticalSectionLock hold(lock);
    return !holdsPicture();
}

int GdipImageWithWIC::width()
{
    CriticalSectionLock hold(lock);
    return static_cast<int>(frameWidth);
}

int GdipImageWithWIC::height()
{
    CriticalSectionLock hold(lock);
    return static_cast<int>(frameHeight);
}

int GdipImageWithWIC::bitsPerPixel()
{
    CriticalSectionLock hold(lock);
    return static_cast<int>(frameBits);
}

int GdipImageWithWIC::frameCount()
{
    CriticalSectionLock hold(lock);
    return static_cast<int>(frames);
}
