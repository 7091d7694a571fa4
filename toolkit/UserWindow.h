#pragma once
#include "foundation/IntArray.h"
#include "toolkit/Window.h"

// Registers the class; one registered before, by this or another part of the program, counts as registered.
// 0 with the system's error when neither.
ATOM registerOrFindClass(const WNDCLASSEXW& windowClass);

// A window class of the program, served by the shared window procedure that routes messages to the
// UserWindow objects. Classes are never unregistered.
class WindowClass {
public:
    WindowClass() = default;
    WindowClass(const WindowClass&) = delete;
    WindowClass& operator=(const WindowClass&) = delete;
    virtual ~WindowClass() = default;

    // Registers the class with the icons of the module (null: the program's own; id 0: the system's
    // application icon). A class that is already registered counts as registered. Failure empties the
    // name and throws Exception with the system's error.
    ATOM registerClass(const wchar_t* className, HMODULE module, UINT iconId, UINT smallIconId);
    // Empty until a registration succeeded.
    const wstring& getName() const { return name; }

private:
    wstring name;
};

class UserWindowClass {
public:
    virtual ~UserWindowClass() = default;
    WindowClass windowClass;
};

// A window of a class that the program registers and creates itself. The object owns its window: the
// destructor destroys it. At WM_CREATE the handler sees the creation parameter as the CREATESTRUCT's
// lpCreateParams; a result of -1 aborts the creation.
class UserWindow : public Window {
public:
    UserWindow() = default;
    ~UserWindow() override;

    // Exception 1 when the object already has a window; a failed creation clears the creation parameter and
    // throws Exception 1400.
    HWND create(DWORD exStyle, const UserWindowClass& windowClass, const wchar_t* title, DWORD style, int x,
                int y, int width, int height, HWND parent, HMENU menu, void* createParam);
    void* getCreateParam() const { return createParam; }

    LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    bool onGetMinMaxInfo(MINMAXINFO& info) override;

    static LRESULT CALLBACK windowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    LRESULT dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    void* createParam = nullptr;
};

// The top-level window whose end ends the message loop.
class MainWindow : public UserWindow {
public:
    LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    // Hot keys registered on the window, unregistered when it is destroyed.
    IntArray hotKeys;
};
