#pragma once
#include <windows.h>
#include <gdiplus.h>
#include "imaging/BitmapPtr.h"

class ICanceller;

// Runs the enabled effect steps over the picture in the user's order, then brings it to the colour depth of
// the output format (OutputFormat index) from the source picture's bit depth. The picture may be replaced; the
// reference always holds a valid picture afterwards. False when a step or the preparation failed.
bool applyEffectsInOrder(Gdiplus::Bitmap*& bitmap, int format, WORD sourceDepth, ICanceller* canceller);
// The same for a picture in an owner, which holds whatever picture the steps leave, also when one of them
// throws.
bool applyEffectsInOrder(BitmapPtr& picture, int format, WORD sourceDepth, ICanceller* canceller);
