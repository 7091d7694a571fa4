#include "jobs/PictureConversion.h"
#include <new>
#include "conversion/OutputDepth.h"
#include "conversion/SaveImage.h"
#include "foundation/Exception.h"
#include "foundation/FileTime.h"
#include "imaging/pictureLoading.h"
#include "imaging/ICanceller.h"
#include "settings/AppSetting.h"
#include "settings/OutputFormat.h"

namespace {

// A step that stopped while the user's cancel stands was stopped by it.
ChainOutcome stoppedOutcome(ICanceller* canceller)
{
    return isCancelled(canceller) ? ChainOutcome::Cancelled : ChainOutcome::Failed;
}

PictureOutcome pictureOutcome(ChainOutcome outcome)
{
    return outcome == ChainOutcome::Cancelled ? PictureOutcome::Cancelled : PictureOutcome::Failed;
}

} // namespace

PictureRequest pictureRequest(const wstring& source, const wstring& target, int format, const AppSetting& setting)
{
    PictureRequest request;
    request.source = source;
    request.target = target;
    request.format = format;
    request.withMetadata = format == OutputFormat::Jpeg && setting.jpegEnable && setting.jpegExif;
    request.keepFileTimes = setting.fileKeepFileTime;
    return request;
}

bool loadSourcePicture(const PictureRequest& request, SourcePicture& picture)
{
    // Reading the resolution costs a second pass over the file: only when the save will use it.
    bool withResolution = usesSourceResolution(request.dpiX, request.dpiY);
    picture.bitmap.reset(loadBitmap(request.source.buffer(), request.withMetadata ? picture.metadata.out() : nullptr,
                                    &picture.bitsPerPixel, withResolution ? &picture.dpiX : nullptr,
                                    withResolution ? &picture.dpiY : nullptr));
    return picture.bitmap != nullptr;
}

ChainOutcome processPicture(SourcePicture& picture, int format, ICanceller* canceller)
{
    return runOnOwnedPicture(picture.bitmap, [&](Gdiplus::Bitmap*& converting) {
        ChainOutcome outcome = applyEffectSteps(converting, canceller);
        if (outcome == ChainOutcome::Done &&
            prepareForOutputFormat(format, converting, picture.bitsPerPixel, canceller) == StepFailed)
            outcome = stoppedOutcome(canceller);
        return outcome;
    });
}

PictureOutcome convertSourcePicture(SourcePicture& picture, const PictureRequest& request, ICanceller* canceller)
{
    ChainOutcome processed = processPicture(picture, request.format, canceller);
    if (processed != ChainOutcome::Done)
        return pictureOutcome(processed);
    FileTime times;
    if (request.keepFileTimes && !times.read(request.source.buffer()))
        return PictureOutcome::Failed;
    if (!saveImageWithDpi(request.target.buffer(), request.format, picture.bitmap.get(), picture.metadata.get(),
                          canceller, request.dpiX, request.dpiY, picture.dpiX, picture.dpiY))
        return pictureOutcome(stoppedOutcome(canceller));
    if (request.keepFileTimes && !times.apply(request.target.buffer()))
        return PictureOutcome::TimesNotKept;
    return PictureOutcome::Written;
}

PictureOutcome convertPictureFile(const PictureRequest& request, ICanceller* canceller)
{
    return pictureStep(canceller, [&] {
        SourcePicture picture;
        if (!loadSourcePicture(request, picture))
            return PictureOutcome::Failed;
        return convertSourcePicture(picture, request, canceller);
    });
}

PictureOutcome pictureStep(ICanceller* canceller, const std::function<PictureOutcome()>& convert)
{
    try {
        return convert();
    } catch (const Exception&) {
        return pictureOutcome(stoppedOutcome(canceller));
    } catch (const std::bad_alloc&) {
        // This picture asked for more than the memory there is; smaller ones after it may well fit.
        PictureOutcome outcome = pictureOutcome(stoppedOutcome(canceller));
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return outcome;
    }
}
