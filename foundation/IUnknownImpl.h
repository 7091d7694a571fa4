#pragma once
#include <windows.h>
#include <unknwn.h>

// The reference count of a COM object that the program implements: it starts at 1 (the creator's
// reference) and the object deletes itself when the last reference is released. QueryInterface is the
// object's own.
template <typename Interface>
class IUnknownImpl : public Interface {
public:
    IUnknownImpl() = default;
    IUnknownImpl(const IUnknownImpl&) = delete;
    IUnknownImpl& operator=(const IUnknownImpl&) = delete;

    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references)); }
    STDMETHODIMP_(ULONG) Release() override
    {
        LONG left = InterlockedDecrement(&references);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

protected:
    virtual ~IUnknownImpl() = default;

private:
    LONG references = 1;
};
