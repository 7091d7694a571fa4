#pragma once
#include <windows.h>

class OutputStream;

// Reads the cabinet archive that the program carries as resource "Bin" 5001. Owns its module handle.
class ResourceLoader {
public:
    static constexpr int CabinetId = 5001;

    // The handle is released with FreeLibrary on destruction; null leaves the loader unusable.
    explicit ResourceLoader(HMODULE module) : module(module) {}
    ResourceLoader(const ResourceLoader&) = delete;
    ResourceLoader& operator=(const ResourceLoader&) = delete;
    virtual ~ResourceLoader();

    // Writes the whole archive in one write and returns that write's result. No module: Exception 1.
    DWORD loadBin(OutputStream& output);

    // The bytes of a resource, valid while the module is loaded; failure throws Exception with the system error.
    static const void* lock(HMODULE module, const wchar_t* name, const wchar_t* type, DWORD& size);

private:
    HMODULE module;
};
