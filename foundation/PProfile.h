#pragma once

// Holder of an INI file name; the INI settings store is built on it.
class PProfile {
public:
    PProfile() = default;
    PProfile(const PProfile&) = delete;
    PProfile& operator=(const PProfile&) = delete;
    virtual ~PProfile();

    // Replaces the stored path with a copy of `path` (none for null); null when the copy cannot be made.
    const wchar_t* setFileName(const wchar_t* path);
    const wchar_t* getFileName() const { return fileName; }

protected:
    wchar_t* fileName = nullptr;
};
