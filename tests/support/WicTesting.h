#pragma once
#include <windows.h>
#include <wincodec.h>
#include <algorithm>
#include <cstdlib>
#include <string>
#include "foundation/ComPtr.h"
#include "imaging/ICanceller.h"
#include "support/ComTesting.h"
#include "support/ExpectCode.h"
#include "support/ImagingTestSupport.h"

// GDI+ and COM for each test; COM comes first and goes last.
class WicTest : private ComApartment, public GdiplusTest {
};


// Four flat quarters, so that a picture turned upside down or mirrored is told apart: red, green on top,
// blue, white below.
inline Gdiplus::Bitmap* makeQuarters(int width, int height)
{
    return makeBitmap32(width, height, [=](int x, int y) {
        bool right = x >= width / 2;
        if (y < height / 2)
            return right ? Green : Red;
        return right ? White : Blue;
    });
}

// Each quarter's centre matches within the tolerance (lossy formats blur only the borders).
inline void expectQuarters(Gdiplus::Bitmap* bitmap, int tolerance)
{
    int w = static_cast<int>(bitmap->GetWidth());
    int h = static_cast<int>(bitmap->GetHeight());
    EXPECT_LE(channelDistance(pixelAt(bitmap, w / 4, h / 4), Red), tolerance);
    EXPECT_LE(channelDistance(pixelAt(bitmap, 3 * w / 4, h / 4), Green), tolerance);
    EXPECT_LE(channelDistance(pixelAt(bitmap, w / 4, 3 * h / 4), Blue), tolerance);
    EXPECT_LE(channelDistance(pixelAt(bitmap, 3 * w / 4, 3 * h / 4), White), tolerance);
}

inline bool fileExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Answers as told and counts the questions.
class TestCanceller : public ICanceller {
public:
    bool isCancelled() override
    {
        ++asked;
        return cancel;
    }
    bool cancel = false;
    int asked = 0;
};
