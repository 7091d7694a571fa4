#include "foundation/XmlSetting.h"

const wstring* XmlSetting::find(const wstring& section, const wstring& key) const
{
    const CollectionStringToString* keys = sections.find(section);
    return keys ? keys->find(key) : nullptr;
}

void XmlSetting::writeString(const wstring& section, const wstring& key, const wstring& value)
{
    CollectionStringToString* keys = sections.find(section);
    if (keys) {
        keys->set(key, value);
        return;
    }
    CollectionStringToString added;
    added.add(key, value);
    sections.add(section, added);
}

wstring XmlSetting::readString(const wstring& section, const wstring& key, const wstring& defaultValue) const
{
    const wstring* value = find(section, key);
    return value ? *value : defaultValue;
}

void XmlSetting::writeInt(const wstring& section, const wstring& key, int value)
{
    wstring text;
    text.setInt(value);
    writeString(section, key, text);
}

int XmlSetting::readInt(const wstring& section, const wstring& key, int defaultValue) const
{
    wstring text;
    text.setInt(defaultValue);
    return readString(section, key, text).toInt();
}

void XmlSetting::writeBool(const wstring& section, const wstring& key, bool value)
{
    writeString(section, key, value ? L"true" : L"false");
}

bool XmlSetting::readBool(const wstring& section, const wstring& key, bool defaultValue) const
{
    const wstring* value = find(section, key);
    return value ? value->equals(L"true") : defaultValue;
}

bool XmlSetting::hasKeys(const wstring& section) const
{
    const CollectionStringToString* keys = sections.find(section);
    return keys && keys->count() > 0;
}

void XmlSetting::deleteSection(const wstring& section)
{
    if (sections.find(section))
        sections.remove(section);
}

void XmlSetting::deleteKey(const wstring& section, const wstring& key)
{
    CollectionStringToString* keys = sections.find(section);
    if (keys && keys->find(key))
        keys->remove(key);
}

void XmlSetting::readSection(const Com& element)
{
    Variant name;
    element.getProperty(L"nodeName", name);
    wstring section = name.toString();
    XmlDocument::forEachEntry(element, entryElementName, [&](const wstring& key, const wstring& value) {
        writeString(section, key, value);
    });
}

bool XmlSetting::load(const wstring& path)
{
    sections.removeAll();
    XmlDocument document;
    if (!document.load(path))
        return false;
    Com root;
    document.getRoot(root);
    if (!root)
        return true;
    forEachChildNode(root, [&](const Com& child) {
        if (getNodeType(child) == ElementNode)
            readSection(child);
    });
    return true;
}

void XmlSetting::save(const wstring& path) const
{
    XmlDocument document;
    Com root;
    document.startDocument(rootElementName, root);
    for (int i = 0; i < sections.count(); ++i) {
        document.appendText(root, L"\r\n  ");
        Com section;
        document.appendElement(root, sections.keyAt(i), section);
        const CollectionStringToString& keys = sections.valueAt(i);
        for (int k = 0; k < keys.count(); ++k) {
            document.appendText(section, L"\r\n    ");
            document.appendEntry(section, entryElementName, keys.keyAt(k), keys.valueAt(k), valueMode);
        }
        document.appendText(section, L"\r\n  ");
    }
    document.appendText(root, L"\r\n");
    document.save(path);
}
