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

void setAppServices(AppSetting* setting, GarbageCollector* collector)
{
    lentSetting = setting;
    lentCollector = collector;
}

AppSetting& getAppSetting()
{
    return lent(lentSetting);
}

GarbageCollector& getAppCollector()
{
    return lent(lentCollector);
}
