#include "imaging/WicShotDateReader.h"
#include "foundation/Exception.h"
#include "imaging/PictureProperties.h"
#include "imaging/WicBitmapDecoder.h"
#include "imaging/WicBitmapSource.h"
#include "imaging/WicMetadataQueryReader.h"

namespace {

bool readFromMetadata(const wstring& path, DateTime& taken)
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

} // namespace

bool WicShotDateReader::readDateTaken(const wstring& path, DateTime& taken)
{
    // A file that WIC cannot open or decode tells no date either. Whether it is a picture at all is for the
    // loaders to say, which read forms that WIC does not (bit-field BMPs of any header, plug-in formats).
    try {
        return readFromMetadata(path, taken);
    } catch (const Exception&) {
        return false;
    }
}
