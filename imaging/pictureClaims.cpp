#include "imaging/pictureClaims.h"
#include <algorithm>
#include <cstring>
#include <iterator>
#include <shlwapi.h>
#include "foundation/ComPtr.h"
#include "imaging/Dib.h"
#include "imaging/PictureSizeLimit.h"
#include "imaging/RunLengthScan.h"
#include "imaging/inflatedSize.h"

namespace {

constexpr DWORD Sound = ERROR_SUCCESS;
constexpr DWORD TooLarge = ERROR_NOT_ENOUGH_MEMORY;
constexpr DWORD Malformed = ERROR_INVALID_PARAMETER;

constexpr BYTE PngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr DWORD FileHeaderBytes = sizeof(BITMAPFILEHEADER);
constexpr DWORD CoreHeaderBytes = sizeof(BITMAPCOREHEADER);
constexpr DWORD BiAlphaBitFields = 6;
// Directory entries of a TIFF that are looked at, over all its pages; a longer chain (or one that loops) is
// left to the decoder.
constexpr DWORD MaxTiffEntries = 1 << 16;
// Ancillary chunks of a PNG: text, backgrounds, the frames of an animation, private ones of other programs. The
// platform's decoder spends most of a millisecond on each, whatever it holds, so that tens of thousands of them
// hold a load for seconds. A file may hold 2,048 and one more for every 64 of its bytes. Each frame of an
// animation after the first is a control chunk and a data chunk of some 70 bytes together even when the frame
// is a single pixel, so that animations of up to 2,000 frames of one pixel pass, and of larger frames any
// number; a flood of tiny chunks, of which a frame control of 38 bytes is the largest, ends at about 5,000,
// a few seconds of the decoder's instead of the minute that 40,000 take.
constexpr ULONGLONG PngAncillaryChunksOfAnyFile = 2048;
constexpr ULONGLONG PngFileBytesPerAncillaryChunk = 64;
// Text that a PNG holds compressed, which the platform's decoder inflates whole as it opens the file: 64 MB of
// it from each 65 KB chunk of deflated zeros, a third of a second each. What the compressed bytes would allow
// grows a thousandfold in deflate, so the bound is on the text they inflate to. The XMP packets and the EXIF and
// IPTC profiles that programs keep in text come to a few hundred KB; 8 MB, a margin that no picture's metadata
// comes near, the decoder inflates in about a tenth of a second.
constexpr ULONGLONG MaxPngInflatedTextBytes = 8 << 20;
// The scans that code one component of a JPEG frame. The decoder passes over all the component's blocks in
// each. The common encoders' progressive scripts code a component in at most six, the optimised ones in about
// ten, and the finest spectral selection that a script can ask for, one scan for each coefficient, in 64.
constexpr DWORD MaxJpegScansPerComponent = 64;

// Reads the stream at offsets from the position it had, which it gets back at the end.
class StreamBytes {
public:
    explicit StreamBytes(IStream* stream) : stream(stream)
    {
        LARGE_INTEGER zero = {};
        ULARGE_INTEGER end = {};
        if (SUCCEEDED(stream->Seek(zero, STREAM_SEEK_CUR, &start)) &&
            SUCCEEDED(stream->Seek(zero, STREAM_SEEK_END, &end)) && end.QuadPart >= start.QuadPart)
            length = end.QuadPart - start.QuadPart;
    }
    StreamBytes(const StreamBytes&) = delete;
    StreamBytes& operator=(const StreamBytes&) = delete;
    ~StreamBytes()
    {
        LARGE_INTEGER back;
        back.QuadPart = static_cast<LONGLONG>(start.QuadPart);
        stream->Seek(back, STREAM_SEEK_SET, nullptr);
    }

    ULONGLONG size() const { return length; }

    // Exactly count bytes at the offset; false when the stream ends before. Reads go through a window of the
    // stream: the walks over directories and blocks read a few bytes at a time.
    bool read(ULONGLONG offset, void* buffer, ULONG count) const
    {
        if (offset > length || count > length - offset)
            return false;
        if (count > WindowBytes)
            return readStream(offset, buffer, count);
        if (offset < windowStart || offset + count > windowStart + windowLength) {
            windowStart = offset;
            windowLength = static_cast<ULONG>(std::min<ULONGLONG>(WindowBytes, length - offset));
            if (!readStream(offset, window, windowLength)) {
                windowLength = 0;
                return false;
            }
        }
        std::memcpy(buffer, window + (offset - windowStart), count);
        return true;
    }

