#include "CommandLineCase.h"
#include <cstdio>
#include <cwctype>
#include <algorithm>
#include <set>
#include <sstream>

namespace {

const std::wstring startMark = L"---- 変換開始(";
const std::wstring endMark = L"---- 変換終了(";
const std::wstring failureMark = L"(failure)";
const std::wstring arrow = L" -> ";
const std::wstring deletedMark = L" を削除しました。";
const std::wstring clipboardText = L"[clipboard data]";

std::wstring lower(std::wstring text)
{
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

std::wstring replaced(std::wstring text, const std::wstring& from, const std::wstring& to)
{
    for (size_t at = text.find(from); at != std::wstring::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// A path as the program prints it, lower-cased for comparing.
std::wstring normalised(const std::wstring& path)
{
    wchar_t full[32768];
    DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(std::size(full)), full, nullptr);
    return lower(length > 0 && length < std::size(full) ? std::wstring(full, length) : path);
}

// The log's text by its byte-order mark: UTF-8, UTF-16, or else Shift_JIS.
std::wstring logText(const Bytes& bytes)
{
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE)
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
    bool utf8 = bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF;
    size_t from = utf8 ? 3 : 0;
    if (bytes.size() <= from)
        return L"";
    const char* start = reinterpret_cast<const char*>(bytes.data()) + from;
    int length = static_cast<int>(bytes.size() - from);
    UINT codePage = utf8 ? CP_UTF8 : 932;
    std::wstring text(MultiByteToWideChar(codePage, 0, start, length, nullptr, 0), L'\0');
    MultiByteToWideChar(codePage, 0, start, length, text.data(), static_cast<int>(text.size()));
    return text;
}

std::vector<std::wstring> linesOf(const std::wstring& text)
{
    std::vector<std::wstring> lines;
    std::wistringstream in(text);
    for (std::wstring line; std::getline(in, line);) {
        if (!line.empty() && line.back() == L'\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

struct LogLines {
    // The last start or end line.
    std::wstring last;
    bool started = false;
    bool ended = false;
    int failures = 0;
    std::set<std::wstring> targets;
    std::set<std::wstring> deleted;
};

LogLines readLog(const std::wstring& text)
{
    LogLines log;
    for (const std::wstring& line : linesOf(text)) {
        if (line.rfind(L"---- ", 0) == 0)
            log.last = line;
        if (line.rfind(startMark, 0) == 0)
            log.started = true;
        else if (line.rfind(endMark, 0) == 0)
            log.ended = true;
        else if (line.rfind(failureMark, 0) == 0 && line.size() > failureMark.size())
            ++log.failures;
        else if (size_t at = line.rfind(arrow); at != std::wstring::npos && !line.ends_with(clipboardText))
            log.targets.insert(normalised(line.substr(at + arrow.size())));
        else if (line.size() > deletedMark.size() && line.ends_with(deletedMark))
            log.deleted.insert(normalised(line.substr(0, line.size() - deletedMark.size())));
    }
    return log;
}

} // namespace

void walkOptions(const std::vector<std::wstring>& arguments,
                 const std::function<void(const std::wstring&, size_t, size_t)>& visit)
{
    static const std::pair<const wchar_t*, size_t> valueCounts[] = {
        {L"par", 1}, {L"format", 1},    {L"file", 2},   {L"dir", 2}, {L"fileindirect", 1}, {L"dpi", 2}, {L"log", 1},
        {L"le", 1},  {L"overwrite", 0}, {L"delsrc", 0}, {L"u", 0}};
    for (size_t i = 0; i < arguments.size(); ++i) {
        std::wstring option = lower(arguments[i]);
        if (option.empty() || (option[0] != L'/' && option[0] != L'-'))
            return;
        option.erase(0, 1);
        auto known = std::find_if(std::begin(valueCounts), std::end(valueCounts),
                                  [&](const auto& entry) { return option == entry.first; });
        if (known == std::end(valueCounts))
            return;
        visit(option, i + 1, known->second);
        i += known->second;
    }
}

std::string narrow(const std::wstring& text)
{
    int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                     nullptr);
    std::string result(length, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), result.data(), length, nullptr,
                        nullptr);
    return result;
}

std::wstring commandLineOf(const std::vector<std::wstring>& arguments)
{
    std::wstring line;
    for (const std::wstring& argument : arguments) {
        if (!line.empty())
            line += L' ';
        line += L'"';
        size_t backslashes = 0;
        for (wchar_t c : argument) {
            if (c == L'\\') {
                ++backslashes;
                continue;
            }
            // Backslashes before a quote, and the quote, are escaped; others stand as they are.
            line.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
            backslashes = 0;
            line += c;
        }
        line.append(2 * backslashes, L'\\');
        line += L'"';
    }
    return line;
}

// What the options of a run ask that the judging needs: the log (the last "/log" value) and whether targets may
// be replaced.
std::wstring CaseFolder::folderOfProcess(DWORD processId)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    return temp + std::wstring(folderName) + L"-" + std::to_wstring(processId);
}

struct CaseFolder::AskedFor {
    std::wstring log;
    bool overwrite = false;
};

CaseFolder::AskedFor CaseFolder::askedFor(const std::vector<std::wstring>& arguments)
{
    AskedFor asked;
    walkOptions(arguments, [&](const std::wstring& option, size_t first, size_t) {
        if (option == L"log" && first < arguments.size())
            asked.log = arguments[first];
        asked.overwrite = asked.overwrite || option == L"overwrite";
    });
    return asked;
}

void CaseFolder::prepare(const CommandLineCase& next)
{
    test = &next;
    Contents wanted(next.files.begin(), next.files.end());
    for (auto entry = present.begin(); entry != present.end();) {
        auto kept = wanted.find(entry->first);
        if (kept != wanted.end() && kept->second == entry->second) {
            ++entry;
            continue;
        }
        std::wstring path = root + L"\\" + entry->first;
        if (entry->first.ends_with(L"\\")) {
            ScratchFolder::removeTree(path);
            // What lay in it went with it.
            auto inside = present.lower_bound(entry->first);
            while (inside != present.end() && inside->first.starts_with(entry->first))
                inside = present.erase(inside);
            entry = inside;
        } else {
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(path.c_str());
            entry = present.erase(entry);
        }
    }
    // In the case's order: folders before what they hold.
    for (const auto& [name, bytes] : next.files) {
        if (present.count(name))
            continue;
        std::wstring path = root + L"\\" + name;
        if (name.ends_with(L"\\"))
            CreateDirectoryW(path.c_str(), nullptr);
        else
            writeBytes(path, bytes);
    }
    before = contents();
    present = before;
}

CaseFolder::Contents CaseFolder::contents() const
{
    Contents found;
    collect(L"", found);
    return found;
}

void CaseFolder::collect(const std::wstring& below, Contents& found) const
{
    std::wstring directory = root + L"\\" + below;
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((directory + L"*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            found[below + name + L"\\"];
            collect(below + name + L"\\", found);
        } else {
            found[below + name] = readBytes(directory + name);
        }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
}

std::vector<std::wstring> CaseFolder::arguments() const
{
    std::vector<std::wstring> filled;
    for (const std::wstring& argument : test->arguments)
        filled.push_back(replaced(argument, L"{case}", root));
    return filled;
}

std::vector<std::string> CaseFolder::violations(const RunOutcome& outcome, const RunBounds& bounds)
{
    std::vector<std::string> found;
    if (!outcome.trouble.empty())
        found.push_back(outcome.trouble);
    else if (outcome.exitCode != 0 && outcome.exitCode != 1)
        found.push_back("exit code " + std::to_string(outcome.exitCode) + ", not 0 or 1");
    else if (test->mustConvert && outcome.exitCode != 0)
        found.push_back("a sound picture was not converted");
    char text[128];
    if (outcome.seconds > bounds.seconds) {
        std::snprintf(text, sizeof(text), "took %.1f s (bound %.1f s)", outcome.seconds, bounds.seconds);
        found.push_back(text);
    }
    if (outcome.peakBytes > bounds.peakBytes) {
        std::snprintf(text, sizeof(text), "peak working set %zu MB (bound %zu MB)", outcome.peakBytes >> 20,
                      bounds.peakBytes >> 20);
        found.push_back(text);
    }
    present = contents();
    std::vector<std::string> files = fileViolations(askedFor(arguments()), outcome.exitCode, present);
    found.insert(found.end(), files.begin(), files.end());
    return found;
}

std::vector<std::string> CaseFolder::fileViolations(const AskedFor& asked, int exitCode, const Contents& after) const
{
    std::vector<std::string> found;
    std::wstring log = asked.log.empty() ? L"" : normalised(asked.log);
    LogLines lines = readLog(log.empty() ? L"" : logText(readBytes(asked.log)));
    if (lines.started && exitCode == 1 && lines.failures == 0 && !(lines.ended && lines.targets.empty()))
        found.push_back("the log names no failure, and ends with " + narrow(lines.last));
    if (exitCode == 0 && !log.empty() && !lines.ended)
        found.push_back("a run that succeeded left no whole log");
    if (exitCode == 0 && lines.failures > 0)
        found.push_back("a run that succeeded logged a failure");
    for (const auto& [name, bytes] : before) {
        if (name.ends_with(L"\\"))
            continue;
        std::wstring path = normalised(root + L"\\" + name);
        auto now = after.find(name);
        // Without a log nothing names what was replaced; "/overwrite" allowed it.
        bool replaced = lines.targets.count(path) || path == log || (log.empty() && asked.overwrite);
        if (now == after.end() && !lines.deleted.count(path))
            found.push_back("removed " + narrow(name));
        else if (now != after.end() && now->second != bytes && !replaced)
            found.push_back("changed " + narrow(name));
    }
    std::set<std::wstring> present;
    for (const auto& [name, bytes] : after) {
        if (name.ends_with(L"\\"))
            continue;
        std::wstring path = normalised(root + L"\\" + name);
        present.insert(path);
        // Without a log nothing names the outputs; a staged file still shows by its kind.
        bool named = path == log || lines.targets.count(path) || (log.empty() && !path.ends_with(L".tmp"));
        if (!before.count(name) && !named)
            found.push_back("left " + narrow(name) + " (" + std::to_string(bytes.size()) + " bytes)");
    }
    for (const std::wstring& target : lines.targets) {
        if (!present.count(target))
            found.push_back("logged " + narrow(target) + ", which is not there");
    }
    return found;
}
