#pragma once
#include <windows.h>
#include <new>
#include "foundation/Exception.h"

// What the program's own control classes ("ShlListView", "ExplorerBrowser", ...) share: a class whose
// procedure keeps the control's state in a window property, and subclassing of a system window that finds
// its object through a property of its own.

// Registers a class of the program's own controls: the program's module, the arrow cursor, no icon or menu,
// and by default no background (the inner windows paint everything). A class registered before, by this or
// another part of the program, counts as registered; another failure throws Exception with the system's error.
ATOM registerControlClass(const wchar_t* className, WNDPROC procedure, UINT style = 0, HBRUSH background = nullptr);

// For a control whose window holds one inner child that fills it: resizing, focus and enabling go on to the
// child. True when the message was one of those (the procedure then returns 0).
bool passToInnerChild(HWND window, int innerId, UINT message, LPARAM lParam, WPARAM wParam);

// Stores the object in the window's property and routes the window's messages to the procedure; returns the
// procedure that was there. A failure leaves the window as it was and throws Exception with the system's
// error.
WNDPROC subclassWithProperty(HWND window, const wchar_t* property, void* object, WNDPROC procedure);
// Takes the property away and puts the procedure back, when the window still exists.
void restoreSubclassed(HWND window, const wchar_t* property, WNDPROC previous);

// Keeps the reason why a class procedure's WM_CREATE refused the window, for createRefusable on this thread,
// and returns the refusal, -1.
LRESULT refuseCreation(int reason);
// The reason kept by the last refusal on this thread (0 when none), which is then forgotten.
int takeCreationRefusal();

// WM_CREATE of a class procedure that builds the control's state: the builder's answer, or -1 with the reason
// kept when it throws an Exception or runs out of memory (error 8), neither of which may cross into the
// system's window creation.
template <typename Build>
LRESULT buildOnCreate(Build build) noexcept
{
    try {
        return build();
    } catch (const Exception& failure) {
        return refuseCreation(failure.getCode());
    } catch (const std::bad_alloc&) {
        return refuseCreation(ErrorCode::NoMemory);
    }
}

// Creates the control's window with `create`; when its WM_CREATE refused it for a reason, throws that reason
// instead of the bare Exception 1400 of a window that was not made.
template <typename Create>
void createRefusable(Create create)
{
    takeCreationRefusal();
    try {
        create();
    } catch (const Exception& failure) {
        int reason = takeCreationRefusal();
        if (failure.getCode() != ErrorCode::WindowGone || !reason)
            throw;
        throw Exception(reason);
    }
}
