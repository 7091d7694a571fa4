#include <gtest/gtest.h>
#include "imaging/gdiplusStartup.h"
#include "support/ImagingTestSupport.h"

namespace {

bool gdiplusWorks()
{
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (Gdiplus::DllExports::GdipCreateBitmapFromScan0(2, 2, 0, PixelFormat32bppARGB, nullptr, &bitmap) != Gdiplus::Ok)
        return false;
    Gdiplus::DllExports::GdipDisposeImage(bitmap);
    return true;
}

} // namespace

TEST(GdiplusStartup, OnlyTheLastShutdownStopsGdiplus)
{
    ASSERT_EQ(gdiplusStartCount(), 0);
    ASSERT_TRUE(gdiplusStartup());
    ASSERT_TRUE(gdiplusStartup());
    EXPECT_EQ(gdiplusStartCount(), 2);
    EXPECT_TRUE(gdiplusWorks());
    gdiplusShutdown();
    EXPECT_EQ(gdiplusStartCount(), 1);
    EXPECT_TRUE(gdiplusWorks());
    gdiplusShutdown();
    EXPECT_EQ(gdiplusStartCount(), 0);
    gdiplusShutdown();
    EXPECT_EQ(gdiplusStartCount(), 0);
    // A new start after a full stop works again.
    ASSERT_TRUE(gdiplusStartup());
    EXPECT_TRUE(gdiplusWorks());
    gdiplusShutdown();
    EXPECT_EQ(gdiplusStartCount(), 0);
}

TEST(GdiplusStartup, CountsStartsFromSeveralThreads)
{
    auto startAndStop = [](void*) -> DWORD {
        for (int i = 0; i < 200; ++i) {
            if (!gdiplusStartup())
                return 1;
            gdiplusShutdown();
        }
        return 0;
    };
    ASSERT_TRUE(gdiplusStartup());
    HANDLE threads[4];
    for (HANDLE& thread : threads)
        thread = CreateThread(nullptr, 0, startAndStop, nullptr, 0, nullptr);
    WaitForMultipleObjects(4, threads, TRUE, INFINITE);
    for (HANDLE thread : threads) {
        DWORD code = 1;
        GetExitCodeThread(thread, &code);
        EXPECT_EQ(code, 0u);
        CloseHandle(thread);
    }
    EXPECT_EQ(gdiplusStartCount(), 1);
    gdiplusShutdown();
}
