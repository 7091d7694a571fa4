#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "foundation/Exception.h"
#include "foundation/MemoryStream.h"
#include "ScratchFolder.h"

// The code of the Exception that `call` throws; -1 when it throws none.
template <typename Call>
int thrownCode(Call call)
{
    try {
        call();
    } catch (const Exception& e) {
        return e.getCode();
    }
    return -1;
}

class BytesIn : public InputMemoryStream {
public:
    explicit BytesIn(const Bytes& bytes)
    {
        open(bytes.empty() ? static_cast<const void*>("") : bytes.data(), static_cast<int>(bytes.size()));
    }
};

class BytesOut : public OutputMemoryStream {
public:
    BytesOut() { open(); }
    Bytes bytes() const
    {
        auto data = reinterpret_cast<const BYTE*>(getBuffer());
        return Bytes(data, data + getLength());
    }
};
