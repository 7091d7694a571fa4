#pragma once
#include <windows.h>
#include <vector>

// The block structure of a GIF file as an encoder writes one picture: the header and logical screen, an optional
// global colour table, extensions, then the picture's image descriptor, optional local colour table and image
// data. Nothing here throws.
namespace GifBlock {
constexpr BYTE ExtensionIntroducer = 0x21;
constexpr BYTE GraphicControlLabel = 0xF9;
constexpr BYTE ImageSeparator = 0x2C;
constexpr BYTE Trailer = 0x3B;
constexpr BYTE ColorTableFlag = 0x80;
constexpr BYTE InterlaceFlag = 0x40;
constexpr BYTE TransparencyFlag = 0x01;
// Signature, version and logical screen descriptor.
constexpr size_t ScreenBytes = 13;
constexpr size_t ImageDescriptorBytes = 10;
// A graphic control extension: introducer, label, block size 4, packed byte, delay (2), transparent index,
// terminator.
constexpr size_t ControlBytes = 8;
} // namespace GifBlock

// Where the parts of the first picture lie, as offsets into the file's bytes; each part found lies wholly inside
// them. An offset of 0 means that the part is missing.
struct GifPicture {
    size_t globalTable = 0;
    size_t globalTableBytes = 0;
    // The last graphic control extension in front of the picture.
    size_t control = 0;
    // From the image descriptor to just past the terminator of the image data.
    size_t imageStart = 0;
    size_t imageEnd = 0;
    // The table that the picture's indices refer to: its local one, else the global one.
    size_t table = 0;
    size_t tableBytes = 0;
};

// False when the bytes are no GIF or end before the first picture's data does.
bool findGifPicture(const std::vector<BYTE>& gif, GifPicture& picture);
// The bytes of a colour table whose size the low three bits of a packed byte give.
size_t gifTableBytes(BYTE packed);
// The first entry of a table of red, green, blue triples that has the colour; -1 when none has.
int gifColorIndex(const BYTE* table, size_t entries, COLORREF color);
// Makes the colour's table entry the transparent one of the first picture, since an encoder may write none
// (Wine's writes no graphic control extension at all): a graphic control extension in front of the picture gets
// the flag and the index, or a new one is put there. An extension that already makes an entry of the colour
// transparent is kept as it is, and so is a picture whose table has no entry of the colour, as none of its
// pixels can have it. False with last error 13 when the bytes are no readable GIF, 8 without memory.
bool markGifTransparentColor(std::vector<BYTE>& gif, COLORREF color);
