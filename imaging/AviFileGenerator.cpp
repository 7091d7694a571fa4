#include "imaging/AviFileGenerator.h"
#include "foundation/Exception.h"
#include "imaging/Dib.h"

namespace {

// The system's AVI file handler.
constexpr wchar_t AviFileHandler[] = L"{00020000-0000-0000-C000-000000000046}";
constexpr int MaxNameCharacters = 63;

void throwIfFailed(HRESULT result)
{
    Exception::check(result);
}

void toBitsPerPixel24(Dib& dib)
{
    if (!dib.toBitsPerPixel24())
        Exception::throwLastError();
}

} // namespace

AviFileGenerator::AviFile::AviFile(const wchar_t* path, const RECT& frame, int rate, int count, const wstring& name)
{
    AVIFileInit();
    try {
        CLSID handler;
        throwIfFailed(CLSIDFromString(AviFileHandler, &handler));
        // The staged file stays open for reading while AVIFile writes it by name.
        throwIfFailed(AVIFileOpenW(&avi, path, OF_WRITE | OF_CREATE | OF_SHARE_DENY_NONE, &handler));
        AVISTREAMINFOW info{};
        info.fccType = streamtypeVIDEO;
        info.fccHandler = mmioFOURCC('D', 'I', 'B', ' ');
        info.dwScale = 1;
        info.dwRate = static_cast<DWORD>(rate);
        info.dwLength = static_cast<DWORD>(count);
        info.dwQuality = static_cast<DWORD>(-1);
        info.rcFrame = frame;
        lstrcpynW(info.szName, name.buffer(), MaxNameCharacters + 1);
        throwIfFailed(AVIFileCreateStreamW(avi, &video, &info));
    } catch (...) {
        release();
        throw;
    }
}

AviFileGenerator::AviFile::~AviFile()
{
    release();
}

void AviFileGenerator::AviFile::release()
{
    if (video)
        AVIStreamRelease(video);
    if (avi)
        AVIFileRelease(avi);
    video = nullptr;
    avi = nullptr;
    AVIFileExit();
}

int AviFileGenerator::open(const wstring& path, Dib& first, int rate, int count, const wstring& name)
{
    if (rate < 1 || count < 1)
        throw Exception(ErrorCode::InvalidArgument);
    close();
    if (first.isEmpty())
        throw Exception(ErrorCode::InvalidArgument);
    width = first.width();
    height = first.height();
    written = 0;
    leastFileSize = 0;
    announced = count;
    try {
        if (!target.create(path.buffer(), TemporaryOutputFile::Writer::SharedName))
            Exception::throwLastError();
        file = std::make_unique<AviFile>(target.path(), RECT{0, 0, width, height}, rate, count, name);
        toBitsPerPixel24(first);
        BITMAPINFOHEADER format = first.getInfo()->bmiHeader;
        format.biSize = sizeof(BITMAPINFOHEADER);
        format.biCompression = BI_RGB;
        format.biClrUsed = 0;
        format.biClrImportant = 0;
        throwIfFailed(AVIStreamSetFormat(file->stream(), 0, &format, sizeof(format)));
        writeFrame(first);
    } catch (...) {
        close();
        throw;
    }
    return written;
}

int AviFileGenerator::addFrame(Dib& dib)
{
    if (!file)
        throw Exception(ErrorCode::InvalidState);
    if ((dib.width() != width || dib.height() != height) && !dib.resizeCanvas(width, height, RGB(0, 0, 0)))
        Exception::throwLastError();
    toBitsPerPixel24(dib);
    writeFrame(dib);
    return written;
}

void AviFileGenerator::writeFrame(Dib& dib)
{
    GdiFlush();
    LONG samples = 0;
    LONG bytes = 0;
    LONG size = static_cast<LONG>(dib.imageSize());
    throwIfFailed(AVIStreamWrite(file->stream(), written, 1, dib.getBits(), size, AVIIF_KEYFRAME, &samples, &bytes));
    if (samples != 1 || bytes != size)
        throw Exception(ERROR_WRITE_FAULT);
    ++written;
    // The frame's chunk, padded to an even size, and its entry in the index.
    leastFileSize += 8 + ((static_cast<ULONGLONG>(size) + 1) & ~1ull) + sizeof(AVIINDEXENTRY);
    finishWhenComplete();
}

void AviFileGenerator::finishWhenComplete()
{
    if (written < announced)
        return;
    // The file is complete only once AVIFile has written its index and let go of it. AVIFile writes through
    // buffers and says nothing when they cannot be written out, as on a full disk: a file that does not hold
    // every frame with its index entry is cut.
    file.reset();
    if (!holdsEveryFrame()) {
        target.discard();
        Exception::throwLastError();
    }
    if (!target.commit())
        Exception::throwLastError();
}

bool AviFileGenerator::holdsEveryFrame() const
{
    WIN32_FILE_ATTRIBUTE_DATA found;
    if (!GetFileAttributesExW(target.path(), GetFileExInfoStandard, &found))
        return false;
    if ((static_cast<ULONGLONG>(found.nFileSizeHigh) << 32 | found.nFileSizeLow) >= leastFileSize)
        return true;
    SetLastError(ERROR_WRITE_FAULT);
    return false;
}

void AviFileGenerator::close()
{
    file.reset();
    target.discard();
}
