#pragma once
// What a drag from another program carries, for the tests of drop targets: the shell's own data object of
// files in one folder (as the desktop's file windows hand out), and a data object that offers one format of
// the test's making (text only, or a file list that the shell would not make, such as a very long path).
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>
#include <shellapi.h>
#include <string>
#include <vector>
#include "foundation/ComPtr.h"

// The shell's data object of the named files of the folder; null when the shell cannot make one.
inline IDataObject* shellDataObjectOf(const std::wstring& folder, const std::vector<std::wstring>& names)
{
    ComPtr<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(desktop.out())))
        return nullptr;
    LPITEMIDLIST folderList = nullptr;
    if (FAILED(desktop.get()->ParseDisplayName(nullptr, nullptr, const_cast<wchar_t*>(folder.c_str()), nullptr,
                                               &folderList, nullptr)))
        return nullptr;
    ComPtr<IShellFolder> parent;
    HRESULT bound = desktop.get()->BindToObject(folderList, nullptr, IID_IShellFolder, parent.outVoid());
    CoTaskMemFree(folderList);
    if (FAILED(bound))
        return nullptr;
    std::vector<LPITEMIDLIST> children;
    for (const std::wstring& name : names) {
        LPITEMIDLIST child = nullptr;
        if (SUCCEEDED(parent.get()->ParseDisplayName(nullptr, nullptr, const_cast<wchar_t*>(name.c_str()), nullptr,
                                                      &child, nullptr)))
            children.push_back(child);
    }
    IDataObject* data = nullptr;
    if (children.size() == names.size())
        parent.get()->GetUIObjectOf(nullptr, static_cast<UINT>(children.size()),
                                    const_cast<LPCITEMIDLIST*>(children.data()), IID_IDataObject, nullptr,
                                    reinterpret_cast<void**>(&data));
    for (LPITEMIDLIST child : children)
        CoTaskMemFree(child);
    return data;
}

// A CF_HDROP block of the paths, as a drag source puts it into global memory.
inline HGLOBAL fileDropBlock(const std::vector<std::wstring>& paths)
{
    size_t characters = 1;
    for (const std::wstring& path : paths)
        characters += path.size() + 1;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + characters * sizeof(wchar_t));
    auto* header = static_cast<DROPFILES*>(GlobalLock(block));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    auto* text = reinterpret_cast<wchar_t*>(header + 1);
    for (const std::wstring& path : paths) {
        path.copy(text, path.size());
        text += path.size() + 1;
    }
    GlobalUnlock(block);
    return block;
}

inline HGLOBAL textBlock(const std::wstring& text)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, (text.size() + 1) * sizeof(wchar_t));
    text.copy(static_cast<wchar_t*>(GlobalLock(block)), text.size());
    GlobalUnlock(block);
    return block;
}

// A data object of one clipboard format in global memory (it owns the block); every other format is refused.
class OneFormatData : public IDataObject {
public:
    OneFormatData(CLIPFORMAT format, HGLOBAL block) : format(format), block(block) {}
    virtual ~OneFormatData() { GlobalFree(block); }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (iid != IID_IUnknown && iid != IID_IDataObject) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IDataObject*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references)); }
    STDMETHODIMP_(ULONG) Release() override
    {
        LONG left = InterlockedDecrement(&references);
        if (!left)
            delete this;
        return static_cast<ULONG>(left);
    }
    STDMETHODIMP QueryGetData(FORMATETC* asked) override
    {
        return asked->cfFormat == format && (asked->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
    }
    STDMETHODIMP GetData(FORMATETC* asked, STGMEDIUM* medium) override
    {
        if (QueryGetData(asked) != S_OK)
            return DV_E_FORMATETC;
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = OleDuplicateData(block, format, 0);
        medium->pUnkForRelease = nullptr;
        return medium->hGlobal ? S_OK : E_OUTOFMEMORY;
    }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override
    {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    LONG references = 1;
    CLIPFORMAT format;
    HGLOBAL block;
};

// A drag that the user ends at once where the cursor is: OLE's own drag loop finds the registered target
// under the cursor, lets it judge the data and drops it there.
class DropAtOnce : public IDropSource {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (iid != IID_IUnknown && iid != IID_IDropSource) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IDropSource*>(this);
        return S_OK;
    }
    // Lives on the stack of the test.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP QueryContinueDrag(BOOL escape, DWORD) override
    {
        return escape ? DRAGDROP_S_CANCEL : DRAGDROP_S_DROP;
    }
    STDMETHODIMP GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};
