#include "screensaver/PictureInfo.h"
#include <oleauto.h>
#include <cstdlib>
#include "foundation/screenSaverStrings.h"

namespace {

constexpr int MaxSpeed = 3;
constexpr double RandomRange = 32767.0;

bool isBlank(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

} // namespace

int pictureCountFrom(const wchar_t* text)
{
    if (!text)
        return 0;
    while (isBlank(*text))
        ++text;
    int length = lstrlenW(text);
    while (length > 0 && isBlank(text[length - 1]))
        --length;
    if (length == 0)
        return 0;
    wchar_t trimmed[64];
    if (length >= static_cast<int>(sizeof(trimmed) / sizeof(trimmed[0])))
        return 0;
    lstrcpynW(trimmed, text, length + 1);
    LONG count = 0;
    if (FAILED(VarI4FromStr(trimmed, LOCALE_USER_DEFAULT, 0, &count)))
        return 0;
    return count > 0 ? static_cast<int>(count) : 0;
}

int pictureCountOf(HMODULE module)
{
    wchar_t text[64] = {};
    LoadStringW(module, IDS_PICTURE_COUNT, text, static_cast<int>(sizeof(text) / sizeof(text[0])));
    return pictureCountFrom(text);
}

double turnTowardsMiddle(int start, int size, int space, double velocity)
{
    int after = space - start - size;
    int quarter = space / 4;
    bool nearStart = start < after && start < quarter && velocity < 0;
    bool nearEnd = after < start && after < quarter && velocity > 0;
    return nearStart || nearEnd ? -velocity : velocity;
}

PictureInfo::PictureInfo(HMODULE module) : playList(pictureCountOf(module))
{
}

void PictureInfo::place(SIZE client, SIZE picture, double previewScale)
{
    startX = static_cast<int>(random.next() / RandomRange * (client.cx - picture.cx));
    startY = static_cast<int>(random.next() / RandomRange * (client.cy - picture.cy));
    do {
        velocityX = random.next() % (2 * MaxSpeed + 1) - MaxSpeed;
        velocityY = random.next() % (2 * MaxSpeed + 1) - MaxSpeed;
    } while (velocityX == 0 && velocityY == 0);
    if (previewScale < 1.0) {
        velocityX *= previewScale;
        velocityY *= previewScale;
    }
    velocityX = turnTowardsMiddle(startX, picture.cx, client.cx, velocityX);
    velocityY = turnTowardsMiddle(startY, picture.cy, client.cy, velocityY);
}
