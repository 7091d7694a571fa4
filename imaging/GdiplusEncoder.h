#pragma once
#include <windows.h>

// Index of the GDI+ encoder whose MIME type equals the text (case-sensitive), with its CLSID copied out;
// -1 when the text is null, the encoder list cannot be read or none matches (the CLSID is zeroed first).
int getEncoderClsid(const wchar_t* mimeType, CLSID* clsid);
