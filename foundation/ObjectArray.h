#pragma once
#include "foundation/Array.h"

// Element pointers in insertion order, never null. An owning array deletes an element when it leaves the
// array, and also the element that it was offered but could not take: callers hand the element over in every case.
// The block grows and shrinks by exactly one slot, so memory follows the count.
template <typename T>
class ObjectArray {
public:
    explicit ObjectArray(bool owns = true) : owns(owns) {}
    ObjectArray(const ObjectArray&) = delete;
    ObjectArray& operator=(const ObjectArray&) = delete;
    virtual ~ObjectArray() { removeAll(); }

    bool add(T* element)
    {
        if (!element) {
            SetLastError(ErrorCode::InvalidArgument);
            return false;
        }
        int n = slots.count();
        if (!slots.setSize(n + 1)) {
            DWORD error = GetLastError();
            release(element);
            SetLastError(error);
            return false;
        }
        slots.at(n) = element;
        return true;
    }

    bool removeAt(int index)
    {
        int n = slots.count();
        if (index < 0 || index >= n) {
            SetLastError(ErrorCode::InvalidArgument);
            return false;
        }
        release(slots.at(index));
        for (int i = index; i + 1 < n; ++i)
            slots.at(i) = slots.at(i + 1);
        slots.removeLast();
        return true;
    }

    void removeAll()
    {
        for (int i = 0; i < slots.count(); ++i)
            release(slots.at(i));
        slots.setSize(0);
    }

    T* at(int index) const { return slots.at(index); }
    int count() const { return slots.count(); }
    bool ownsElements() const { return owns; }

    void swap(ObjectArray& other)
    {
        slots.swap(other.slots);
        bool otherOwns = other.owns;
        other.owns = owns;
        owns = otherOwns;
    }

private:
    void release(T* element)
    {
        if (owns)
            delete element;
    }

    Array<T*> slots;
    bool owns;
};
