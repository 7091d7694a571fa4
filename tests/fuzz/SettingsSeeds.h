#pragma once
// Settings files as the program saves them (XML, and INI for a name ending in ".ini"), and the damage hostile
// settings files carry: values out of range or of the wrong kind, effects switched on, broken structure.
#include <windows.h>
#include <algorithm>
#include <string>
#include <vector>
#include "Mutator.h"
#include "settings/AppSetting.h"
#include "support/ScratchFolder.h"

// The defaults as the program's own save writes them into a file of the name.
inline std::string savedDefaults(const wchar_t* name)
{
    ScratchFolder folder(L"korvilane-fuzz-settings");
    std::wstring path = folder.file(name);
    AppSetting setting;
    setting.setSectionsAndPath(path.c_str());
    setting.load(L"korvilane", nullptr, GetModuleHandleW(nullptr));
    setting.save(L"korvilane", nullptr);
    Bytes bytes = readBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// Where one value stands in a settings file's text, with its section and key.
struct SettingValue {
    std::string section;
    std::string key;
    size_t offset;
    size_t length;
};

// The values of a settings file as the program saves it, one key a line: in XML the section's start tag on a
// line of its own and each key's element (name="..." value="..."), in INI "[section]" and key=value lines.
inline std::vector<SettingValue> settingValues(const std::string& text, bool ini)
{
    std::vector<SettingValue> values;
    std::string section;
    for (size_t line = 0; line < text.size();) {
        size_t end = std::min(text.find('\n', line), text.size());
        std::string content = text.substr(line, end - line);
        if (!content.empty() && content.back() == '\r')
            content.pop_back();
        size_t open = content.find_first_not_of(' ');
        if (ini && open != std::string::npos && content[open] == '[') {
            section = content.substr(open + 1, content.find(']') - open - 1);
        } else if (ini && content.find('=') != std::string::npos) {
            size_t equals = content.find('=');
            values.push_back({section, content.substr(0, equals), line + equals + 1, content.size() - equals - 1});
        } else if (!ini && open == 2 && content.size() > 3 && content[3] != '/') {
            section = content.substr(3, content.find('>') - 3);
        } else if (!ini) {
            size_t name = content.find("name=\"");
            size_t value = content.find("value=\"");
            if (name != std::string::npos && value != std::string::npos) {
                size_t keyEnd = content.find('"', name + 6);
                size_t start = value + 7;
                values.push_back({section, content.substr(name + 6, keyEnd - name - 6), line + start,
                                  content.find('"', start) - start});
            }
        }
        line = end + 1;
    }
    return values;
}

// The file with the values of the section's key replaced.
inline std::string withValue(const std::string& text, bool ini, const std::string& section, const std::string& key,
                             const std::string& replacement)
{
    std::string changed = text;
    std::vector<SettingValue> values = settingValues(text, ini);
    for (auto value = values.rbegin(); value != values.rend(); ++value) {
        if (value->section == section && value->key == key)
            changed.replace(value->offset, value->length, replacement);
    }
    return changed;
}

inline bool isSizeKey(const std::string& key)
{
    for (const char* part : {"Width", "Height", "Left", "Top", "Right", "Bottom", "Size", "Offset", "Space", "Cols"})
        if (key.find(part) != std::string::npos)
            return true;
    return false;
}

// A value for the key: any hostile text, except that sizes stay small. A size the user may ask for (a
// 9999 x 9999 resize) is no hostile input, and would only test how long a big picture takes.
inline std::string hostileValue(Mutator& mutator, const std::string& key, bool ini)
{
    if (isSizeKey(key))
        return mutator.pick<const char*>({"", "0", "1", "2", "3", "-1", "-2147483648", "abc", "39", "400", "0x10"});
    if (key == "Definition")
        return mutator.pick<const char*>({"$orgyear$orgmonth$orgday.$ext", "$index$index$index", "a:b.$ext", "",
                                          "..\\up.$ext", "$fname$fname$fname$fname$fname$fname", "$", "$$$", "con.$ext",
                                          "%s%n%x.$ext", "\xE7\x94\xBB\xE5\x83\x8F.$ext"});
    if (key.find("Enable") != std::string::npos || key.find("Transparent") != std::string::npos)
        return ini ? mutator.pick<const char*>({"1", "0", "-1", "true", ""})
                   : mutator.pick<const char*>({"true", "false", "TRUE", "1", ""});
    static const std::string longText(5000, 'x');
    return mutator.pick<std::string>({"",
                                      "0",
                                      "1",
                                      "-1",
                                      "2",
                                      "4",
                                      "5",
                                      "6",
                                      "9",
                                      "34",
                                      "35",
                                      "255",
                                      "256",
                                      "-2147483648",
                                      "2147483647",
                                      "4294967296",
                                      "99999999999999999999999999999",
                                      "abc",
                                      "0x",
                                      "0xFFFFFFFF",
                                      "1e308",
                                      "-1e308",
                                      "NaN",
                                      "89.99",
                                      "-89.99",
                                      "89.9999999",
                                      "90",
                                      "359.99",
                                      "0.0001",
                                      "1,5",
                                      " 7 ",
                                      "mirrorh",
                                      "text",
                                      "rotate",
                                      "bogus",
                                      "&amp;&lt;",
                                      "%s%s%n",
                                      longText});
}

// The file with a few values replaced; with some effect steps switched on first, so that they run.
inline std::string hostileValues(Mutator& mutator, const std::string& text, bool ini)
{
    std::vector<SettingValue> values = settingValues(text, ini);
    std::vector<std::pair<SettingValue, std::string>> changes;
    for (const SettingValue& value : values) {
        if (value.key == "Enable" && mutator.chance(30))
            changes.push_back({value, ini ? "1" : "true"});
    }
    for (size_t count = 1 + mutator.below(4); count > 0 && !values.empty(); --count) {
        const SettingValue& value = mutator.pick(values);
        changes.push_back({value, hostileValue(mutator, value.key, ini)});
    }
    // From the end, so that the offsets before each change stay right.
    std::sort(changes.begin(), changes.end(),
              [](const auto& a, const auto& b) { return a.first.offset > b.first.offset; });
    std::string changed = text;
    size_t last = std::string::npos;
    for (const auto& [value, replacement] : changes) {
        if (value.offset == last)
            continue;
        last = value.offset;
        changed.replace(value.offset, value.length, replacement);
    }
    return changed;
}

// Damage to the file's structure instead of its values.
inline std::string brokenStructure(Mutator& mutator, std::string text, bool ini)
{
    size_t middle = mutator.below(text.size());
    switch (mutator.below(6)) {
    case 0:
        text.resize(middle);
        break;
    case 1:
        text.insert(middle, ini ? "\n[Resize\nEnable=1\n=\n[]\n" : "<Resize><element name=\"Enable\">");
        break;
    case 2:
        // Entities that grow a thousandfold where they are used.
        if (!ini) {
            size_t root = text.find("?>");
            std::string doctype =
                "<!DOCTYPE k [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
                "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">]>";
            text.insert(root == std::string::npos ? 0 : root + 2, doctype);
            size_t value = text.find("value=\"");
            if (value != std::string::npos)
                text.insert(value + 7, "&c;");
        }
        break;
    case 3:
        text.insert(middle, std::string(1, '\0') + "\xFF\xFE\xC0\x80");
        break;
    case 4:
        text = text + text;
        break;
    default:
        text.insert(middle, std::string(3000, ini ? '=' : '<'));
    }
    return text;
}
