#pragma once
#include <exception>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>
#include "foundation/wstring.h"
#include "jobs/PictureConversion.h"
#include "jobs/RenameUtil.h"
#include "jobs/RunOutputs.h"

class AppSetting;
class ConversionPipeline;
class ICanceller;
class IShotDateReader;

// One picture of a conversion run, as its front end hands it over.
struct RunPicture {
    // The position in the list, given by the run.
    int index = 0;
    // As the front end names it; its log shows it so.
    wstring source;
    // The output before the rename rule; the run settles the final name here.
    wstring target;
    // A source or target that is no file (the command line's clipboard): such a picture is converted by the front
    // end, after every picture before it. A target that is no file is neither named nor settled.
    bool sourceIsFile = true;
    bool targetIsFile = true;
};

// What differs between the front ends of a conversion run: the windowed job asks its user and may go on after a
// failure; the command line asks nothing and stops at the first failure.
class IRunFrontEnd {
public:
    enum class Answer {
        Replace,
        Skip, // the picture is left out, as the front end has logged; the run goes on
        Fail, // the picture's failure (finished with Failed)
        Stop, // the run ends at once
    };

    virtual ~IRunFrontEnd() = default;

    // The target exists and the run's rule neither numbers nor replaces it.
    virtual Answer existingTarget(const RunPicture& picture) = 0;
    // The run has come to the picture, its target named and every picture before it finished: where a
    // one-at-a-time run stands once it has named it. Once a picture, in list order; never for one that the
    // rename rule gives no name.
    virtual void reached(const RunPicture&) {}
    // The picture's outcome, in list order; false ends the run.
    virtual bool finished(const RunPicture& picture, PictureOutcome outcome) = 0;
    // What the picture's conversion is asked for, once its target is settled.
    virtual PictureRequest request(const RunPicture& picture) = 0;
    // A picture with a source or target that is no file.
    virtual PictureOutcome convertOther(const RunPicture&, const PictureRequest&) { return PictureOutcome::Failed; }
};

// How a front end has its pictures settled.
struct OrderedRunOptions {
    // Replace a target that was there before the run and that no later picture reads. The window takes
    // File/OverWrite; the command line takes "/overwrite" and never the setting, as the user says it anew on each
    // command line.
    bool overwrite = false;
    bool deleteSources = false;   // the sources of written pictures are to go at the end (outputs() keeps them)
    bool applyRenameRules = true; // the rename rule and the sub-folders, whose folders the run makes
    int workers = 0;              // pictures converted at once; 0 for as many as the machine allows
};

// The pictures of one convert-and-save run in list order, shared by the windowed job and the command line: each
// target named by the rename rule, sorted into its sub-folder, its folder made and an existing file settled,
// then the picture converted, while the front end logs, counts and asks. Several pictures are converted at
// once; each is settled in list order ahead of the writing of the pictures before it, and wherever that writing
// could change an answer (a source or target an earlier picture writes, an existing target, a folder still to
// be made, an error, a picture that is no file) the run first catches up with them. So every answer, question,
// log line and file is the one a one-at-a-time run gives.
//
// A target that is there already, by one rule for both front ends: the overwrite option replaces it when it was
// there before the run; otherwise File/AutoRename numbers it (name_1, name_2 ...); otherwise the front end
// decides (the window asks, the command line fails the picture). Replacing comes first because it is what the
// user said last and most plainly: ticking "always overwrite" greys out the automatic renaming on the options
// page, and "/overwrite" is typed for this one command, while File/AutoRename may be a setting of long ago. It
// replaces only what the user asked to replace: neither an output of this run nor the source of a picture after
// it is replaced unasked, since either would lose one of the run's pictures (the later one would be read as this
// picture leaves it), and with the deletion of sources its source as well. So the run takes every picture from
// its front end before it converts the first.
class OrderedConversionRun {
public:
    using PictureAt = std::function<RunPicture(int index)>;

    // The settings must outlive the run; shotDates and canceller may be null. Counter settings out of range
    // throw Exception 87.
    OrderedConversionRun(const AppSetting& setting, IShotDateReader* shotDates, IRunFrontEnd& frontEnd,
                         ICanceller* canceller, const OrderedRunOptions& options);
    OrderedConversionRun(const OrderedConversionRun&) = delete;
    OrderedConversionRun& operator=(const OrderedConversionRun&) = delete;
    virtual ~OrderedConversionRun();

    // The pictures 0 to count - 1, each taken from pictureAt once, all before the first is converted; false when
    // the user cancelled or the front end stopped the run. Nothing of the pictures after a stop stays on disk. An
    // Exception, from pictureAt too, ends the run where a one-at-a-time run meets it.
    bool run(int count, const PictureAt& pictureAt);

    // What the run wrote, and the sources to delete.
    const RunOutputs& outputs() const { return written; }

private:
    enum class Next { Continue, Skip, Stop };
    // How a target is settled.
    enum class Existing { Free, Replace, Number, Ask };

    struct Entry {
        RunPicture picture;
        bool reached = false;
    };

    void takeAll(int count, const PictureAt& pictureAt);
    Next take(int index);
    Next nameTarget(RunPicture& picture);
    wstring targetName(const RunPicture& picture);
    Next settleTarget(Entry& entry);
    Existing existing(const RunPicture& picture) const;
    Next convert(Entry& entry);
    Next finish(Entry& entry, PictureOutcome outcome);
    void reach(Entry& entry);
    Next catchUp();
    Next finishQueued(size_t keep);
    bool readsQueuedTarget(const wstring& source) const;
    bool isQueuedTarget(const wstring& path) const;
    bool isReadAfter(int index, const wstring& path) const;
    template <typename Step>
    bool inTurn(Step step);

    const AppSetting& setting;
    IRunFrontEnd& frontEnd;
    ICanceller* canceller;
    const OrderedRunOptions options;
    RenameUtil renamer;
    RunOutputs written;
    // With several workers: the pictures in work, oldest first.
    std::unique_ptr<ConversionPipeline> pipeline;
    std::list<Entry> queued;
    // Every picture as its front end gave it, up to the first that pictureAt could not give (`unnamed`).
    std::vector<RunPicture> pictures;
    std::exception_ptr unnamed;
    // Each file source by its lower-case full path, with the last position that reads it.
    std::unordered_map<std::wstring, int> lastReader;
};
