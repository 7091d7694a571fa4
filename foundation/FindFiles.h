#pragma once
#include <windows.h>
#include "foundation/wstring.h"

// One enumeration of the entries that match a wildcard pattern, "." and ".." included, in the file system's
// order, without descending into sub-directories. Failures give false and leave the error in the thread's last
// error; a query without an open search gives ERROR_INVALID_HANDLE.
class FindFiles {
public:
    // Kinds of FindFiles::getFileTime.
    static constexpr int Creation = 1;
    static constexpr int LastAccess = 2;
    static constexpr int LastWrite = 4;

    FindFiles() = default;
    FindFiles(const FindFiles&) = delete;
    FindFiles& operator=(const FindFiles&) = delete;
    virtual ~FindFiles() { close(); }

    bool findFirst(const wchar_t* pattern);
    // Closes the search after the last entry.
    bool findNext();
    void close();

    // The current entry; empty name and no attributes while no search is open.
    const wchar_t* getName() const { return entry.cFileName; }
    DWORD getAttributes() const { return entry.dwFileAttributes; }
    wstring getFullPath() const;
    ULONGLONG getSize() const;
    bool getFileTime(int kind, FILETIME& time) const;
    // The time of getFileTime in local time.
    bool getLocalTime(int kind, SYSTEMTIME& time) const;
    // Sets the creation and last-write times (local time) of the current entry; the last access stays.
    bool setFileTime(const SYSTEMTIME& localTime) const;

private:
    bool isOpen() const;

    wchar_t* directory = nullptr;
    HANDLE search = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAW entry{};
};
