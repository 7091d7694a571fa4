#include "toolkit/ItemIdList.h"
#include <objbase.h>
#include <cstring>
#include "foundation/Exception.h"

namespace {

USHORT itemSize(const BYTE* item)
{
    USHORT size;
    std::memcpy(&size, item, sizeof(size));
    return size;
}

LPITEMIDLIST copyIdListBytes(LPCITEMIDLIST a, UINT firstSize, LPCITEMIDLIST b)
{
    UINT secondSize = idListSize(b);
    SIZE_T total = SIZE_T(firstSize) + secondSize + sizeof(USHORT);
    auto bytes = static_cast<BYTE*>(CoTaskMemAlloc(total));
    if (!bytes)
        throw Exception(ErrorCode::NoMemory);
    std::memset(bytes, 0, total);
    if (firstSize)
        std::memcpy(bytes, a, firstSize);
    if (secondSize)
        std::memcpy(bytes + firstSize, b, secondSize);
    return reinterpret_cast<LPITEMIDLIST>(bytes);
}

} // namespace

UINT idListSize(LPCITEMIDLIST list)
{
    if (!list)
        return 0;
    auto item = reinterpret_cast<const BYTE*>(list);
    UINT total = 0;
    for (USHORT size = itemSize(item); size != 0; size = itemSize(item)) {
        total += size;
        item += size;
    }
    return total;
}

int compareIdLists(LPCITEMIDLIST a, LPCITEMIDLIST b, bool exact)
{
    if (!a || !b)
        Exception::throwInvalidArgument();
    auto first = reinterpret_cast<const BYTE*>(a);
    auto second = reinterpret_cast<const BYTE*>(b);
    for (;;) {
        USHORT firstSize = itemSize(first);
        USHORT secondSize = itemSize(second);
        if (firstSize == 0 && secondSize == 0)
            return 0;
        if (!exact && (firstSize == 0 || secondSize == 0))
            return 0;
        if (firstSize != secondSize)
            return firstSize < secondSize ? -1 : 1;
        for (USHORT i = sizeof(USHORT); i < firstSize; ++i) {
            if (first[i] != second[i])
                return first[i] < second[i] ? -1 : 1;
        }
        first += firstSize;
        second += secondSize;
    }
}

LPITEMIDLIST concatIdLists(LPCITEMIDLIST a, LPCITEMIDLIST b)
{
    return copyIdListBytes(a, idListSize(a), b);
}

LPCITEMIDLIST lastIdListItem(LPCITEMIDLIST list)
{
    if (!list)
        return nullptr;
    auto item = reinterpret_cast<const BYTE*>(list);
    const BYTE* last = item;
    for (USHORT size = itemSize(item); size != 0; size = itemSize(item)) {
        last = item;
        item += size;
    }
    return reinterpret_cast<LPCITEMIDLIST>(last);
}

LPITEMIDLIST idListParent(LPCITEMIDLIST list)
{
    auto last = reinterpret_cast<const BYTE*>(lastIdListItem(list));
    UINT leading = list ? static_cast<UINT>(last - reinterpret_cast<const BYTE*>(list)) : 0;
    return copyIdListBytes(list, leading, nullptr);
}
