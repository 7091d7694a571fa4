#include "jobs/SplitThreadImpl.h"
#include "foundation/Application.h"
#include "foundation/ObjectArray.h"
#include "foundation/Path.h"
#include "imaging/Dib.h"
#include "imaging/dibTiling.h"
#include "jobs/JobReport.h"
#include "jobs/LogMessages.h"
#include "jobs/jobPictureLoading.h"
#include "jobs/jobPngOutput.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"
#include "settings/Messages.h"

namespace {

const wchar_t newLine[] = L"\r\n";

// One run of the job, on the worker thread.
class Split {
public:
    Split(ProgressDialog& dialog, const wstring& outputFolder)
        : dialog(dialog), report(dialog), setting(getAppSetting()), outputFolder(outputFolder)
    {
    }

    int execute(const wstring& sourceFile);

private:
    enum class Next { Continue, Stop };

    Next writeTiles(const ObjectArray<Dib>& tiles);
    Next writeTile(const Dib& tile);

    ProgressDialog& dialog;
    JobReport report;
    const AppSetting& setting;
    const wstring& outputFolder;
    // The tiles' names without their numbers: the folder and the source's name.
    wstring base;
    // Numbers the tiles across the batches of the splitter.
    int counter = 0;
    int written = 0;
};

int Split::execute(const wstring& sourceFile)
{
    return report.runReportingErrors([&] {
        report.start(LogMessages::M201);
        Path source(sourceFile);
        report.log.write(wstring(LogMessages::M203.get()) + source.getPath() + newLine);
        Dib picture;
        loadJobDib(source.getPath(), picture, Messages::E0013);
        base = combinePath(outputFolder, source.getBaseName());
        bool stopped = false;
        for (int start = 0;;) {
            ObjectArray<Dib> tiles;
            int count = splitDibIntoTiles(picture, tiles, setting.fileSplitWidth, setting.fileSplitHeight, start,
                                          setting.fileSplitBackColor);
            if (dialog.isCancelled()) {
                stopped = true;
                break;
            }
            if (count < 0)
                throwJobFailure(Messages::E0013);
            if (count == 0)
                break;
            if (writeTiles(tiles) == Next::Stop) {
                stopped = true;
                break;
            }
            start += count;
        }
        report.end(stopped, LogMessages::M202, LogMessages::M204, decimal(written));
        return stopped ? CancelThreadOperation::Cancelled : written;
    });
}

Split::Next Split::writeTiles(const ObjectArray<Dib>& tiles)
{
    for (int i = 0; i < tiles.count(); ++i) {
        if (writeTile(*tiles.at(i)) == Next::Stop)
            return Next::Stop;
    }
    return Next::Continue;
}

Split::Next Split::writeTile(const Dib& tile)
{
    wstring name = base + L"_" + decimal(counter++) + L".png";
    if (Path(name).exists()) {
        wstring question = fillIn(Messages::W0001, name);
        if (Application::messageBox(dialog.getHandle(), question, MB_YESNO | MB_ICONWARNING) == IDNO)
            return Next::Stop;
    }
    if (dialog.isCancelled())
        return Next::Stop;
    writeDibAsPng(tile, name);
    report.done(L"", name);
    ++written;
    return Next::Continue;
}

} // namespace

int SplitThreadImpl::run(ProgressDialog& dialog)
{
    return Split(dialog, outputFolder).execute(sourceFile);
}
