#include "toolkit/FileDialog.h"
#include <shlwapi.h>
#include <new>

namespace {

std::unique_ptr<wchar_t[]> zeroedText(int characters)
{
    return std::unique_ptr<wchar_t[]>(new (std::nothrow) wchar_t[characters]());
}

// An owned copy with `extraNuls` more terminating NULs; null for null text or when memory is short.
std::unique_ptr<wchar_t[]> copyText(const wchar_t* text, int extraNuls)
{
    if (!text)
        return nullptr;
    int length = lstrlenW(text);
    std::unique_ptr<wchar_t[]> copy = zeroedText(length + 1 + extraNuls);
    if (copy)
        lstrcpynW(copy.get(), text, length + 1);
    return copy;
}

} // namespace

FileDialog::FileDialog(HWND owner, DWORD flags)
{
    capacity = (flags & OFN_ALLOWMULTISELECT) ? MultipleCapacity : SingleCapacity;
    fileBuffer = zeroedText(capacity);
    titleBuffer = zeroedText(capacity);
    resultBuffer = zeroedText(capacity);
    if (!usable()) {
        fileBuffer.reset();
        titleBuffer.reset();
        resultBuffer.reset();
        capacity = 0;
    }
    record.lStructSize = sizeof(record);
    // Owned by the caller's window, so that window waits while the dialog shows.
    record.hwndOwner = owner;
    record.lpstrFile = fileBuffer.get();
    record.nMaxFile = static_cast<DWORD>(capacity);
    record.lpstrFileTitle = titleBuffer.get();
    record.nMaxFileTitle = static_cast<DWORD>(capacity);
    record.Flags = flags;
}

bool FileDialog::setFilter(const wchar_t* filter)
{
    record.lpstrFilter = nullptr;
    filterText = copyText(filter, 1);
    if (!filterText)
        return filter == nullptr;
    // Stepped by characters, so that a "|" is never taken from inside a character of several units; the
    // end is known beforehand, since every replaced "|" ends a string.
    wchar_t* end = filterText.get() + lstrlenW(filter);
    for (wchar_t* at = filterText.get(); at < end;) {
        wchar_t* next = CharNextW(at);
        if (*at == L'|')
            *at = 0;
        at = next;
    }
    record.lpstrFilter = filterText.get();
    return true;
}

bool FileDialog::setDefaultExtension(const wchar_t* extension)
{
    defaultExtension = copyText(extension, 0);
    record.lpstrDefExt = defaultExtension.get();
    return defaultExtension || !extension;
}

void FileDialog::setFileName(const wchar_t* name)
{
    if (!usable())
        return;
    ZeroMemory(fileBuffer.get(), capacity * sizeof(wchar_t));
    int length = name ? lstrlenW(name) : 0;
    // A list of names ends with a second NUL, which the zeroed buffer already holds.
    int needed = length + (isMultiple() ? 2 : 1);
    if (name && capacity >= needed)
        lstrcpynW(fileBuffer.get(), name, length + 1);
}

bool FileDialog::showOpen()
{
    return usable() && GetOpenFileNameW(&record);
}

int FileDialog::getCount() const
{
    if (!usable() || !fileBuffer[0])
        return 0;
    const wchar_t* name = fileBuffer.get() + lstrlenW(fileBuffer.get()) + 1;
    if (!isMultiple() || !*name)
        return 1;
    int count = 0;
    for (; *name; name += lstrlenW(name) + 1)
        ++count;
    return count;
}

const wchar_t* FileDialog::getFileName(int index) const
{
    if (!usable())
        return L"";
    const wchar_t* folder = fileBuffer.get();
    if (!*folder)
        return folder;
    const wchar_t* name = folder + lstrlenW(folder) + 1;
    // One file: the buffer holds its full path, and the title buffer its name.
    if (!isMultiple() || !*name)
        return titleBuffer.get();
    for (int i = 0; i < index; ++i) {
        const wchar_t* next = name + lstrlenW(name) + 1;
        if (!*next)
            break;
        name = next;
    }
    return name;
}

const wchar_t* FileDialog::getPath(int index)
{
    if (!usable())
        return L"";
    wchar_t* result = resultBuffer.get();
    result[0] = 0;
    const wchar_t* folder = fileBuffer.get();
    if (!*folder)
        return result;
    lstrcpynW(result, folder, capacity);
    if (!isMultiple() || !folder[lstrlenW(folder) + 1])
        return result;
    const wchar_t* name = getFileName(index);
    if (!PathIsRelativeW(name)) {
        lstrcpynW(result, name, capacity);
        return result;
    }
    int length = lstrlenW(result);
    if (length > 0 && result[length - 1] != L'\\' && length + 1 < capacity) {
        result[length++] = L'\\';
        result[length] = 0;
    }
    lstrcpynW(result + length, name, capacity - length);
    return result;
}
