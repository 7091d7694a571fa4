#pragma once
#include "foundation/Exception.h"

// An automation error raised by a late-bound call: the SCODE with the error's description and source (owned
// copies, null when the server gave none).
class ComException : public Exception {
public:
    ComException(int code, const wchar_t* description, const wchar_t* source);
    ComException(const ComException& other);
    ComException& operator=(const ComException&) = delete;
    ~ComException() override;

    // The description; without one, the system's text for the code (servers such as Wine's MSXML send none,
    // and a failed save must still say something).
    wchar_t* getMessage(bool& mustFree) const override;
    const wchar_t* getDescription() const { return description; }
    const wchar_t* getSource() const { return source; }

private:
    wchar_t* description = nullptr;
    wchar_t* source = nullptr;
};
