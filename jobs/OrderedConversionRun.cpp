#include "jobs/OrderedConversionRun.h"
#include "foundation/Exception.h"
#include "foundation/FileSystem.h"
#include "foundation/Path.h"
#include "imaging/ICanceller.h"
#include "jobs/ConversionPipeline.h"
#include "settings/AppSetting.h"

namespace {

// How paths of the run are compared: as full paths, without regard to case. Empty for text that is no path at all,
// which is then neither a source nor a target of another picture.
std::wstring pathKey(const wstring& text)
{
    try {
        return Path(text).getPath().toLower().buffer();
    } catch (const Exception&) {
        return std::wstring();
    }
}

} // namespace

OrderedConversionRun::OrderedConversionRun(const AppSetting& setting, IShotDateReader* shotDates,
                                           IRunFrontEnd& frontEnd, ICanceller* canceller,
                                           const OrderedRunOptions& options)
    : setting(setting), frontEnd(frontEnd), canceller(canceller), options(options), renamer(setting, shotDates)
{
}

OrderedConversionRun::~OrderedConversionRun() = default;

// Runs a step whose error a one-at-a-time run meets only after every picture before this one, and not at all
// when one of them ends the run. False in that case.
template <typename Step>
bool OrderedConversionRun::inTurn(Step step)
{
    try {
        step();
        return true;
    } catch (...) {
        if (!queued.empty() && catchUp() == Next::Stop)
            return false;
        throw;
    }
}

bool OrderedConversionRun::run(int count, const PictureAt& pictureAt)
{
    int workers = options.workers > 0 ? options.workers : conversionWorkerCount();
    if (workers > 1 && count > 1)
        pipeline = std::make_unique<ConversionPipeline>(workers, canceller);
    takeAll(count, pictureAt);
    Next next = Next::Continue;
    for (int i = 0; i < count && next != Next::Stop; ++i)
        next = take(i);
    if (next != Next::Stop)
        next = finishQueued(0);
    // Nothing of the pictures after a stop stays on disk, not even under a temporary name.
    if (pipeline)
        pipeline->discardAll();
    return next != Next::Stop;
}

// Every picture up to the first that its front end cannot give: that one ends the run in its turn, so the
// pictures after it are never reached.
void OrderedConversionRun::takeAll(int count, const PictureAt& pictureAt)
{
    for (int i = 0; i < count; ++i) {
        try {
            pictures.push_back(pictureAt(i));
        } catch (...) {
            unnamed = std::current_exception();
            return;
        }
        RunPicture& picture = pictures.back();
        picture.index = i;
        std::wstring source = picture.sourceIsFile ? pathKey(picture.source) : std::wstring();
        if (!source.empty())
            lastReader[source] = i;
    }
}

// Settles the picture's target, then converts it at once (one worker) or queues it.
OrderedConversionRun::Next OrderedConversionRun::take(int index)
{
    if (static_cast<size_t>(index) >= pictures.size()) {
        inTurn([&] { std::rethrow_exception(unnamed); });
        return Next::Stop;
    }
    Entry entry;
    entry.picture = pictures[index];
    RunPicture& picture = entry.picture;
    // A source that an earlier picture writes is read as that picture leaves it.
    bool files = picture.sourceIsFile && picture.targetIsFile;
    if ((!files || readsQueuedTarget(picture.source)) && catchUp() == Next::Stop)
        return Next::Stop;
    if (isCancelled(canceller))
        return Next::Stop;
    if (picture.targetIsFile) {
        Next named = nameTarget(picture);
        if (named != Next::Continue)
            return named;
        Next settled = settleTarget(entry);
        if (settled != Next::Continue)
            return settled;
    }
    return convert(entry);
}

// The target under the rename rule, in its sub-folder, which is made here. Skip when the picture cannot be named:
// the rule gives it no name, or what the rule reads of its source cannot be read (a source that is gone has no
// update time). That is the picture's failure, as one that cannot be loaded.
OrderedConversionRun::Next OrderedConversionRun::nameTarget(RunPicture& picture)
{
    wstring name;
    PictureOutcome named = pictureStep(canceller, [&] {
        name = targetName(picture);
        return name.isEmpty() ? PictureOutcome::Failed : PictureOutcome::Written;
    });
    if (named != PictureOutcome::Written) {
        // A one-at-a-time run logs this failure in its turn.
        if (catchUp() == Next::Stop)
            return Next::Stop;
        return frontEnd.finished(picture, PictureOutcome::Failed) ? Next::Skip : Next::Stop;
    }
    picture.target = name;
    if (!options.applyRenameRules)
        return Next::Continue;
    wstring folder = Path(name).getDirectory();
    // A one-at-a-time run makes the folder after the pictures before it, and not at all when one of them ends
    // the run; a file in the folder's place is its error in that same turn.
    if (!isDirectory(folder) && catchUp() == Next::Stop)
        return Next::Stop;
    createDirectoryTree(folder);
    return Next::Continue;
}

