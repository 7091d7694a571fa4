#include "imaging/AviFileGenerator.h"
#include <cstring>
#include "foundation/Exception.h"
#include "foundation/FileHandle.h"
#include "foundation/Path.h"
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

// The length that the file's RIFF header gives it, header included; 0 when the file does not start with the
// header of an AVI.
ULONGLONG meantLength(HANDLE file)
{
    BYTE header[12];
    DWORD read = 0;
    if (!ReadFile(file, header, sizeof(header), &read, nullptr) || read != sizeof(header) ||
        memcmp(header, "RIFF", 4) != 0 || memcmp(header + 8, "AVI ", 4) != 0)
        return 0;
    return 8 + (static_cast<ULONGLONG>(header[4]) | header[5] << 8 | header[6] << 16 |
                static_cast<ULONGLONG>(header[7]) << 24);
}

// A file that lacks the given bytes: the disk is full when it has no room for them.
DWORD shortFileReason(const wchar_t* path, ULONGLONG missing)
{
    ULARGE_INTEGER available;
    if (GetDiskFreeSpaceExW(Path(path).getDirectory().buffer(), &available, nullptr, nullptr) &&
        available.QuadPart < missing)
        return ERROR_DISK_FULL;
    return ERROR_WRITE_FAULT;
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
    fileFailure = ERROR_SUCCESS;
    try {
        if (!target.create(path.buffer(), TemporaryOutputFile::Writer::SharedName))
            throwFileFailure();
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
    // all that its header gives it, every frame with its index entry among it, is cut.
    file.reset();
    if (!holdsEveryFrame()) {
        target.discard();
        throwFileFailure();
    }
    if (!target.commit())
        throwFileFailure();
}

// AVIFile writes the RIFF header at the file's start when it closes the file, with the length of all it wrote.
bool AviFileGenerator::holdsEveryFrame() const
{
    FileHandle closed(CreateFileW(target.path(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size;
    if (!closed.isValid() || !GetFileSizeEx(closed.get(), &size))
        return false;
    ULONGLONG held = static_cast<ULONGLONG>(size.QuadPart);
    ULONGLONG meant = meantLength(closed.get());
    if (meant >= leastFileSize && meant <= held)
        return true;
    ULONGLONG whole = meant > leastFileSize ? meant : leastFileSize;
    SetLastError(shortFileReason(target.path(), whole > held ? whole - held : 1));
    return false;
}

void AviFileGenerator::throwFileFailure()
{
    fileFailure = GetLastError();
    throw Exception(static_cast<int>(fileFailure));
}

void AviFileGenerator::close()
{
    file.reset();
    target.discard();
}
