#pragma once
#include <windows.h>
#include <commdlg.h>
#include <memory>

// The system's dialog for choosing files to open or a file name to save under. Callers complete the public
// request record (title, initial folder, filter index, more flags) before they show it; the object owns the
// buffers the record points at. For saving, callers run GetSaveFileNameW on the same record.
class FileDialog {
public:
    static constexpr int SingleCapacity = MAX_PATH;
    static constexpr int MultipleCapacity = 8192;

    // With OFN_ALLOWMULTISELECT in the flags the buffers hold 8,192 characters, else 260. When they cannot be
    // had the dialog never opens.
    FileDialog(HWND owner, DWORD flags);
    FileDialog(const FileDialog&) = delete;
    FileDialog& operator=(const FileDialog&) = delete;
    virtual ~FileDialog() = default;

    // The program's filter text: display names and patterns alternating, separated by "|" (for example
    // "PNG|*.png|すべてのファイル|*.*"). Null only removes the filter.
    bool setFilter(const wchar_t* filter);
    // Null removes it.
    bool setDefaultExtension(const wchar_t* extension);
    // The name the dialog opens with; one too long for the buffer leaves the field empty.
    void setFileName(const wchar_t* name);
    // True when the user chose.
    bool showOpen();

    // How many files were chosen: 0 before a choice.
    int getCount() const;
    // The full path of the index-th chosen file (from 0); empty before a choice.
    const wchar_t* getPath(int index);
    // The name of the index-th chosen file; an index past the last name gives the last name.
    const wchar_t* getFileName(int index) const;

    OPENFILENAMEW record{};

private:
    bool isMultiple() const { return (record.Flags & OFN_ALLOWMULTISELECT) != 0; }
    bool usable() const { return fileBuffer && titleBuffer && resultBuffer; }

    int capacity = 0;
    std::unique_ptr<wchar_t[]> fileBuffer;
    std::unique_ptr<wchar_t[]> titleBuffer;
    std::unique_ptr<wchar_t[]> resultBuffer;
    std::unique_ptr<wchar_t[]> filterText;
    std::unique_ptr<wchar_t[]> defaultExtension;
};
