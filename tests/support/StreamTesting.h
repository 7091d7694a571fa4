#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "foundation/MemoryStream.h"
#include "support/ExpectCode.h"
#include "support/ScratchFolder.h"
#include "support/fileBytes.h"

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
