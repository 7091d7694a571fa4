#include "foundation/StreamConverter.h"
#include "foundation/Allocator.h"
#include "foundation/Exception.h"
#include "foundation/InputStream.h"
#include "foundation/OutputStream.h"

namespace {

class ChunkBuffer {
public:
    explicit ChunkBuffer(int bytes) : block(getDefaultAllocator().alloc(bytes, false)) {}
    ChunkBuffer(const ChunkBuffer&) = delete;
    ChunkBuffer& operator=(const ChunkBuffer&) = delete;
    ~ChunkBuffer() { getDefaultAllocator().free(block); }
    void* get() const { return block; }

private:
    void* block;
};

} // namespace

StreamConverter::StreamConverter(DWORD limit, int chunkSize) : limit(limit), chunkSize(chunkSize)
{
    if (chunkSize < 1)
        Exception::throwInvalidArgument();
}

int StreamConverter::convert(InputStream& in, OutputStream& out)
{
    ChunkBuffer chunk(chunkSize);
    DWORD readTotal = 0;
    int written = 0;
    for (;;) {
        DWORD wanted = static_cast<DWORD>(chunkSize);
        bool last = false;
        if (limit && limit - readTotal <= wanted) {
            wanted = limit - readTotal;
            last = true;
        }
        bool endOfData = false;
        DWORD got = in.read(chunk.get(), wanted, endOfData);
        written += static_cast<int>(out.write(chunk.get(), got));
        if (last || endOfData)
            break;
        readTotal += got;
    }
    out.flush();
    return written;
}
