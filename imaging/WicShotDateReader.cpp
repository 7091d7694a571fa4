#include "imaging/WicShotDateReader.h"
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
    // A picture without metadata tells no shooting date.
    if (!queries)
        return false;
    return ::readDateTaken(WIC::MetadataQueryReader(queries), taken);
}
