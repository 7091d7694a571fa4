#pragma once
#include "foundation/CollectionStringToString.h"
#include "foundation/ISetting.h"
#include "foundation/Variant.h"
#include "foundation/XmlDocument.h"
#include "foundation/wstringArray.h"

// The settings store of the settings file: sections of keys held in memory as text, in insertion order (the
// order of the file), filled by load and written out whole by save. COM must be initialised for load and save.
class XmlSetting : public ISetting {
public:
    XmlSetting() = default;

    // Text that XML cannot hold (isXmlText) is refused with UnstorableSettingValue: the file would be read by no
    // one.
    void writeString(const wstring& section, const wstring& key, const wstring& value) override;
    // No length limit.
    wstring readString(const wstring& section, const wstring& key, const wstring& defaultValue) const override;
    void writeInt(const wstring& section, const wstring& key, int value) override;
    // Stored text that is no number (also empty text) gives 0.
    int readInt(const wstring& section, const wstring& key, int defaultValue) const override;
    // Writes "true" or "false".
    void writeBool(const wstring& section, const wstring& key, bool value) override;
    // A present key is true exactly when its text is "true".
    bool readBool(const wstring& section, const wstring& key, bool defaultValue) const override;
    void deleteSection(const wstring& section) override;
    void deleteKey(const wstring& section, const wstring& key) override;
    // Whether the section holds a key.
    bool hasKeys(const wstring& section) const;

    // Empties the store, then reads the file. A file that is missing, not well-formed or declares a document type
    // leaves the store empty (every key takes its default) and gives false, so that an import can tell it from a
    // loaded file.
    bool load(const wstring& path);
    // The same for the bytes of a file that has been read already. With section names given, only those
    // sections are read: a reader that looks for no other need not spend time on the rest of the file.
    bool load(const BYTE* bytes, int length, const wstringArray* sectionNames = nullptr);
    // A failed save throws ComException (or Exception with the HRESULT).
    void save(const wstring& path) const;

    void setValueMode(int mode) { valueMode = mode; }
    void setRootElementName(const wstring& name) { rootElementName = name; }
    void setEntryElementName(const wstring& name) { entryElementName = name; }

private:
    const wstring* find(const wstring& section, const wstring& key) const;
    bool loadDocument(const Variant& source, const wstringArray* wanted);

    StringKeyCollection<CollectionStringToString> sections{11};
    int valueMode = XmlValueMode::Auto;
    wstring rootElementName{L"setting"};
    wstring entryElementName{L"element"};
};
