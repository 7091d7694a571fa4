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
