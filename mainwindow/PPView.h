#pragma once
#include <memory>
#include "foundation/Point.h"
#include "imaging/AnimeGifTimer.h"
#include "mainwindow/MainWindowServices.h"
#include "mainwindow/mainCommandIds.h"
#include "toolkit/PictureView.h"
#include "toolkit/PrintDocument.h"
#include "toolkit/SimplePrintDialog.h"

class Dib;
class Exception;

// The picture view of the main window's preview pane and of every preview window: a PictureView with a
// context menu (display mode, colour pick and picture copy to the clipboard, printing, frame stepping and
// animation), printing through PrintDocument, and dragging that moves the window when the picture does not
// scroll.
//
// How the main window hosts its pane:
//   - PictureView::registerClass() once; the splitter creates the pane (create, any id) as a child; the main
//     window subclasses it (subclass()), then sends StartMessage once and WM_COMMAND ModeFit.
//   - Pictures: setImage(loadImage(path, false, mainWindow, 0)) (the pane owns the picture; a throw leaves it
//     the caller's), clear with PictureView::ReleaseImageMessage, modes with PictureView::SetDrawModeMessage
//     (0 actual size, 1 stretch, 3 stretch keeping the aspect) and GetDrawModeMessage, the background with
//     setBackgroundSwatch.
//   - The pane sends its top-level window: OpenPreviewMessage (mainWindowMessages.h) on a double click (open
//     a preview window of the shown picture), its context menu's WM_MENUSELECT (status help), WM_COMMAND
//     PositionLeft .. PositionBottom (where the pane lies beside the list) and WM_NCLBUTTONDOWN HTCAPTION when
//     the picture is dragged outside actual size (the window moves).
// Inside a preview window it passes its key presses, middle clicks and double clicks to that window's handlers.
class PPView : public PictureView, public PrintDocument {
public:
    // Sent once by the owner after creation and subclassing; from then on the services' worker pool scales the
    // view's pictures.
    static constexpr UINT StartMessage = WM_APP + 101;
    // Posted by the animation timer: show the next frame.
    static constexpr UINT AnimationStepMessage = AnimeGifTimer::FrameMessage;
    // From a picture's decoder thread: the frame asked for is in place.
    static constexpr UINT FrameDecodedMessage = WM_APP + 3;

    // Commands of the context menu. The draw modes and the positions are the main window's commands too.
    enum Command {
        ModeActualSize = IDM_PREVIEW_ACTUAL_SIZE,
        ModeStretch = IDM_PREVIEW_STRETCH,
        ModeFit = IDM_PREVIEW_FIT,
        CopyColourHex = IDM_COPY_COLOUR_HEX,
        CopyColourDecimal = IDM_COPY_COLOUR_DECIMAL,
        CopyPicture = IDM_COPY_PICTURE,
        Print = IDM_PRINT,
        NextFrame = IDM_NEXT_FRAME,
        PreviousFrame = IDM_PREVIOUS_FRAME,
        PlayAnimation = IDM_PLAY_ANIMATION,
        StopAnimation = IDM_STOP_ANIMATION,
        PositionLeft = IDM_PREVIEW_LEFT,
        PositionTop = IDM_PREVIEW_TOP,
        PositionRight = IDM_PREVIEW_RIGHT,
        PositionBottom = IDM_PREVIEW_BOTTOM,
    };
    // The notification code of a frame step that wraps from the last frame to the first.
    static constexpr int FromTimer = 1;

    // The pane of the main window. Both ask the system for its default printer once; a machine without one
    // still shows pictures.
    explicit PPView(const MainWindowServices& services);
    // The view of a preview window, whose message boxes lie over the program's main window (may be null).
    PPView(const MainWindowServices& services, Window& previewWindow, HWND mainWindow);
    ~PPView() override;

    // StartMessage, the picture's and the animation's messages.
    LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    void onCommand(HWND hwnd, int id, int code) override;
    bool onDestroy() override;
    bool onPaint() override;
    bool onSetCursor(HWND pointed, UINT hitTest, UINT mouseMessage, bool& halt) override;
    bool onContextMenu(HWND clicked, const Point& screen, bool fromKeyboard) override;
    bool onMenuSelect(UINT item, UINT flags, HMENU menu) override;
    bool onKeyDown(UINT key, UINT repeat, UINT flags) override;
    bool onButtonDown(MouseButton button, const Point& client, UINT keys) override;
    bool onDoubleClick(MouseButton button, const Point& client, UINT keys) override;

    // A copy of the swatch tiled behind the picture; null: no background.
    void setBackgroundSwatch(const Dib* swatch);
    // The context menu as it shows now; the caller destroys it.
    HMENU makeContextMenu();
    int frameCount() const;
    int getCurrentFrame() const { return currentFrame; }
    bool isAnimating() const;
    // While a print job of any view runs.
    bool isPrinting() const;

protected:
    // The user value is the Dib to print.
    void onPrintPage(HDC printer, int page, INT_PTR userValue) override;

private:
    class PrintingScope;

    LRESULT start(HWND hwnd);
    void pictureChanged();
    bool dragWindow(const Point& client);
    void showContextMenu(const Point& screen, bool fromKeyboard);
    void appendPositionMenu(HMENU menu);
    int positionCommand() const;
    void copyColour(bool hexadecimal);
    void copyPicture();
    void print();
    void printShownPicture();
    void stepFrame(bool next, bool fromTimer);
    void toggleAnimation();
    bool canAnimate() const;
    bool inMainWindow() const { return previewWindow == nullptr; }
    // The program's main window: the pane's own top-level window, or the one the preview window was given.
    HWND mainWindow() const;
    void showError(const Exception& error);

    MainWindowServices services;
    bool repaintWithWaitCursor = false;
    SimplePrintDialog printSettings;
    int currentFrame = 0;
    HIMC previousInputContext = nullptr;
    std::unique_ptr<AnimeGifTimer> timer;
    Point menuPoint;
    // The preview window the view lies in; null for the pane of the main window.
    Window* previewWindow = nullptr;
    HWND givenMainWindow = nullptr;
};

// Prints the picture at the top left of the page at its size on the screen (the printer's resolution over
// the screen's), made smaller to fit the printable width and then the printable height.
void drawPictureOnPage(HDC page, const Dib& picture);
