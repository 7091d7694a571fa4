#include "imaging/PictureSizeLimit.h"
#include <cmath>
#include <string>

bool PictureSizeLimit::admits(double width, double height, int bitsPerPixel)
{
    // Written so that a NaN fails the test; each side alone must fit before the sizes are multiplied.
    if (!(width >= 0 && height >= 0 && width <= MaxPixels && height <= MaxPixels))
        return false;
    auto columns = static_cast<LONGLONG>(std::ceil(width));
    auto rows = static_cast<LONGLONG>(std::ceil(height));
    LONGLONG stride = (columns * (bitsPerPixel > 0 ? bitsPerPixel : 0) + 31) / 32 * 4;
    return columns * rows <= MaxPixels && stride * rows <= MaxBytes;
}

bool PictureSizeLimit::check(double width, double height, int bitsPerPixel)
{
    if (admits(width, height, bitsPerPixel))
        return true;
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return false;
}

void PictureSizeLimit::require(double width, double height, int bitsPerPixel)
{
    if (!admits(width, height, bitsPerPixel))
        throw PictureTooLarge(width, height);
}

namespace {

// Whole pixels as digits; a side beyond any count (or no number) as "?".
std::wstring sideText(double side)
{
    if (!(side >= 0 && side < 1e18))
        return L"?";
    return std::to_wstring(static_cast<unsigned long long>(std::ceil(side)));
}

} // namespace

wchar_t* PictureTooLarge::getMessage(bool& mustFree) const
{
    bool systemMustFree = false;
    wchar_t* system = Exception::getMessage(systemMustFree);
    std::wstring text = system ? system : L"";
    if (system && systemMustFree)
        LocalFree(system);
    // The system's texts end with a line break.
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n'))
        text.pop_back();
    if (!text.empty())
        text += L' ';
    text += L"(" + sideText(width) + L" x " + sideText(height) + L")";
    auto copy = static_cast<wchar_t*>(LocalAlloc(LMEM_FIXED, (text.size() + 1) * sizeof(wchar_t)));
    if (copy)
        CopyMemory(copy, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    mustFree = copy != nullptr;
    return copy;
}
