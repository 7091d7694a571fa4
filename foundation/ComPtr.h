#pragma once
#include <windows.h>
#include <unknwn.h>

// Owns one reference to a COM interface and releases it on destruction.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    // Takes over the caller's reference.
    explicit ComPtr(T* pointer) : pointer(pointer) {}
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    virtual ~ComPtr() { release(); }

    void release()
    {
        if (pointer)
            pointer->Release();
        pointer = nullptr;
    }
    // Takes over the caller's reference; the old one is released.
    void attach(T* other)
    {
        release();
        pointer = other;
    }
    // For functions that hand out a new reference; the old one is released first.
    T** out()
    {
        release();
        return &pointer;
    }
    void** outVoid() { return reinterpret_cast<void**>(out()); }
    // Hands the reference over to the caller.
    T* detach()
    {
        T* held = pointer;
        pointer = nullptr;
        return held;
    }

    T* get() const { return pointer; }
    T* operator->() const { return pointer; }
    explicit operator bool() const { return pointer != nullptr; }

private:
    T* pointer = nullptr;
};

using ComUnknownPtr = ComPtr<IUnknown>;
