#include "imaging/AnimeGifTimer.h"
#include <memory>
#include <new>

namespace {

constexpr DWORD SliceMilliseconds = 10;

// The frame-delay item as GDI+ hands it out: the item record followed by its values.
class PropertyItemBlock {
public:
    bool read(Gdiplus::Image* image, PROPID id)
    {
        UINT size = image->GetPropertyItemSize(id);
        if (size < sizeof(Gdiplus::PropertyItem))
            return false;
        if (size > bytes.size())
            bytes.resize(size);
        return image->GetPropertyItem(id, size, item()) == Gdiplus::Ok;
    }
    Gdiplus::PropertyItem* item() { return reinterpret_cast<Gdiplus::PropertyItem*>(bytes.data()); }

private:
    std::vector<BYTE> bytes;
};

WORD delayOf(const Gdiplus::PropertyItem* item, UINT frame, UINT frameCount)
{
    if (item->length < sizeof(LONG))
        return 1;
    auto values = static_cast<const LONG*>(item->value);
    UINT index = item->length / sizeof(LONG) >= frameCount ? frame : 0;
    LONG value = values[index];
    return static_cast<WORD>(value <= 0 ? 1 : value > 0xFFFF ? 0xFFFF : value);
}

} // namespace

bool AnimeGifTimer::start(Gdiplus::Image* image, HWND window)
{
    stop();
    if (!isGifImage(image))
        return false;
    std::vector<WORD> delays = gifFrameDelays(image);
    if (delays.empty())
        return false;
    record.delays.swap(delays);
    record.window = window;
    record.message = FrameMessage;
    return thread.start(&record);
}

DWORD AnimeGifTimer::TimerThread::run(void* argument)
{
    const PlayRecord& play = *static_cast<const PlayRecord*>(argument);
    size_t frameCount = play.delays.size();
    size_t index = 0;
    while (isRunning()) {
        for (WORD slice = 0; slice < play.delays[index]; ++slice) {
            Sleep(SliceMilliseconds);
            if (!isRunning())
                return 0;
        }
        index = index + 1 < frameCount ? index + 1 : 0;
        PostMessageW(play.window, play.message, index, 0);
    }
    return 0;
}

bool isGifImage(Gdiplus::Image* image)
{
    GUID format;
    return image && image->GetRawFormat(&format) == Gdiplus::Ok && IsEqualGUID(format, Gdiplus::ImageFormatGIF);
}

std::vector<WORD> gifFrameDelays(Gdiplus::Image* image)
{
    std::vector<WORD> delays;
    if (!image || image->GetFrameDimensionsCount() == 0)
        return delays;
    GUID dimension;
    if (image->GetFrameDimensionsList(&dimension, 1) != Gdiplus::Ok)
        return delays;
    UINT frameCount = image->GetFrameCount(&dimension);
    if (frameCount < 2)
        return delays;
    try {
        delays.resize(frameCount);
        PropertyItemBlock block;
        for (UINT i = 0; i < frameCount; ++i) {
            // Some platforms give each frame an item of its own, others one item with a value per frame.
            if (image->SelectActiveFrame(&dimension, i) != Gdiplus::Ok || !block.read(image, PropertyTagFrameDelay)) {
                delays.clear();
                break;
            }
            delays[i] = delayOf(block.item(), i, frameCount);
        }
    } catch (const std::bad_alloc&) {
        delays.clear();
    }
    image->SelectActiveFrame(&dimension, 0);
    return delays;
}
