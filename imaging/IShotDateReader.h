#pragma once

class wstring;
class DateTime;

// Reads when a picture was taken, from its metadata ("System.Photo.DateTaken").
class IShotDateReader {
public:
    virtual ~IShotDateReader() = default;
    // True with the date in local time; false when the picture has no such value, its first frame offers no
    // metadata (a BMP), the value cannot be read, or the file cannot be opened or decoded at all.
    virtual bool readDateTaken(const wstring& path, DateTime& taken) = 0;
};
