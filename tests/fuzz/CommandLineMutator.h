#pragma once
// Hostile command lines: options dropped, doubled, swapped, misspelt and given values of the wrong kind, over
// files and folders with odd names and paths longer than MAX_PATH.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>
#include "BmpSeeds.h"
#include "CommandLineCase.h"
#include "Mutator.h"
#include "PictureSeeds.h"

inline const std::wstring oddFolder = L"in\\空白 と 日本語";
inline const std::wstring tokenFolder = L"in\\%s%n$index;[1],x";
inline const std::wstring longFolder = L"in\\" + std::wstring(120, L'l') + L"\\" + std::wstring(120, L'm');

// The files of every case: pictures of three formats, and the same picture in odd folders.
inline std::vector<std::pair<std::wstring, Bytes>> commandLineFiles()
{
    std::vector<NamedBytes> pictures = pictureSeeds();
    Bytes png = seedNamed(pictures, "24.png");
    return {{L"in\\", {}},
            {L"out\\", {}},
            {L"in\\a.png", png},
            {L"in\\b.bmp", seedNamed(bmpSeeds(), "bmp40-24-c0")},
            {L"in\\c.gif", seedNamed(pictures, "8.gif")},
            {oddFolder + L"\\", {}},
            {oddFolder + L"\\x.png", png},
            {tokenFolder + L"\\", {}},
            {tokenFolder + L"\\x.png", png},
            {L"in\\" + std::wstring(120, L'l') + L"\\", {}},
            {longFolder + L"\\", {}},
            {longFolder + L"\\y.png", png}};
}

inline std::wstring inCase(const std::wstring& path)
{
    return L"{case}\\" + path;
}

class ArgumentMutator {
public:
    explicit ArgumentMutator(UINT64 seed) : mutator(seed) {}

    std::vector<std::wstring> line()
    {
        std::vector<std::wstring> arguments = baseLine();
        for (size_t edits = mutator.below(4); edits > 0; --edits)
            edit(arguments);
        confine(arguments);
        return arguments;
    }

private:
    std::vector<std::wstring> baseLine()
    {
        std::vector<std::wstring> arguments;
        switch (mutator.below(3)) {
        case 0:
            arguments = {L"/file", source(), target()};
            break;
        case 1:
            arguments = {L"/dir", folder(), folder()};
            break;
        default:
            arguments = {L"/fileindirect", source()};
        }
        if (mutator.chance(80))
            arguments.insert(arguments.end(), {L"/format", format()});
        if (mutator.chance(85))
            arguments.insert(arguments.end(), {L"/log", log()});
        return arguments;
    }

    void edit(std::vector<std::wstring>& arguments)
    {
        size_t at = mutator.below(arguments.size());
        switch (mutator.below(6)) {
        case 0:
            arguments.erase(arguments.begin() + static_cast<std::ptrdiff_t>(at));
            break;
        case 1:
            arguments.insert(arguments.begin() + static_cast<std::ptrdiff_t>(at), arguments[at]);
            break;
        case 2:
            std::swap(arguments[at], arguments[mutator.below(arguments.size())]);
            break;
        case 3:
            arguments[at] = value();
            break;
        default: {
            std::vector<std::wstring> option = optionWithValues();
            arguments.insert(arguments.begin() + static_cast<std::ptrdiff_t>(at), option.begin(), option.end());
        }
        }
        if (arguments.empty())
            arguments.push_back(L"/u");
    }

    // Every path the program reads stays in the case's folder: an option word or a bare value where a path is
    // read ("/file a.png /format") would name a file in the drive's root or the working folder.
    static void confine(std::vector<std::wstring>& arguments)
    {
        walkOptions(arguments, [&](const std::wstring& option, size_t first, size_t count) {
            static const std::wstring paths[] = {L"file", L"dir", L"fileindirect", L"log", L"par"};
            if (std::find(std::begin(paths), std::end(paths), option) == std::end(paths))
                return;
            for (size_t i = first; i < first + count && i < arguments.size(); ++i) {
                if (!arguments[i].empty() && arguments[i].rfind(L"{case}", 0) != 0)
                    arguments[i] = inCase(L"out\\stray");
            }
        });
    }

