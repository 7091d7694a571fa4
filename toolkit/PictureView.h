#pragma once
#include <memory>
#include "toolkit/Control.h"

class IImage;
class WorkerPool;
struct SharedPicture;

// The program's own "PictureView" control: one picture over a background colour or a tiled background
// picture, drawn double-buffered (no flicker, no background erasing) in one of five modes:
//   0 actual size, with scroll bars, dragging, the wheel and the page keys when the picture is larger;
//   1 stretched to the client area;
//   2 fitted into the client area keeping the aspect ratio, at the top left;
//   3 fitted as 2, centred;
//   4 fitted as 3, but a picture that fits already keeps its own size.
// The state lives in a record in the window property "PictureView" (message 1125 returns it); the messages
// below work on any window of the class, the wrapper only sends them. Pictures handed to the control belong
// to it from then on: it deletes them when they are replaced, released or the window is destroyed. A picture
// that the mode scales is drawn on the worker pool lent to the view (SetWorkersMessage), at the view's size,
// whenever the picture, the mode, the background or the size changes; paints copy that drawing, and show the
// one before, stretched, until it has come. A view without a pool draws on the window's thread. The window's
// thread uses the picture only through HeldImage.
class PictureView : public Control {
public:
    // Messages of the control. The setters answer 0; the getters answer the value.
    static constexpr UINT SetImageMessage = WM_USER + 11;        // lParam: IImage* (taken over)
    static constexpr UINT SetBackgroundMessage = WM_USER + 12;   // lParam: IImage* (taken over)
    static constexpr UINT SetBackColorMessage = WM_USER + 13;    // wParam: COLORREF, or -1: the window colour
    static constexpr UINT SetDrawModeMessage = WM_USER + 14;     // wParam: 0-4
    static constexpr UINT GetImageMessage = WM_USER + 21;        // IImage*, null when none
    static constexpr UINT GetBackgroundMessage = WM_USER + 22;   // IImage*, null when none
    static constexpr UINT GetBackColorMessage = WM_USER + 23;    // COLORREF or -1
    static constexpr UINT GetDrawModeMessage = WM_USER + 24;     // 0-4
    static constexpr UINT ReleaseImageMessage = WM_USER + 31;    // deletes the picture
    static constexpr UINT ReleaseBackgroundMessage = WM_USER + 32;
    static constexpr UINT PictureChangedMessage = WM_USER + 33; // its frame or pixels: it is drawn again
    static constexpr UINT SetWorkersMessage = WM_USER + 34;     // lParam: WorkerPool*, lent for the view's life
    static constexpr UINT GetPropertiesMessage = WM_USER + 101;

    enum DrawMode { ActualSize = 0, Stretch = 1, FitTopLeft = 2, FitCentred = 3, FitCentredNoEnlarge = 4 };

    struct ControlProperties;

    // The picture, kept from the view's drawing thread while this lives, for the window's thread to use;
    // null when the view has none. Waits for a drawing of it under way.
    class HeldImage {
    public:
        explicit HeldImage(const PictureView& view) : HeldImage(view.getHandle()) {}
        // Of any window of the class.
        explicit HeldImage(HWND view);
        HeldImage(const HeldImage&) = delete;
        HeldImage& operator=(const HeldImage&) = delete;
        ~HeldImage();
        IImage* get() const;

    private:
        std::shared_ptr<SharedPicture> held;
    };

    // Registers the class once per process; failure throws Exception with the system's error.
    static void registerClass();

    void create(HWND parent, int id, const Rect& rect, DWORD exStyle, DWORD style) override;
    HWND attach(HWND window) override;

    // Every operation throws Exception 1400 when no window is bound. A null picture throws Exception 87; a
    // picture that could not be handed over (an exception) stays the caller's.
    void setImage(IImage* image);
    void setBackgroundImage(IImage* image);
    void setDrawMode(int mode);
    IImage* getImage() const;
    bool hasImage() const { return getImage() != nullptr; }
    int getDrawMode() const;
    void releaseImage();
    // The pool that scales the picture from now on; it outlives the window.
    void setWorkers(WorkerPool& workers);
    // After the picture's frame or pixels changed.
    void redrawImage();
    // Whether a paint now shows the view as it is, not an older drawing of it (or the background alone) while the
    // newest is drawn.
    bool showsNewest() const { return showsNewest(getHandle()); }
    // The same of any window; true for one that is no picture view.
    static bool showsNewest(HWND window);

protected:
    // Told after the picture or the background was set, and after the picture was released.
    virtual void onImageSet(HWND, IImage*) {}
    virtual void onBackgroundSet(HWND, IImage*) {}
    virtual void onImageReleased(HWND) {}

private:
    static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
};
