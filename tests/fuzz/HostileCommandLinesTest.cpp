// Hostile command lines through the command-line mode in process.
#include "CommandLineMutator.h"
#include "FuzzTesting.h"

namespace {

class HostileCommandLines : public FuzzTest {};

} // namespace

TEST_F(HostileCommandLines, MutatedCommandLinesEndCleanly)
{
    supervisor.expectAllKept([] { return mutatedCommandLineCases(31337, 400); });
}
