#include "jobs/JobReport.h"
#include "foundation/Application.h"
#include "foundation/FileHandle.h"
#include "jobs/LogMessages.h"
#include "jobs/ProgressDialog.h"

namespace {

const wchar_t newLine[] = L"\r\n";

} // namespace

void JobReport::start(const SimpleString& text)
{
    log.write(stampedLogText(text) + newLine + newLine);
}

void JobReport::count(const SimpleString& label, int value)
{
    log.write(wstring(label.get()) + decimal(value) + newLine);
}

void JobReport::done(const wstring& source, const wstring& target)
{
    log.write(source + L" -> " + target + newLine);
}

void JobReport::end(bool stopped, const SimpleString& endText, const SimpleString& label, const wstring& value)
{
    if (stopped)
        log.write(wstring(LogMessages::M005.get()) + newLine);
    log.write(wstring(newLine) + stampedLogText(endText) + newLine + newLine);
    log.write(wstring(label.get()) + value + newLine + newLine);
}

int JobReport::fail(const Exception& exception)
{
    // The error itself is what the user must see; a log that cannot take this line must not hide it.
    try {
        log.write(wstring(newLine) + stampedLogText(LogMessages::M004) + newLine + newLine);
    } catch (...) {
    }
    if (Application* application = getApplication())
        application->showException(dialog.getHandle(), exception);
    return CancelThreadOperation::Failed;
}

void throwJobFailure(const SimpleString& text)
{
    throw ApplicationException(text.get());
}

wstring outputOrNone(bool stopped, const wstring& path)
{
    return stopped ? wstring(L"-") : path;
}

wstring decimal(int value)
{
    wstring text;
    text.setInt(value);
    return text;
}

void checkReplaceable(const wstring& path)
{
    FileHandle file(CreateFileW(path.buffer(), GENERIC_WRITE | DELETE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.isValid() && GetLastError() != ERROR_FILE_NOT_FOUND)
        Exception::throwLastError();
}
