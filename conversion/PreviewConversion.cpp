#include "conversion/PreviewConversion.h"
#include <memory>
#include <wincodecsdk.h>
#include "conversion/SaveImage.h"
#include "foundation/Exception.h"
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
    Gdiplus::Bitmap* loaded = loadBitmap(path, carriesMetadata(format) ? metadata.out() : nullptr, &sourceDepth);
    if (!loaded)
        return PreviewConversion::Failed;
    std::unique_ptr<Gdiplus::Bitmap> picture(loaded);

    // The steps may replace the picture; the owner follows the pointer they leave.
    Gdiplus::Bitmap* current = picture.release();
    bool applied = applyEffectsInOrder(current, format, sourceDepth, canceller);
    picture.reset(current);
    if (!applied)
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
