#pragma once

// A pointer to an object that the holder was either given or only lent: an owned object is deleted with the
// holder (or when another takes its place), a lent one never.
template <typename T>
class MaybeOwned {
public:
    MaybeOwned() = default;
    MaybeOwned(T* pointer, bool owns) : pointer(pointer), owns(owns) {}
    MaybeOwned(const MaybeOwned&) = delete;
    MaybeOwned& operator=(const MaybeOwned&) = delete;
    ~MaybeOwned() { reset(nullptr, false); }

    // The old object goes when it was owned, unless it is the new one.
    void reset(T* newPointer, bool newOwns)
    {
        if (owns && pointer != newPointer)
            delete pointer;
        pointer = newPointer;
        owns = newOwns;
    }

    T* get() const { return pointer; }
    T* operator->() const { return pointer; }
    explicit operator bool() const { return pointer != nullptr; }

private:
    T* pointer = nullptr;
    bool owns = false;
};
