#include "toolkit/IDropTargetHandler.h"

STDMETHODIMP IDropTargetHandler::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid != IID_IUnknown && iid != IID_IDropTarget) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP IDropTargetHandler::DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect)
{
    if (!data || !effect)
        return E_POINTER;
    data->AddRef();
    held.attach(data);
    return DragOver(keys, point, effect);
}

STDMETHODIMP IDropTargetHandler::DragOver(DWORD keys, POINTL point, DWORD* effect)
{
    if (!effect)
        return E_POINTER;
    *effect = DROPEFFECT_NONE;
    hitTest(keys, point, effect);
    return S_OK;
}

STDMETHODIMP IDropTargetHandler::DragLeave()
{
    held.release();
    return S_OK;
}

STDMETHODIMP IDropTargetHandler::Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect)
{
    if (!data || !effect)
        return E_POINTER;
    *effect = DROPEFFECT_NONE;
    data->AddRef();
    held.attach(data);
    drop(data, keys, point, effect);
    held.release();
    return S_OK;
}

HRESULT IDropTargetHandler::registerFor(HWND window)
{
    revoke();
    HRESULT result = RegisterDragDrop(window, this);
    if (SUCCEEDED(result))
        registered = window;
    return result;
}

void IDropTargetHandler::revoke()
{
    if (!registered)
        return;
    RevokeDragDrop(registered);
    registered = nullptr;
}
