#pragma once
#include "toolkit/Window.h"

// A child control of a system or program class. The object binds an existing window (attach) or makes one
// (create); messages reach it only after subclass. It never destroys the window: the destructor only puts
// the window's own procedure back.
class Control : public Window {
public:
    Control() = default;
    ~Control() override;

    // Makes a visible child window of the control's class (rect holds x, y, width and height).
    virtual void create(HWND parent, int id, const Rect& rect, DWORD exStyle, DWORD style) = 0;
    // Binds a window of the control's class, or nothing when hwnd is null; a window of another class throws
    // Exception 87. Returns the window bound before.
    virtual HWND attach(HWND window) = 0;

    // Routes the bound window's messages to this object; nothing when that is already so. Exception 1400
    // when no window is bound.
    void subclass();
    // The same for a window of the system that keeps its own state in its user data (the shell's item
    // views): the object is found through a window property instead. Failure throws Exception with the
    // system's error.
    void subclassKeepingUserData();
    bool isSubclassed() const { return previousProcedure != nullptr; }
    // A bar that lies along its parent's edge (status bar, rebar, toolbar) lays itself out again for the
    // parent's new client size, as the parent's own WM_SIZE gives it.
    void fitToParent(int width, int height) { sendMessage(WM_SIZE, 0, MAKELPARAM(width, height)); }

    // Everything goes to the window's own procedure.
    LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    // Exception 1 over a live window, 87 without a parent, 1400 when the window cannot be made.
    void createControl(const wchar_t* className, HWND parent, int id, const Rect& rect, DWORD exStyle,
                       DWORD style, bool visibleChild);
    // The two halves of createControl for controls that the system makes by a function of its own: the
    // checks before (Exception 1 over a live window, unbinding, 87 without a parent), and binding the window
    // made (null throws 1400).
    void prepareCreate(HWND parent);
    void bindCreated(HWND created);
    // Unbinds (putting the window's procedure back), then binds hwnd when given; with a class name the
    // window's class must match it exactly.
    HWND attachControl(const wchar_t* className, HWND window);
    // A key press handed to the window's own procedure as another key, for a control that changes what its
    // keys do; repeat and flags as onKeyDown got them.
    LRESULT passKeyDown(UINT key, UINT repeat, UINT flags);

private:
    static LRESULT CALLBACK controlProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK propertyProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT serve(Control* object, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT destroyed(HWND window, WPARAM wParam, LPARAM lParam);
    void unbind(HWND window);

    WNDPROC previousProcedure = nullptr;
    // Set while the object is found through the window property rather than the user data.
    bool boundByProperty = false;
    // Set when the object's handler has passed WM_DESTROY on to the window's own procedure.
    bool destroyPassedOn = false;
};

// A control bound to windows of one system class: the concrete controls only add their operations.
template <const wchar_t* ClassName>
class ClassControl : public Control {
public:
    void create(HWND parent, int id, const Rect& rect, DWORD exStyle, DWORD style) override
    {
        createControl(ClassName, parent, id, rect, exStyle, style, true);
    }
    HWND attach(HWND window) override { return attachControl(ClassName, window); }
    static constexpr const wchar_t* className() { return ClassName; }
};
