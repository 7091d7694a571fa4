#pragma once
#include "imaging/IShotDateReader.h"

// Shooting dates from the metadata of frame 0, as WIC reads it; a format that holds no metadata (BMP), or a file
// that WIC cannot read, tells none. COM must be initialised on the calling thread.
class WicShotDateReader : public IShotDateReader {
public:
    bool readDateTaken(const wstring& path, DateTime& taken) override;
};
