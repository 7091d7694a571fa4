#include <gtest/gtest.h>
#include "screensaver/ScreenSaverFramework.h"

TEST(FrameworkTest, TheSwitchesOfTheSystemInEveryForm)
{
    struct Case {
        const wchar_t* line;
        ScreenSaverCommand::Mode mode;
        ULONG_PTR window;
    };
    const Case cases[] = {
        {L"/s", ScreenSaverCommand::Run, 0},           {L"  -S", ScreenSaverCommand::Run, 0},
        {L"/p 1234", ScreenSaverCommand::Preview, 1234}, {L"/P:66000", ScreenSaverCommand::Preview, 66000},
        {L"-l 42", ScreenSaverCommand::Preview, 42},     {L"/c:5678", ScreenSaverCommand::Configure, 5678},
        {L"/c", ScreenSaverCommand::Configure, 0},       {L"/a 99", ScreenSaverCommand::ChangePassword, 99},
        {L"", ScreenSaverCommand::Configure, 0},         {L"/x 12", ScreenSaverCommand::Configure, 0},
        {L"/p 99999999999999999999999", ScreenSaverCommand::Preview, 0},
    };
    for (const Case& c : cases) {
        ScreenSaverCommand command = parseScreenSaverCommand(c.line);
        EXPECT_EQ(command.mode, c.mode) << c.line;
        EXPECT_EQ(reinterpret_cast<ULONG_PTR>(command.window), c.window) << c.line;
    }
    EXPECT_FALSE(movedBeyondSlack(POINT{500, 400}, POINT{504, 396}));
    EXPECT_TRUE(movedBeyondSlack(POINT{500, 400}, POINT{500, 395}));
}
