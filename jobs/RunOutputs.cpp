#include "jobs/RunOutputs.h"
#include "foundation/FileSystem.h"
#include "foundation/Path.h"

namespace {

std::wstring pathKey(const Path& path)
{
    return path.getPath().toLower().buffer();
}

std::wstring nameKey(const Path& path)
{
    return path.getFileName().toLower().buffer();
}

} // namespace

void RunOutputs::clear()
{
    outputs.clear();
    outputsByName.clear();
    sources.removeAll();
}

void RunOutputs::add(const wstring& source, const wstring& target, bool deleteSource)
{
    Path output(target);
    if (outputs.insert(pathKey(output)).second)
        outputsByName.emplace(nameKey(output), output.getPath());
    // A source that is its own output is the output now.
    if (deleteSource && !isSameFile(source, target))
        sources.add(source);
}

bool RunOutputs::isOutput(const wstring& path) const
{
    return outputs.count(pathKey(Path(path))) > 0;
}

void RunOutputs::sourcesToDelete(wstringArray& deletions) const
{
    for (int i = 0; i < sources.count(); ++i) {
        if (!holdsOutput(sources.at(i)))
            deletions.add(sources.at(i));
    }
}

bool RunOutputs::holdsOutput(const wstring& source) const
{
    Path path(source);
    if (outputs.count(pathKey(path)) > 0)
        return true;
    // Only an output of the same name can be the same file under another spelling of its folder.
    auto [first, last] = outputsByName.equal_range(nameKey(path));
    for (auto output = first; output != last; ++output) {
        // A doubt must never delete an output.
        if (mayBeSameFile(source, output->second))
            return true;
    }
    return false;
}
