#pragma once
#include <windows.h>

// The palette that a picture deeper than 8 bits carries beside pixels that do not index it: a BMP's colour
// table, or a PNG's suggested palette (its PLTE chunk), neither of which the platform's decoders report.
// Fills up to 256 colours (the fourth bytes 0) and returns how many; 0 for a file that carries none, is of
// another form or cannot be read.
int readCarriedPalette(const wchar_t* path, RGBQUAD* colours);
