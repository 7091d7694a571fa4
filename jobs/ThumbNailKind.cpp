#include "jobs/ThumbNailKind.h"

namespace thumbnailmaker {

namespace {

const wchar_t* const kindNames[] = {L"tile", L"report", L"album", L"join", L"joinh", L"joinv"};
constexpr int kindCount = static_cast<int>(sizeof(kindNames) / sizeof(kindNames[0]));

} // namespace

int kindFromName(const wstring& name)
{
    for (int i = 0; i < kindCount; ++i) {
        if (name.equals(kindNames[i]))
            return i + 1;
    }
    return 1;
}

wstring kindName(int kind)
{
    if (kind < 1 || kind > kindCount)
        return wstring();
    return wstring(kindNames[kind - 1]);
}

} // namespace thumbnailmaker
