#include "imaging/PictureTooLarge.h"
#include <cmath>
#include <string>
#include "imaging/PictureSizeLimit.h"

namespace {

// Whole pixels as digits; a side beyond any count (or no number) as "?".
std::wstring sideText(double side)
{
    if (!(side >= 0 && side < 1e18))
        return L"?";
    return std::to_wstring(static_cast<unsigned long long>(std::ceil(side)));
}

} // namespace

void PictureTooLarge::throwIfBeyondLimit(double width, double height, int bitsPerPixel)
{
    if (!PictureSizeLimit::admits(width, height, bitsPerPixel))
        throw PictureTooLarge(width, height);
}

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
