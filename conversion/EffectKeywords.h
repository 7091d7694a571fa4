#pragma once
#include "foundation/wstring.h"

// The colour-conversion preset chosen by the user: 0 for none, 1..34 for the keywords in the order of
// effectName. The settings file stores the keyword, the program works with the index.
using EffectPreset = int;

// The 1-based position of the keyword (exact, case-sensitive), 0 when it is none of the keywords. A null
// keyword throws Exception 87.
EffectPreset effectIndexOf(const wchar_t* keyword);
// The keyword of 1..34; the empty string for any other index.
wstring effectName(EffectPreset index);
