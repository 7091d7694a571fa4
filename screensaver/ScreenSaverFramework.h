#pragma once
#include <windows.h>

// The screen-saver side of the platform's contract: how the system starts a saver ("/s" to run, "/p <window>"
// for the small preview, "/c" to configure, "/a" to change the password) and how the saver window behaves. The
// saver program supplies the three functions below; the framework owns the command line, the window and its
// ending on user input.

// The saver window's procedure; whatever it does not handle goes to DefScreenSaverProc.
LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The procedure of the configure dialog, resource 2003 of the program.
INT_PTR CALLBACK ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Registers the window classes the configure dialog uses; FALSE stops the dialog from opening.
BOOL WINAPI RegisterDialogClasses(HINSTANCE instance);

// Ends a full-screen saver on a key, a click or a mouse move of more than a few pixels, keeps the cursor hidden
// and refuses a second saver start. A preview window is left to the default window procedure: the display
// settings end it.
LRESULT WINAPI DefScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

struct ScreenSaverCommand {
    enum Mode { Configure, Run, Preview, ChangePassword };
    static constexpr int ConfigureDialogId = 2003;

    Mode mode = Configure;
    // The preview's parent, or the owner of the configure dialog; null when the line names none.
    HWND window = nullptr;
};

// The switch is the first letter after "/" or "-" in any case ("/s", "-S", "s"); the window handle, in decimal,
// follows after a space or a colon ("/p 1234", "/c:1234"). "/l" is the older name of the preview. An empty or
// unknown line asks for the configure dialog, as the display settings do when they start a saver without one.
ScreenSaverCommand parseScreenSaverCommand(const wchar_t* commandLine);

// How far the mouse may move (in pixels, along either axis) before a running saver ends.
constexpr int ScreenSaverMouseSlack = 4;
bool movedBeyondSlack(POINT start, POINT now);

// Runs the saver as the command line asks and returns the process's exit code: 0 after a normal end, 1 when the
// saver window could not be made.
int runScreenSaver(HINSTANCE instance, const wchar_t* commandLine);
