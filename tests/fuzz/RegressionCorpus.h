#pragma once
// Inputs that once broke a promise, kept so that they never do again: pictures that crashed the program in the
// platform's decoders, whose reading threw instead of failing by name or that held a load for seconds and
// gigabytes, settings that ask a slant for gigabytes or take long to load, and rename rules that ended a batch.
#include <string>
#include <vector>
#include "BmpSeeds.h"
#include "FuzzTesting.h"
#include "PictureSeeds.h"
#include "SettingsSeeds.h"

inline CommandLineCase caseNamed(const std::vector<CommandLineCase>& cases, const std::string& name)
{
    for (const CommandLineCase& test : cases)
        if (test.name == name)
            return test;
    ADD_FAILURE() << "no case " << name;
    return {};
}

struct FieldValue {
    size_t offset;
    size_t width;
    UINT32 value;
};

// A seed with header fields set, padded or cut to the size (0 keeps its own).
inline Bytes bmpWith(const std::string& seed, std::initializer_list<FieldValue> fields, size_t size = 0)
{
    Bytes bytes = seedNamed(bmpSeeds(), seed);
    for (const FieldValue& field : fields)
        Mutator::setField(bytes, field.offset, field.width, field.value);
    if (size)
        bytes.resize(size);
    return bytes;
}

inline CommandLineCase bmpCase(const std::string& name, const Bytes& bytes)
{
    return pictureCase(name, L"bmp", bytes, L"PNG");
}

inline std::vector<CommandLineCase> pictureCorpus()
{
    std::vector<NamedBytes> seeds = pictureSeeds();
    return {
        // Crashed in the platform's BMP decoder.
        bmpCase("V4 RLE8 BMP of width 0x20000000 and height 6",
                bmpWith("bmp108-8-c1", {{18, 4, 0x20000000}, {22, 4, 6}})),
        bmpCase("245-byte bit-field BMP of width 1 and height 0x40000001",
                bmpWith("bmp40-32-bitfields", {{18, 4, 1}, {22, 4, 0x40000001}}, 245)),
        bmpCase("4-bit BMP of width 0x7FFFFFFF", bmpWith("bmp40-4-c0", {{18, 4, 0x7FFFFFFF}})),
        bmpCase("8-bit BMP of width -1", bmpWith("bmp40-8-c0", {{18, 4, 0xFFFFFFFF}})),
        bmpCase("8-bit BMP of height 0x20000000", bmpWith("bmp40-8-c0", {{22, 4, 0x20000000}})),
        bmpCase("V5 16-bit bit-field BMP of width 0x20000000", bmpWith("bmp124-16-bitfields", {{18, 4, 0x20000000}})),
        // 220 bytes that ask for some 700 MB: runs of any length end in "end of picture", so the header alone
        // says how large the picture is.
        bmpCase("V5 RLE4 BMP of planes 0 and height 0x01000000",
                bmpWith("bmp124-4-c2", {{22, 4, 0x01000000}, {26, 2, 0}})),
        // Opened by WIC after GDI+ refused them, and then the WIC conversion threw.
        bmpCase("V5 top-down 8-bit BMP whose pixels lie past its end",
                bmpWith("bmp124-8-c0-topdown", {{10, 4, 0x10000}})),
        bmpCase("bit-field BMP of bit count 0", bmpWith("bmp40-16-bitfields", {{28, 2, 0}})),
        pictureCase("TGA that WIC opens and cannot convert", L"tga", seedNamed(seeds, "24.tga"), L"PNG"),
        // Crashed in the platform's GIF decoder, and in its TIFF metadata reader, after which the process hung.
        pictureCase("GIF without colour tables", L"gif", gifWithoutColourTables(), L"PNG"),
        pictureCase("big-endian TIFF claiming 2^29 RATIONALs", L"tif", bigEndianTiff(282), L"PNG"),
        pictureCase("big-endian TIFF claiming 2^31 SHORTs", L"tif", bigEndianTiff(296), L"PNG"),
        // Held the platform's decoders for seconds: on each text chunk, and taking the memory of the size it
        // declares before they found its scans short.
        pictureCase("PNG of 20,000 text chunks", L"png", withChunks(seedNamed(seeds, "24.png"), 20000), L"PNG"),
        pictureCase("JPEG of a few hundred bytes declaring 8192 x 16384 pixels", L"jpg",
                    declaringSize(seedNamed(seeds, "24.jpg"), 8192, 16384), L"PNG"),
    };
}

inline Bytes textBytes(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

// A settings file whose Resize section holds `keys` keys the program does not know besides its own Enable,
// followed by `sections` sections.
inline std::string largeSettingsXml(int keys, int sections)
{
    std::string text = "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\"?>\r\n<korvilane>\r\n  <Resize>\r\n"
                       "    <element name=\"Enable\" value=\"false\" />\r\n";
    for (int i = 0; i < keys; ++i)
        text += "    <element name=\"Key" + std::to_string(i) + "\" value=\"" + std::to_string(i) + "\" />\r\n";
    text += "  </Resize>\r\n";
    for (int i = 0; i < sections; ++i)
        text += "  <Section" + std::to_string(i) + ">\r\n    <element name=\"Key\" value=\"1\" />\r\n  </Section" +
                std::to_string(i) + ">\r\n";
    return text + "</korvilane>\r\n";
}

inline std::vector<CommandLineCase> settingsCorpus()
{
    Bytes png = seedNamed(pictureSeeds(), "24.png");
    Bytes bmp = seedNamed(bmpSeeds(), "bmp40-24-c0");
    std::string xml = savedDefaults(L"korvilane.xml");
    std::string slant = withValue(withValue(xml, false, "Rotate", "Enable", "true"), false, "Rotate", "Assign", "4");
    slant = withValue(withValue(slant, false, "Rotate", "AngleH", "89.99"), false, "Rotate", "AngleV", "2");
    std::string renamed = withValue(xml, false, "Rename", "Enable", "true");
    std::string shotDates = withValue(renamed, false, "Rename", "Definition", "$orgyear$orgmonth$orgday_$fname.$ext");
    std::string device = withValue(renamed, false, "Rename", "Definition", "con.$ext");
    return {
        settingsCase("slant of 89.99 and 2 degrees", L"xml", textBytes(slant), false, bmp, png),
        settingsCase("settings file with 16,000 keys in one section", L"xml", textBytes(largeSettingsXml(16000, 0)),
                     false, bmp, png),
        settingsCase("settings file with 50,000 sections", L"xml", textBytes(largeSettingsXml(0, 50000)), false, bmp,
                     png),
        settingsCase("INI file with [Spi] Count=65536", L"ini",
                     textBytes("[Resize]\r\nEnable=0\r\n[Spi]\r\nCount=65536\r\n"), false, bmp, png),
        settingsCase("shooting-date rename over a folder with a BMP", L"xml", textBytes(shotDates), true, bmp, png),
        settingsCase("rename to a device name over a folder", L"xml", textBytes(device), true, bmp, png),
    };
}
