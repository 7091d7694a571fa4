// The layout-file menu command, with the registry of a throwaway prefix and, where it matters, the real
// program started elevated.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "ClassesRoot.h"
#include "support/ProgramCopy.h"
#include "support/ComTesting.h"
#include "foundation/FileAssociation.h"
#include "mainwindow/LayoutAssociation.h"
#include "settings/Messages.h"

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
        deleteClassesRootTree(L".lay");
        deleteClassesRootTree(L"korvilane.lay");
        deleteClassesRootTree(L"korvilane2.lay");
        deleteClassesRootTree(L"Other.Layout");
    }
};

const bool Succeeded = true;
const bool Failed = false;

} // namespace

TEST_F(LayoutAssociationTest, CommandTogglesTheAssociationQuietly)
{
    ObservedAssociation association;
    association.toggle(nullptr);
    EXPECT_TRUE(association.isAssociatedHere());
    EXPECT_TRUE(isStoredString(classesRootValue(L"korvilane.lay\\DefaultIcon"),
                               L"c:\\program files\\korvilane\\korvilane.exe,2"));
    association.toggle(nullptr);
    EXPECT_FALSE(association.isAssociatedHere());
    EXPECT_FALSE(classesRootKeyExists(L".lay"));
    EXPECT_TRUE(association.warnings.empty());
    EXPECT_TRUE(association.shownCodes.empty());
}

TEST_F(LayoutAssociationTest, AnotherProgramsAssociationOnlyWarns)
{
    for (const wchar_t* other : {L"Other.Layout", L""}) {
        setClassesRootValue(L".lay", other);
        ObservedAssociation association;
        EXPECT_TRUE(association.isAssociatedElsewhere());
        association.toggle(nullptr);
        ASSERT_EQ(association.warnings.size(), 1u);
        EXPECT_EQ(association.warnings[0], Messages::E0007.get());
        EXPECT_TRUE(isStoredString(classesRootValue(L".lay"), other)) << "unchanged";
        EXPECT_FALSE(classesRootKeyExists(L"korvilane.lay"));
    }
}

TEST_F(LayoutAssociationTest, FailuresOtherThanMissingRightsShowTheirMessage)
{
    ObservedAssociation association;
    association.failure = ERROR_FILE_NOT_FOUND;
    association.toggle(nullptr);
    association.failure = 0;
    association.toggle(nullptr);
    association.failure = ERROR_FILE_NOT_FOUND;
    association.toggle(nullptr);
    EXPECT_EQ(association.warnings, (std::vector<std::wstring>{Messages::E0005.get(), Messages::E0006.get()}));
    EXPECT_TRUE(association.elevatedOptions.empty());
    EXPECT_TRUE(association.shownCodes.empty());
}

TEST_F(LayoutAssociationTest, MissingRightsRestartTheProgramElevatedWithTheMatchingSwitch)
{
    ObservedAssociation association;
    association.failure = ERROR_ACCESS_DENIED;
    association.elevatedResult = &Succeeded;
    association.toggle(nullptr);
    EXPECT_EQ(association.elevatedOptions, std::vector<std::wstring>{L"-regist"});
    EXPECT_TRUE(association.shownCodes.empty()) << "success is quiet";

    association.elevatedResult = &Failed;
    association.toggle(nullptr);
    EXPECT_EQ(association.shownCodes, std::vector<int>{ERROR_ACCESS_DENIED}) << "the refusal is shown";

    registerFileType(L"Korvilane", ProgramPath, L"lay", L"Korvilane Layout File", 2);
    association.elevatedResult = &Succeeded;
    association.toggle(nullptr);
    EXPECT_EQ(association.elevatedOptions.back(), L"-unregist");
    EXPECT_TRUE(association.warnings.empty());
}

TEST_F(LayoutAssociationTest, ElevatedProgramDoesTheWorkAndReportsThroughItsExitCode)
{
    std::wstring program = builtKorvilaneProgram();
    ObservedAssociation association(L"Korvilane", program);
    association.failure = ERROR_ACCESS_DENIED;
    association.toggle(nullptr);
    EXPECT_TRUE(association.isAssociatedHere()) << "written by the elevated program";
    association.toggle(nullptr);
    EXPECT_FALSE(association.isAssociatedHere()) << "removed by the elevated program";
    EXPECT_TRUE(association.shownCodes.empty());

    // The elevated program has no association of its own to remove and ends with 1.
    registerFileType(L"Korvilane2", program.c_str(), L"lay", L"Korvilane2 Layout File", 2);
    ObservedAssociation other(L"Korvilane2", program);
    other.failure = ERROR_ACCESS_DENIED;
    other.toggle(nullptr);
    EXPECT_EQ(other.elevatedOptions, std::vector<std::wstring>{L"-unregist"});
    EXPECT_EQ(other.shownCodes, std::vector<int>{ERROR_ACCESS_DENIED});
    EXPECT_TRUE(other.isAssociatedHere());
}
