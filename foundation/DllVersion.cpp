#include "foundation/DllVersion.h"
#include "foundation/Exception.h"
#include "foundation/LoadedLibrary.h"

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
