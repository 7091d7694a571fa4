#include "settings/ProgramResources.h"
#include "foundation/Application.h"

HMODULE programResourceModule()
{
    Application* application = getApplication();
    return application ? application->getResourceModule() : GetModuleHandleW(nullptr);
}
