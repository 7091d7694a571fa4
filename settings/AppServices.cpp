#include "settings/AppServices.h"
#include "foundation/Exception.h"

namespace {

AppSetting* lentSetting = nullptr;
GarbageCollector* lentCollector = nullptr;

template <typename T>
T& lent(T* object)
{
    if (!object)
        throw Exception(ErrorCode::InvalidState);
    return *object;
}

} // namespace

AppServices::AppServices(AppSetting* setting, GarbageCollector* collector)
    : previousSetting(lentSetting), previousCollector(lentCollector)
{
    lentSetting = setting;
    lentCollector = collector;
}

AppServices::AppServices(AppSetting& setting) : AppServices(&setting, lentCollector)
{
}

AppServices::~AppServices()
{
    lentSetting = previousSetting;
    lentCollector = previousCollector;
}

AppSetting& getAppSetting()
{
    return lent(lentSetting);
}

GarbageCollector& getAppCollector()
{
    return lent(lentCollector);
}
