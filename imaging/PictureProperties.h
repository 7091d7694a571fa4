#pragma once
#include <windows.h>
#include "foundation/DateTime.h"
#include "foundation/wstring.h"
#include "imaging/Dib.h"

namespace WIC {
class MetadataQueryReader;
}

// What the properties of a picture show of its metadata.
struct PictureMetadata {
    // "-" when the picture does not tell.
    wstring cameraModel;
    wstring cameraMaker;
    // The date is set only when this is true; it is in local time.
    bool hasDateTaken = false;
    DateTime dateTaken;
    float dpiX = 0;
    float dpiY = 0;
};

// The metadata, depth and frame count of the picture at path, with frame 0 as a picture (24 bits, or its own
// depth when shallower) and a thumbnail whose longer side is 100 pixels. Metadata that WIC cannot read is left
// as "-"; a picture only a plug-in of the lent settings record reads gives its pixels. False when no picture came out; a
// picture that nothing reads, or that cannot be converted, throws Exception. COM must be initialised.
bool readPictureProperties(const wchar_t* path, PictureMetadata& metadata, WORD& bits, UINT& frames, Dib& picture,
                           Dib& thumbnail);
// "System.Photo.DateTaken" of the reader in local time; false when the item is missing or names no real moment.
bool readDateTaken(const WIC::MetadataQueryReader& reader, DateTime& taken);
