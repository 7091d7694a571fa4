#include "imaging/WicMetadataQueryReader.h"
#include "foundation/Exception.h"

namespace WIC {

MetadataQueryReader::~MetadataQueryReader()
{
    if (reader)
        reader->Release();
}

void MetadataQueryReader::getValue(const wchar_t* query, PropVariant& value) const
{
    if (!reader)
        throw Exception(ErrorCode::InvalidState);
    if (!query)
        Exception::throwInvalidArgument();
    Exception::check(reader->GetMetadataByName(query, value.out()));
}

} // namespace WIC
