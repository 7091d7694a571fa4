// Hostile command lines through the command-line mode in process.
#include "CommandLineMutator.h"
#include "FuzzTesting.h"

namespace {

class HostileCommandLines : public FuzzTest {};

} // namespace

TEST_F(HostileCommandLines, MutatedCommandLinesEndCleanly)
{
    supervisor.expectAllKept([] { return mutatedCommandLineCases(31337, 200); });
}

// Whatever the edits did, the program is given no path outside the case's folder to write to.
TEST(ArgumentMutator, EveryPathTheProgramReadsLiesInTheCaseFolder)
{
    ArgumentMutator mutator(31337);
    int paths = 0;
    for (int round = 0; round < 2000; ++round) {
        std::vector<std::wstring> line = mutator.line();
        walkOptions(line, [&](const std::wstring& option, size_t first, size_t count) {
            if (option == L"format" || option == L"dpi" || option == L"le")
                return;
            for (size_t i = first; i < first + count && i < line.size(); ++i, ++paths)
                EXPECT_TRUE(line[i].empty() || line[i].starts_with(L"{case}\\")) << narrow(commandLineOf(line));
        });
    }
    EXPECT_GT(paths, 2000);
}
