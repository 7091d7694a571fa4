#include "toolkit/PriorityFont.h"
#include <new>
#include "foundation/Integer.h"
#include "foundation/wstringArray.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"
#include "toolkit/Font.h"

namespace {

// The size goes into a 16-bit field of the dialog template.
constexpr int LargestPointSize = 0x7FFF;

int pointSizeOf(const wstring& text)
{
    Integer size(0);
    size.parse(text);
    if (size.value < 0 || size.value > LargestPointSize)
        throw Exception(ErrorCode::InvalidArgument);
    return size.value;
}

} // namespace

void PriorityFontList::add(const wstring& face, int points)
{
    auto* font = new (std::nothrow) PriorityFont{face, points};
    if (!font)
        throwOutOfMemory();
    if (!fonts.add(font))
        throw Exception(ErrorCode::NoMemory);
}

void PriorityFontList::addFromSetting(const wstring& faces)
{
    wstringArray entries;
    entries.split(faces, L";", true);
    wstringArray parts;
    for (int i = 0; i < entries.count(); ++i) {
        parts.split(entries.at(i), L":", false);
        if (parts.count() < 2)
            throw Exception(ErrorCode::InvalidArgument);
        add(parts.at(0), pointSizeOf(parts.at(1)));
    }
}

void PriorityFontList::addFromUserSetting()
{
    addFromSetting(getAppSetting().windowUiFontFaces);
}

const PriorityFont* PriorityFontList::firstInstalled() const
{
    for (int i = 0; i < fonts.count(); ++i)
        if (fontExists(fonts.at(i)->face.buffer()))
            return fonts.at(i);
    return nullptr;
}
