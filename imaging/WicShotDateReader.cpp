#include "imaging/WicShotDateReader.h"
#include "foundation/Exception.h"
#include "imaging/PictureProperties.h"
#include "imaging/WicBitmapDecoder.h"
#include "imaging/WicBitmapSource.h"
#include "imaging/WicMetadataQueryReader.h"

bool WicShotDateReader::readDateTaken(const wstring& path, DateTime& taken)
{
    WIC::BitmapDecoder decoder;
    decoder.openFile(path);
    WIC::BitmapFrameDecode frame(decoder.frame(0), true);
    IWICMetadataQueryReader* queries = frame.metadataQueryReader();
    if (!queries)
        Exception::throwInvalidArgument();
    return ::readDateTaken(WIC::MetadataQueryReader(queries), taken);
}
