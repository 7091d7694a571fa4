#include "jobs/JobReport.h"
#include "foundation/Application.h"
#include "foundation/FileHandle.h"
#include "jobs/LogMessages.h"
#include "jobs/ProgressDialog.h"

namespace {

const wchar_t newLine[] = L"\r\n";

// The system's reason why the output cannot be replaced; ERROR_SUCCESS when it can, or is not there.
DWORD replaceError(const wstring& path)
{
    FileHandle file(CreateFileW(path.buffer(), GENERIC_WRITE | DELETE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD error = GetLastError();
    return file.isValid() || error == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : error;
}

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

void throwJobFailure(const SimpleString& text, DWORD fileError, const wstring& path)
{
    if (fileError == ERROR_SUCCESS)
        throwJobFailure(text);
    if (fileError == ERROR_NOT_ENOUGH_MEMORY)
        throwOutOfMemory();
    throw ApplicationException::forFile(fileError, path.buffer(), text.get());
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
    if (DWORD error = replaceError(path))
        throw Exception(static_cast<int>(error));
}

void checkReplaceable(const wstring& path, const SimpleString& failureText)
{
    DWORD error = replaceError(path);
    if (error == ERROR_SUCCESS)
        return;
    if (GetFileAttributesW(path.buffer()) != INVALID_FILE_ATTRIBUTES)
        throw Exception(static_cast<int>(error));
    throwJobFailure(failureText, error, path);
}
