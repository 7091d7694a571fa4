#include "foundation/XmlDocument.h"
#include <cwchar>

namespace {

void appendChild(const Com& parent, const Com& child)
{
    if (!child)
        throw Exception(ErrorCode::InvalidState);
    Com appended;
    parent.getObject(appended, L"appendChild", Variant(child.get()));
}

bool isXmlCharacter(wchar_t unit)
{
    return unit >= 0x20 ? unit != 0xFFFE && unit != 0xFFFF : unit == L'\t' || unit == L'\n' || unit == L'\r';
}

bool isHighSurrogate(wchar_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(wchar_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

} // namespace

bool isXmlText(const wstring& text)
{
    const wchar_t* units = text.buffer();
    for (int i = 0, length = text.length(); i < length; ++i) {
        if (isHighSurrogate(units[i]) && i + 1 < length && isLowSurrogate(units[i + 1])) {
            ++i;
            continue;
        }
        if (!isXmlCharacter(units[i]) || isHighSurrogate(units[i]) || isLowSurrogate(units[i]))
            return false;
    }
    return true;
}

wstring getNodeAttribute(const Com& node, const wchar_t* name)
{
    Variant value;
    node.callMethod(L"getAttribute", Variant(name), value);
    if (value.type() == VT_NULL)
        return wstring();
    return value.toString();
}

LONGLONG getNodeType(const Com& node)
{
    Variant type;
    node.getProperty(L"nodeType", type);
    return type.toInt64();
}

wstring getNodeText(const Com& node)
{
    wstring text;
    forEachChildNode(node, [&](const Com& child) {
        if (getNodeType(child) != TextNode)
            return;
        Variant value;
        child.getProperty(L"nodeValue", value);
        text += value.toString();
    });
    return text;
}

void appendTextNode(const Com& document, const Com& parent, const wchar_t* text)
{
    Com node;
    document.getObject(node, L"createTextNode", Variant(text));
    appendChild(parent, node);
}

XmlDocument::XmlDocument()
{
    document.create();
    document.com().putProperty(L"preserveWhiteSpace", Variant(true));
}

bool XmlDocument::load(const wstring& path)
{
    return document.load(Variant(path).get());
}

bool XmlDocument::loadXML(const wstring& text)
{
    return document.loadXML(text);
}

void XmlDocument::getRoot(Com& root) const
{
    document.com().getObject(root, L"documentElement");
}

void XmlDocument::startDocument(const wstring& rootName, Com& root)
{
    Com declaration;
    document.com().createProcessingInstruction(declaration, L"xml",
                                               L"version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\"");
    appendChild(document.com(), declaration);
    appendElement(document.com(), rootName, root);
}

void XmlDocument::appendElement(const Com& parent, const wstring& name, Com& element)
{
    document.com().getObject(element, L"createElement", Variant(name));
    appendChild(parent, element);
}

void XmlDocument::appendEntry(const Com& parent, const wstring& entryName, const wstring& key, const wstring& value,
                              int valueMode)
{
    Com entry;
    document.com().getObject(entry, L"createElement", Variant(entryName));
    if (!entry)
        throw Exception(ErrorCode::InvalidState);
    entry.setAttribute(L"name", key);
    bool asText = valueMode == XmlValueMode::Text || (valueMode == XmlValueMode::Auto && wcschr(value.buffer(), L'\n'));
    if (asText)
        appendTextNode(document.com(), entry, value.buffer());
    else
        entry.setAttribute(L"value", value);
    appendChild(parent, entry);
}
