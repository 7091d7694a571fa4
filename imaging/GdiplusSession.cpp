#include "imaging/GdiplusSession.h"
#include "imaging/gdiplusStartup.h"

GdiplusSession::GdiplusSession() : started(gdiplusStartup())
{
}

GdiplusSession::~GdiplusSession()
{
    if (started)
        gdiplusShutdown();
}
