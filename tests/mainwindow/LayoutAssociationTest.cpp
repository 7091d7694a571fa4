// The layout-file menu command, with the registry of a throwaway prefix and, where it matters, the real
// program started elevated.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "ClassesRoot.h"
#include "foundation/FileAssociation.h"
#include "mainwindow/LayoutAssociation.h"
#include "settings/Messages.h"
#include "support/ComTesting.h"
#include "support/ProgramCopy.h"

namespace {

constexpr wchar_t ProgramPath[] = L"C:\\Program Files\\Korvilane\\Korvilane.exe";

// Writes for real unless told to fail; records what the command starts and shows instead of doing it.
class ObservedAssociation : public LayoutAssociation {
public:
    explicit ObservedAssociation(const wchar_t* name = L"Korvilane", const std::wstring& path = ProgramPath)
        : LayoutAssociation(name, path.c_str())
    {
    }

    void setAssociation(bool registering) override
    {
        if (failure)
            throw Exception(failure);
        LayoutAssociation::setAssociation(registering);
    }

    int failure = 0;
    // Null: the real elevated start; else its result.
    const bool* elevatedResult = nullptr;
    std::vector<std::wstring> elevatedOptions;
    std::vector<std::wstring> warnings;
    std::vector<int> shownCodes;

protected:
    bool runElevated(HWND owner, const wchar_t* option) override
    {
        elevatedOptions.push_back(option);
        return elevatedResult ? *elevatedResult : LayoutAssociation::runElevated(owner, option);
    }
    void warn(HWND, const wchar_t* text) override { warnings.push_back(text); }
    void showException(HWND, const Exception& exception) override { shownCodes.push_back(exception.getCode()); }
};

const bool Succeeded = true;
const bool Failed = false;

class LayoutAssociationTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // The message tables are XML, read through COM.
        ComApartment com;
        loadMessages(GetModuleHandleW(nullptr));
    }
    void TearDown() override
    {
        for (const wchar_t* key : {L".lay", L"korvilane.lay", L"korvilane2.lay"})
            RegDeleteTreeW(HKEY_CLASSES_ROOT, key);
    }
};

} // namespace

TEST_F(LayoutAssociationTest, CommandTogglesTheAssociationAndOnlyWarnsAboutAnotherProgramsOrAFailure)
{
    ObservedAssociation association;
    association.toggle(nullptr);
    EXPECT_TRUE(holdsString(L"korvilane.lay\\DefaultIcon", L"c:\\program files\\korvilane\\korvilane.exe,2"));
    association.toggle(nullptr);
    EXPECT_FALSE(keyExists(L".lay"));

    for (const wchar_t* other : {L"Other.Layout", L""}) {
        RegSetValueW(HKEY_CLASSES_ROOT, L".lay", REG_SZ, other, 0);
        association.toggle(nullptr);
        EXPECT_TRUE(holdsString(L".lay", other)) << "unchanged";
    }
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L".lay");
    association.failure = ERROR_FILE_NOT_FOUND;
    association.toggle(nullptr);
    association.failure = 0;
    association.toggle(nullptr);
    association.failure = ERROR_FILE_NOT_FOUND;
    association.toggle(nullptr);
    EXPECT_EQ(association.warnings, (std::vector<std::wstring>{Messages::E0007.get(), Messages::E0007.get(),
                                                               Messages::E0005.get(), Messages::E0006.get()}));
    EXPECT_TRUE(association.elevatedOptions.empty());
    EXPECT_TRUE(association.shownCodes.empty());
}

TEST_F(LayoutAssociationTest, MissingRightsRestartTheProgramElevatedWithTheMatchingSwitch)
{
    ObservedAssociation association;
    association.failure = ERROR_ACCESS_DENIED;
    association.elevatedResult = &Succeeded;
    association.toggle(nullptr);
    EXPECT_TRUE(association.shownCodes.empty()) << "success is quiet";
    association.elevatedResult = &Failed;
    association.toggle(nullptr);
    EXPECT_EQ(association.shownCodes, std::vector<int>{ERROR_ACCESS_DENIED}) << "the refusal is shown";
    registerFileType(L"Korvilane", ProgramPath, L"lay", L"Korvilane Layout File", 2);
    association.toggle(nullptr);
    EXPECT_EQ(association.elevatedOptions, (std::vector<std::wstring>{L"-regist", L"-regist", L"-unregist"}));
    EXPECT_TRUE(association.warnings.empty());

    // The real program, started elevated, does the work and reports through its exit code.
    std::wstring program = builtKorvilaneProgram();
    ObservedAssociation real(L"Korvilane", program);
    real.failure = ERROR_ACCESS_DENIED;
    real.toggle(nullptr);
    EXPECT_FALSE(real.isAssociatedHere()) << "removed by the elevated program";
    real.toggle(nullptr);
    EXPECT_TRUE(real.isAssociatedHere()) << "written by the elevated program";
    EXPECT_TRUE(real.shownCodes.empty());
    // Here the elevated program has no association of its own to remove and ends with 1.
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L"korvilane.lay");
    registerFileType(L"Korvilane2", program.c_str(), L"lay", L"Korvilane2 Layout File", 2);
    ObservedAssociation other(L"Korvilane2", program);
    other.failure = ERROR_ACCESS_DENIED;
    other.toggle(nullptr);
    EXPECT_EQ(other.shownCodes, std::vector<int>{ERROR_ACCESS_DENIED});
    EXPECT_TRUE(other.isAssociatedHere());
}
