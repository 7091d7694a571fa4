#include "jobs/applyEffectsInOrder.h"
#include "conversion/Effect.h"
#include "conversion/OutputDepth.h"
#include "foundation/CollectionStringToString.h"

bool applyEffectsInOrder(Gdiplus::Bitmap*& bitmap, int format, WORD sourceDepth, ICanceller* canceller)
{
    CollectionStringToString keys;
    getEffectKeysInOrder(keys);
    for (int i = 0; i < keys.count(); ++i) {
        if (applyEffect(keys.valueAt(i).buffer(), bitmap, canceller) == StepFailed)
            return false;
    }
    return prepareForOutputFormat(format, bitmap, sourceDepth, nullptr) != StepFailed;
}

bool applyEffectsInOrder(BitmapPtr& picture, int format, WORD sourceDepth, ICanceller* canceller)
{
    // The steps take the picture over and hand back the one that replaces it.
    Gdiplus::Bitmap* current = picture.release();
    try {
        bool done = applyEffectsInOrder(current, format, sourceDepth, canceller);
        picture.reset(current);
        return done;
    } catch (...) {
        picture.reset(current);
        throw;
    }
}
