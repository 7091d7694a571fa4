#include "toolkit/ImageListGenerator.h"
#include <new>
#include "conversion/GrayScale.h"
#include "conversion/RowColorFilter.h"
#include "foundation/Exception.h"
#include "imaging/Dib.h"
#include "imaging/DibConverter.h"
#include "toolkit/IconHandle.h"

namespace {

constexpr UINT ListFlags = ILC_COLOR32 | ILC_MASK;
constexpr int InitialImages = 8;
constexpr int GrowBy = 4;

void check(bool done)
{
    if (!done)
        Exception::throwLastError();
}

// Every level halfway to white. A fixed step lighter would leave black strokes nearly black, and a black
// picture would look the same whether its command acts or not.
class HalfwayToWhite : public RowColorFilter<HalfwayToWhite> {
public:
    void change(BYTE&, BYTE& red, BYTE& green, BYTE& blue)
    {
        red = halfway(red);
        green = halfway(green);
        blue = halfway(blue);
    }

private:
    static BYTE halfway(BYTE level) { return static_cast<BYTE>((level + 256) / 2); }
};

// Grey and faded, as a toolbar shows a command that is not available.
void makeDisabledLook(Dib& dib)
{
    GrayScale grey(true);
    HalfwayToWhite faded;
    check(DibConvert::ColorFilter(&grey, false).convert(dib, nullptr));
    check(DibConvert::ColorFilter(&faded, false).convert(dib, nullptr));
}

// A bitmap for the list: owned until the list has copied it.
class CellBitmap {
public:
    CellBitmap(HDC compatibleWith, int size) : bitmap(CreateCompatibleBitmap(compatibleWith, size, size))
    {
        check(bitmap != nullptr);
    }
    CellBitmap(const CellBitmap&) = delete;
    CellBitmap& operator=(const CellBitmap&) = delete;
    ~CellBitmap() { DeleteObject(bitmap); }

    // Copies a square of the source DC's picture into the bitmap.
    void copyFrom(HDC source, int x, int size)
    {
        HDC dc = CreateCompatibleDC(source);
        check(dc != nullptr);
        HGDIOBJ previous = SelectObject(dc, bitmap);
        BOOL copied = BitBlt(dc, 0, 0, size, size, source, x, 0, SRCCOPY);
        DWORD error = GetLastError();
        SelectObject(dc, previous);
        DeleteDC(dc);
        SetLastError(error);
        check(copied != FALSE);
    }

    void addTo(HIMAGELIST list)
    {
        int before = ImageList_GetImageCount(list);
        ImageList_AddMasked(list, bitmap, CLR_DEFAULT);
        if (ImageList_GetImageCount(list) != before + 1)
            throw Exception(ErrorCode::NoMemory);
    }

private:
    HBITMAP bitmap;
};

void addCell(const Dib& picture, int x, int size, HIMAGELIST list)
{
    HDC dc = picture.getDC();
    try {
        CellBitmap cell(dc, size);
        cell.copyFrom(dc, x, size);
        cell.addTo(list);
    } catch (...) {
        picture.releaseDC();
        throw;
    }
    picture.releaseDC();
}

// Both new lists until the generation is complete.
class ListPair {
public:
    explicit ListPair(int size)
        : normal(ImageList_Create(size, size, ListFlags, InitialImages, GrowBy)),
          disabled(ImageList_Create(size, size, ListFlags, InitialImages, GrowBy))
    {
        if (!normal || !disabled) {
            destroy();
            throw Exception(ErrorCode::NoMemory);
        }
    }
    ListPair(const ListPair&) = delete;
    ListPair& operator=(const ListPair&) = delete;
    ~ListPair() { destroy(); }

    void handOver(ImageList& normalHolder, ImageList& disabledHolder)
    {
        normalHolder.attach(normal);
        disabledHolder.attach(disabled);
        normal = nullptr;
        disabled = nullptr;
    }

    HIMAGELIST normal;
    HIMAGELIST disabled;

private:
    void destroy()
    {
        if (normal)
            ImageList_Destroy(normal);
        if (disabled)
            ImageList_Destroy(disabled);
        normal = nullptr;
        disabled = nullptr;
    }
};

} // namespace

ImageListGenerator::Element::Element(HMODULE module, const wchar_t* resource, bool strip, const std::vector<int>& cells)
    : module(module), strip(strip), cells(cells)
{
    if (IS_INTRESOURCE(resource))
        number = resource;
    else
        name = resource;
}

const wchar_t* ImageListGenerator::Element::resourceName() const
{
    return number ? number : name.c_str();
}

void ImageListGenerator::addBitmapStrip(HMODULE module, const wchar_t* name, const std::vector<int>& cells)
{
    if (cells.empty() || !name)
        throw Exception(ErrorCode::InvalidArgument);
    add(new (std::nothrow) Element(module, name, true, cells));
}

void ImageListGenerator::addIcon(HMODULE module, const wchar_t* name)
{
    if (!name)
        throw Exception(ErrorCode::InvalidArgument);
    add(new (std::nothrow) Element(module, name, false, {}));
}

void ImageListGenerator::add(Element* element)
{
    if (!element)
        throw Exception(ErrorCode::NoMemory);
    if (!elements.add(element))
        Exception::throwLastError();
}

void ImageListGenerator::generate(ImageList& normal, ImageList& disabled)
{
    if (&normal == &disabled)
        throw Exception(ErrorCode::InvalidArgument);
    normal.destroyList();
    disabled.destroyList();
    ListPair lists(size);
    for (int i = 0; i < elements.count(); ++i) {
        const Element& element = *elements.at(i);
        if (element.strip)
            addStrip(element, lists.normal, lists.disabled);
        else
            addIconImage(element, lists.normal, lists.disabled);
    }
    lists.handOver(normal, disabled);
}

void ImageListGenerator::addStrip(const Element& element, HIMAGELIST normal, HIMAGELIST disabled) const
{
    HRSRC resource = FindResourceW(element.module, element.resourceName(), RT_BITMAP);
    check(resource != nullptr);
    HGLOBAL loaded = LoadResource(element.module, resource);
    check(loaded != nullptr);
    auto packed = static_cast<const BITMAPINFO*>(LockResource(loaded));
    check(packed != nullptr);
    Dib strip;
    check(strip.loadPackedDib(packed, SizeofResource(element.module, resource)));
    Dib greyed(strip);
    check(!greyed.isEmpty());
    makeDisabledLook(greyed);
    for (int cell : element.cells) {
        addCell(strip, cell * size, size, normal);
        addCell(greyed, cell * size, size, disabled);
    }
}

void ImageListGenerator::addIconImage(const Element& element, HIMAGELIST normal, HIMAGELIST disabled) const
{
    IconHandle icon(static_cast<HICON>(
        LoadImageW(element.module, element.resourceName(), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    check(static_cast<bool>(icon));
    Dib picture;
    check(picture.create(size, size, 32, GetSysColor(COLOR_BTNFACE)));
    BOOL drawn = DrawIconEx(picture.getDC(), 0, 0, icon.get(), size, size, 0, nullptr, DI_NORMAL);
    picture.releaseDC();
    check(drawn != FALSE);
    Dib greyed(picture);
    check(!greyed.isEmpty());
    makeDisabledLook(greyed);
    addCell(picture, 0, size, normal);
    addCell(greyed, 0, size, disabled);
}
