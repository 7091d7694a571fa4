#pragma once
#include <windows.h>
#include <functional>

class ICanceller;

// The encoded size in bytes at a quality of 1 to 100; 0 when the encoding failed.
using EncodedSizeAt = std::function<ULONGLONG(int quality)>;

// The quality 1..100 whose encoded size comes nearest to the target (ties go to the lower quality), found by
// narrowing from 62 in steps of 13/21 of the open interval; 0 when a measurement fails or the canceller
// (which may be null) answers true after one.
int findQualityForSize(ULONGLONG target, const EncodedSizeAt& sizeAt, ICanceller* canceller);
