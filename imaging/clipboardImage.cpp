#include "imaging/clipboardImage.h"
#include <memory>
#include "foundation/Clipboard.h"
#include "foundation/Exception.h"
#include "foundation/LockedBlock.h"
#include "imaging/ComStream.h"
#include "imaging/Dib.h"
#include "imaging/gdipImageIO.h"

namespace {

constexpr WORD BmpSignature = 0x4D42; // "BM"
constexpr DWORD FileHeaderBytes = sizeof(BITMAPFILEHEADER);

static_assert(FileHeaderBytes == 14, "the BMP file header is 14 bytes");

struct StreamReleaser {
    void operator()(IStream* stream) const { stream->Release(); }
};
using StreamPtr = std::unique_ptr<IStream, StreamReleaser>;

// A global block that is freed unless someone took it over.
class GlobalBlock {
public:
    explicit GlobalBlock(HGLOBAL block) : block(block) {}
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;
    ~GlobalBlock()
    {
        if (block)
            GlobalFree(block);
    }
    HGLOBAL get() const { return block; }
    void release() { block = nullptr; }

private:
    HGLOBAL block;
};

// Writes the packed DIB of the block behind a BMP file header, or nothing when the header claims more than
// the block holds: the clipboard's data comes from any program.
void writeBmpFile(HGLOBAL block, OutputStream& output)
{
    LockedBlock locked(block);
    SIZE_T available = GlobalSize(block);
    if (!locked.bytes() || available < sizeof(BITMAPINFOHEADER))
        return;
    const auto& header = *reinterpret_cast<const BITMAPINFOHEADER*>(locked.bytes());
    if (header.biSize < sizeof(BITMAPINFOHEADER))
        return;
    LONGLONG info = Dib::packedInfoBytes(header);
    LONGLONG pixels = Dib::packedPixelBytes(header);
    LONGLONG dib = info + pixels;
    if (pixels <= 0 || dib > static_cast<LONGLONG>(available) || FileHeaderBytes + dib > MAXDWORD)
        return;

    BITMAPFILEHEADER file = {};
    file.bfType = BmpSignature;
    file.bfSize = static_cast<DWORD>(FileHeaderBytes + dib);
    file.bfOffBits = static_cast<DWORD>(FileHeaderBytes + info);
    output.write(&file, FileHeaderBytes);
    output.write(locked.bytes(), static_cast<DWORD>(dib));
}

} // namespace

DWORD dibColorCount(const BITMAPINFOHEADER* header)
{
    if (!header)
        Exception::throwInvalidArgument();
    return header->biClrUsed != 0 ? header->biClrUsed : Dib::colorCountOf(header);
}

void saveImageToClipboard(Gdiplus::Image* image, HWND owner)
{
    if (!image || image->GetType() == Gdiplus::ImageTypeUnknown)
        Exception::throwInvalidArgument();
    IStream* stream = gdipEncodeToStream(L"image/bmp", image, nullptr);
    if (!stream)
        throwOutOfMemory();
    putBmpStreamOnClipboard(stream, owner);
}

void putBmpStreamOnClipboard(IStream* stream, HWND owner)
{
    InputComStream input(stream);
    if (!stream)
        Exception::throwInvalidArgument();
    ULONGLONG size = input.seek(0, STREAM_SEEK_END);
    if (size < FileHeaderBytes + sizeof(BITMAPINFOHEADER))
        Exception::throwInvalidArgument();
    if (size - FileHeaderBytes > MAXDWORD)
        throwOutOfMemory();
    auto dibBytes = static_cast<DWORD>(size - FileHeaderBytes);
    input.seek(FileHeaderBytes, STREAM_SEEK_SET);

    GlobalBlock block(GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, dibBytes));
    if (!block.get())
        throwOutOfMemory();
    {
        LockedBlock locked(block.get());
        if (!locked.bytes())
            throwOutOfMemory();
        bool end = false;
        input.read(locked.bytes(), dibBytes, end);
    }

    OpenedClipboard clipboard(owner);
    if (!clipboard.isOpen() || !EmptyClipboard() || !SetClipboardData(CF_DIB, block.get()))
        Exception::throwLastError();
    block.release();
}

IStream* clipboardDibToBmpStream()
{
    if (!IsClipboardFormatAvailable(CF_DIB))
        return nullptr;
    OutputComStream output;
    output.create();
    {
        OpenedClipboard clipboard(nullptr);
        HANDLE data = clipboard.isOpen() ? GetClipboardData(CF_DIB) : nullptr;
        if (data)
            writeBmpFile(static_cast<HGLOBAL>(data), output);
    }
    StreamPtr stream(output.detach());
    rewindComStream(stream.get());
    return stream.release();
}

Gdiplus::Bitmap* pasteImageFromClipboard()
{
    StreamPtr stream(clipboardDibToBmpStream());
    if (!stream)
        return nullptr;
    Gdiplus::Bitmap* bitmap = gdipBitmapFromStream(stream.get());
    if (!bitmap)
        throwOutOfMemory();
    return bitmap;
}
