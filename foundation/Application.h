#pragma once
#include <windows.h>
#include <memory>
#include "foundation/Exception.h"
#include "foundation/Mutex.h"
#include "foundation/wstring.h"

class wstringArray;

// The base of the program's one application object: where the program lies and what it is called, the
// caption of its message boxes, its version text, the module its resources come from, and two mutexes. The
// named mutex is shared by every running instance of the same program file; the second one is private to
// the process.
class Application {
public:
    // Throws Exception when the program path cannot be read or a mutex cannot be made, and reports a failed
    // start-up of the common controls (see StartUp.h).
    Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
    virtual ~Application();

    // The arguments after the program name; returns the exit code of the process.
    virtual int run(const wstringArray& arguments) = 0;
    // True when the message has been handled and must be neither translated nor dispatched.
    virtual bool preTranslateMessage(MSG& message);

    // Runs until the quit message and returns its exit code. Keys of the accelerator table (may be null) are
    // handled before the pre-translation hook sees them; their commands go to the target window when the key
    // was pressed in it or in one of its children (so a command reaches the main window while the focus lies
    // in its file list), and to the window of the key otherwise or without a target.
    int messageLoop(HACCEL accelerators, HWND target = nullptr);

    // A warning box captioned with the title; false when it could not be shown.
    bool warn(HWND owner, const wchar_t* text);
    // The exception's text in a warning box; false without a box when there is no text, and when the box
    // could not be shown. Never throws.
    bool showException(HWND owner, const Exception& exception);
    // Returns the button pressed; a box that cannot be shown throws Exception with the last error.
    int messageBox(HWND owner, const wchar_t* text, UINT type);
    // The same box on the global application object.
    static int messageBox(HWND owner, const wstring& text, UINT type);
    // A string of the resource module; a missing one throws Exception with the last error.
    wstring loadString(UINT id) const;

    // The text that an exception box shows: the exception's own text, or the system's text for its code when
    // it carries none (automation errors often come without a description). Empty when there is neither.
    static wstring getExceptionText(const Exception& exception);

    // Waits without limit for the named mutex; false only when there is none. Release it with
    // getNamedMutex().release().
    bool waitMutex();
    Mutex& getNamedMutex() { return *namedMutex; }
    Mutex& getSecondMutex() { return *secondMutex; }
    // Releases the second mutex of the global application object; nothing when there is none.
    static void releaseSecondMutex();
    // Of the global application object; Exception 1 when there is none.
    static wstring getVersion();
    static wstring getExtraText();

    const wstring& getDirectory() const { return directory; }
    const wstring& getFileName() const { return fileName; }
    const wstring& getName() const { return name; }
    const wstring& getTitle() const { return title; }
    // The module set for resources, or the program's own.
    HMODULE getResourceModule() const;

protected:
    wstring directory;
    wstring fileName;
    wstring name;
    wstring title;
    wstring version;
    wstring extraText;
    std::unique_ptr<Mutex> namedMutex;
    std::unique_ptr<Mutex> secondMutex;
    // Freed with FreeLibrary by the destructor when set.
    HMODULE resourceModule = nullptr;
};

// The one application object of the run, reached from every subsystem. The entry point stores it once at
// start-up; it is null before that.
Application* getApplication();
void setApplication(Application* application);

// The path resolved against the directory of the global application object's program.
wstring applicationRelativePath(const wstring& path);