    bool byteAt(ULONGLONG offset, DWORD& value) const { return number(offset, 1, false, value); }
    bool littleEndian(ULONGLONG offset, ULONG bytes, DWORD& value) const { return number(offset, bytes, false, value); }
    bool bigEndian(ULONGLONG offset, ULONG bytes, DWORD& value) const { return number(offset, bytes, true, value); }

    bool startsWith(ULONGLONG offset, const void* expected, ULONG count) const
    {
        BYTE found[16];
        return count <= sizeof(found) && read(offset, found, count) && std::memcmp(found, expected, count) == 0;
    }

    // Where the next byte of the value lies from the offset on; the size when none does.
    ULONGLONG find(ULONGLONG offset, BYTE value) const
    {
        for (BYTE first = 0; read(offset, &first, 1); offset = windowStart + windowLength) {
            ULONG from = static_cast<ULONG>(offset - windowStart);
            const void* found = std::memchr(window + from, value, windowLength - from);
            if (found)
                return windowStart + (static_cast<const BYTE*>(found) - window);
        }
        return length;
    }

private:
    static constexpr ULONG WindowBytes = 4096;

    bool readStream(ULONGLONG offset, void* buffer, ULONG count) const
    {
        LARGE_INTEGER at;
        at.QuadPart = static_cast<LONGLONG>(start.QuadPart + offset);
        ULONG got = 0;
        return SUCCEEDED(stream->Seek(at, STREAM_SEEK_SET, nullptr)) && SUCCEEDED(stream->Read(buffer, count, &got)) &&
               got == count;
    }

    bool number(ULONGLONG offset, ULONG bytes, bool bigEndianOrder, DWORD& value) const
    {
        BYTE raw[4] = {};
        if (bytes > sizeof(raw) || !read(offset, raw, bytes))
            return false;
        value = 0;
        for (ULONG i = 0; i < bytes; ++i)
            value |= static_cast<DWORD>(raw[bigEndianOrder ? i : bytes - 1 - i]) << (8 * (bytes - 1 - i));
        return true;
    }

