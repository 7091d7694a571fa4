#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "foundation/ObjectArray.h"
#include "toolkit/ImageList.h"

// Builds a pair of image lists from bitmap strips and icons in a module's resources: one in their own colours
// and one in a disabled look (grey, every level halfway to white). Every image is size x size pixels and goes into both lists at
// the same position, in the order the resources were added. Failures throw Exception.
class ImageListGenerator {
public:
    explicit ImageListGenerator(int size) : size(size) {}
    ImageListGenerator(const ImageListGenerator&) = delete;
    ImageListGenerator& operator=(const ImageListGenerator&) = delete;
    virtual ~ImageListGenerator() = default;

    // The cells of a bitmap resource, cell i being the square at x = i x size; an empty list throws
    // Exception 87. The name may be a resource number (MAKEINTRESOURCEW).
    void addBitmapStrip(HMODULE module, const wchar_t* name, const std::vector<int>& cells);
    void addIcon(HMODULE module, const wchar_t* name);
    // Replaces the lists of both holders, which must be two different objects (else Exception 87). A resource
    // that cannot be found, loaded or converted throws Exception with the system error, a list that refuses an
    // image Exception 8; either way both holders are left without a list.
    void generate(ImageList& normal, ImageList& disabled);

private:
    class Element {
    public:
        Element(HMODULE module, const wchar_t* name, bool strip, const std::vector<int>& cells);

        const wchar_t* resourceName() const;

        HMODULE module;
        bool strip;
        std::vector<int> cells;

    private:
        // A resource number is kept as it was given, a name as a copy.
        const wchar_t* number = nullptr;
        std::wstring name;
    };

    void add(Element* element);
    void addStrip(const Element& element, HIMAGELIST normal, HIMAGELIST disabled) const;
    void addIconImage(const Element& element, HIMAGELIST normal, HIMAGELIST disabled) const;

    int size;
    ObjectArray<Element> elements;
};
