#pragma once
// The strings of a screen-saver file, shared by resources/screensaver.rc, the player and the builder.

// How many pictures the saver holds, in decimal digits.
#define IDS_PICTURE_COUNT 1
