#pragma once
#include <windows.h>
#include <cstddef>
#include <vector>

class PriorityFontList;

// A dialog template in memory (plain or extended form), aligned as the dialog functions need it.
class DialogTemplate {
public:
    // Template `id` of the module (null: the program), in the font of the first installed face of the list;
    // an unchanged copy when no face of the list is installed. A missing resource throws Exception with the
    // system's error.
    static DialogTemplate load(HMODULE module, UINT id, const PriorityFontList& fonts);

    // An unchanged copy of size bytes.
    static DialogTemplate copyOf(const void* source, size_t size);
    // A copy whose font block names the face, at the point size unless that is 0 (then the source's size).
    // A source without a font block gets one, at 9 points when none is given. A source too short for its
    // own header throws Exception 87.
    static DialogTemplate withFont(const void* source, size_t size, const wchar_t* face, int points);

    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words.data()); }
    const BYTE* bytes() const { return reinterpret_cast<const BYTE*>(words.data()); }
    size_t size() const { return byteCount; }

private:
    explicit DialogTemplate(size_t size);
    BYTE* data() { return reinterpret_cast<BYTE*>(words.data()); }

    std::vector<DWORD> words;
    size_t byteCount = 0;
};
