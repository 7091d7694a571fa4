#pragma once
#include <windows.h>
#include <gdiplus.h>
#include "imaging/BitmapPtr.h"

class ICanceller;

// How a run of the effect steps ended.
enum class ChainOutcome {
    Done,
    Failed,    // a step failed or stopped by itself
    Cancelled, // the user cancelled
};

// Runs the enabled effect steps over the picture in the user's order. A step that fails ends the run. The
// canceller is asked after every step, so a cancel ends the run at the next step boundary even when the step
// did not look, and a step that stopped because of a cancel counts as Cancelled rather than Failed. The
// picture may be replaced; the reference always holds a valid picture afterwards.
ChainOutcome applyEffectSteps(Gdiplus::Bitmap*& bitmap, ICanceller* canceller);

// The effect steps, then the colour depth of the output format (OutputFormat index) from the source picture's
// bit depth, which is prepared without a canceller. False when a step or the preparation failed or was
// cancelled.
bool applyEffectsInOrder(Gdiplus::Bitmap*& bitmap, int format, WORD sourceDepth, ICanceller* canceller);
// The same for a picture in an owner, which holds whatever picture the steps leave, also when one of them
// throws.
bool applyEffectsInOrder(BitmapPtr& picture, int format, WORD sourceDepth, ICanceller* canceller);

// Runs steps(Gdiplus::Bitmap*&), which may replace the picture, over the owner's picture and returns what they
// return. The owner takes back whatever picture the steps leave, also when one of them throws.
template <typename Steps>
auto runOnOwnedPicture(BitmapPtr& owner, Steps steps)
{
    struct GiveBack {
        BitmapPtr& owner;
        Gdiplus::Bitmap*& picture;
        ~GiveBack() { owner.reset(picture); }
    };
    Gdiplus::Bitmap* picture = owner.release();
    GiveBack giveBack{owner, picture};
    return steps(picture);
}
