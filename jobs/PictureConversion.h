#pragma once
#include <wincodecsdk.h>
#include <functional>
#include "foundation/ComPtr.h"
#include "foundation/Decimal.h"
#include "foundation/wstring.h"
#include "imaging/BitmapPtr.h"
#include "jobs/applyEffectsInOrder.h"

class AppSetting;
class ICanceller;

// The way of one picture from its source to its output file, shared by the windowed save job and the
// command-line batch: load, the effect steps in the user's order, the colour depth of the output format,
// save, and the source's file times. What the steps do is read from the settings record lent to them
// (AppServices); everything else the conversion needs is in the request, so conversions of different
// pictures share no state. The caller settles the target's name and what happens to an existing file first.

// One picture to convert.
struct PictureRequest {
    wstring source;
    wstring target;
    // OutputFormat index.
    int format = 0;
    // Carry the source's metadata into the output (a JPEG written with the JPEG options and Exif on).
    bool withMetadata = false;
    // Give the output the creation, access and write times of the source.
    bool keepFileTimes = false;
    // The resolution written into the output; 0 leaves it to the format options.
    Decimal dpiX{0};
    Decimal dpiY{0};
};

// A request with what the settings choose: the metadata for a JPEG output with the JPEG options and Exif on,
// and the source's file times with File/KeepFileTime on; no resolution.
PictureRequest pictureRequest(const wstring& source, const wstring& target, int format, const AppSetting& setting);

enum class PictureOutcome {
    Written,      // the target holds the converted picture (with the source's times when asked)
    TimesNotKept, // written, but the source's times could not be read onto it
    Failed,       // not written: unreadable source, a failed step or save, or unreadable source times
    Cancelled,    // the user cancelled a step or the save; nothing was written
};

// A source picture in memory with what its save needs to know of the source. The source file is wholly read
// and closed, so the output may replace it.
struct SourcePicture {
    BitmapPtr bitmap;
    ComPtr<IWICMetadataBlockReader> metadata;
    WORD bitsPerPixel = 0;
    Decimal dpiX{0};
    Decimal dpiY{0};
};

// The whole way from the request's source file to its target, as one picture's step (pictureStep). A target
// that is not written is left as it was.
PictureOutcome convertPictureFile(const PictureRequest& request, ICanceller* canceller);

// Runs one picture's way through the functions here so that an Exception of a loader, a step or the save, or
// memory running out (the last error is then 8), is that picture's failure, or its cancel when the user has
// cancelled: a picture the platform cannot take never ends the whole run. The run names the picture's target
// through it too; whatever else the run does around it (folders, questions) is the run's own.
PictureOutcome pictureStep(ICanceller* canceller, const std::function<PictureOutcome()>& convert);

// The steps for callers that take the picture from, or give it to, somewhere else (the clipboard).
// Reads the request's source into the picture, with its metadata and resolution only when the request's save
// will use them; false (no bitmap) when it cannot be read.
bool loadSourcePicture(const PictureRequest& request, SourcePicture& picture);
// The effect steps, then the colour depth of the format.
ChainOutcome processPicture(SourcePicture& picture, int format, ICanceller* canceller);
// processPicture, then the save to the request's target with the source's file times when asked.
PictureOutcome convertSourcePicture(SourcePicture& picture, const PictureRequest& request, ICanceller* canceller);
