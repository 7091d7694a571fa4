#pragma once
#include <windows.h>
#include <objidl.h>
#include "foundation/IUnknownImpl.h"

// What every COM stream of the program answers alike, wherever its bytes lie: the interfaces it has, a copy to
// another stream through its own Read and the target's Write, and writes that go straight to the bytes, with
// nothing to commit or revert and no regions to lock. Reading, writing, seeking, the size, Stat and Clone are
// the stream's own.
class IStreamImpl : public IUnknownImpl<IStream> {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    // Through a buffer of its own, so that a target that shares the bytes may move them as it grows.
    STDMETHODIMP CopyTo(IStream* target, ULARGE_INTEGER count, ULARGE_INTEGER* read, ULARGE_INTEGER* written) override;
    STDMETHODIMP Commit(DWORD) override { return S_OK; }
    STDMETHODIMP Revert() override { return S_OK; }
    STDMETHODIMP LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return STG_E_INVALIDFUNCTION; }
    STDMETHODIMP UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return STG_E_INVALIDFUNCTION; }
};
