#include "jobs/FrameFileJob.h"
#include "foundation/Path.h"
#include "jobs/JobReport.h"
#include "jobs/ProgressDialog.h"

int writeFrameFile(ProgressDialog& dialog, const FrameFileTexts& texts, const wstring& outputFile,
                   const wstringArray& files, FrameFileWriter& writer)
{
    JobReport report(dialog);
    return report.runReportingErrors([&] {
        report.start(texts.start);
        report.count(texts.count, files.count());
        checkReplaceable(outputFile, texts.failure);
        bool stopped = false;
        for (int index = 0; index < files.count(); ++index) {
            if (dialog.isCancelled()) {
                stopped = true;
                break;
            }
            writer.load(files.at(index));
            report.done(Path(files.at(index)).getPath());
            writer.write(index);
        }
        writer.finish(stopped);
        report.end(stopped, texts.end, texts.output, outputOrNone(stopped, outputFile));
        return stopped ? CancelThreadOperation::Cancelled : 0;
    });
}
