// Settings files and layouts come from anyone; one that declares a document type is refused by each reader the
// way it refuses a broken file, whether the declaration holds its entities or names a file that holds them.
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include "foundation/Application.h"
#include "mainwindow/LayoutFile.h"
#include "settings/AppSetting.h"
#include "settings/Messages.h"
#include "support/ComTesting.h"
#include "support/ProgramCopy.h"
#include "support/fileBytes.h"

namespace {

constexpr wchar_t AppName[] = L"Korvilane";
const std::string Settings = "<Korvilane><Window><element name=\"Width\" value=\"700\"/></Window></Korvilane>";
const std::string Layout = "<setting><element name=\"application\" value=\"Korvilane\"/></setting>";

struct Reader {
    const char* name;
    const std::string& document;
    std::string refusal;
    // "read" when the reader took the file's content.
    std::function<std::string(const std::wstring& path)> outcome;
};

bool exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

TEST(DocumentType, EveryReaderRefusesAFileThatDeclaresOne)
{
    ComApartment com;
    loadMessages(GetModuleHandleW(nullptr));
    ScratchFolder folder(L"korvilane-doctype");
    std::wstring entities = folder.file(L"x.dtd");
    writeText(entities, "<!ENTITY width \"700\">");
    ProgramCopy program(L"korvilane-doctype-program");

    const Reader readers[] = {
        {"settings file at start", Settings, "kept aside",
         [](const std::wstring& path) {
             AppSetting setting;
             setting.setSectionsAndPath(path.c_str());
             setting.load(AppName, nullptr, GetModuleHandleW(nullptr));
             if (setting.windowWidth == 700)
                 return "read";
             return !exists(path) && exists(path + L".unreadable") ? "kept aside" : "lost";
         }},
        // The log is begun once the settings have been read; the picture is missing either way.
        {"/par", Settings, "no log",
         [&](const std::wstring& path) {
             program.run(L"/par \"" + path + L"\" /file none.bmp out.bmp /log \"" + path + L".log\"");
             return exists(path + L".log") ? "read" : "no log";
         }},
        {"layout", Layout, "E0002",
         [](const std::wstring& path) {
             wstringArray files;
             try {
                 readLayout(path.c_str(), AppName, files);
                 return "read";
             } catch (const Exception& exception) {
                 return Application::getExceptionText(exception).equals(Messages::E0002.get()) ? "E0002" : "other";
             }
         }},
    };
    std::string external = "<!DOCTYPE k SYSTEM \"" + std::string(entities.begin(), entities.end()) + "\">";
    const std::string declarations[] = {"", "<!DOCTYPE k [<!ENTITY width \"700\">]>", external};
    int file = 0;
    for (const Reader& reader : readers) {
        for (const std::string& declaration : declarations) {
            std::wstring path = folder.file(std::to_wstring(++file) + L".xml");
            writeText(path, "<?xml version=\"1.0\"?>" + declaration + reader.document);
            EXPECT_EQ(reader.outcome(path), declaration.empty() ? "read" : reader.refusal)
                << reader.name << " " << declaration;
        }
    }
}
