#pragma once
#include "foundation/Com.h"

// Where an entry's value goes in the element scheme shared by property lists and settings files.
namespace XmlValueMode {
constexpr int Auto = 0;      // element text when the value holds a line feed, else the "value" attribute
constexpr int Attribute = 1; // always the "value" attribute
constexpr int Text = 2;      // always element text
} // namespace XmlValueMode

// Whether an XML document can hold the text: no control character but tab, line feed and carriage return, no
// half of a surrogate pair alone, neither U+FFFE nor U+FFFF. A parser refuses a document that holds any other,
// even written as a character reference.
bool isXmlText(const wstring& text);

// The attribute's text; an absent attribute gives the empty string.
wstring getNodeAttribute(const Com& node, const wchar_t* name);
// The text of the node's direct text children, joined; child elements, comments and CDATA are skipped.
wstring getNodeText(const Com& node);
// A missing node from the document throws Exception 1.
void appendTextNode(const Com& document, const Com& parent, const wchar_t* text);

// The DOM node type: 1 element, 3 text, and so on.
constexpr LONGLONG ElementNode = 1;
constexpr LONGLONG TextNode = 3;
LONGLONG getNodeType(const Com& node);

// Calls visit(node) for each node of a DOM node list, in document order.
template <typename Visit>
void forEachListedNode(const Com& list, Visit visit)
{
    Com node;
    for (list.getObject(node, L"nextNode"); node; list.getObject(node, L"nextNode"))
        visit(node);
}

// Calls visit(child) for each direct child of the node, in document order.
template <typename Visit>
void forEachChildNode(const Com& node, Visit visit)
{
    Com children;
    node.getObject(children, L"childNodes");
    if (children)
        forEachListedNode(children, visit);
}

// One document of the system's XML DOM (MSXML), created anew for each load or save and driven by member
// names. White space is preserved both ways. COM must be initialised on the calling thread.
class XmlDocument {
public:
    XmlDocument();
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;
    virtual ~XmlDocument() = default;

    // False when the file is missing, unreadable or not well-formed, or declares a document type.
    bool load(const wstring& path);
    bool loadXML(const wstring& text);
    // The root element; nothing when the document has none.
    void getRoot(Com& root) const;
    // Calls visit(key, value) for each entry element below the node, at any depth, in document order: the key
    // is the "name" attribute, the value the element's text, or its "value" attribute when the text is empty.
    template <typename Visit>
    static void forEachEntry(const Com& parent, const wstring& entryName, Visit visit)
    {
        Com entries;
        parent.getObject(entries, L"getElementsByTagName", Variant(entryName));
        if (!entries)
            return;
        forEachListedNode(entries, [&](const Com& entry) {
            wstring key = getNodeAttribute(entry, L"name");
            wstring value = getNodeText(entry);
            if (value.isEmpty())
                value = getNodeAttribute(entry, L"value");
            visit(key, value);
        });
    }

    // Appends the UTF-8 declaration and the root element of that name.
    void startDocument(const wstring& rootName, Com& root);
    void appendElement(const Com& parent, const wstring& name, Com& element);
    void appendText(const Com& parent, const wchar_t* text) { appendTextNode(document.com(), parent, text); }
    // An entry element: "name" holds the key; the value goes where the value mode puts it.
    void appendEntry(const Com& parent, const wstring& entryName, const wstring& key, const wstring& value,
                     int valueMode);
    // A failed save throws ComException (or Exception with the HRESULT).
    void save(const wstring& path) { document.com().save(path); }

private:
    ComObject document;
};
