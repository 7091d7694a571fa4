#pragma once
#include <windows.h>
#include <exception>
#include "foundation/Exception.h"
#include "foundation/Point.h"
#include "foundation/Rect.h"
#include "foundation/wstring.h"
#include "toolkit/MessageCracker.h"

// One object for one window handle. The object does not own the window unless a derived class says so; it
// is found from the handle through the window's user data while it is bound. Every operation except
// getHandle throws Exception 1400 when the handle is no longer a window. The common messages reach the typed
// handlers of MessageCracker first; what those leave goes to handleMessage.
class Window : public MessageCracker {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window() = default;

    // DestroyWindow when the handle is a window; the handle is null afterwards in every case. Returns the
    // DestroyWindow result, 0 when there was no window.
    virtual BOOL destroy();
    // The program's own messages and those that no typed handler took.
    virtual LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // Commands are ignored and exceptions that reach a window procedure are dropped unless a window says
    // otherwise.
    virtual void onCommand(HWND, int /*id*/, int /*code*/) {}
    virtual void onStdException(const std::exception&) {}
    virtual void onException(const Exception&) {}

    DWORD getStyle() const;
    void modifyStyle(DWORD remove, DWORD add);
    void setExStyle(DWORD remove, DWORD add);
    // Failure throws Exception with the system's error.
    void setText(const wstring& text);
    wstring getText() const;
    void setBounds(int x, int y, int width, int height);
    void setPosition(int x, int y);
    void setSize(int width, int height);
    void setFocus();
    void invalidate(bool erase = true);
    void show(bool visible);
    void show(int command);
    void hide() { show(false); }
    void enable(bool enabled);
    bool isVisible() const;
    bool isEnabled() const;
    // A missing item also throws Exception 1400.
    HWND getDlgItem(int id) const;
    LRESULT sendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    // Always with an lParam of 0; failure throws Exception with the system's error.
    void postMessage(UINT message, WPARAM wParam = 0);
    Rect getWindowRect() const;
    Rect getClientRect() const;
    Point screenToClient(const Point& point) const;
    // The picture of the title bar and of the task switcher, large and small alike; the icon stays the
    // caller's.
    void setIcon(HICON icon);
    // The handle while it is a window, else null. Never throws.
    HWND getHandle() const;

protected:
    // The handle, or Exception 1400 when it is not a window.
    HWND liveHandle() const;
    // WM_COMMAND as every window procedure of the toolkit passes it on: onCommand, then handleMessage.
    LRESULT routeCommand(HWND window, WPARAM wParam, LPARAM lParam);
    // What a window procedure answers: the typed handler's answer when one handled the message, else
    // handleMessage's.
    LRESULT answer(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // The same for a dialog procedure: a handled message answers TRUE and leaves its answer as the dialog's
    // message result (DWLP_MSGRESULT), except the messages whose answer the dialog procedure returns itself.
    INT_PTR answerDialog(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // answer or answerDialog with its exceptions kept (see routeExceptions); failureResult after one. For
    // the messages after which a procedure must unbind the object whatever the handler did.
    LRESULT answerGuarded(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT failureResult);
    INT_PTR answerDialogGuarded(HWND window, UINT message, WPARAM wParam, LPARAM lParam, INT_PTR failureResult);

    HWND hwnd = nullptr;
};

// The point of a mouse message: sign-extended low and high words.
Point pointFromLParam(LPARAM lParam);
// The point of a mouse message in screen coordinates; unconverted when the window is gone.
Point clientToScreen(HWND hwnd, LPARAM lParam);
Point clientToScreen(HWND hwnd, const Point& client);
// WM_COMMAND as a menu or accelerator (no control) or a control of the window sends it.
LRESULT sendCommand(HWND window, int id, int code = 0, HWND control = nullptr);
// The same posted: the command runs once the message being handled has been dealt with. False when it could
// not be posted.
bool postCommand(HWND window, int id);
// WM_COMMAND from a control to its parent, with the control's id.
LRESULT notifyParent(HWND control, int code);
// WM_MENUSELECT with the values onMenuSelect got: a window hands its menus' status help to another.
LRESULT sendMenuSelect(HWND window, UINT item, UINT flags, HMENU menu);
// A press of the left button on the window's caption at the screen point: the window follows the mouse until
// the button is let go.
LRESULT dragByCaption(HWND window, const Point& screen);
// Where the mouse was, in screen coordinates, when the message being handled was posted.
Point messagePosition();
// The first child (at any depth) whose class name equals the name regardless of case; null when there is
// none, also for a parent without children. A class name that cannot be read throws Exception with the
// system's error.
HWND findChildByClass(HWND parent, const wchar_t* className);

// Runs a message handler of a window's object and keeps every exception inside the window procedure, since
// the system's dispatch code between it and the message loop cannot be unwound. An Exception goes to the
// object's onException, a std::exception to onStdException; anything else, and whatever those slots throw
// in turn, is dropped. Returns the handler's result, or failureResult after an exception.
template <typename Handler>
LRESULT routeExceptions(Window* object, LRESULT failureResult, Handler handler) noexcept
{
    try {
        return handler();
    } catch (const Exception& exception) {
        try {
            if (object)
                object->onException(exception);
        } catch (...) {
        }
    } catch (const std::exception& exception) {
        try {
            if (object)
                object->onStdException(exception);
        } catch (...) {
        }
    } catch (...) {
    }
    return failureResult;
}

// The object kept in a window's user data; null when none is bound.
template <typename Object>
Object* boundObject(HWND hwnd)
{
    return reinterpret_cast<Object*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

inline void bindObject(HWND hwnd, void* object)
{
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
}

// The answer of a dialog's message that its dialog procedure returns TRUE for.
inline void setDialogResult(HWND dialog, LRESULT result)
{
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, result);
}

// Program windows cannot be dragged smaller than 100 x 100 pixels: the answer to WM_GETMINMAXINFO.
void limitTrackingSize(MINMAXINFO& info);

// What the window and control procedures answer for a window without an object.
LRESULT answerUnbound(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
