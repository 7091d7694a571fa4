#include "foundation/ApplicationInfo.h"
#include "foundation/FileVersionInfo.h"

ApplicationInfo::ApplicationInfo(const wchar_t* path)
{
    FileVersionInfo info;
    if (!info.load(path))
        return;
    productName = info.getProductName();
    companyName = info.getCompanyName();
    legalNotice = info.getLegalNotice();
    productVersion = info.getProductVersion();
}
