#pragma once
#include <windows.h>

// A program started with elevated rights, held by its process handle until the next start or destruction.
class Process {
public:
    Process() = default;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    virtual ~Process() { close(); }

    // Starts the file hidden and waits until it is ready for input. Without an owner window the system shows
    // no error box. True when a process handle is held afterwards; a refused elevation gives false.
    bool run(HWND owner, const wchar_t* file, const wchar_t* parameters);
    // Null when no program was started; the caller waits on it for the program's end and exit code.
    HANDLE handle() const { return process; }

private:
    void close();

    HANDLE process = nullptr;
};
