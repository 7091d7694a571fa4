#pragma once
// What every fuzz test shares: the bounds each start must keep, the supervisor of the workers that run the
// cases, and the shapes of the cases.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "CaseSupervisor.h"
#include "CommandLineCase.h"
#include "support/ComTesting.h"

// Each case converts pictures of a few hundred pixels: some tens of milliseconds, a few hundred with a settings
// file to load, and a few megabytes beside the 50 MB a worker starts with. The bounds leave room for a machine
// busy with other tests.
constexpr RunBounds inProcessBounds{3.0, SIZE_T(512) << 20};
// A case that shows no end after this long has hung.
constexpr DWORD hangMilliseconds = 15000;
// Workers side by side.
constexpr size_t workerCount = 3;

class FuzzTest : public testing::Test {
protected:
    ComApartment apartment;
    CaseSupervisor supervisor{inProcessBounds, hangMilliseconds, workerCount};
};

// A picture converted by "/file" into the format, with a log beside the output.
inline CommandLineCase pictureCase(const std::string& name, const std::wstring& extension, const Bytes& bytes,
                                   const std::wstring& format)
{
    return {name,
            {{L"in\\", {}}, {L"out\\", {}}, {L"in\\picture." + extension, bytes}},
            {L"/file", L"{case}\\in\\picture." + extension, L"{case}\\out\\picture.out", L"/format", format, L"/log",
             L"{case}\\out\\log.txt"}};
}

// The output formats in turn, so that every colour-depth preparation meets the hostile pictures.
inline std::wstring formatFor(size_t index)
{
    static const wchar_t* formats[] = {L"PNG", L"BMP", L"JPEG", L"GIF", L"TIFF"};
    return formats[index % std::size(formats)];
}

// A settings file given with "/par" over a PNG picture ("/file"), or over a folder with a BMP and a PNG
// picture ("/dir", where the rename rule and the sorting into folders apply).
inline CommandLineCase settingsCase(const std::string& name, const std::wstring& extension, const Bytes& settings,
                                    bool folders, const Bytes& bmp, const Bytes& png)
{
    std::wstring file = L"{case}\\settings." + extension;
    std::vector<std::wstring> input = folders ? std::vector<std::wstring>{L"/dir", L"{case}\\in", L"{case}\\out"}
                                              : std::vector<std::wstring>{L"/file", L"{case}\\in\\b.png",
                                                                          L"{case}\\out\\b.out"};
    CommandLineCase test{name,
                         {{L"in\\", {}}, {L"out\\", {}}, {L"settings." + extension, settings}, {L"in\\b.png", png}},
                         {L"/par", file}};
    if (folders)
        test.files.push_back({L"in\\a.bmp", bmp});
    test.arguments.insert(test.arguments.end(), input.begin(), input.end());
    test.arguments.insert(test.arguments.end(), {L"/log", L"{case}\\out\\log.txt"});
    return test;
}
