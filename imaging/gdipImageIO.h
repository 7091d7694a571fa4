#pragma once
#include <windows.h>
#include <gdiplus.h>
#include <vector>

// Saving, encoding and loading GDI+ pictures. Encoders are chosen by MIME type ("image/jpeg", ...). Property
// items are optional: a null list or a count of 0 means none. New objects belong to the caller.

// False on a null path or MIME type, an unknown image, a missing encoder or a failed write.
bool gdipSaveToFile(const wchar_t* path, const wchar_t* mimeType, Gdiplus::Image* image,
                    const Gdiplus::EncoderParameters* parameters, const Gdiplus::PropertyItem* items = nullptr,
                    int itemCount = 0);
// The same into the stream, from its current position (a file that the caller holds open).
bool gdipSaveToStream(IStream* stream, const wchar_t* mimeType, Gdiplus::Image* image,
                      const Gdiplus::EncoderParameters* parameters, const Gdiplus::PropertyItem* items = nullptr,
                      int itemCount = 0);
// The picture encoded into a new memory stream (ComMemoryStream, positioned at its end), or null.
IStream* gdipEncodeToStream(const wchar_t* mimeType, Gdiplus::Image* image,
                            const Gdiplus::EncoderParameters* parameters, const Gdiplus::PropertyItem* items = nullptr,
                            int itemCount = 0);
// The picture encoded as gdipEncodeToStream does, without parameters, and its bytes read out; false as there, or
// when the bytes cannot be read or held.
bool gdipEncodeToBytes(const wchar_t* mimeType, Gdiplus::Image* image, std::vector<BYTE>& bytes);
IStream* gdipEncodeToMemoryStream(const CLSID& encoder, Gdiplus::Image* image,
                                  const Gdiplus::EncoderParameters* parameters);
// The whole file read into memory and decoded; the handle stays open. Null when nothing decodes.
Gdiplus::Bitmap* gdipLoadFromFileHandle(HANDLE file);
// The whole file, read from the handle's position (the start of a fresh handle), in a new memory stream
// (createMemoryStream) positioned at its start; the handle stays open. Null when the file is empty, larger than
// 2 GB, unreadable or there is no memory.
IStream* readFileToStream(HANDLE file);
// The same bytes in a block of the library allocator, which the caller frees (MemoryAllocator::free), with
// their count; null as above.
void* readFileBytes(HANDLE file, DWORD& size);
// The program reads two kinds of BMP itself: 32-bit ones, because GDI+ drops the alpha of such files, and
// those with bit-field masks, because the platform's decoders take some layouts of masks wrongly. Anything
// else is decoded by GDI+. Null when nothing decodes, for a picture whose claims fail checkPictureClaims, and
// for a GIF that GDI+ gives at another size than its logical screen (Wine's loses the first frame's place; the
// WIC road places it).
Gdiplus::Bitmap* gdipBitmapFromStream(IStream* stream);
// Whether the stream, from its current position, holds a BMP that the program reads itself; the position is
// kept.
bool isSelfReadBmpStream(IStream* stream);
// The bytes that tell such a BMP: its file header and the info header up to the compression.
constexpr int BmpHeadBytes = 54;
// Makes a BMP file's header state the file's own size, which Wine's encoder leaves short of the colour table of
// a picture of 8 bits or fewer; a header that states it already is kept. False with last error 13 when the bytes
// are no BMP file.
bool correctBmpFileSize(std::vector<BYTE>& bmp);
// Whether the first bytes of a file (size of them) are those of a BMP that the program reads itself.
bool isSelfReadBmpHead(const BYTE* head, size_t size);
