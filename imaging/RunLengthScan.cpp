#include "imaging/RunLengthScan.h"
#include <algorithm>

namespace {

constexpr BYTE EndOfLine = 0;
constexpr BYTE EndOfPicture = 1;
constexpr BYTE Delta = 2;

} // namespace

RunLengthScan::RunLengthScan(const BITMAPINFOHEADER& header)
    : fourBits(header.biCompression == BI_RLE4),
      rows(header.biHeight < 0 ? -static_cast<LONGLONG>(header.biHeight) : header.biHeight)
{
}

bool RunLengthScan::isWholeStream(const BITMAPINFOHEADER& header, const BYTE* data, size_t bytes)
{
    RunLengthScan scan(header);
    scan.feed(data, bytes);
    return scan.isWhole();
}

void RunLengthScan::feed(const BYTE* data, size_t bytes)
{
    const BYTE* end = data + bytes;
    while (data < end && step != Step::Whole) {
        if (step == Step::Pixels) {
            // The pixels of an absolute run say nothing about the stream: they are skipped as a block.
            auto skipped = static_cast<DWORD>(std::min<size_t>(pixelsLeft, end - data));
            data += skipped;
            pixelsLeft -= skipped;
            if (pixelsLeft == 0)
                step = Step::Count;
            continue;
        }
        take(*data++);
    }
}

void RunLengthScan::take(BYTE value)
{
    switch (step) {
    case Step::Count:
        step = value == 0 ? Step::Escape : Step::RunValue;
        break;
    case Step::RunValue:
        step = Step::Count;
        break;
    case Step::Escape:
        takeEscape(value);
        break;
    case Step::DeltaRight:
        step = Step::DeltaUp;
        break;
    case Step::DeltaUp:
        step = Step::Count;
        passRows(value);
        break;
    default:
        break;
    }
}

void RunLengthScan::takeEscape(BYTE code)
{
    step = Step::Count;
    if (code == EndOfPicture) {
        step = Step::Whole;
    } else if (code == EndOfLine) {
        passRows(1);
    } else if (code == Delta) {
        step = Step::DeltaRight;
    } else {
        step = Step::Pixels;
        pixelsLeft = pixelBytes(code);
    }
}

void RunLengthScan::passRows(LONGLONG count)
{
    row += count;
    if (row >= rows)
        step = Step::Whole;
}

DWORD RunLengthScan::pixelBytes(DWORD pixels) const
{
    DWORD bytes = fourBits ? (pixels + 1) / 2 : pixels;
    return (bytes + 1) / 2 * 2;
}
