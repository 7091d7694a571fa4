// Hostile picture files through the whole road of one picture: load, effects, colour depth, save.
#include "BmpSeeds.h"
#include "FuzzTesting.h"
#include "PictureSeeds.h"

namespace {

std::wstring wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

std::wstring extensionOf(const NamedBytes& seed)
{
    return seed.name.rfind("bmp", 0) == 0 ? L"bmp" : wide(seed.name.substr(seed.name.rfind('.') + 1));
}

// Every seed but those the platform's decoders cannot read: a BMP with a 52- or 56-byte header and no bit
// fields (the program reads bit fields itself), a TGA (WIC opens one and hands out no pixels).
bool platformReads(const std::string& seed)
{
    bool shortV4 = seed.rfind("bmp52-", 0) == 0 || seed.rfind("bmp56-", 0) == 0;
    return seed != "24.tga" && !(shortV4 && seed.find("bitfields") == std::string::npos);
}

// The seeds in turn, each damaged anew, into the output formats in turn: a few rounds over the seeds meet every
// format, whatever the number of seeds.
template <typename Damage>
std::vector<CommandLineCase> mutatedCases(const std::vector<NamedBytes>& seeds, size_t count, Damage damage)
{
    std::vector<CommandLineCase> cases;
    for (size_t round = 0; round < count; ++round) {
        const NamedBytes& seed = seeds[round % seeds.size()];
        cases.push_back(
            pictureCase(seed.name + " #" + std::to_string(round), extensionOf(seed), damage(seed), formatFor(round)));
    }
    return cases;
}

class HostilePictures : public FuzzTest {};

} // namespace

TEST_F(HostilePictures, EverySeedConvertsOrFailsByName)
{
    supervisor.expectAllKept([] {
        std::vector<NamedBytes> seeds = bmpSeeds();
        for (const NamedBytes& seed : pictureSeeds())
            seeds.push_back(seed);
        std::vector<CommandLineCase> cases;
        for (size_t i = 0; i < seeds.size(); ++i) {
            cases.push_back(pictureCase(seeds[i].name, extensionOf(seeds[i]), seeds[i].bytes, formatFor(i)));
            cases.back().mustConvert = platformReads(seeds[i].name);
        }
        return cases;
    });
}

TEST_F(HostilePictures, MutatedBmpsEndCleanly)
{
    supervisor.expectAllKept([] {
        Mutator mutator(20240611);
        return mutatedCases(bmpSeeds(), 200, [&](const NamedBytes& seed) { return hostileBmp(mutator, seed.bytes); });
    });
}

TEST_F(HostilePictures, MutatedPicturesOfOtherFormatsEndCleanly)
{
    supervisor.expectAllKept([] {
        Mutator mutator(7);
        return mutatedCases(pictureSeeds(), 160, [&](const NamedBytes& seed) { return hostilePicture(mutator, seed); });
    });
}
