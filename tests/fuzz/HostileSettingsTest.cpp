// Hostile settings files given with "/par": values out of range or of the wrong kind, effect steps switched
// on at random, broken structure, in XML and in INI files.
#include "BmpSeeds.h"
#include "FuzzTesting.h"
#include "PictureSeeds.h"
#include "SettingsSeeds.h"

namespace {

class HostileSettings : public FuzzTest {};

std::vector<CommandLineCase> mutatedSettingsCases(UINT64 seed, size_t count)
{
    Mutator mutator(seed);
    const std::string xml = savedDefaults(L"korvilane.xml");
    const std::string ini = savedDefaults(L"korvilane.ini");
    Bytes bmp = seedNamed(bmpSeeds(), "bmp40-24-c0");
    Bytes png = seedNamed(pictureSeeds(), "24.png");
    std::vector<CommandLineCase> cases;
    for (size_t round = 0; round < count; ++round) {
        bool isIni = round % 2 == 1;
        const std::string& seedText = isIni ? ini : xml;
        std::string text = mutator.chance(85) ? hostileValues(mutator, seedText, isIni)
                                              : brokenStructure(mutator, seedText, isIni);
        bool folders = mutator.chance(30);
        cases.push_back(settingsCase((isIni ? "ini #" : "xml #") + std::to_string(round), isIni ? L"ini" : L"xml",
                                     Bytes(text.begin(), text.end()), folders, bmp, png));
    }
    return cases;
}

} // namespace

TEST_F(HostileSettings, MutatedSettingsFilesEndCleanly)
{
    supervisor.expectAllKept([] { return mutatedSettingsCases(424242, 80); });
}
