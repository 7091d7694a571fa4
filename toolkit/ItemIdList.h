#pragma once
#include <windows.h>
#include <objbase.h>
#include <shtypes.h>
#include <memory>

// Item identifier lists, the shell's byte-string names of namespace items: items that each start with their
// own 16-bit byte count, ended by a zero count. New lists come from the task allocator and belong to the
// caller (CoTaskMemFree, or a MemPtr).

// The bytes of the items without the terminator; 0 for null.
UINT idListSize(LPCITEMIDLIST list);
// Byte-wise order: -1, 0 or 1. Item by item the shorter item orders first, then the bytes decide. Without
// exact, a list that is a leading part of the other compares equal (the test whether an item lies inside a
// folder); with exact, it orders first. A null list throws Exception 87.
int compareIdLists(LPCITEMIDLIST a, LPCITEMIDLIST b, bool exact);
// A new list of a's items followed by b's; null counts as empty, so (null, null) gives the two-byte empty
// list. Out of task memory throws Exception 8.
LPITEMIDLIST concatIdLists(LPCITEMIDLIST a, LPCITEMIDLIST b);
// The last item of the list, a view into it; the terminator itself for an empty list. Null gives null.
LPCITEMIDLIST lastIdListItem(LPCITEMIDLIST list);
// A new list of the items before the last one (the item's parent); out of task memory throws Exception 8.
LPITEMIDLIST idListParent(LPCITEMIDLIST list);

struct TaskMemoryRelease {
    void operator()(ITEMIDLIST* list) const { CoTaskMemFree(list); }
};
// An owned identifier list that can be kept in standard containers.
using OwnedIdList = std::unique_ptr<ITEMIDLIST, TaskMemoryRelease>;
