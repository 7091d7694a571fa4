#include "jobs/applyEffectsInOrder.h"
#include "conversion/Effect.h"
#include "conversion/OutputDepth.h"
#include "foundation/CollectionStringToString.h"
#include "imaging/ICanceller.h"

ChainOutcome applyEffectSteps(Gdiplus::Bitmap*& bitmap, ICanceller* canceller)
{
    CollectionStringToString keys;
    getEffectKeysInOrder(keys);
    for (int i = 0; i < keys.count(); ++i) {
        bool failed = applyEffect(keys.valueAt(i).buffer(), bitmap, canceller) == StepFailed;
        if (isCancelled(canceller))
            return ChainOutcome::Cancelled;
        if (failed)
            return ChainOutcome::Failed;
    }
    return ChainOutcome::Done;
}

bool applyEffectsInOrder(Gdiplus::Bitmap*& bitmap, int format, WORD sourceDepth, ICanceller* canceller)
{
    if (applyEffectSteps(bitmap, canceller) != ChainOutcome::Done)
        return false;
    return prepareForOutputFormat(format, bitmap, sourceDepth, nullptr) != StepFailed;
}

bool applyEffectsInOrder(BitmapPtr& picture, int format, WORD sourceDepth, ICanceller* canceller)
{
    return runOnOwnedPicture(picture, [&](Gdiplus::Bitmap*& bitmap) {
        return applyEffectsInOrder(bitmap, format, sourceDepth, canceller);
    });
}
