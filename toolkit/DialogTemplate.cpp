#include "toolkit/DialogTemplate.h"
#include <cstring>
#include <cwchar>
#include "foundation/Exception.h"
#include "toolkit/PriorityFont.h"

namespace {

constexpr WORD ExtendedSignature = 0xFFFF;
constexpr size_t ExtendedHeaderSize = 26;
constexpr size_t ExtendedStyleOffset = 12;
constexpr size_t PlainHeaderSize = 18;
// Point size, then (extended form) weight, italic and character set.
constexpr size_t PlainFontFixedSize = 2;
constexpr size_t ExtendedFontFixedSize = 6;
constexpr WORD SynthesizedPointSize = 9;

[[noreturn]] void throwMalformed()
{
    throw Exception(ErrorCode::InvalidArgument);
}

size_t alignToDword(size_t offset)
{
    return (offset + 3) & ~size_t(3);
}

// Reads the template with every offset checked against its size.
class TemplateReader {
public:
    TemplateReader(const BYTE* data, size_t size) : data(data), size(size) {}

    WORD word(size_t offset) const
    {
        need(offset + 2);
        WORD value;
        std::memcpy(&value, data + offset, 2);
        return value;
    }
    DWORD dword(size_t offset) const
    {
        need(offset + 4);
        DWORD value;
        std::memcpy(&value, data + offset, 4);
        return value;
    }
    // Past a zero-terminated UTF-16 string.
    size_t skipString(size_t offset) const
    {
        while (word(offset) != 0)
            offset += 2;
        return offset + 2;
    }
    // Past a field that is either 0xFFFF and an ordinal, or a string.
    size_t skipNameOrOrdinal(size_t offset) const
    {
        return word(offset) == 0xFFFF ? offset + 4 : skipString(offset);
    }

private:
    void need(size_t end) const
    {
        if (end > size)
            throwMalformed();
    }

    const BYTE* data;
    size_t size;
};

// Where the parts of a template lie that a new font changes.
struct FontLayout {
    bool extended = false;
    size_t styleOffset = 0;
    bool hasFont = false;
    size_t fontOffset = 0;  // the font block, right after the title
    size_t fixedSize = 0;   // of the font block before the face name
    size_t itemsOffset = 0; // the first boundary after the face name (or the title)
};

FontLayout layoutOf(const TemplateReader& reader)
{
    FontLayout layout;
    layout.extended = reader.word(2) == ExtendedSignature;
    layout.styleOffset = layout.extended ? ExtendedStyleOffset : 0;
    layout.fixedSize = layout.extended ? ExtendedFontFixedSize : PlainFontFixedSize;
    layout.hasFont = (reader.dword(layout.styleOffset) & DS_SETFONT) != 0;
    size_t offset = layout.extended ? ExtendedHeaderSize : PlainHeaderSize;
    offset = reader.skipNameOrOrdinal(offset); // menu
    offset = reader.skipNameOrOrdinal(offset); // class
    offset = reader.skipString(offset);        // title
    layout.fontOffset = offset;
    if (layout.hasFont)
        offset = reader.skipString(offset + layout.fixedSize);
    layout.itemsOffset = alignToDword(offset);
    return layout;
}

void writeWord(BYTE* at, WORD value)
{
    std::memcpy(at, &value, 2);
}

// A font block for a template that had none: normal weight, upright, the default character set.
void synthesizeFixedBlock(BYTE* block, bool extended)
{
    writeWord(block, SynthesizedPointSize);
    if (!extended)
        return;
    writeWord(block + 2, FW_NORMAL);
    block[4] = FALSE;
    block[5] = DEFAULT_CHARSET;
}

[[noreturn]] void throwResourceError()
{
    DWORD error = GetLastError();
    throw Exception(static_cast<int>(error ? error : ERROR_RESOURCE_NAME_NOT_FOUND));
}

} // namespace

DialogTemplate::DialogTemplate(size_t size) : words((size + 3) / 4, 0), byteCount(size) {}

DialogTemplate DialogTemplate::copyOf(const void* source, size_t size)
{
    DialogTemplate copy(size);
    std::memcpy(copy.data(), source, size);
    return copy;
}

DialogTemplate DialogTemplate::withFont(const void* source, size_t size, const wchar_t* face, int points)
{
    const BYTE* from = static_cast<const BYTE*>(source);
    FontLayout layout = layoutOf(TemplateReader(from, size));
    size_t faceBytes = (std::wcslen(face) + 1) * sizeof(wchar_t);
    size_t faceOffset = layout.fontOffset + layout.fixedSize;
    size_t itemsOffset = alignToDword(faceOffset + faceBytes);
    // A resource may end right after its last item without the padding to the boundary.
    size_t rest = size > layout.itemsOffset ? size - layout.itemsOffset : 0;

    DialogTemplate copy(itemsOffset + rest);
    BYTE* to = copy.data();
    std::memcpy(to, from, layout.fontOffset);
    DWORD style = TemplateReader(from, size).dword(layout.styleOffset) | DS_SETFONT;
    std::memcpy(to + layout.styleOffset, &style, 4);
    if (layout.hasFont)
        std::memcpy(to + layout.fontOffset, from + layout.fontOffset, layout.fixedSize);
    else
        synthesizeFixedBlock(to + layout.fontOffset, layout.extended);
    if (points)
        writeWord(to + layout.fontOffset, static_cast<WORD>(points));
    std::memcpy(to + faceOffset, face, faceBytes);
    std::memcpy(to + itemsOffset, from + layout.itemsOffset, rest);
    return copy;
}

DialogTemplate DialogTemplate::load(HMODULE module, UINT id, const PriorityFontList& fonts)
{
    if (!module)
        module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), RT_DIALOG);
    if (!found)
        throwResourceError();
    HGLOBAL loaded = LoadResource(module, found);
    const void* source = loaded ? LockResource(loaded) : nullptr;
    DWORD size = SizeofResource(module, found);
    if (!source || !size)
        throwResourceError();
    const PriorityFont* font = fonts.firstInstalled();
    if (!font)
        return copyOf(source, size);
    return withFont(source, size, font->face.buffer(), font->points);
}
