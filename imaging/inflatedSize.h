#pragma once
#include <windows.h>
#include <functional>

// How many bytes the zlib stream whose bytes `next` gives one by one (false at their end) inflates to, counted
// without keeping them and only until the count passes `limit`. A stream that ends early or is malformed counts
// what it gives up to there, where an inflater stops too; one of another method or that needs a preset
// dictionary gives nothing.
ULONGLONG inflatedSize(const std::function<bool(BYTE&)>& next, ULONGLONG limit);
