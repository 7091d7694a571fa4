#include "jobs/jobPictureLoading.h"
#include "imaging/pictureLoading.h"
#include "jobs/JobReport.h"

BitmapPtr loadJobBitmap(const wstring& path, const SimpleString& failureText)
{
    BitmapPtr bitmap(withFailureText(failureText, [&] { return loadBitmap(path.buffer()); }));
    if (!bitmap)
        throwJobFailure(failureText);
    return bitmap;
}

void loadJobDib(const wstring& path, Dib& dib, const SimpleString& failureText)
{
    if (!withFailureText(failureText, [&] { return loadDib(path.buffer(), dib); }))
        throwJobFailure(failureText);
}
