// How fast the main window lists a folder of pictures, measured from outside the program as a user would see
// it, beside a floor: a plain list view filled at once from FindFirstFile with one icon and type name per
// extension. bench/filelist-bench.sh runs it; by hand:
//   filelist_bench make FOLDER COUNT FIRST    writes COUNT small pictures numbered from FIRST into FOLDER
//   filelist_bench floor FOLDER...             the floor's window, listing the folders
//   filelist_bench measure ROWS PROGRAM ARGS   starts the program, waits until ROWS rows are listed, then sorts
//                                              by each column, selects all and removes all, and prints the times
#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>
#include <psapi.h>
#include <shellapi.h>
#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>
#include "BenchPicture.h"
#include "ProgramUnderBench.h"
#include "imaging/gdipImageIO.h"

namespace {

// The main window's commands that the bench gives; the floor answers the same ones.
constexpr WPARAM ClearCommand = 4102;
constexpr WPARAM SelectAllCommand = 4122;
constexpr WPARAM PreviewPaneCommand = 4145;
constexpr UINT FillMessage = WM_APP + 1;
constexpr int Columns = 4;

// Bench output is read on the host, whose terminals take UTF-8.
std::string utf8(const std::wstring& text)
{
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string converted(static_cast<size_t>(std::max(size, 1)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, converted.data(), size, nullptr, nullptr);
    converted.resize(converted.size() - 1);
    return converted;
}

// ---- the pictures ----

struct Seed {
    const wchar_t* extension;
    const wchar_t* mimeType;
    int width;
    int height;
};

// A few types and sizes, each a few KB, the way a camera card or a scanned album mixes them.
constexpr Seed Seeds[] = {{L".jpg", L"image/jpeg", 160, 120}, {L".JPG", L"image/jpeg", 120, 90},
                          {L".png", L"image/png", 48, 36},    {L".bmp", L"image/bmp", 40, 30},
                          {L".gif", L"image/gif", 64, 48},    {L".tif", L"image/tiff", 32, 24}};

// Names of varied lengths, some Japanese; the type follows from the number.
constexpr const wchar_t* NameFormats[] = {
    L"IMG_%05d", L"夏休み_北海道_%d",  L"holiday photos from the summer trip to the mountains %d",
    L"p%d",      L"スキャン画像 %05d", L"DSC%05d (2)"};

std::wstring pictureName(int number)
{
    const Seed& seed = Seeds[number % 10 < 5 ? number % 2 : 2 + number % 4];
    wchar_t name[160];
    swprintf(name, 160, NameFormats[number % 6], number);
    return std::wstring(name) + seed.extension;
}

std::vector<BYTE> encodeSeed(const Seed& seed, const std::wstring& scratch)
{
    BitmapPtr picture(createBitmap(seed.width, seed.height));
    {
        BitmapLock lock(picture.get(), Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB);
        for (int y = 0; lock.isLocked() && y < seed.height; ++y) {
            UINT32* row = lock.pixels(y);
            for (int x = 0; x < seed.width; ++x)
                row[x] = 0xFF000000u | (x * 255 / seed.width) << 16 | (y * 255 / seed.height) << 8 | 0x60;
        }
    }
    std::wstring path = scratch + L"\\seed" + seed.extension;
    std::vector<BYTE> bytes;
    if (!gdipSaveToFile(path.c_str(), seed.mimeType, picture.get(), nullptr))
        return bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD size = GetFileSize(file, nullptr);
    bytes.resize(size);
    DWORD read = 0;
    ReadFile(file, bytes.data(), size, &read, nullptr);
    CloseHandle(file);
    DeleteFileW(path.c_str());
    return bytes;
}

bool writePicture(const std::wstring& path, const std::vector<BYTE>& bytes, const FILETIME& written)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD done = 0;
    bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) &&
              SetFileTime(file, nullptr, nullptr, &written);
    CloseHandle(file);
    return ok;
}

int makePictures(const std::wstring& folder, int count, int first)
{
    GdiplusSession graphics;
    CreateDirectoryW(folder.c_str(), nullptr);
    std::map<std::wstring, std::vector<BYTE>> encoded;
    for (const Seed& seed : Seeds) {
        encoded[seed.extension] = encodeSeed(seed, folder);
        if (encoded[seed.extension].empty()) {
            std::fprintf(stderr, "could not encode the %ls picture\n", seed.extension);
            return 1;
        }
    }
    SYSTEMTIME base{2023, 7, 0, 1, 9, 0, 0, 0};
    FILETIME baseTime;
    SystemTimeToFileTime(&base, &baseTime);
    for (int i = 0; i < count; ++i) {
        int number = first + i;
        std::wstring name = pictureName(number);
        // Shuffled dates a few minutes apart, so that sorting by date moves rows.
        ULARGE_INTEGER time{{baseTime.dwLowDateTime, baseTime.dwHighDateTime}};
        time.QuadPart += ULONGLONG(number * 7919 % 100003) * 60 * 10000000ULL;
        FILETIME written{time.LowPart, time.HighPart};
        const std::vector<BYTE>& bytes = encoded[name.substr(name.rfind(L'.'))];
        if (!writePicture(folder + L"\\" + name, bytes, written)) {
            std::fprintf(stderr, "could not write %ls\n", name.c_str());
            return 1;
        }
    }
    return 0;
}

