#include "foundation/FileAssociation.h"
#include "foundation/SettingReg.h"

namespace {

// The keys below the document class, deepest first, so that each is empty when its turn comes.
const wchar_t* const ClassSubKeys[] = {L"\\shell\\open\\command", L"\\shell\\open", L"\\shell", L"\\DefaultIcon"};

wstring documentClass(const wstring& name, const wstring& extension)
{
    return name.toLower() + L"." + extension.toLower();
}

wstring extensionKey(const wstring& extension)
{
    return L"." + extension.toLower();
}

// The extension key's default value, lower-cased; false when the key cannot be opened.
bool readAssociatedClass(const wstring& extension, wstring& associated)
{
    SettingReg setting;
    if (!setting.reg().openClassesRoot(extensionKey(extension).buffer()))
        return false;
    associated = setting.readKeyValue(L"", L"").toLower();
    return true;
}

void openRoot(SettingReg& setting, bool forWriting)
{
    Reg& root = setting.reg();
    if (!(forWriting ? root.createClassesRoot(L"") : root.openClassesRoot(L"")))
        Exception::throwLastError();
}

void writeAssociation(const wstring& name, const wstring& executablePath, const wstring& extension,
                      const wstring& description, int iconIndex)
{
    SettingReg setting;
    openRoot(setting, true);
    wstring className = documentClass(name, extension);
    wstring path = executablePath.toLower();
    wstring index;
    index.setInt(iconIndex);
    setting.writeString(extensionKey(extension), L"", className);
    setting.writeString(className, L"", description);
    setting.writeString(className + L"\\DefaultIcon", L"", path + L"," + index);
    setting.writeString(className + L"\\shell\\open\\command", L"", L"\"" + path + L"\" \"%1\"");
}

// Deletes the document class and, while it points to this program, the extension key. The clean-up after a
// half-written registration tries every key and ignores what fails: stopping at the first key that was never
// written would leave the extension pointing to a class without a command.
void removeAssociation(const wstring& name, const wstring& extension, bool bestEffort)
{
    SettingReg setting;
    openRoot(setting, false);
    wstring className = documentClass(name, extension);
    auto remove = [&](const wstring& subKey) {
        try {
            setting.deleteSection(subKey);
        } catch (const Exception&) {
            if (!bestEffort)
                throw;
        }
    };
    for (const wchar_t* subKey : ClassSubKeys)
        remove(className + subKey);
    remove(className);
    if (isFileTypeRegistered(name, extension))
        remove(extensionKey(extension));
    setting.reg().close();
}

} // namespace

void registerFileType(const wstring& name, const wstring& executablePath, const wstring& extension,
                      const wstring& description, int iconIndex)
{
    try {
        writeAssociation(name, executablePath, extension, description, iconIndex);
    } catch (const Exception& first) {
        try {
            removeAssociation(name, extension, true);
        } catch (const Exception&) {
            throw Exception(first.getCode());
        }
        throw;
    }
}

void unregisterFileType(const wstring& name, const wstring& extension)
{
    removeAssociation(name, extension, false);
}

bool isFileTypeRegistered(const wstring& name, const wstring& extension)
{
    wstring associated;
    if (!readAssociatedClass(extension, associated))
        return false;
    return lstrcmpW(associated.buffer(), documentClass(name, extension).buffer()) == 0;
}

bool isFileTypeRegisteredElsewhere(const wstring& name, const wstring& extension)
{
    wstring associated;
    if (!readAssociatedClass(extension, associated))
        return false;
    return lstrcmpW(associated.buffer(), documentClass(name, extension).buffer()) != 0;
}
