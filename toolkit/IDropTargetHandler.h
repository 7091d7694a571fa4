#pragma once
#include <windows.h>
#include <ole2.h>
#include "foundation/ComPtr.h"
#include "foundation/IUnknownImpl.h"

// A drop target of OLE drag and drop that leaves two decisions to a derived class: the effect a drag would
// have at a point (the hit test), and what a drop does. The effect is "none" unless a hook says otherwise;
// the callbacks never fail beyond null pointers (E_POINTER). The data object of the drag is held from
// DragEnter to DragLeave or to the end of Drop.
class IDropTargetHandler : public IUnknownImpl<IDropTarget> {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;
    STDMETHODIMP DragOver(DWORD keys, POINTL point, DWORD* effect) override;
    STDMETHODIMP DragLeave() override;
    STDMETHODIMP Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;

    // Registers the handler for drops on the window (and on its children that have no target of their
    // own), revoking the window it was registered for before. Returns RegisterDragDrop's result.
    HRESULT registerFor(HWND window);
    // Revokes the registration, when there is one.
    void revoke();
    HWND registeredWindow() const { return registered; }

protected:
    // The point is in screen coordinates; the effect starts as DROPEFFECT_NONE.
    virtual void hitTest(DWORD keys, POINTL point, DWORD* effect) = 0;
    virtual void drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) = 0;
    // The data object of the drag in progress; null outside a drag.
    IDataObject* heldData() const { return held.get(); }

private:
    HWND registered = nullptr;
    ComPtr<IDataObject> held;
};
