#pragma once
#include <windows.h>

// Codes that the library puts into Exception beside the system's own error codes and HRESULTs.
namespace ErrorCode {
constexpr int InvalidArgument = ERROR_INVALID_PARAMETER;          // 87
constexpr int NoMemory = ERROR_NOT_ENOUGH_MEMORY;                 // 8
constexpr int WindowGone = ERROR_INVALID_WINDOW_HANDLE;           // 1400
constexpr int InvalidState = ERROR_INVALID_FUNCTION;              // 1
constexpr int LayoutFileMessage = 0x10000000;                     // own text, from the layout-file reader
constexpr int OwnMessage = 0x10000001;                            // own text, everyone else
constexpr int SettingsFileMissing = 0x10000002;                   // command line: "/par" file missing
constexpr int SourceNotFolder = 0x10000003;                       // command line: "/dir" source is no folder
constexpr int LogReplacesFile = 0x10000004;                       // command line: "/log" is a picture or settings file
} // namespace ErrorCode

class Exception {
public:
    explicit Exception(int code) : code(code) {}
    Exception(const Exception& other) = default;
    virtual ~Exception() = default;

    // The system's text for the code, to be released with LocalFree when mustFree is set; null when there is none.
    virtual wchar_t* getMessage(bool& mustFree) const;
    int getCode() const { return code; }

    static Exception fromLastError() { return Exception(static_cast<int>(GetLastError())); }
    [[noreturn]] static void throwLastError() { throw fromLastError(); }
    [[noreturn]] static void throwInvalidArgument() { throw Exception(ErrorCode::InvalidArgument); }
    // Throws Exception with the HRESULT when it reports a failure.
    static void check(HRESULT result)
    {
        if (FAILED(result))
            throw Exception(static_cast<int>(result));
    }

protected:
    // Owned copies of message texts for the derived kinds (null stays null); freed with freeText.
    static wchar_t* copyText(const wchar_t* text);
    static void freeText(wchar_t* text);

    int code;
};

// An error that carries the program's own message text (owned copy; null when none was given).
class ApplicationException : public Exception {
public:
    explicit ApplicationException(const wchar_t* text, int code = ErrorCode::OwnMessage);
    ApplicationException(const ApplicationException& other);
    ApplicationException& operator=(const ApplicationException&) = delete;
    ~ApplicationException() override;

    // "Loading a resource failed" from string IDS_RESOURCE_LOAD_FAILED (foundation/foundationStrings.h) of the
    // module; a missing string throws a plain Exception.
    static ApplicationException fromModule(HMODULE module);
    // The file on a line of its own over the system's text for the error, which stays the code; under the
    // lead's line when one is given.
    static ApplicationException forFile(DWORD error, const wchar_t* path, const wchar_t* lead = nullptr);

    wchar_t* getMessage(bool& mustFree) const override;
    const wchar_t* getText() const { return text; }

private:
    wchar_t* text = nullptr;
};

[[noreturn]] inline void throwError(int code)
{
    throw Exception(code);
}

[[noreturn]] inline void throwOutOfMemory()
{
    throw Exception(ErrorCode::NoMemory);
}
