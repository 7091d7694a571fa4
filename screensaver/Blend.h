#pragma once
#include <windows.h>

// Mixing a run of colour bytes of a picture with the bytes of the background behind it. The weight (0-255) is
// the background's share. Both forms write `count` bytes to `out`, which may be the picture itself.
namespace Blend {

// picture + weight x (background - picture) / 255: the weight 255 gives exactly the background.
void mix(const BYTE* picture, const BYTE* background, BYTE* out, int count, int weight);
// picture + floor(weight x (background - picture) / 256), eight bytes at a time in 16-bit lanes: the fast form
// for processors with MMX, which never quite reaches the background.
void mixMmx(const BYTE* picture, const BYTE* background, BYTE* out, int count, int weight);

bool processorHasMmx();
// The form this processor runs.
void mixFast(const BYTE* picture, const BYTE* background, BYTE* out, int count, int weight);

} // namespace Blend
