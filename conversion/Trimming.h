#pragma once
#include <windows.h>
#include "conversion/ITransform.h"

// Cuts margins off the picture's four sides. Margins that are negative or leave less than one column or
// row are refused (last error 87), so nothing outside the picture is ever read.
class Trimming : public ITransform {
public:
    Trimming(int left, int top, int right, int bottom) : left(left), top(top), right(right), bottom(bottom) {}

    bool apply(const UINT32* pixels, int width, int height, UINT32*& outPixels, int& outWidth, int& outHeight,
               ICanceller* canceller) override;

private:
    int left;
    int top;
    int right;
    int bottom;
};

// Counts the columns at the left and right and the rows at the top and bottom in which every pixel's red,
// green and blue lie within the tolerance (clamped to 0..255) of the reference colour's; alpha is ignored.
// The four counts are independent: a picture that matches everywhere gives the whole width and height for
// each. Null pixels -> false with last error 87 and every count 0.
bool autoTrimScan(const UINT32* pixels, int width, int height, COLORREF reference, int tolerance, int& left,
                  int& top, int& right, int& bottom);