wstring OrderedConversionRun::targetName(const RunPicture& picture)
{
    wstring name = Path(picture.target).getPath();
    if (!options.applyRenameRules)
        return name;
    name = renamer.rename(name, picture.source);
    if (!name.isEmpty())
        name = renamer.sortedName(picture.source, Path(name));
    if (!name.isEmpty())
        name = Path(name).getPath();
    return name;
}

OrderedConversionRun::Next OrderedConversionRun::settleTarget(Entry& entry)
{
    RunPicture& picture = entry.picture;
    Existing rule = existing(picture);
    // An existing target is numbered or asked about only once every picture before it is written: one of them
    // may be what makes it exist, or what takes a number. One that is simply replaced waits for nothing.
    if (isQueuedTarget(picture.target) || (rule != Existing::Free && rule != Existing::Replace)) {
        if (catchUp() == Next::Stop)
            return Next::Stop;
        reach(entry);
        rule = existing(picture);
    }
    if (rule == Existing::Free || rule == Existing::Replace)
        return Next::Continue;
    if (rule == Existing::Number) {
        picture.target = Path(picture.target).makeUnique(L"_").getPath();
        return Next::Continue;
    }
    switch (frontEnd.existingTarget(picture)) {
    case IRunFrontEnd::Answer::Replace:
        return Next::Continue;
    case IRunFrontEnd::Answer::Skip:
        return Next::Skip;
    case IRunFrontEnd::Answer::Fail:
        return frontEnd.finished(picture, PictureOutcome::Failed) ? Next::Skip : Next::Stop;
    case IRunFrontEnd::Answer::Stop:
        break;
    }
    return Next::Stop;
}

// The one rule for a target that is there already, for both front ends (see the class).
OrderedConversionRun::Existing OrderedConversionRun::existing(const RunPicture& picture) const
{
    const wstring& target = picture.target;
    if (!Path(target).exists())
        return Existing::Free;
    if (options.overwrite && !written.isOutput(target) && !isReadAfter(picture.index, target))
        return Existing::Replace;
    if (setting.fileAutoRename)
        return Existing::Number;
    return Existing::Ask;
}

OrderedConversionRun::Next OrderedConversionRun::convert(Entry& entry)
{
    PictureRequest request = frontEnd.request(entry.picture);
    if (!entry.picture.sourceIsFile || !entry.picture.targetIsFile) {
        reach(entry);
        return finish(entry, pictureStep(canceller, [&] { return frontEnd.convertOther(entry.picture, request); }));
    }
    if (!pipeline) {
        reach(entry);
        return finish(entry, convertPictureFile(request, canceller));
    }
    pipeline->queue(request);
    queued.push_back(entry);
    return finishQueued(static_cast<size_t>(pipeline->capacity()) - 1);
}

OrderedConversionRun::Next OrderedConversionRun::finish(Entry& entry, PictureOutcome outcome)
{
    const RunPicture& picture = entry.picture;
    bool onDisk = outcome == PictureOutcome::Written || outcome == PictureOutcome::TimesNotKept;
    if (onDisk && picture.targetIsFile)
        written.add(picture.source, picture.target, options.deleteSources && picture.sourceIsFile);
    return frontEnd.finished(picture, outcome) ? Next::Continue : Next::Stop;
}

void OrderedConversionRun::reach(Entry& entry)
{
    if (entry.reached)
        return;
    entry.reached = true;
    frontEnd.reached(entry.picture);
}

// Brings the run to where a one-at-a-time run stands before the next picture: every picture before it written
// and finished, and the user's cancel looked at.
OrderedConversionRun::Next OrderedConversionRun::catchUp()
{
    if (finishQueued(0) == Next::Stop)
        return Next::Stop;
    return isCancelled(canceller) ? Next::Stop : Next::Continue;
}

// Takes the oldest pictures from the workers until `keep` remain. The cancel is looked at before each, as a
// one-at-a-time run looks before each picture: a picture done in the background but not yet finished is dropped.
OrderedConversionRun::Next OrderedConversionRun::finishQueued(size_t keep)
{
    while (queued.size() > keep) {
        if (isCancelled(canceller))
            return Next::Stop;
        Entry entry = queued.front();
        queued.pop_front();
        reach(entry);
        if (finish(entry, pipeline->finishOldest()) == Next::Stop)
            return Next::Stop;
    }
    return Next::Continue;
}

// A source that is no path at all is no earlier picture's target either.
bool OrderedConversionRun::readsQueuedTarget(const wstring& source) const
{
    return !queued.empty() && isQueuedTarget(pathKey(source).c_str());
}

bool OrderedConversionRun::isQueuedTarget(const wstring& path) const
{
    wstring key = path.toLower();
    for (const Entry& entry : queued) {
        if (entry.picture.target.toLower().equals(key))
            return true;
    }
    return false;
}

// Whether a picture after the one at `index` reads the file.
bool OrderedConversionRun::isReadAfter(int index, const wstring& path) const
{
    auto reader = lastReader.find(pathKey(path));
    return reader != lastReader.end() && reader->second > index;
}
