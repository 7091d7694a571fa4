// Some fifteen cases through the real korvilane.exe, each a process of its own: what the program's start adds
// to the command-line mode (its settings load, its entry point's exit code) meets kept cases, sound pictures of
// the platform's decoders and of the program's own reader, and some mutated command lines.
#include "CommandLineMutator.h"
#include "CommandLineRoads.h"
#include "RegressionCorpus.h"

namespace {

// The program's start under Wine takes about half a second of these.
constexpr RunBounds programBounds{6.0, SIZE_T(512) << 20};
constexpr DWORD programHangMilliseconds = 10000;

class ProgramCommandLines : public testing::Test {
protected:
    static void SetUpTestSuite() { program = std::make_unique<ProgramRoad>(); }
    static void TearDownTestSuite() { program.reset(); }

    void expectAllKept(const std::vector<CommandLineCase>& cases)
    {
        CaseFolder folder;
        for (const CommandLineCase& test : cases) {
            folder.prepare(test);
            RunOutcome outcome = program->run(folder.arguments(), programHangMilliseconds);
            for (const std::string& violation : folder.violations(outcome, programBounds))
                ADD_FAILURE() << test.name << ": " << violation;
        }
    }

    ComApartment apartment;
    static inline std::unique_ptr<ProgramRoad> program;
};

} // namespace

TEST_F(ProgramCommandLines, KeptPicturesEndWithAnExitCodeOfZeroOrOne)
{
    std::vector<CommandLineCase> corpus = pictureCorpus();
    std::vector<CommandLineCase> cases;
    for (const char* name :
         {"V4 RLE8 BMP of width 0x20000000 and height 6", "245-byte bit-field BMP of width 1 and height 0x40000001",
          "V5 top-down 8-bit BMP whose pixels lie past its end", "TGA that WIC opens and cannot convert",
          "JPEG of a few hundred bytes declaring 8192 x 16384 pixels"})
        cases.push_back(caseNamed(corpus, name));
    std::vector<NamedBytes> seeds = pictureSeeds();
    for (std::string seed : {"24.jpg", "3.tif"}) {
        std::wstring extension(seed.begin() + static_cast<std::ptrdiff_t>(seed.find('.')) + 1, seed.end());
        cases.push_back(pictureCase(seed, extension, seedNamed(seeds, seed), L"BMP"));
        cases.back().mustConvert = true;
    }
    for (const char* seed : {"bmp12-8-c0", "bmp56-32-bitfields-topdown"}) {
        cases.push_back(pictureCase(seed, L"bmp", seedNamed(bmpSeeds(), seed), L"JPEG"));
        cases.back().mustConvert = true;
    }
    expectAllKept(cases);
}

// The program loads its settings at its start as "/par" does; the mode in process meets the larger files.
TEST_F(ProgramCommandLines, KeptSettingsLoadInTimeAndBoundedMemory)
{
    std::vector<CommandLineCase> corpus = settingsCorpus();
    expectAllKept(
        {caseNamed(corpus, "slant of 89.99 and 2 degrees"), caseNamed(corpus, "INI file with [Spi] Count=65536")});
}

TEST_F(ProgramCommandLines, MutatedCommandLinesEndWithAnExitCodeOfZeroOrOne)
{
    expectAllKept(mutatedCommandLineCases(2718, 6));
}
