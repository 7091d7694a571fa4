#pragma once
#include <windows.h>

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
