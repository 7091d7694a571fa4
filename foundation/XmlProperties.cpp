#include "foundation/XmlProperties.h"

bool XmlProperties::read(bool (XmlDocument::*loader)(const wstring&), const wstring& source)
{
    removeAll();
    XmlDocument document;
    if (!(document.*loader)(source))
        return false;
    Com root;
    document.getRoot(root);
    if (!root)
        return true;
    XmlDocument::forEachEntry(root, entryElementName, [&](const wstring& key, const wstring& value) {
        set(key, value);
    });
    return true;
}

bool XmlProperties::load(const wstring& path)
{
    return read(&XmlDocument::load, path);
}

bool XmlProperties::loadXML(const wstring& text)
{
    return read(&XmlDocument::loadXML, text);
}

void XmlProperties::save(const wstring& path)
{
    XmlDocument document;
    Com root;
    document.startDocument(rootElementName, root);
    for (int i = 0; i < count(); ++i) {
        document.appendText(root, L"\r\n  ");
        document.appendEntry(root, entryElementName, keyAt(i), valueAt(i), valueMode);
    }
    document.appendText(root, L"\r\n");
    document.save(path);
}
