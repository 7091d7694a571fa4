#pragma once
#include <windows.h>
#include <gdiplus.h>
#include "foundation/CriticalSection.h"
#include "foundation/SafeThread.h"
#include "foundation/wstring.h"
#include "imaging/IImage.h"
#include "imaging/WicDecoderSource.h"

class ICanceller;
namespace WIC {
class BitmapSource;
}

// A picture that GDI+ cannot open and WIC can. When the decoder offers a preview, the preview is shown at once,
// scaled to the frame's size, while a load thread of the object decodes the real frame; when that is done the
// picture is swapped in and the caller's message is posted to the caller's window: wParam 1 when the full
// picture is in place, 0 when the decode failed or was cancelled and the object has been emptied. A decoder
// without a preview is decoded at once, and no message is posted. Drawing and the questions are safe from the
// user-interface thread while the load thread runs; the object is opened, released and destroyed by one thread at
// a time (a loader's thread may open it and hand it over).
class GdipImageWithWIC : public IImage {
public:
    // Decoders from the files.
    GdipImageWithWIC();
    // Decoders from the source, which is borrowed and must outlive the object and its clones.
    explicit GdipImageWithWIC(IWicDecoderSource& source);
    ~GdipImageWithWIC() override;

    // Frame `frameIndex` of the file; true when a picture is held. With notify set a window is required. In
    // preview-only mode a decoder's preview stays the picture and no thread runs.
    bool open(const wchar_t* path, UINT frameIndex, HWND window, UINT message, bool notify, bool previewOnly);
    // Another frame of the open file; a window given is notified as by open.
    bool reload(UINT frameIndex, HWND window, UINT message);
    // Waits for a running decode to finish; the picture stays the object's (null when none).
    Gdiplus::Bitmap* waitBitmap();
    // A copy of the picture as it is now, the caller's; null when there is none or it cannot be copied.
    Gdiplus::Bitmap* cloneBitmap();

    // Stops a running decode, then empties the object.
    void release() override;
    bool draw(HDC dc, int x, int y, int width, int height, int sourceX, int sourceY, int sourceWidth,
              int sourceHeight) override;
    bool load(const wchar_t* path) override;
    // Waits for a running decode; true only when the BMP file was written.
    bool save(const wchar_t* path) override;
    bool selectFrame(int index) override;
    // Waits for a running decode. The copy has no window to notify.
    IImage* clone() override;
    bool isEmpty() override;
    // The frame's size and the depth of its WIC pixel format, not of the GDI+ picture.
    int width() override;
    int height() override;
    int bitsPerPixel() override;
    int frameCount() override;

private:
    class LoadThread : public SafeThread {
    public:
        ~LoadThread() override { stopThread(); }
        // Asks a running decode to stop and waits for it.
        void cancel() { join(true); }
        // Lets a running decode finish.
        void wait() { join(false); }

    protected:
        DWORD Run(void* owner) override;
    };

    // Deletes the picture and resets everything but the thread, the lock and the source.
    void clear();
    // Under the lock: empties the object after a failed background decode and tells the window.
    void failBackgroundDecode();
    void finishBackgroundDecode(Gdiplus::Bitmap* bitmap);
    Gdiplus::Bitmap* decodeFrame(const wstring& file, UINT index, ICanceller* canceller);
    bool openLocked(const wchar_t* file, UINT index, HWND notified, UINT notifyMessage, bool previewOnly);
    // The preview scaled to the frame's size, or null when the decoder offers none.
    Gdiplus::Bitmap* scaledPreview(WIC::BitmapDecoder& decoder) const;
    bool holdsPicture() const;

    LoadThread loadThread;
    CriticalSection lock;
    IWicDecoderSource& source;
    // Empty when nothing is open.
    wstring path;
    Gdiplus::Bitmap* picture = nullptr;
    UINT frameWidth = 0;
    UINT frameHeight = 0;
    UINT frameBits = 0;
    UINT frames = 0;
    UINT frameIndex = 0;
    HWND window = nullptr;
    UINT message = 0;
};
