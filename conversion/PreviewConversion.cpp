#include "conversion/PreviewConversion.h"
#include <memory>
#include <wincodecsdk.h>
#include "conversion/SaveImage.h"
#include "foundation/Exception.h"
#include "imaging/BitmapPtr.h"
#include "imaging/pictureLoading.h"
#include "jobs/applyEffectsInOrder.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"
#include "settings/OutputFormat.h"

namespace {

bool carriesMetadata(int format)
{
    const AppSetting& setting = getAppSetting();
    return format == OutputFormat::Jpeg && setting.jpegEnable && setting.jpegExif;
}

int convert(const wchar_t* path, int format, ComPtr<IStream>* holder, ICanceller* canceller)
{
    ComPtr<IWICMetadataBlockReader> metadata;
    WORD sourceDepth = 0;
    BitmapPtr picture(loadBitmap(path, carriesMetadata(format) ? metadata.out() : nullptr, &sourceDepth));
    if (!picture)
        return PreviewConversion::Failed;
    if (!applyEffectsInOrder(picture, format, sourceDepth, canceller))
        return PreviewConversion::Failed;

    ComPtr<IStream> stream;
    if (!saveImageDefault(&stream, format, picture.get(), metadata.get(), canceller))
        return PreviewConversion::Failed;
    holder->attach(stream.detach());
    return PreviewConversion::Converted;
}

} // namespace

int convertOneFile(const wchar_t* path, int format, ComPtr<IStream>* holder, ICanceller* canceller)
{
    try {
        return convert(path, format, holder, canceller);
    } catch (const Exception&) {
        return PreviewConversion::Error;
    }
}
