#pragma once
// One start of the command-line mode over files of its own, and what every start must keep to whatever it is
// given: an exit code of 0 or 1, an end within a time bound, a bounded peak of memory, a log that names the
// picture that failed, no file left behind that the log does not name (a staged temporary file, a partial
// output), and every file it was given untouched unless the log says it was replaced or deleted.
#include <windows.h>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>
#include "support/ScratchFolder.h"
#include "support/fileBytes.h"

struct CommandLineCase {
    std::string name;
    // Made in the case's folder before the start, by their path below it; a path that ends in "\\" is a folder.
    std::vector<std::pair<std::wstring, Bytes>> files;
    // "{case}" stands for the case's folder.
    std::vector<std::wstring> arguments;
    // Sound input that must be converted whole (exit code 0), not merely end cleanly.
    bool mustConvert = false;
};

// How a start ended.
struct RunOutcome {
    int exitCode = -1;
    // Processor seconds in process, clock seconds for the program's own process.
    double seconds = 0;
    // The peak working set of the process that ran it.
    SIZE_T peakBytes = 0;
    // What the road itself saw go wrong (an exception that left the mode, a process it had to end); empty when
    // nothing.
    std::string trouble;
};

struct RunBounds {
    double seconds;
    SIZE_T peakBytes;
};

// A folder of its own for the cases that run one after another in a process.
class CaseFolder {
public:
    CaseFolder() : folder(folderName), root(folder.file(L".")) { root.resize(root.size() - 2); }
    CaseFolder(const CaseFolder&) = delete;
    CaseFolder& operator=(const CaseFolder&) = delete;

    // The folder of a process that ended without removing it.
    static std::wstring folderOfProcess(DWORD processId);

    // Makes the folder hold the case's files and nothing else, changing only what the last case left different.
    void prepare(const CommandLineCase& test);
    const std::wstring& path() const { return root; }
    // The arguments with the folder filled in.
    std::vector<std::wstring> arguments() const;
    // Every broken promise of the start, one line each; empty when it kept them all.
    std::vector<std::string> violations(const RunOutcome& outcome, const RunBounds& bounds);

private:
    // Files and folders (their names end in "\\", with no bytes) by their path below the folder.
    using Contents = std::map<std::wstring, Bytes>;

    Contents contents() const;
    void collect(const std::wstring& below, Contents& found) const;
    struct AskedFor;

    static AskedFor askedFor(const std::vector<std::wstring>& arguments);
    std::vector<std::string> fileViolations(const AskedFor& asked, int exitCode, const Contents& after) const;

    static constexpr const wchar_t* folderName = L"korvilane-fuzz-case";

    ScratchFolder folder;
    std::wstring root;
    const CommandLineCase* test = nullptr;
    Contents before;
    // What the folder holds, as the last look found it.
    Contents present;
};

// Walks the arguments as the program reads its options, each taking its values: visit(option without its "/"
// or "-" and lower-cased, index of its first value, number of values). Stops at a word that is no option.
void walkOptions(const std::vector<std::wstring>& arguments,
                 const std::function<void(const std::wstring&, size_t, size_t)>& visit);
// The arguments as one command line that CommandLineToArgvW splits back into them.
std::wstring commandLineOf(const std::vector<std::wstring>& arguments);
// Text for failure messages.
std::string narrow(const std::wstring& text);
