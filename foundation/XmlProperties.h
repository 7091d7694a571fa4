#pragma once
#include "foundation/CollectionStringToString.h"
#include "foundation/Properties.h"
#include "foundation/XmlDocument.h"

// Named string values in insertion order, kept as an XML document: one entry element per value below a root
// element, the key in its "name" attribute. Reading accepts any root name and entries at any depth.
class XmlProperties : public Properties, public CollectionStringToString {
public:
    XmlProperties() = default;

    // A file that is missing, not well-formed or declares a document type gives an empty list and false.
    bool load(const wstring& path) override;
    bool loadXML(const wstring& text);
    void save(const wstring& path) override;

    void setValueMode(int mode) { valueMode = mode; }
    void setRootElementName(const wstring& name) { rootElementName = name; }
    void setEntryElementName(const wstring& name) { entryElementName = name; }

private:
    // Empties the list, then fills it from a file or a text.
    bool read(bool (XmlDocument::*loader)(const wstring&), const wstring& source);

    int valueMode = XmlValueMode::Auto;
    wstring rootElementName{L"setting"};
    wstring entryElementName{L"element"};
};
