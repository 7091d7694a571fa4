#pragma once
#include <memory>
#include "foundation/Exception.h"
#include "foundation/wstring.h"
#include "mainwindow/MainWindowServices.h"
#include "mainwindow/PreviewPaneLoader.h"
#include "toolkit/ToolTip.h"
#include "toolkit/UserWindow.h"

class Dib;
class IImage;
class PPView;

// A top-level window showing one picture in a PPView (child 101): the file as stored (a source window) or as
// the current conversion settings would write it in one output format (a converted window). It sizes itself
// to the picture within View/PreviewInitWidth x View/PreviewInitHeight, takes its icon from the picture, can be
// made translucent, and answers keys: Esc closes, Space cycles the display mode, the arrows move the focus to
// the neighbouring preview window (with Shift: transparency), keypad + and - step through the frames. The
// manager creates it (PreviewManager::open) and keeps the object after the window has closed. A source window
// decodes its file on the worker pool and shows itself once the picture is there, so that the main window goes
// on answering meanwhile; a file that gives no picture closes it and is told of as a failed preview. Closed
// while its file decodes, it hands the decode to the manager for the next window of the file. A window that
// comes while the user has gone on elsewhere (another window active, a dialog of the program open) shows
// without taking the activation, behind that window and behind the program's dialog.
class PreviewWindow : public UserWindow {
public:
    // What a window asks of the one that keeps the preview windows (PreviewManager): the background swatch,
    // and the focus handed to a neighbouring window.
    class IOwner {
    public:
        // The swatch of a View/PreviewBack value; null for none.
        virtual const Dib* backgroundOf(int previewBack) const = 0;
        virtual void focusNeighbour(const PreviewWindow& window, bool next) = 0;
        // The program's main window, which owns the message boxes of the window's view; null for none.
        virtual HWND mainWindow() const = 0;
        // The source window's file gave no picture; the window has gone, and nothing of it runs any more.
        virtual void loadFailed() = 0;
        // The loader of a window closed while its file decodes, kept for the next window of the file until the
        // decode has ended.
        virtual void retire(const wstring& path, std::unique_ptr<PreviewPaneLoader> loader) = 0;

    protected:
        ~IOwner() = default;
    };

    // Thrown from the conversion when the user pressed Esc; carries the last error.
    class ConvertCanceledException : public Exception {
    public:
        explicit ConvertCanceledException(int lastError) : Exception(lastError) {}
    };

    static constexpr int ViewId = 101;
    // Posted to itself: widen (or heighten) the window by a scroll bar that the view shows, within the limit.
    static constexpr UINT FitWidthMessage = WM_USER + 1;
    static constexpr UINT FitHeightMessage = WM_USER + 2;
    // From the picture: a frame decoded in the background is in place.
    static constexpr UINT LoadedMessage = WM_APP + 1;
    // From the source window's loader: the picture has been read; wParam: the request's number.
    static constexpr UINT PictureArrivedMessage = WM_APP + 2;
    static constexpr int MaxTransparency = 90;

    // A source window.
    PreviewWindow(IOwner& manager, const MainWindowServices& services, const wstring& path);
    // A converted window: the picture in the output format of that index, whose name the title shows.
    PreviewWindow(IOwner& manager, const MainWindowServices& services, const wstring& path, int format,
                  const wstring& formatName);
    ~PreviewWindow() override;

    // The fitting and loading messages above.
    LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    bool onCreate(const CREATESTRUCTW& creation, bool& refuse) override;
    // The view passes its key presses, middle clicks and double clicks on to these.
    bool onKeyDown(UINT key, UINT repeat, UINT flags) override;
    bool onButtonDown(MouseButton button, const Point& client, UINT keys) override;
    bool onDoubleClick(MouseButton button, const Point& client, UINT keys) override;
    bool onSize(UINT kind, const Size& client) override;
    bool onSetFocus(HWND previous) override;
    bool onDestroy() override;
    bool onEraseBackground(HDC dc) override;

    const wstring& getPath() const { return path; }
    bool isConverted() const { return converted; }
    // Set when the window was not made because the user pressed Esc during the conversion.
    bool wasCancelled() const { return cancelled; }
    int getTransparency() const { return transparency; }
    PPView* getView() const { return view.get(); }

    // Before the window is made: the decode of its file that a closed window handed over, which it then waits
    // for instead of decoding the file again.
    void takeOverLoading(std::unique_ptr<PreviewPaneLoader> handed) { loader = std::move(handed); }
    // View/PreviewBack behind the picture: the manager's swatch, or none.
    void applyBackground();
    // Shows the window once it has its picture.
    void present();

    // The layered alpha of a transparency in percent.
    static BYTE alphaOf(int transparency);

private:
    bool created();
    void build();
    void startLoading();
    void pictureArrived(WPARAM request);
    void showBehind(HWND above);
    void place(std::unique_ptr<IImage> picture);
    int sourceDepth(IImage& picture) const;
    std::unique_ptr<IImage> convertedPicture();
    void makeIcon(IImage& picture);
    void makeIcon(const Dib& colours);
    void sizeToPicture(int width, int height);
    wstring title(int width, int height) const;
    void setInitialMode();
    void addHints();
    void applyTransparency();
    void keyDown(UINT key);
    void cycleMode();
    void fitToScrollBar(bool vertical);
    void destroyIcon();

    IOwner& manager;
    MainWindowServices services;
    const AppSetting& setting;
    wstring path;
    int format = 0;
    wstring formatName;
    bool converted = false;
    std::unique_ptr<PPView> view;
    // A source window's, until its picture has come.
    std::unique_ptr<PreviewPaneLoader> loader;
    // The window the user was in when the preview was asked for.
    HWND askedFrom = nullptr;
    ToolTip toolTip;
    int transparency = 0;
    HICON icon = nullptr;
    bool cancelled = false;
    int bitDepth = 0;
    // Bytes of the encoded output of a converted window; 0 for a source window.
    ULONGLONG encodedSize = 0;
};
