#pragma once
#include <windows.h>
#include <new>

// The state of one of the program's own controls, kept in a window property named after its class: made at
// WM_CREATE, found by every later message, deleted at WM_DESTROY. State has a default constructor and a
// `window` member.

// Null before WM_CREATE and after WM_DESTROY.
template <typename State>
State* controlState(HWND window, const wchar_t* property)
{
    return static_cast<State*>(GetPropW(window, property));
}

// The answer to WM_CREATE: 0 with the state made and kept, -1 (no window is made) when either failed.
template <typename State>
LRESULT createControlState(HWND window, const wchar_t* property)
{
    auto* state = new (std::nothrow) State;
    if (!state)
        return -1;
    state->window = window;
    if (!SetPropW(window, property, state)) {
        delete state;
        return -1;
    }
    return 0;
}

template <typename State>
void destroyControlState(HWND window, const wchar_t* property)
{
    delete static_cast<State*>(RemovePropW(window, property));
}
