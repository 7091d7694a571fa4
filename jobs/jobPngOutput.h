#pragma once
#include "foundation/wstring.h"

class Dib;

// Writes the picture as a PNG file in the encoder's choice of pixel format. The file takes its name only once it
// is complete: a failed write leaves the path as it was. Failures throw Exception.
void writeDibAsPng(const Dib& dib, const wstring& path);
