#include "toolkit/Font.h"
#include "foundation/wstringArray.h"

namespace {

// A device context for the display: the caller's, or a temporary information context deleted afterwards.
class DisplayContext {
public:
    explicit DisplayContext(HDC given) : dc(given), owned(given == nullptr)
    {
        if (owned)
            dc = CreateICW(L"DISPLAY", nullptr, nullptr, nullptr);
    }
    DisplayContext(const DisplayContext&) = delete;
    DisplayContext& operator=(const DisplayContext&) = delete;
    ~DisplayContext()
    {
        if (owned && dc)
            DeleteDC(dc);
    }
    HDC get() const { return dc; }

private:
    HDC dc;
    bool owned;
};

int CALLBACK noteFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

} // namespace

bool Font::create(HDC dc, const wchar_t* faceName, int pointSize, int weight, bool italic, bool underline,
                  bool strikeOut, BYTE charSet)
{
    DisplayContext context(dc);
    if (!context.get())
        return false;
    int height = MulDiv(pointSize, GetDeviceCaps(context.get(), LOGPIXELSY), 72);
    release();
    font = CreateFontW(-height, 0, 0, 0, weight, italic, underline, strikeOut, charSet, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, faceName);
    return font != nullptr;
}

LONG displayFontHeight(int points)
{
    DisplayContext context(nullptr);
    if (!context.get())
        return 0;
    return -MulDiv(points, GetDeviceCaps(context.get(), LOGPIXELSY), 72);
}

BOOL Font::release()
{
    BOOL deleted = font ? DeleteObject(font) : FALSE;
    font = nullptr;
    return deleted;
}

bool fontExists(const wchar_t* faceName)
{
    // An empty face would enumerate every family, and one longer than the record holds names none.
    if (!faceName || !*faceName || lstrlenW(faceName) >= LF_FACESIZE)
        return false;
    HDC screen = GetDC(nullptr);
    if (!screen)
        return false;
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(wanted.lfFaceName, faceName, LF_FACESIZE);
    bool found = false;
    EnumFontFamiliesExW(screen, &wanted, noteFamily, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

wstring firstInstalledFace(const wstring& faces)
{
    wstringArray names;
    names.split(faces, L"/", true);
    for (int i = 0; i < names.count(); ++i) {
        if (fontExists(names.at(i).buffer()))
            return names.at(i);
    }
    return wstring();
}
