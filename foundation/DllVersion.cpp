#include "foundation/DllVersion.h"
#include "foundation/Exception.h"
#include "foundation/LoadedLibrary.h"

void getDllVersion(const wchar_t* libraryName, DLLVERSIONINFO& info)
{
    ZeroMemory(&info, sizeof(info));
    info.cbSize = sizeof(DLLVERSIONINFO);
    LoadedLibrary library = LoadedLibrary::fromSystemFolder(libraryName);
    if (!library.get())
        Exception::throwLastError();
    auto dllGetVersion = library.find<DLLGETVERSIONPROC>("DllGetVersion");
    if (!dllGetVersion)
        Exception::throwLastError();
    HRESULT result = dllGetVersion(&info);
    if (FAILED(result))
        throw Exception(static_cast<int>(result));
}
