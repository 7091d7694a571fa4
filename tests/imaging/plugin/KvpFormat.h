#pragma once
#include <windows.h>

// The made-up picture format of the test plug-ins.
namespace Kvp {

constexpr char Signature[4] = {'K', 'V', 'P', 'X'};

enum Flags : BYTE {
    TopDown = 1,     // rows stored from the top down, handed over with a negative height
    ShortPixels = 2, // the plug-in hands over a pixel block half as large as the picture needs
    NoPixels = 4,    // the plug-in reports success without a pixel block
};

#pragma pack(push, 1)
struct Header {
    char signature[4];
    WORD width;
    WORD height;
    BYTE bitCount;
    BYTE flags;
    BYTE reserved[6];
};
#pragma pack(pop)

static_assert(sizeof(Header) == 16, "the header is 16 bytes in the file");

} // namespace Kvp
