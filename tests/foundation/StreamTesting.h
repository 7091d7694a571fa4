#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "foundation/ExpectCode.h"
#include "foundation/MemoryStream.h"
#include "ScratchFolder.h"

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
