#pragma once
#include <windows.h>
#include <gdiplus.h>
#include "conversion/Effect.h"
#include "imaging/ColorReduction.h"

class AppSetting;
class ICanceller;

// The colour depth that a converted picture is written in, from the output format (OutputFormat index), the
// format's options and the bit depth of the source picture.
struct DepthChoice {
    bool convert = false; // false: the picture is written as it is
    int depth = 0;
    int palette = ReduceMedianCutGrouped; // the colour reduction's palette choice, for 8 bits or fewer
    bool errorDiffusion = false;
};

// The picture is only looked at, for a pixel that is not fully opaque.
DepthChoice chooseOutputDepth(int format, const AppSetting& setting, WORD sourceDepth, Gdiplus::Bitmap* picture);
// Replaces the picture by a copy of the chosen depth (StepChanged), leaves it (StepNothing), or fails
// (StepFailed, the picture kept). Reads the application's settings record.
StepResult prepareForOutputFormat(int format, Gdiplus::Bitmap*& picture, WORD sourceDepth, ICanceller* canceller);
