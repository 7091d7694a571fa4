#pragma once
#include <windows.h>
#include <objidl.h>

// What a picture file claims about its pictures, checked before any decoder is given the file. The platform's
// decoders size their memory by these claims, some of them in 32-bit arithmetic: Wine's BMP decoder then writes
// past a block whose size overflowed. BMP, PNG, GIF, JPEG, TIFF and icon files are read as far as it takes to
// find every picture they claim; other bytes have nothing to check here (their decoder's frame is checked once
// the decoder is open, see WIC::BitmapDecoder).

// True when every picture that the bytes from the stream's position on claim is within PictureSizeLimit and a
// BMP is sound: of a form that the program's own reader decodes, one that reader would take (so a BMP it refuses
// as malformed goes to no other decoder either); of any other form, of one plane and with its uncompressed
// pixels inside the file. Nor does any decoder get what no real picture holds and what crashes or stalls the
// platform's decoders: a GIF frame without colours (no global table and none of its own), a TIFF directory
// entry whose values reach past the end of the file, a PNG of more ancillary chunks than its size accounts for
// or whose compressed text inflates to megabytes, or a JPEG whose scans' entropy-coded data cannot hold the size
// it declares (its frame header found as a decoder finds it, past junk), that codes a component in more scans
// than any encoder's script or that has a segment too short for its own length field. Otherwise false with the
// last error 8 (too large) or 87 (malformed). The stream's position is kept.
bool checkPictureClaims(IStream* stream);
// The same for the file at the path, read where the claims lie; false with the system's error when it cannot be
// opened.
bool checkPictureFileClaims(const wchar_t* path);
