#pragma once
#include <windows.h>
#include <propsys.h>
#include "foundation/ComPtr.h"
#include "foundation/PropVariant.h"

// Owns an IPropertyStore (a shell item's or a decoder's properties).
class PropertyStore {
public:
    PropertyStore() = default;
    PropertyStore(const PropertyStore&) = delete;
    PropertyStore& operator=(const PropertyStore&) = delete;
    virtual ~PropertyStore() = default;

    // Without a store throws Exception 1; a failing store throws Exception with its HRESULT.
    void getValue(const PROPERTYKEY& key, PropVariant& result) const;
    // The value as the system formats it for display; a null text throws Exception 87.
    wstring getDisplayString(const PROPERTYKEY& key) const;

    // For functions that hand out a store; the old one is released first.
    void** out() { return store.outVoid(); }
    IPropertyStore* get() const { return store.get(); }

private:
    ComPtr<IPropertyStore> store;
};