    IStream* stream;
    ULARGE_INTEGER start = {};
    ULONGLONG length = 0;
    mutable BYTE window[WindowBytes] = {};
    mutable ULONGLONG windowStart = 0;
    mutable ULONG windowLength = 0;
};

DWORD sizeVerdict(double width, double height, int bitsPerPixel = 32)
{
    return PictureSizeLimit::admits(width, height, bitsPerPixel) ? Sound : TooLarge;
}

// Whether the run-length stream of the picture at the offset reaches the end of the picture. The decoders take
// as much memory as the header claims before they find a stream cut short.
bool isWholeStream(const StreamBytes& bytes, const BITMAPINFOHEADER& header, ULONGLONG offset)
{
    RunLengthScan scan(header);
    BYTE piece[4096];
    for (ULONGLONG done = 0; done < header.biSizeImage && !scan.isWhole();) {
        auto count = static_cast<ULONG>(std::min<ULONGLONG>(sizeof(piece), header.biSizeImage - done));
        if (!bytes.read(offset + done, piece, count))
            return false;
        scan.feed(piece, count);
        done += count;
    }
    return scan.isWhole();
}

// The picture's claims and, for its uncompressed forms, the room of its pixels: the `available` bytes from the
// info header at `at` on, the pixels `pixelOffset` bytes after it.
DWORD dibClaims(const StreamBytes& bytes, ULONGLONG at, ULONGLONG available, LONGLONG pixelOffset)
{
    BITMAPINFOHEADER header = {};
    DWORD headerBytes = 0;
    if (!bytes.littleEndian(at, 4, headerBytes))
        return Malformed;
    if (headerBytes == CoreHeaderBytes) {
        BITMAPCOREHEADER core = {};
        if (!bytes.read(at, &core, sizeof(core)))
            return Malformed;
        header.biWidth = core.bcWidth;
        header.biHeight = core.bcHeight;
        header.biPlanes = core.bcPlanes;
        header.biBitCount = core.bcBitCount;
    } else if (headerBytes >= 16 && headerBytes <= sizeof(BITMAPV5HEADER)) {
        // The smaller OS/2 headers stop after the bit count: the rest stays 0, uncompressed.
        if (!bytes.read(at, &header, std::min<DWORD>(headerBytes, sizeof(header))))
            return Malformed;
    } else {
        return Malformed;
    }
    LONGLONG height = header.biHeight < 0 ? -static_cast<LONGLONG>(header.biHeight) : header.biHeight;
    if (header.biWidth < 1 || height < 1 || header.biPlanes != 1)
        return Malformed;
    if (DWORD verdict = sizeVerdict(header.biWidth, static_cast<double>(height), header.biBitCount))
        return verdict;
    if (Dib::isOwnBmpForm(header)) {
        bool sound = Dib::isSoundBmpImage(header, static_cast<LONGLONG>(available), pixelOffset) &&
                     (!RunLengthScan::isRunLength(header) || isWholeStream(bytes, header, at + pixelOffset));
        return sound ? Sound : Malformed;
    }
    bool uncompressed = header.biCompression == BI_RGB || header.biCompression == BI_BITFIELDS ||
                        header.biCompression == BiAlphaBitFields;
    LONGLONG stride = (static_cast<LONGLONG>(header.biBitCount) * header.biWidth + 31) / 32 * 4;
    bool holdsPixels = pixelOffset >= 0 && static_cast<ULONGLONG>(pixelOffset) <= available &&
                       stride * height <= static_cast<LONGLONG>(available) - pixelOffset;
    return !uncompressed || holdsPixels ? Sound : Malformed;
}

DWORD bmpClaims(const StreamBytes& bytes)
{
    DWORD pixelOffset = 0;
    if (!bytes.littleEndian(10, 4, pixelOffset) || pixelOffset < FileHeaderBytes)
        return Malformed;
    return dibClaims(bytes, FileHeaderBytes, bytes.size() - FileHeaderBytes, pixelOffset - FileHeaderBytes);
}

int pngChannels(DWORD colourType)
{
    switch (colourType) {
    case 2:
        return 3;
    case 4:
        return 2;
    case 6:
        return 4;
    default:
        return 1;
    }
}

// The case bit of a chunk type's first letter: clear for the chunks that every decoder must know.
bool isPngAncillary(const BYTE type[4])
{
    return (type[0] & 0x20) != 0;
}

// The bytes that the compressed text of a zTXt or iTXt chunk inflates to, counted up to just past `limit`: the
// text follows the keyword and, in an iTXt chunk, the flag that it is compressed, the method, the language and
// the translated keyword.
ULONGLONG inflatedTextBytes(const StreamBytes& bytes, ULONGLONG data, ULONGLONG end, bool international,
                            ULONGLONG limit)
{
    ULONGLONG at = data;
    auto skipPastZero = [&] {
        for (DWORD byte = 1; at < end && bytes.byteAt(at++, byte);)
            if (byte == 0)
                return true;
        return false;
    };
    DWORD compressed = 1;
    if (!skipPastZero() || (international && !bytes.byteAt(at, compressed)))
        return 0;
    at += international ? 2 : 1;
    if (!compressed || (international && (!skipPastZero() || !skipPastZero())))
        return 0;
    return inflatedSize(
        [&](BYTE& value) {
            DWORD byte = 0;
            if (at >= end || !bytes.byteAt(at++, byte))
                return false;
            value = static_cast<BYTE>(byte);
            return true;
        },
        limit);
}

// Whether the chunks that follow the signature at `at`, up to the end chunk or to the end of the file, hold no
// more ancillary chunks and no more compressed text than a picture carries.
bool ancillaryChunksAreWithinBounds(const StreamBytes& bytes, ULONGLONG at)
{
    ULONGLONG allowed = PngAncillaryChunksOfAnyFile + (bytes.size() - at) / PngFileBytesPerAncillaryChunk;
    ULONGLONG ancillary = 0;
    ULONGLONG text = 0;
    DWORD length = 0;
    BYTE type[4] = {};
    for (ULONGLONG chunk = at + 8; bytes.bigEndian(chunk, 4, length) && bytes.read(chunk + 4, type, 4);
         chunk += 12ULL + length) {
        if (std::memcmp(type, "IEND", 4) == 0)
            break;
        if (isPngAncillary(type) && ++ancillary > allowed)
            return false;
        bool international = std::memcmp(type, "iTXt", 4) == 0;
        if (international || std::memcmp(type, "zTXt", 4) == 0) {
            text += inflatedTextBytes(bytes, chunk + 8, chunk + 8 + length, international,
                                      MaxPngInflatedTextBytes - text);
            if (text > MaxPngInflatedTextBytes)
                return false;
        }
    }
    return true;
}

// The header chunk comes first; without one the decoder has nothing to allocate by.
DWORD pngClaims(const StreamBytes& bytes, ULONGLONG at)
{
    DWORD width = 0;
    DWORD height = 0;
    DWORD depth = 0;
    DWORD colourType = 0;
    if (!bytes.startsWith(at + 12, "IHDR", 4) || !bytes.bigEndian(at + 16, 4, width) ||
        !bytes.bigEndian(at + 20, 4, height) || !bytes.byteAt(at + 24, depth) || !bytes.byteAt(at + 25, colourType))
        return Sound;
    if (DWORD verdict = sizeVerdict(width, height, static_cast<int>(depth) * pngChannels(colourType)))
        return verdict;
    return ancillaryChunksAreWithinBounds(bytes, at) ? Sound : Malformed;
}

// Moves past a chain of GIF data sub-blocks; false when the file ends inside it.
bool skipSubBlocks(const StreamBytes& bytes, ULONGLONG& position)
{
    for (DWORD length = 0;; position += length) {
        if (!bytes.byteAt(position++, length))
            return false;
        if (length == 0)
            return true;
    }
}

ULONGLONG colourTableBytes(DWORD packed)
{
    return packed & 0x80 ? 3ULL << ((packed & 7) + 1) : 0;
}

// The logical screen, and every frame as placed on it; each frame needs colours, from the global table or its own.
DWORD gifClaims(const StreamBytes& bytes)
{
    DWORD screenWidth = 0;
    DWORD screenHeight = 0;
    DWORD packed = 0;
    if (!bytes.littleEndian(6, 2, screenWidth) || !bytes.littleEndian(8, 2, screenHeight) || !bytes.byteAt(10, packed))
        return Sound;
    if (DWORD verdict = sizeVerdict(screenWidth, screenHeight))
        return verdict;
    bool globalColours = colourTableBytes(packed) > 0;
    ULONGLONG position = 13 + colourTableBytes(packed);
    for (DWORD kind = 0; bytes.byteAt(position, kind) && kind != 0x3B;) {
        if (kind == 0x21) {
            position += 2;
        } else if (kind == 0x2C) {
            DWORD left = 0, top = 0, width = 0, height = 0, frame = 0;
            if (!bytes.littleEndian(position + 1, 2, left) || !bytes.littleEndian(position + 3, 2, top) ||
                !bytes.littleEndian(position + 5, 2, width) || !bytes.littleEndian(position + 7, 2, height) ||
                !bytes.byteAt(position + 9, frame))
                return Sound;
            if (DWORD verdict = sizeVerdict(std::max(screenWidth, left + width), std::max(screenHeight, top + height)))
                return verdict;
            if (!globalColours && colourTableBytes(frame) == 0)
                return Malformed;
            // The descriptor, its colour table and the code size, then the image data.
            position += 10 + colourTableBytes(frame) + 1;
        } else {
            return Sound;
        }
        if (!skipSubBlocks(bytes, position))
            return Sound;
    }
    return Sound;
}

bool isJpegFrameMarker(DWORD marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Whether the entropy-coded bytes of the scans can hold a picture of that size. Every 8 x 8 block of the
// component at full resolution costs at least one bit of Huffman code: its DC difference, in a progressive
// picture's first scan too (runs of end-of-band codes make the later scans almost free, never that one). Asked
// here is one byte for 64 blocks, an eighth of that least, which leaves room for miscounting and which no real
// picture comes near: a flat grey one needs two bits a block. Arithmetic coding can code a block of a flat area
// in a small part of a bit, and its decoder makes up what a scan cut short lacks: its frames are asked for one
// byte for 256 blocks, where a white 8192 x 8192 page with a few hundred specks on it still takes one for 90 and
// a photograph or a scan more than one for each.
bool scansCanHold(ULONGLONG codedBytes, DWORD marker, DWORD width, DWORD height)
{
    ULONGLONG blocksPerByte = marker >= 0xC9 ? 256 : 64;
    ULONGLONG blocks = (width + 7ULL) / 8 * ((height + 7ULL) / 8);
    return blocks <= blocksPerByte * codedBytes;
}

// The next marker from `position` on, as a decoder finds it: whatever lies before a 0xFF is skipped, so are the
// fill bytes 0xFF before the marker and a 0xFF 0x00 pair, which is data. `start` is where the marker begins with
// its fill bytes, `position` ends after it.
bool nextJpegMarker(const StreamBytes& bytes, ULONGLONG& position, DWORD& marker, ULONGLONG& start)
{
    for (;;) {
        start = bytes.find(position, 0xFF);
        position = start + 1;
        while (bytes.byteAt(position, marker) && marker == 0xFF)
            ++position;
        if (!bytes.byteAt(position++, marker))
            return false;
        if (marker != 0)
            return true;
    }
}

bool isJpegRestart(DWORD marker)
{
    return marker >= 0xD0 && marker <= 0xD7;
}

// The scans from `position` on, to the end of the picture or of the file: no component coded in more of them
// than a real picture's script has, and their entropy-coded data, which runs from a scan's header to the next
// marker but a restart, able to hold the frame. Segments between the scans and bytes after the end are no part
// of the data.
DWORD jpegScanClaims(const StreamBytes& bytes, ULONGLONG position, DWORD frameMarker, DWORD width, DWORD height)
{
    DWORD scansOfComponent[256] = {};
    ULONGLONG coded = 0;
    ULONGLONG dataStart = 0;
    bool inScan = false;
    for (DWORD marker = 0;;) {
        ULONGLONG start = 0;
        bool found = nextJpegMarker(bytes, position, marker, start);
        if (inScan && start > dataStart)
            coded += start - dataStart;
        dataStart = position;
        if (!found || marker == 0xD9)
            break;
        if (isJpegRestart(marker) || marker == 0x01)
            continue;
        inScan = false;
        DWORD length = 0;
        if (!bytes.bigEndian(position, 2, length))
            break;
        if (length < 2)
            return Malformed;
        DWORD components = 0;
        if (marker == 0xDA && bytes.byteAt(position + 2, components)) {
            for (DWORD i = 0, id = 0; i < components && bytes.byteAt(position + 3 + 2 * i, id); ++i)
                if (++scansOfComponent[id] > MaxJpegScansPerComponent)
                    return Malformed;
            inScan = true;
            dataStart = position + length;
        }
        position += length;
    }
    return scansCanHold(coded, frameMarker, width, height) ? Sound : Malformed;
}

// The frame header, which comes before the first scan, found as a decoder finds it. A decoder reads on after a
// segment length below 2 as after an empty segment; no picture has one.
DWORD jpegClaims(const StreamBytes& bytes)
{
    ULONGLONG position = 2;
    ULONGLONG start = 0;
    for (DWORD marker = 0; nextJpegMarker(bytes, position, marker, start);) {
        if (isJpegRestart(marker) || marker == 0x01)
            continue;
        DWORD length = 0;
        if (marker == 0xD9 || marker == 0xDA || !bytes.bigEndian(position, 2, length))
            return Sound;
        if (length < 2)
            return Malformed;
        if (isJpegFrameMarker(marker)) {
            DWORD height = 0, width = 0, components = 0;
            if (!bytes.bigEndian(position + 3, 2, height) || !bytes.bigEndian(position + 5, 2, width) ||
                !bytes.byteAt(position + 7, components))
                return Sound;
            if (DWORD verdict = sizeVerdict(width, height, 8 * static_cast<int>(components)))
                return verdict;
            return jpegScanClaims(bytes, position + length, marker, width, height);
        }
        position += length;
    }
    return Sound;
}

// Bytes of one value of each field type (1 to 13); 0 for a type that readers do not know and skip.
ULONGLONG tiffTypeBytes(DWORD type)
{
    static constexpr BYTE sizes[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8, 4};
    return type < std::size(sizes) ? sizes[type] : 0;
}

// Every page's width and length, and every entry's values inside the file: the platform's metadata reader takes
// the count of an entry as it is.
DWORD tiffClaims(const StreamBytes& bytes, bool bigEndianOrder)
{
    auto number = [&](ULONGLONG offset, ULONG size, DWORD& value) {
        return bigEndianOrder ? bytes.bigEndian(offset, size, value) : bytes.littleEndian(offset, size, value);
    };
    DWORD page = 0;
    if (!number(4, 4, page))
        return Sound;
    DWORD looked = 0;
    while (page != 0) {
        DWORD entries = 0;
        if (!number(page, 2, entries))
            return Sound;
        // A page counts as an entry too, so that a loop of empty pages ends as well.
        looked += entries + 1;
        if (looked > MaxTiffEntries)
            return Sound;
        DWORD width = 0;
        DWORD height = 0;
        for (DWORD i = 0; i < entries; ++i) {
            ULONGLONG entry = page + 2ULL + 12ULL * i;
            DWORD tag = 0, type = 0, count = 0, value = 0;
            if (!number(entry, 2, tag) || !number(entry + 2, 2, type) || !number(entry + 4, 4, count) ||
                !number(entry + 8, type == 3 ? 2 : 4, value))
                return Sound;
            // Values of up to four bytes lie in the entry itself, in place of the offset of larger ones.
            ULONGLONG valueBytes = count * tiffTypeBytes(type);
            DWORD offset = 0;
            if (valueBytes > 4 && (!number(entry + 8, 4, offset) || offset + valueBytes > bytes.size()))
                return Malformed;
            if (tag == 256)
                width = value;
            else if (tag == 257)
                height = value;
        }
        if (DWORD verdict = sizeVerdict(width, height))
            return verdict;
        if (!number(page + 2ULL + 12ULL * entries, 4, page))
            return Sound;
    }
    return Sound;
}

// Each entry's picture: a PNG, or a packed DIB holding the colour rows and then the mask rows.
DWORD iconClaims(const StreamBytes& bytes)
{
    DWORD count = 0;
    if (!bytes.littleEndian(4, 2, count))
        return Sound;
    // Wine's decoder reads a first picture from an empty directory all the same.
    if (count == 0)
        return Malformed;
    for (DWORD i = 0; i < count; ++i) {
        ULONGLONG entry = 6 + 16ULL * i;
        DWORD reserved = 0;
        DWORD offset = 0;
        if (!bytes.byteAt(entry + 3, reserved) || reserved != 0 || !bytes.littleEndian(entry + 12, 4, offset))
            return Sound;
        if (bytes.startsWith(offset, PngSignature, sizeof(PngSignature))) {
            if (DWORD verdict = pngClaims(bytes, offset))
                return verdict;
            continue;
        }
        BITMAPINFOHEADER header = {};
        if (!bytes.read(offset, &header, sizeof(header)) || header.biSize != sizeof(header))
            continue;
        LONGLONG rows = (header.biHeight < 0 ? -static_cast<LONGLONG>(header.biHeight) : header.biHeight) / 2;
        if (header.biWidth < 1 || rows < 1)
            return Malformed;
        if (DWORD verdict = sizeVerdict(header.biWidth, static_cast<double>(rows), header.biBitCount))
            return verdict;
    }
    return Sound;
}

DWORD claimsOf(const StreamBytes& bytes)
{
    if (bytes.startsWith(0, "BM", 2))
        return bmpClaims(bytes);
    if (bytes.startsWith(0, PngSignature, sizeof(PngSignature)))
        return pngClaims(bytes, 0);
    if (bytes.startsWith(0, "GIF8", 4))
        return gifClaims(bytes);
    if (bytes.startsWith(0, "\xFF\xD8", 2))
        return jpegClaims(bytes);
    if (bytes.startsWith(0, "II*\0", 4))
        return tiffClaims(bytes, false);
    if (bytes.startsWith(0, "MM\0*", 4))
        return tiffClaims(bytes, true);
    // Icons only: the cursors' signature is also how uncompressed TGA pictures begin.
    if (bytes.startsWith(0, "\0\0\1\0", 4))
        return iconClaims(bytes);
    return Sound;
}

} // namespace

bool checkPictureClaims(IStream* stream)
{
    if (!stream) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    StreamBytes bytes(stream);
    DWORD verdict = claimsOf(bytes);
    if (verdict == Sound)
        return true;
    SetLastError(verdict);
    return false;
}

bool checkPictureFileClaims(const wchar_t* path)
{
    ComPtr<IStream> file;
    HRESULT result = path ? SHCreateStreamOnFileEx(path, STGM_READ | STGM_SHARE_DENY_NONE, FILE_ATTRIBUTE_NORMAL, FALSE,
                                                   nullptr, file.out())
                          : E_INVALIDARG;
    if (FAILED(result)) {
        SetLastError(HRESULT_FACILITY(result) == FACILITY_WIN32 ? HRESULT_CODE(result) : ERROR_INVALID_PARAMETER);
        return false;
    }
    return checkPictureClaims(file.get());
}