// ---- the floor ----

struct FloorRow {
    std::wstring name;
    ULONGLONG size;
    FILETIME written;
    int type;
};

struct Floor {
    HWND list = nullptr;
    std::vector<std::wstring> folders;
    std::vector<FloorRow> rows;
    std::vector<std::wstring> typeNames;
    int sortColumn = -1;
    bool ascending = true;
};

Floor shown;

std::wstring kilobytes(ULONGLONG size)
{
    wchar_t digits[32];
    swprintf(digits, 32, L"%llu", size / 1024 + (size % 1024 ? 1 : 0));
    NUMBERFMTW format{0, 0, 3, const_cast<wchar_t*>(L"."), const_cast<wchar_t*>(L","), 1};
    wchar_t grouped[48] = L"";
    GetNumberFormatW(LOCALE_USER_DEFAULT, 0, digits, &format, grouped, 48);
    return std::wstring(grouped) + L" KB";
}

std::wstring localTime(const FILETIME& time)
{
    FILETIME local;
    SYSTEMTIME parts;
    FileTimeToLocalFileTime(&time, &local);
    FileTimeToSystemTime(&local, &parts);
    wchar_t date[64] = L"";
    wchar_t clock[64] = L"";
    GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &parts, nullptr, date, 64);
    GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &parts, nullptr, clock, 64);
    return std::wstring(date) + L" " + clock;
}

void setCell(int row, int column, const std::wstring& text)
{
    LVITEMW cell{};
    cell.mask = LVIF_TEXT;
    cell.iItem = row;
    cell.iSubItem = column;
    cell.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(shown.list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&cell));
}

