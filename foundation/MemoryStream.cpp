#include "foundation/MemoryStream.h"
#include <climits>
#include <new>
#include "foundation/Exception.h"

namespace {

// A block of `bytes` zero bytes; astring's own allocation throws Exception 8 when memory runs out.
std::unique_ptr<astring> makeBlock(int bytes)
{
    std::unique_ptr<astring> block(new (std::nothrow) astring());
    if (!block)
        throw Exception(ErrorCode::NoMemory);
    block->reserve(bytes);
    return block;
}

[[noreturn]] void throwNotOpen()
{
    throw Exception(ErrorCode::InvalidState);
}

} // namespace

void InputMemoryStream::open(const void* bytes, int length)
{
    if (!bytes || length < 0) {
        close();
        Exception::throwInvalidArgument();
    }
    if (length == INT_MAX) {
        close();
        throw Exception(ErrorCode::NoMemory);
    }
    // The copy is made before the old block goes: the bytes may come from it.
    std::unique_ptr<astring> block = makeBlock(length + 1);
    char* data = block->reserve(length + 1);
    CopyMemory(data, bytes, length);
    close();
    buffer = std::move(block);
    end = data + length;
    position = length ? data : nullptr;
}

void InputMemoryStream::close()
{
    buffer.reset();
    position = nullptr;
    end = nullptr;
}

DWORD InputMemoryStream::read(void* target, DWORD count, bool& endOfData)
{
    if (!buffer)
        throwNotOpen();
    endOfData = false;
    if (!count)
        return 0;
    if (!target)
        Exception::throwInvalidArgument();
    ZeroMemory(target, count);
    DWORD available = position ? static_cast<DWORD>(end - position) : 0;
    DWORD copied = count < available ? count : available;
    if (copied) {
        CopyMemory(target, position, copied);
        position += copied;
        if (position == end)
            position = nullptr;
    }
    endOfData = copied < count;
    return copied;
}

OutputMemoryStream::OutputMemoryStream(int growthStep) : growthStep(growthStep)
{
    if (growthStep < 1)
        Exception::throwInvalidArgument();
}

void OutputMemoryStream::open()
{
    close();
    buffer = makeBlock(1);
}

void OutputMemoryStream::close()
{
    buffer.reset();
    length = 0;
    capacity = 0;
}

void OutputMemoryStream::requireOpen() const
{
    if (!buffer)
        throwNotOpen();
}

DWORD OutputMemoryStream::write(const void* bytes, DWORD count)
{
    requireOpen();
    if (!bytes)
        Exception::throwInvalidArgument();
    // One byte stays free behind the capacity for the terminating zero.
    if (count > static_cast<DWORD>(INT_MAX - 1 - length))
        throw Exception(ErrorCode::NoMemory);
    int needed = length + static_cast<int>(count);
    if (needed > capacity) {
        long long steps = (static_cast<long long>(needed - capacity) + growthStep - 1) / growthStep;
        long long grown = capacity + steps * growthStep;
        if (grown > INT_MAX - 1)
            grown = needed;
        buffer->reserve(static_cast<int>(grown) + 1);
        capacity = static_cast<int>(grown);
    }
    CopyMemory(buffer->reserve(capacity + 1) + length, bytes, count);
    length = needed;
    return count;
}

void OutputMemoryStream::flush()
{
    requireOpen();
}

wstring OutputMemoryStream::getText() const
{
    requireOpen();
    auto units = reinterpret_cast<const wchar_t*>(buffer->buffer());
    int count = 0;
    while (count < length / 2 && units[count])
        ++count;
    wstring text;
    wchar_t* target = text.reserve(count + 1);
    CopyMemory(target, units, count * sizeof(wchar_t));
    target[count] = 0;
    return text;
}
