#pragma once

class wstring;
class DateTime;

// Reads when a picture was taken, from its metadata ("System.Photo.DateTaken").
class IShotDateReader {
public:
    virtual ~IShotDateReader() = default;
    // True with the date in local time; false when the picture has no such value or it cannot be read. A file
    // that cannot be decoded, or whose first frame offers no metadata, throws Exception.
    virtual bool readDateTaken(const wstring& path, DateTime& taken) = 0;
};
