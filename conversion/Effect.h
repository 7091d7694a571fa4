#pragma once
#include <windows.h>
#include <gdiplus.h>
#include "conversion/EffectKeywords.h"
#include "foundation/CollectionStringToString.h"
#include "foundation/Decimal.h"

class ICanceller;

// What one effect step did to the picture. A chain of steps stops at the first failure.
enum StepResult {
    StepChanged = 0, // changed in place or replaced
    StepNothing = 1, // switched off, nothing to do, or no picture
    StepFailed = 2,
};

// The six steps, each with the word that the settings section Order names it by and the key that
// applyEffect runs it by; listed in the default order.
struct EffectStep {
    const wchar_t* word;
    const wchar_t* key;
};
extern const EffectStep effectSteps[6];

// Placed on the stack around the steps by their callers.
class Effect {
public:
    virtual ~Effect() = default;
};

// The order word -> key of every step in running order: the words of the settings First..Sixth that name a
// step (exactly, case-sensitive; a repeated word counts once), then the steps left out, in default order.
void getEffectKeysInOrder(CollectionStringToString& keys);

// Each step reads its section of the application's settings record and works on the caller's picture: it
// leaves it, changes it in place, or deletes it and stores a new one in the reference. After a failure the
// reference still holds a valid picture. A step that would make a picture larger than PictureSizeLimit allows
// throws PictureTooLarge before it makes anything.

// Runs the step of the key; a key that is none of the six throws Exception 87.
StepResult applyEffect(const wchar_t* key, Gdiplus::Bitmap*& bitmap, ICanceller* canceller);
StepResult applyTrimming(Gdiplus::Bitmap*& bitmap);
// An Adjust setting outside 0..5 throws Exception 1.
StepResult applyStretch(Gdiplus::Bitmap*& bitmap);
StepResult applyText(Gdiplus::Bitmap*& bitmap);
StepResult applyRotate(Gdiplus::Bitmap*& bitmap);
StepResult applyConvert(Gdiplus::Bitmap*& bitmap, ICanceller* canceller);
StepResult applyAppearance(Gdiplus::Bitmap*& bitmap);

// The work of the colour-conversion step: the preset (0 none, negative as 0, above the last as the last),
// then the brightness offset (-255..255, 0 off), then the posterization (levels per channel, 256 or more
// off). Exceptions of the presets come back as StepFailed.
StepResult applyColorFilter(Gdiplus::Bitmap*& bitmap, int bright, EffectPreset index, int levels,
                            ICanceller* canceller);

// Shared by the steps: a made picture replaces the caller's (StepChanged); none leaves it (StepFailed).
StepResult replacePicture(Gdiplus::Bitmap*& bitmap, Gdiplus::Bitmap* made);
// A percentage of a side's length, to the nearest pixel (halves to even).
int percentOf(int length, const Decimal& percent);
// The GDI+ colour of a settings colour: opaque, or fully transparent when asked.
Gdiplus::ARGB argbOf(COLORREF color, bool transparent);
