#pragma once
#include <windows.h>
#include "foundation/ScratchBuffer.h"
#include "foundation/wstring.h"

class Mutex;

// The whole content of a settings file, read at once: all that a load needs of the file. The application's
// named mutex guards the file, not what is made of its bytes, so a guard given is held only while they are
// read, and the parse that follows keeps no other start of the program waiting.
class SettingsFileBytes {
public:
    SettingsFileBytes(const wstring& path, Mutex* guard);
    SettingsFileBytes(const SettingsFileBytes&) = delete;
    SettingsFileBytes& operator=(const SettingsFileBytes&) = delete;

    // ERROR_SUCCESS when the file was read; otherwise why not (2 a missing file, 5 a folder or a file the user
    // may not read, 32 a file another program holds without sharing it, 13 a file beyond 8 MiB, which is not
    // read).
    DWORD error() const { return failure; }
    const BYTE* data() const { return bytes.get() ? bytes.get() : &empty; }
    int length() const { return used; }
    bool sameAs(const SettingsFileBytes& other) const;

private:
    DWORD read(const wstring& path);

    ScratchBuffer<BYTE> bytes;
    int used = 0;
    DWORD failure;
    BYTE empty = 0;
};
