#include "foundation/XmlSetting.h"
#include <cwchar>
#include <msxml2.h>

namespace {

// The settings file is read through the DOM's own interfaces rather than by member names: a file of many
// thousand entries takes a dozen calls for each, and finding a member by its name costs more than the call.

bool loadedDocument(const Variant& source, ComPtr<IXMLDOMDocument>& document)
{
    ComObject created;
    created.create();
    Exception::check(created.com().get()->QueryInterface(IID_IXMLDOMDocument, document.outVoid()));
    Exception::check(document->put_preserveWhiteSpace(VARIANT_TRUE));
    // Queries are XPath, whose axes the older patterns lack.
    created.setProperty(L"SelectionLanguage", Variant(L"XPath"));
    return created.load(source.get());
}

// The node's name as the DOM hands it out, held by the variant.
const wchar_t* nodeName(IXMLDOMNode& node, Variant& name)
{
    VARIANT* held = name.out();
    Exception::check(node.get_nodeName(&held->bstrVal));
    held->vt = VT_BSTR;
    return held->bstrVal ? held->bstrVal : L"";
}

// An absent attribute gives the empty string.
wstring attribute(IXMLDOMElement& element, const Variant& name)
{
    Variant value;
    Exception::check(element.getAttribute(name.get().bstrVal, value.out()));
    return value.type() == VT_NULL ? wstring() : value.toString();
}

// Calls visit(child, type) for each direct child of the node, in document order.
template <typename Visit>
void forEachChild(IXMLDOMNode& node, Visit visit)
{
    ComPtr<IXMLDOMNode> child;
    Exception::check(node.get_firstChild(child.out()));
    while (child) {
        DOMNodeType type = NODE_INVALID;
        Exception::check(child->get_nodeType(&type));
        visit(*child.get(), type);
        ComPtr<IXMLDOMNode> next;
        Exception::check(child->get_nextSibling(next.out()));
        child.attach(next.detach());
    }
}

// The text of the node's direct text children, joined.
wstring directText(IXMLDOMNode& node)
{
    wstring text;
    forEachChild(node, [&](IXMLDOMNode& child, DOMNodeType type) {
        if (type != NODE_TEXT)
            return;
        Variant value;
        Exception::check(child.get_nodeValue(value.out()));
        text += value.toString();
    });
    return text;
}

// Calls visit(node) for each node the query selects from the node, in document order.
template <typename Visit>
void forEachSelected(IXMLDOMNode& node, const Variant& query, Visit visit)
{
    ComPtr<IXMLDOMNodeList> list;
    Exception::check(node.selectNodes(query.get().bstrVal, list.out()));
    ComPtr<IXMLDOMNode> item;
    while (list->nextNode(item.out()) == S_OK && item)
        visit(*item.get());
}

// Hands each entry of a settings document to visit(section, key, value): every element child of the root is a
// section, every entry element below it, at any depth, one of its keys. A file may hold tens of thousands of
// sections, so the DOM itself selects the elements, passing over the text between them, and a section no one
// asked for is passed over without a look inside. Names are compared as the DOM hands them out, not copied.
class EntryReader {
public:
    EntryReader(const wstring& entryName, const wstringArray* wanted) : entryName(entryName), wanted(wanted) {}

    template <typename Visit>
    void readSections(IXMLDOMElement& root, Visit visit) const
    {
        forEachSelected(root, elementChildren, [&](IXMLDOMNode& child) {
            Variant held;
            const wchar_t* name = nodeName(child, held);
            if (!wanted) {
                readEntries(wstring(name), child, visit);
                return;
            }
            // Names compare unit for unit, as the store compares them.
            for (int i = 0; i < wanted->count(); ++i) {
                if (wcscmp(wanted->at(i).buffer(), name) == 0)
                    return readEntries(wanted->at(i), child, visit);
            }
        });
    }

private:
    // Entries inside entries count as well, each before the ones it holds: the document order of the
    // descendants.
    template <typename Visit>
    void readEntries(const wstring& section, IXMLDOMNode& top, Visit visit) const
    {
        forEachSelected(top, elementDescendants, [&](IXMLDOMNode& node) {
            Variant held;
            if (wcscmp(nodeName(node, held), entryName.buffer()) == 0)
                readEntry(section, node, visit);
        });
    }

    template <typename Visit>
    void readEntry(const wstring& section, IXMLDOMNode& entry, Visit visit) const
    {
        ComPtr<IXMLDOMElement> element;
        Exception::check(entry.QueryInterface(IID_IXMLDOMElement, element.outVoid()));
        wstring value = directText(entry);
        if (value.isEmpty())
            value = attribute(*element.get(), valueAttribute);
        visit(section, attribute(*element.get(), nameAttribute), value);
    }

    const wstring& entryName;
    const wstringArray* wanted;
    Variant nameAttribute{L"name"};
    Variant valueAttribute{L"value"};
    Variant elementChildren{L"*"};
    Variant elementDescendants{L"descendant::*"};
};

} // namespace

const wstring* XmlSetting::find(const wstring& section, const wstring& key) const
{
    const CollectionStringToString* keys = sections.find(section);
    return keys ? keys->find(key) : nullptr;
}

void XmlSetting::writeString(const wstring& section, const wstring& key, const wstring& value)
{
    if (!isXmlText(value))
        throw UnstorableSettingValue(section, key);
    CollectionStringToString* keys = sections.find(section);
    if (!keys) {
        // Added empty and filled in place: a filled section would be copied whole into the collection.
        sections.add(section, CollectionStringToString());
        keys = sections.find(section);
    }
    keys->set(key, value);
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

bool XmlSetting::load(const wstring& path)
{
    return loadDocument(Variant(path), nullptr);
}

bool XmlSetting::load(const BYTE* bytes, int length, const wstringArray* sectionNames)
{
    if (!bytes || length < 0)
        Exception::throwInvalidArgument();
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(length));
    if (!array)
        throw Exception(ErrorCode::NoMemory);
    Variant source;
    VARIANT* held = source.out();
    held->vt = VT_ARRAY | VT_UI1;
    held->parray = array;
    void* data = nullptr;
    Exception::check(SafeArrayAccessData(array, &data));
    CopyMemory(data, bytes, static_cast<SIZE_T>(length));
    SafeArrayUnaccessData(array);
    return loadDocument(source, sectionNames);
}

bool XmlSetting::loadDocument(const Variant& source, const wstringArray* wanted)
{
    sections.removeAll();
    ComPtr<IXMLDOMDocument> document;
    if (!loadedDocument(source, document))
        return false;
    ComPtr<IXMLDOMElement> root;
    Exception::check(document->get_documentElement(root.out()));
    if (!root)
        return true;
    EntryReader(entryElementName, wanted)
        .readSections(*root.get(), [&](const wstring& section, const wstring& key, const wstring& value) {
            writeString(section, key, value);
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
