#pragma once
#include <windows.h>
#include <gdiplus.h>
#include <memory>

// A GDI+ bitmap that its holder owns.
using BitmapPtr = std::unique_ptr<Gdiplus::Bitmap>;
