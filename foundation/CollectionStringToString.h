#pragma once
#include "foundation/StringKeyCollection.h"

// Small ordered string records: settings sections, XML property lists.
class CollectionStringToString : public StringKeyCollection<wstring> {
public:
    CollectionStringToString() : StringKeyCollection<wstring>(11) {}
};
