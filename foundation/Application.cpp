#include "foundation/Application.h"

namespace {

Application* theApplication = nullptr;

} // namespace

Application* getApplication()
{
    return theApplication;
}

void setApplication(Application* application)
{
    theApplication = application;
}
