#include "foundation/PropertyStore.h"
#include "foundation/MemPtr.h"

void PropertyStore::getValue(const PROPERTYKEY& key, PropVariant& result) const
{
    if (!store)
        throw Exception(ErrorCode::InvalidState);
    Exception::check(store->GetValue(key, result.out()));
}

wstring PropertyStore::getDisplayString(const PROPERTYKEY& key) const
{
    PropVariant value;
    getValue(key, value);
    ComPtr<IPropertyDescription> description;
    Exception::check(PSGetPropertyDescription(key, IID_IPropertyDescription, description.outVoid()));
    MemPtr text;
    Exception::check(description->FormatForDisplay(value.get(), PDFF_DEFAULT, text.out<wchar_t>()));
    if (!text.get<wchar_t>())
        Exception::throwInvalidArgument();
    return wstring(text.get<wchar_t>());
}