void fillFloor()
{
    std::map<std::wstring, std::pair<int, int>> icons;
    SendMessageW(shown.list, WM_SETREDRAW, FALSE, 0);
    for (const std::wstring& folder : shown.folders) {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
        for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            std::wstring name = found.cFileName;
            std::wstring extension = name.substr(std::min(name.rfind(L'.'), name.size()));
            CharLowerBuffW(extension.data(), static_cast<DWORD>(extension.size()));
            auto icon = icons.find(extension);
            if (icon == icons.end()) {
                SHFILEINFOW info{};
                SHGetFileInfoW(name.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
                               SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_TYPENAME);
                shown.typeNames.push_back(info.szTypeName);
                icon = icons.emplace(extension, std::make_pair(info.iIcon, int(shown.typeNames.size()) - 1)).first;
            }
            FloorRow row{folder + L"\\" + name, (ULONGLONG(found.nFileSizeHigh) << 32) | found.nFileSizeLow,
                         found.ftLastWriteTime, icon->second.second};
            shown.rows.push_back(row);
            LVITEMW item{};
            item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
            item.iItem = INT_MAX;
            item.pszText = const_cast<wchar_t*>(row.name.c_str());
            item.iImage = icon->second.first;
            item.lParam = static_cast<LPARAM>(shown.rows.size() - 1);
            int index = static_cast<int>(SendMessageW(shown.list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
            setCell(index, 1, kilobytes(row.size));
            setCell(index, 2, shown.typeNames[row.type]);
            setCell(index, 3, localTime(row.written));
        }
        if (search != INVALID_HANDLE_VALUE)
            FindClose(search);
    }
    SendMessageW(shown.list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(shown.list, nullptr, TRUE);
}

int compareTimes(const FILETIME& a, const FILETIME& b)
{
    return CompareFileTime(&a, &b);
}

int CALLBACK compareFloorRows(LPARAM first, LPARAM second, LPARAM)
{
    const FloorRow& a = shown.rows[static_cast<size_t>(first)];
    const FloorRow& b = shown.rows[static_cast<size_t>(second)];
    int result = 0;
    switch (shown.sortColumn) {
    case 1:
        result = a.size < b.size ? -1 : (b.size < a.size ? 1 : 0);
        break;
    case 2:
        result = lstrcmpW(shown.typeNames[a.type].c_str(), shown.typeNames[b.type].c_str());
        break;
    case 3:
        result = compareTimes(a.written, b.written);
        break;
    default:
        break;
    }
    if (result == 0)
        result = lstrcmpW(a.name.c_str(), b.name.c_str());
    return shown.ascending ? result : -result;
}

LRESULT floorNotified(NMHDR* header)
{
    if (header->code != LVN_COLUMNCLICK)
        return 0;
    int column = reinterpret_cast<NMLISTVIEW*>(header)->iSubItem;
    shown.ascending = column != shown.sortColumn || !shown.ascending;
    shown.sortColumn = column;
    SendMessageW(shown.list, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&compareFloorRows));
    return 0;
}

void floorCommand(WPARAM command)
{
    if (command == SelectAllCommand) {
        LVITEMW state{};
        state.stateMask = LVIS_SELECTED;
        state.state = LVIS_SELECTED;
        SendMessageW(shown.list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
    } else if (command == ClearCommand) {
        SendMessageW(shown.list, LVM_DELETEALLITEMS, 0, 0);
    }
}

LRESULT CALLBACK floorProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case FillMessage:
        fillFloor();
        return 0;
    case WM_NOTIFY:
        return floorNotified(reinterpret_cast<NMHDR*>(lParam));
    case WM_COMMAND:
        floorCommand(LOWORD(wParam));
        return 0;
    case WM_SIZE:
        MoveWindow(shown.list, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

int runFloor(int argc, wchar_t** argv)
{
    for (int i = 2; i < argc; ++i)
        shown.folders.push_back(argv[i]);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = floorProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = L"FileListBenchFloor";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowW(L"FileListBenchFloor", L"floor", WS_OVERLAPPEDWINDOW, 0, 0, 900, 700, nullptr, nullptr,
                                windowClass.hInstance, nullptr);
    shown.list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                                 WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHAREIMAGELISTS | LVS_SHOWSELALWAYS, 0, 0,
                                 900, 700, window, reinterpret_cast<HMENU>(101), windowClass.hInstance, nullptr);
    const int widths[Columns] = {200, 100, 120, 120};
    for (int i = 0; i < Columns; ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_WIDTH | LVCF_TEXT | LVCF_FMT;
        column.fmt = i == 1 ? LVCFMT_RIGHT : LVCFMT_LEFT;
        column.cx = widths[i];
        column.pszText = const_cast<wchar_t*>(L"");
        SendMessageW(shown.list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
    SHFILEINFOW info{};
    auto icons = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoW(L"x.jpg", FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
                       SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    SendMessageW(shown.list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(icons));
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    PostMessageW(window, FillMessage, 0, 0);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

// ---- measuring from outside ----

struct Target {
    DWORD process = 0;
    HWND window = nullptr;
    HWND list = nullptr;
};

BOOL CALLBACK findTargetWindow(HWND window, LPARAM target)
{
    auto* wanted = reinterpret_cast<Target*>(target);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != wanted->process || !IsWindowVisible(window) || GetWindow(window, GW_OWNER))
        return TRUE;
    HWND list = findListView(window);
    if (!list)
        return TRUE;
    wanted->window = window;
    wanted->list = list;
    return FALSE;
}

int rowCount(HWND list)
{
    DWORD_PTR count = 0;
    timedSend(list, LVM_GETITEMCOUNT, 0, 0, count);
    return static_cast<int>(count);
}

// The text of a cell of the program's list, read through memory of the program's own.
std::wstring cellText(HANDLE process, HWND list, int row, int column)
{
    constexpr int Capacity = 260;
    struct Request {
        LVITEMW item;
        wchar_t text[Capacity];
    };
    auto* remote = static_cast<Request*>(
        VirtualAllocEx(process, nullptr, sizeof(Request), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (!remote)
        return L"?";
    Request request{};
    request.item.iSubItem = column;
    request.item.pszText = remote->text;
    request.item.cchTextMax = Capacity;
    SIZE_T moved = 0;
    WriteProcessMemory(process, remote, &request, sizeof(request), &moved);
    DWORD_PTR length = 0;
    timedSend(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&remote->item), length);
    ReadProcessMemory(process, remote, &request, sizeof(request), &moved);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    request.text[Capacity - 1] = 0;
    return request.text;
}

// The first and the last row's texts of the column.
std::wstring ends(HANDLE process, HWND list, int column)
{
    return cellText(process, list, 0, column) + L" .. " + cellText(process, list, rowCount(list) - 1, column);
}

// A click on the header of the column as the header control gets it; the list sorts before the click's
// button-up message returns.
double clickColumn(const Target& target, int column)
{
    HWND header = reinterpret_cast<HWND>(SendMessageW(target.list, LVM_GETHEADER, 0, 0));
    int x = 0;
    for (int i = 0; i < column; ++i)
        x += static_cast<int>(SendMessageW(target.list, LVM_GETCOLUMNWIDTH, i, 0));
    x += static_cast<int>(SendMessageW(target.list, LVM_GETCOLUMNWIDTH, column, 0)) / 2;
    LPARAM at = MAKELPARAM(x, 6);
    double start = now();
    timedSend(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    timedSend(header, WM_LBUTTONUP, 0, at);
    timedSend(target.list, WM_NULL);
    return now() - start;
}

std::wstring commandLine(int argc, wchar_t** argv, int first)
{
    std::wstring line;
    for (int i = first; i < argc; ++i) {
        if (!line.empty())
            line += L" ";
        line += L"\"" + std::wstring(argv[i]) + L"\"";
    }
    return line;
}

int measure(int argc, wchar_t** argv)
{
    int rows = _wtoi(argv[2]);
    std::wstring line = commandLine(argc, argv, 3);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    double start = now();
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
        std::fprintf(stderr, "could not start %ls (%lu)\n", line.c_str(), GetLastError());
        return 1;
    }
    Target target;
    target.process = started.dwProcessId;
    while (!target.window && now() - start < 60) {
        EnumWindows(findTargetWindow, reinterpret_cast<LPARAM>(&target));
        if (!target.window)
            Sleep(2);
    }
    double window = now() - start;
    if (!target.window) {
        std::fprintf(stderr, "no window within a minute\n");
        TerminateProcess(started.hProcess, 1);
        return 1;
    }
    // Listed: every row in, and the window enabled again (the program disables it while adding).
    double slowest = 0;
    double firstRows = 0;
    int count = 0;
    while (now() - start < 600) {
        DWORD_PTR answer = 0;
        slowest = std::max(slowest, timedSend(target.list, LVM_GETITEMCOUNT, 0, 0, answer));
        count = static_cast<int>(answer);
        if (count > 0 && firstRows == 0)
            firstRows = now() - start;
        if (count >= rows && IsWindowEnabled(target.window))
            break;
        Sleep(5);
    }
    double listed = now() - start;
    double peakListed = peakMegabytes(started.hProcess);
    // Without the preview beside it, the list shows every column's header.
    timedSend(target.window, WM_COMMAND, PreviewPaneCommand);
    double sorts[Columns];
    for (int column = 0; column < Columns; ++column) {
        std::wstring before = ends(started.hProcess, target.list, column);
        sorts[column] = clickColumn(target, column);
        std::wstring after = ends(started.hProcess, target.list, column);
        std::printf("sorted by column %d: %s  ->  %s\n", column, utf8(before).c_str(), utf8(after).c_str());
    }
    double selectAll = timedSend(target.window, WM_COMMAND, SelectAllCommand);
    DWORD_PTR selected = 0;
    timedSend(target.list, LVM_GETSELECTEDCOUNT, 0, 0, selected);
    double removeAll = timedSend(target.window, WM_COMMAND, ClearCommand);
    int left = rowCount(target.list);
    double peak = peakMegabytes(started.hProcess);

    std::printf("rows %d of %d; selected %d; left after removing all %d\n", count, rows, static_cast<int>(selected),
                left);
    std::printf("window %.2f s, first rows %.2f s, all rows %.2f s (%.2f s after the window), "
                "%.3f ms per row\n",
                window, firstRows, listed, listed - window, (listed - window) * 1000 / std::max(rows, 1));
    std::printf("slowest answer while listing %.0f ms; peak memory %.0f MB listed, %.0f MB at the end\n",
                slowest * 1000, peakListed, peak);
    std::printf("sort by name %.0f ms, size %.0f ms, type %.0f ms, date %.0f ms; select all %.0f ms; "
                "remove all %.0f ms\n",
                sorts[0] * 1000, sorts[1] * 1000, sorts[2] * 1000, sorts[3] * 1000, selectAll * 1000, removeAll * 1000);
    std::printf("result\t%.3f\t%.3f\t%.3f\t%.1f\t%.0f\t%.0f\t%.0f\t%.0f\t%.0f\t%.0f\t%.0f\t%.0f\n", window,
                listed - window, (listed - window) * 1000 / std::max(rows, 1), slowest * 1000, peak, sorts[0] * 1000,
                sorts[1] * 1000, sorts[2] * 1000, sorts[3] * 1000, selectAll * 1000, removeAll * 1000,
                static_cast<double>(count));
    PostMessageW(target.window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(started.hProcess, 20000) != WAIT_OBJECT_0)
        TerminateProcess(started.hProcess, 1);
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return count >= rows ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode == L"make" && argc == 5)
        return makePictures(argv[2], _wtoi(argv[3]), _wtoi(argv[4]));
    if (mode == L"floor" && argc > 2)
        return runFloor(argc, argv);
    if (mode == L"measure" && argc > 3)
        return measure(argc, argv);
    std::fprintf(stderr, "filelist_bench make FOLDER COUNT FIRST | floor FOLDER... | measure ROWS PROGRAM ARGS\n");
    return 2;
}
