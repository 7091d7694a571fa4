#include "foundation/DllVersion.h"
#include "foundation/Exception.h"

namespace {

// Owner of one loaded library.
class LoadedLibrary {
public:
    explicit LoadedLibrary(const wchar_t* path) : module(LoadLibraryW(path)) {}
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;
    ~LoadedLibrary()
    {
        if (module)
            FreeLibrary(module);
    }
    HMODULE get() const { return module; }

private:
    HMODULE module;
};

} // namespace

void getDllVersion(const wchar_t* libraryPath, DLLVERSIONINFO& info)
{
    ZeroMemory(&info, sizeof(info));
    info.cbSize = sizeof(DLLVERSIONINFO);
    LoadedLibrary library(libraryPath);
    if (!library.get())
        Exception::throwLastError();
    auto dllGetVersion = reinterpret_cast<DLLGETVERSIONPROC>(GetProcAddress(library.get(), "DllGetVersion"));
    if (!dllGetVersion)
        Exception::throwLastError();
    HRESULT result = dllGetVersion(&info);
    if (FAILED(result))
        throw Exception(static_cast<int>(result));
}
