#pragma once

// GDI+ for as long as the object lives: one counted start (see gdiplusStartup.h), balanced by the object when
// it succeeded.
class GdiplusSession {
public:
    GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    ~GdiplusSession();

    bool isStarted() const { return started; }

private:
    bool started;
};