    std::vector<std::wstring> optionWithValues()
    {
        switch (mutator.below(11)) {
        case 0:
            return {spelling(L"file"), source(), target()};
        case 1:
            return {spelling(L"dir"), folder(), folder()};
        case 2:
            return {spelling(L"fileindirect"), source()};
        case 3:
            return {spelling(L"format"), format()};
        case 4:
            return {spelling(L"dpi"), number(), number()};
        case 5:
            return {spelling(L"le"), mutator.pick<const wchar_t*>(
                                         {L"utf-8", L"UTF16", L"sjis", L"Shift_JIS", L"ascii", L"euc-jp", L""})};
        case 6:
            return {spelling(L"log"), log()};
        case 7:
            return {spelling(L"par"),
                    mutator.pick<std::wstring>({inCase(L"in\\a.png"), inCase(L"missing.xml"), inCase(L"in"), L""})};
        default:
            return {spelling(mutator.pick<const wchar_t*>({L"overwrite", L"delsrc", L"u", L"bogus", L""}))};
        }
    }

    std::wstring spelling(const std::wstring& option)
    {
        std::wstring spelt = (mutator.chance(25) ? L"-" : L"/") + option;
        if (mutator.chance(20))
            for (wchar_t& c : spelt)
                c = static_cast<wchar_t>(towupper(c));
        return spelt;
    }

    std::wstring value()
    {
        switch (mutator.below(6)) {
        case 0:
            return source();
        case 1:
            return target();
        case 2:
            return folder();
        case 3:
            return format();
        case 4:
            return number();
        default:
            return mutator.pick<std::wstring>({L"", L"/", L"-", L"//file", L"\"", std::wstring(5000, L'z')});
        }
    }

    std::wstring source()
    {
        return inCase(mutator.pick<std::wstring>({L"in\\a.png", L"in\\b.bmp", L"in\\c.gif", L"in\\missing.png", L"in",
                                                  oddFolder + L"\\x.png", tokenFolder + L"\\x.png",
                                                  longFolder + L"\\y.png", L"IN\\A.PNG", L"in\\a.png.",
                                                  L"in\\..\\in\\b.bmp", L"in\\*.png", L"in\\a.png:stream"}));
    }

    std::wstring target()
    {
        return inCase(
            mutator.pick<std::wstring>({L"out\\a.out", L"out\\a.png", L"out\\sub\\missing\\a.png", L"out", L"in\\b.bmp",
                                        oddFolder + L"\\z.jpg", longFolder + L"\\z.png", L"out\\nul.png", L"out\\con",
                                        L"out\\a.png:stream", L"out\\trailing. ", L"out\\?.png"}));
    }

    std::wstring folder()
    {
        return inCase(mutator.pick<std::wstring>({L"in", L"out", oddFolder, tokenFolder, longFolder, L"out\\missing",
                                                  L"in\\a.png", L"in\\", L"in\\.", L"out\\.."}));
    }

    std::wstring log()
    {
        return inCase(mutator.pick<std::wstring>({L"out\\log.txt", L"out\\log.txt", L"out\\missing\\log.txt", L"out",
                                                  oddFolder + L"\\log.txt", longFolder + L"\\log.txt"}));
    }

    std::wstring format()
    {
        return mutator.pick<const wchar_t*>(
            {L"PNG", L"jpeg", L"GIF", L"tiff", L"BMP", L"WDP", L"hdp", L"xyz", L"", L"JPG"});
    }

    std::wstring number()
    {
        return mutator.pick<const wchar_t*>({L"72", L"300", L"0", L"-1", L"abc", L"1e30", L"0.0001", L"1,5",
                                             L"79228162514264337593543950335", L"99999999999999999999999999999999",
                                             L""});
    }

    Mutator mutator;
};

// Command lines of the mutator over the files of commandLineFiles, named after their text.
inline std::vector<CommandLineCase> mutatedCommandLineCases(UINT64 seed, size_t count)
{
    ArgumentMutator mutator(seed);
    std::vector<std::pair<std::wstring, Bytes>> files = commandLineFiles();
    std::vector<CommandLineCase> cases;
    for (size_t round = 0; round < count; ++round) {
        std::vector<std::wstring> line = mutator.line();
        std::string name = "line #" + std::to_string(round) + " " + narrow(commandLineOf(line)).substr(0, 400);
        cases.push_back({name, files, line});
    }
    return cases;
}
