#pragma once
#include "imaging/gdiplusStartup.h"

// GDI+ for as long as the object lives: one counted start, balanced by the object when it succeeded.
class GdiplusSession {
public:
    GdiplusSession() : started(gdiplusStartup()) {}
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    ~GdiplusSession()
    {
        if (started)
            gdiplusShutdown();
    }

    bool isStarted() const { return started; }

private:
    bool started;
};
