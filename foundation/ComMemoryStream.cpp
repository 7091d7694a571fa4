#include "foundation/ComMemoryStream.h"
#include <algorithm>
#include <cstdint>
#include <exception>
#include <new>
#include <vector>

namespace {

template <typename T>
struct HeapAllocator {
    using value_type = T;

    HeapAllocator() = default;
    template <typename U>
    HeapAllocator(const HeapAllocator<U>&) noexcept
    {
    }

    T* allocate(size_t count)
    {
        void* block = count <= SIZE_MAX / sizeof(T) ? HeapAlloc(GetProcessHeap(), 0, count * sizeof(T)) : nullptr;
        if (!block)
            throw std::bad_alloc();
        return static_cast<T*>(block);
    }
    void deallocate(T* block, size_t) noexcept { HeapFree(GetProcessHeap(), 0, block); }

    template <typename U>
    bool operator==(const HeapAllocator<U>&) const noexcept
    {
        return true;
    }
    template <typename U>
    bool operator!=(const HeapAllocator<U>&) const noexcept
    {
        return false;
    }
};

// Room for `size` bytes without moving them again soon: the capacity at least doubles, and only when the doubled
// block cannot be had is the exact size tried.
template <typename Bytes>
bool makeRoom(Bytes& bytes, ULONGLONG size) noexcept
{
    if (size <= bytes.capacity())
        return true;
    if (size > bytes.max_size())
        return false;
    try {
        bytes.reserve(std::max(static_cast<size_t>(size), std::min(bytes.capacity() * 2, bytes.max_size())));
        return true;
    } catch (const std::exception&) {
    }
    try {
        bytes.reserve(static_cast<size_t>(size));
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace

struct ComMemoryStream::Bytes : std::vector<BYTE, HeapAllocator<BYTE>> {
    using vector::vector;
};

IStream* ComMemoryStream::create()
{
    return create(nullptr, 0);
}

IStream* ComMemoryStream::create(const void* bytes, size_t size)
{
    const BYTE* first = static_cast<const BYTE*>(bytes);
    try {
        return make(std::allocate_shared<Bytes>(HeapAllocator<Bytes>(), first, first + size), 0);
    } catch (const std::exception&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}

void* ComMemoryStream::operator new(size_t size, const std::nothrow_t&) noexcept
{
    return HeapAlloc(GetProcessHeap(), 0, size);
}

void ComMemoryStream::operator delete(void* object) noexcept
{
    HeapFree(GetProcessHeap(), 0, object);
}

IStream* ComMemoryStream::make(std::shared_ptr<Bytes> bytes, ULONGLONG position)
{
    ComMemoryStream* stream = new (std::nothrow) ComMemoryStream(std::move(bytes), position);
    if (!stream)
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return stream;
}

STDMETHODIMP ComMemoryStream::Read(void* buffer, ULONG count, ULONG* done)
{
    if (done)
        *done = 0;
    if (!buffer)
        return STG_E_INVALIDPOINTER;
    ULONGLONG left = position < bytes->size() ? bytes->size() - position : 0;
    auto got = static_cast<ULONG>(std::min<ULONGLONG>(count, left));
    if (got) {
        std::copy_n(bytes->data() + position, got, static_cast<BYTE*>(buffer));
        position += got;
    }
    if (done)
        *done = got;
    return got == count ? S_OK : S_FALSE;
}

STDMETHODIMP ComMemoryStream::Write(const void* buffer, ULONG count, ULONG* done)
{
    if (done)
        *done = 0;
    if (!buffer)
        return STG_E_INVALIDPOINTER;
    Bytes& block = *bytes;
    if (position > block.max_size() - count || !makeRoom(block, position + count))
        return STG_E_MEDIUMFULL;
    // The room is there: nothing below allocates.
    auto at = static_cast<size_t>(position);
    if (at > block.size())
        block.resize(at);
    const BYTE* from = static_cast<const BYTE*>(buffer);
    size_t inside = std::min<size_t>(count, block.size() - at);
    std::copy_n(from, inside, block.begin() + at);
    block.insert(block.end(), from + inside, from + count);
    position += count;
    if (done)
        *done = count;
    return S_OK;
}

STDMETHODIMP ComMemoryStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* reached)
{
    ULONGLONG base = 0;
    if (origin == STREAM_SEEK_CUR)
        base = position;
    else if (origin == STREAM_SEEK_END)
        base = bytes->size();
    else if (origin != STREAM_SEEK_SET)
        return STG_E_INVALIDFUNCTION;
    auto step = static_cast<ULONGLONG>(move.QuadPart);
    bool outside = move.QuadPart < 0 ? 0 - step > base : step > ~0ULL - base;
    if (outside)
        return STG_E_INVALIDFUNCTION;
    position = base + step;
    if (reached)
        reached->QuadPart = position;
    return S_OK;
}

STDMETHODIMP ComMemoryStream::SetSize(ULARGE_INTEGER size)
{
    if (size.QuadPart > bytes->max_size())
        return STG_E_MEDIUMFULL;
    try {
        bytes->resize(static_cast<size_t>(size.QuadPart));
        return S_OK;
    } catch (const std::exception&) {
        return STG_E_MEDIUMFULL;
    }
}

STDMETHODIMP ComMemoryStream::Stat(STATSTG* stat, DWORD)
{
    if (!stat)
        return STG_E_INVALIDPOINTER;
    ZeroMemory(stat, sizeof(*stat));
    stat->type = STGTY_STREAM;
    stat->cbSize.QuadPart = bytes->size();
    stat->grfMode = STGM_READWRITE;
    return S_OK;
}

STDMETHODIMP ComMemoryStream::Clone(IStream** copy)
{
    if (!copy)
        return STG_E_INVALIDPOINTER;
    *copy = make(bytes, position);
    return *copy ? S_OK : E_OUTOFMEMORY;
}
