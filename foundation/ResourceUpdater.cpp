#include "foundation/ResourceUpdater.h"
#include "foundation/Exception.h"
#include "foundation/MemoryStream.h"
#include "foundation/StreamConverter.h"

namespace {

constexpr int CopyBlock = 1024;

} // namespace

void ResourceUpdater::begin(const wstring& path)
{
    end(false);
    handle = BeginUpdateResourceW(path.buffer(), FALSE);
    if (!handle)
        Exception::throwLastError();
}

void ResourceUpdater::update(const wchar_t* type, const wchar_t* name, InputStream* data)
{
    if (!handle)
        throw Exception(ErrorCode::InvalidState);
    if (!data) {
        if (!UpdateResourceW(handle, type, name, Language, nullptr, 0))
            Exception::throwLastError();
        return;
    }
    OutputMemoryStream bytes(CopyBlock);
    bytes.open();
    StreamConverter(0, CopyBlock).convert(*data, bytes);
    // No bytes would turn the update into a deletion.
    if (!bytes.getLength())
        throw Exception(ErrorCode::InvalidState);
    if (!UpdateResourceW(handle, type, name, Language, const_cast<char*>(bytes.getBuffer()), bytes.getLength()))
        Exception::throwLastError();
}

void ResourceUpdater::end(bool commit)
{
    HANDLE open = handle;
    handle = nullptr;
    if (!commit) {
        if (open)
            EndUpdateResourceW(open, TRUE);
        return;
    }
    if (!open)
        throw Exception(ErrorCode::InvalidState);
    if (!EndUpdateResourceW(open, FALSE))
        Exception::throwLastError();
}
