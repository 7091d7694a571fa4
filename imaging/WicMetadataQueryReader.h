#pragma once
#include <windows.h>
#include <wincodec.h>
#include "foundation/PropVariant.h"

namespace WIC {

// Reads metadata items of a decoded picture by query expression ("/app1/ifd/{ushort=272}",
// "System.Photo.DateTaken").
class MetadataQueryReader {
public:
    // Takes over the caller's reference; null gives an empty reader, which throws Exception 1 when used.
    explicit MetadataQueryReader(IWICMetadataQueryReader* reader) : reader(reader) {}
    MetadataQueryReader(const MetadataQueryReader&) = delete;
    MetadataQueryReader& operator=(const MetadataQueryReader&) = delete;
    virtual ~MetadataQueryReader();

    // A query that fails, a missing item included, throws Exception with its HRESULT.
    void getValue(const wchar_t* query, PropVariant& value) const;

private:
    IWICMetadataQueryReader* reader;
};

} // namespace WIC
