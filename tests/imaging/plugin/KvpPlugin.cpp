// A Susie picture plug-in for the made-up "KVP" format, built in several flavours (KVP_FLAVOUR_...) to
// exercise the plug-in host:
//   READER   reads the format;
//   FAILING  accepts the format but fails to decode it;
//   ARCHIVE  an archive plug-in: another API version and no GetPicture;
//   BARE     a DLL without any plug-in export;
//   MULTI    reads the format too, under several patterns in one entry, the way many real plug-ins list them.
// The format: "KVPX", width and height (16-bit), bit count and flags (one byte each), 6 bytes of zeros, then
// the rows, each padded to 4 bytes, from the bottom up unless the flags say otherwise.
#include <windows.h>
#include <cstring>
#include "imaging/SusieExports.h"
#include "KvpFormat.h"

#ifndef KVP_FLAVOUR_BARE

namespace {

#if defined(KVP_FLAVOUR_ARCHIVE)
const char* const infoTexts[] = {"00AM", "KVP archive reader", "*.kva", "KVP archive"};
#elif defined(KVP_FLAVOUR_MULTI)
const char* const infoTexts[] = {"00IN", "KVP multi reader", "*.KVP;*.JPG;*.Kvz", "KVP pictures", "*", "Anything"};
#elif defined(KVP_FLAVOUR_FAILING)
const char* const infoTexts[] = {"00IN", "KVP failing reader", "*.kvp", "KVP picture"};
#else
// The second format's name is "KVQ" followed by two Japanese characters in code page 932.
const char* const infoTexts[] = {"00IN", "KVP test reader", "*.kvp", "KVP picture", "*.kvq", "KVQ\x89\xe6\x91\x9c"};
#endif

[[maybe_unused]] bool readAll(HANDLE file, void* buffer, DWORD bytes)
{
    DWORD read = 0;
    return ReadFile(file, buffer, bytes, &read, nullptr) && read == bytes;
}

[[maybe_unused]] HLOCAL allocCopy(const void* data, SIZE_T bytes)
{
    HLOCAL block = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, bytes);
    if (!block)
        return nullptr;
    std::memcpy(LocalLock(block), data, bytes);
    LocalUnlock(block);
    return block;
}

} // namespace

extern "C" __declspec(dllexport) int WINAPI GetPluginInfo(int infoNumber, char* buffer, int bufferBytes)
{
    if (infoNumber < 0 || infoNumber >= static_cast<int>(sizeof(infoTexts) / sizeof(infoTexts[0])) ||
        bufferBytes < 1)
        return 0;
    int length = lstrlenA(infoTexts[infoNumber]);
    if (length >= bufferBytes)
        length = bufferBytes - 1;
    std::memcpy(buffer, infoTexts[infoNumber], length);
    buffer[length] = 0;
    return length;
}

extern "C" __declspec(dllexport) int WINAPI IsSupported(const char*, void* head)
{
    return std::memcmp(head, Kvp::Signature, sizeof(Kvp::Signature)) == 0;
}

#ifndef KVP_FLAVOUR_ARCHIVE

extern "C" __declspec(dllexport) int WINAPI GetPicture(const char* fileName, LONG_PTR offset, unsigned int flag,
                                                       HLOCAL* info, HLOCAL* pixels,
                                                       Susie::ProgressCallback progress, LONG_PTR userValue)
{
#ifdef KVP_FLAVOUR_FAILING
    return 2;
#else
    if (flag != Susie::FromFile || offset != 0)
        return 2;
    if (progress && progress(0, 1, userValue) != 0)
        return 1;
    HANDLE file = CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 6;
    Kvp::Header header;
    bool complete = readAll(file, &header, sizeof(header));
    int stride = (header.bitCount * header.width + 31) / 32 * 4;
    SIZE_T pixelBytes = static_cast<SIZE_T>(stride) * header.height;
    HLOCAL pixelBlock = complete ? LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, pixelBytes) : nullptr;
    if (pixelBlock) {
        complete = readAll(file, LocalLock(pixelBlock), static_cast<DWORD>(pixelBytes));
        LocalUnlock(pixelBlock);
    }
    CloseHandle(file);
    if (!complete) {
        LocalFree(pixelBlock);
        return 3;
    }
    if (header.flags & Kvp::ShortPixels)
        pixelBlock = LocalReAlloc(pixelBlock, pixelBytes / 2, LMEM_MOVEABLE);
    if (header.flags & Kvp::NoPixels) {
        LocalFree(pixelBlock);
        pixelBlock = nullptr;
    }
    BITMAPINFOHEADER bitmapInfo = {};
    bitmapInfo.biSize = sizeof(bitmapInfo);
    bitmapInfo.biWidth = header.width;
    bitmapInfo.biHeight = header.flags & Kvp::TopDown ? -header.height : header.height;
    bitmapInfo.biPlanes = 1;
    bitmapInfo.biBitCount = header.bitCount;
    bitmapInfo.biCompression = BI_RGB;
    *info = allocCopy(&bitmapInfo, sizeof(bitmapInfo));
    *pixels = pixelBlock;
    return 0;
#endif
}

#endif
#endif
