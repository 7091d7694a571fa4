#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>
#include <shlobj.h>
#include "support/ComTesting.h"
#include "support/DragData.h"
#include "support/ExpectCode.h"
#include "foundation/DateTime.h"
#include "mainwindow/EBFileListView.h"
#include "mainwindow/FileListView.h"
#include "mainwindow/FileListViewFactory.h"
#include "toolkit/ShlListView.h"
#include "support/LentSettings.h"
#include "support/PictureFolder.h"
#include "support/Screenshot.h"
#include "support/WindowRobot.h"

namespace {

using Args = IFileListView::FileListViewEventArgs;

std::wstring fileNameOf(const wstring* path)
{
    std::wstring text = path ? path->buffer() : L"";
    return text.substr(text.rfind(L'\\') + 1);
}

// Writes down the events of a list in the order they come.
struct Recorder {
    void beforeAdd(Window*, Args& args)
    {
        events.push_back(L"offer " + fileNameOf(args.path));
        if (fileNameOf(args.path) == veto)
            args.value.value = 1;
        if (++offers == closeAfter)
            onOffer();
        Sleep(offerPause);
    }
    void added(Window*, Args& args) { events.push_back(L"added " + fileNameOf(args.path)); }
    void failed(Window*, Args& args)
    {
        events.push_back(L"failed " + fileNameOf(args.path) + L" " + std::to_wstring(args.error->getCode()));
        if (onFailure)
            onFailure();
    }
    void finished(Window*, Args&) { events.push_back(L"finished"); }
    void key(Window*, Args& args) { keys.push_back(args.key); }
    void doubleClick(Window*, Args&) { ++doubleClicks; }
    void selectionChanged(Window*, Args&) { ++selectionChanges; }
    void contextMenu(Window*, Args& args) { menus.push_back({args.contextMenu.screen, args.contextMenu.window}); }
    void command(Window*, Args& args) { commands.push_back({args.command.id, args.command.code}); }
    void menuSelect(Window*, Args& args)
    {
        selections.push_back({args.menuSelection.item, args.menuSelection.flags, args.menuSelection.menu});
    }
    void filesDropped(Window*, Args& args)
    {
        wstringArray paths;
        args.dropped->paths(paths);
        for (int i = 0; i < paths.count(); ++i)
            dropped.push_back(paths.at(i).buffer());
    }

    bool hasFinished() const { return !events.empty() && events.back() == L"finished"; }

    std::vector<std::wstring> events;
    std::wstring veto;
    int offers = 0;
    int closeAfter = -1;
    // Milliseconds each offer takes, for a run that lasts beyond the list's slice of time per offer.
    DWORD offerPause = 0;
    std::function<void()> onOffer;
    std::function<void()> onFailure;
    std::vector<UINT> keys;
    int doubleClicks = 0;
    int selectionChanges = 0;
    std::vector<std::pair<Point, HWND>> menus;
    std::vector<std::pair<int, int>> commands;
    std::vector<std::tuple<UINT, UINT, HMENU>> selections;
    std::vector<std::wstring> dropped;
};

// Ends the test program when the test has not come back in time: a deadlock fails the run, never hangs it.
class Watchdog {
public:
    explicit Watchdog(DWORD milliseconds) : limit(milliseconds), done(CreateEventW(nullptr, TRUE, FALSE, nullptr))
    {
        thread = CreateThread(nullptr, 0, watch, this, 0, nullptr);
    }
    ~Watchdog()
    {
        SetEvent(done);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        CloseHandle(done);
    }

private:
    static DWORD WINAPI watch(void* self)
    {
        auto* dog = static_cast<Watchdog*>(self);
        if (WaitForSingleObject(dog->done, dog->limit) == WAIT_TIMEOUT) {
            std::fputs("Watchdog: the file list did not come back; deadlock\n", stderr);
            std::fflush(stderr);
            TerminateProcess(GetCurrentProcess(), 4);
        }
        return 0;
    }

    DWORD limit;
    HANDLE done;
    HANDLE thread;
};

// A row as the shell and the file system tell of its file one at a time: the desktop parses the path, the shell
// names the item's icon and type, the file system gives its size and time.
struct ReferenceRow {
    std::wstring path;
    bool folder = false;
    ULONGLONG kilobytes = 0;
    ULONGLONG written = 0;
    int icon = -1;
    std::wstring type;
    std::wstring size;
    std::wstring date;
};

ReferenceRow referenceRow(const std::wstring& path)
{
    ReferenceRow row;
    row.path = path;
    LPITEMIDLIST absolute = nullptr;
    if (SUCCEEDED(SHParseDisplayName(path.c_str(), nullptr, &absolute, 0, nullptr))) {
        SHFILEINFOW info{};
        SHGetFileInfoW(reinterpret_cast<LPCWSTR>(absolute), 0, &info, sizeof(info),
                       SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_TYPENAME | SHGFI_SMALLICON);
        row.icon = info.iIcon;
        row.type = info.szTypeName;
        CoTaskMemFree(absolute);
    }
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    row.folder = data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
    row.kilobytes = kilobytesOf((ULONGLONG(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
    row.written = (ULONGLONG(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
    if (!row.folder)
        row.size = formatKilobytes(row.kilobytes).buffer();
    FILETIME local;
    SYSTEMTIME shown;
    FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
    FileTimeToSystemTime(&local, &shown);
    row.date = DateTime(shown).toLocaleString(TIME_NOSECONDS).buffer();
    return row;
}

std::wstring labelOf(const ReferenceRow& row, int mode)
{
    std::wstring name = row.path.substr(row.path.rfind(L'\\') + 1);
    std::wstring folder = row.path.substr(0, row.path.rfind(L'\\'));
    folder = folder.substr(folder.rfind(L'\\') + 1);
    switch (mode) {
    case IFileListView::FileNameView:
        return name;
    case IFileListView::NameWithFolderView:
        return name + L" (" + folder + L")";
    default:
        return row.path;
    }
}

// The list's order as the header clicks promise it: folders first, then by the column, equal values by label;
// the other way round as a whole when descending.
bool comesBefore(const ReferenceRow& a, const ReferenceRow& b, int column, bool ascending, int mode)
{
    auto order = [&]() -> int {
        if (a.folder != b.folder)
            return a.folder ? -1 : 1;
        int byLabel = lstrcmpW(labelOf(a, mode).c_str(), labelOf(b, mode).c_str());
        switch (column) {
        case ShlListView::SizeColumn:
            return a.folder ? byLabel : (a.kilobytes < b.kilobytes ? -1 : (a.kilobytes > b.kilobytes ? 1 : 0));
        case ShlListView::TypeColumn:
            return lstrcmpW(a.type.c_str(), b.type.c_str()) ? lstrcmpW(a.type.c_str(), b.type.c_str()) : byLabel;
        case ShlListView::DateColumn:
            return a.written < b.written ? -1 : (a.written > b.written ? 1 : 0);
        default:
            return byLabel;
        }
    }();
    return ascending ? order < 0 : order > 0;
}

// A file of the length, sparse where the file system allows: a length beyond 4 GiB costs no disk.
class LongFile {
public:
    LongFile(const std::wstring& path, ULONGLONG length) : path(path)
    {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD returned = 0;
        DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
        LARGE_INTEGER end;
        end.QuadPart = static_cast<LONGLONG>(length);
        SetFilePointerEx(file, end, nullptr, FILE_BEGIN);
        SetEndOfFile(file);
        CloseHandle(file);
    }
    LongFile(const LongFile&) = delete;
    LongFile& operator=(const LongFile&) = delete;
    ~LongFile() { DeleteFileW(path.c_str()); }

    const std::wstring path;
};

class ClassicFileList : public testing::Test {
protected:
    ClassicFileList() : files(L"korvilane-filelist")
    {
        // Hidden: the test programs share one screen, and only the screenshot needs to be seen.
        parent = CreateWindowExW(0, L"STATIC", L"file list", WS_OVERLAPPEDWINDOW, 0, 0, 740, 300, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
        list.reset(createFileListView(1));
        list->create(parent, 100, Rect(0, 0, 720, 260), 0, 0);
        bind(FileListEvent::beforeAdd, &Recorder::beforeAdd);
        bind(FileListEvent::added, &Recorder::added);
        bind(FileListEvent::addFailed, &Recorder::failed);
        bind(FileListEvent::addingFinished, &Recorder::finished);
    }
    ~ClassicFileList() override
    {
        if (IsWindow(parent))
            DestroyWindow(parent);
        list.reset();
    }

    void bind(FileListEvent event, void (Recorder::*member)(Window*, Args&))
    {
        list->setEventHandler(event, setEvent(&recorder, member));
    }
    void add(const std::vector<std::wstring>& paths)
    {
        wstringArray pending;
        for (const std::wstring& path : paths)
            pending.add(path.c_str());
        list->addFiles(pending);
    }
    void waitUntilFinished()
    {
        ASSERT_TRUE(pumpMessagesUntil([&] { return recorder.hasFinished(); }));
    }
    std::vector<std::wstring> pictures(int count)
    {
        std::vector<std::wstring> made;
        for (int i = 1; i <= count; ++i)
            made.push_back(files.picture(L"p" + std::to_wstring(i) + L".bmp", 4, 4));
        return made;
    }
    std::vector<std::wstring> paths(void (IFileListView::*collect)(wstringArray&))
    {
        wstringArray collected;
        (list.get()->*collect)(collected);
        std::vector<std::wstring> result;
        for (int i = 0; i < collected.count(); ++i)
            result.push_back(collected.at(i).buffer());
        return result;
    }
    HWND inner() const { return GetDlgItem(list->getHandle(), ShlListView::InnerListId); }
    std::wstring cell(int index, int column) const
    {
        wchar_t text[260] = L"";
        ListView_GetItemText(inner(), index, column, text, 260);
        return text;
    }
    void selectOnly(std::initializer_list<int> indexes)
    {
        ListView_SetItemState(inner(), -1, 0, LVIS_SELECTED);
        for (int index : indexes)
            list->select(index);
    }

    ComApartment com;
    PictureFolder files;
    HWND parent;
    Recorder recorder;
    std::unique_ptr<IFileListView> list;
};

// The files again and again, in turn, up to the count: a long run that keeps adding nothing new.
std::vector<std::wstring> alternately(const std::vector<std::wstring>& files, size_t count)
{
    std::vector<std::wstring> many;
    for (size_t i = 0; i < count; ++i)
        many.push_back(files[i % files.size()]);
    return many;
}

} // namespace

TEST_F(ClassicFileList, ShowsGeneratedPicturesWithTheirSizesAndDates)
{
    std::wstring small = files.picture(L"夕焼け.bmp", 200, 150);
    std::wstring middle = files.picture(L"harbour.bmp", 640, 480);
    std::wstring large = files.picture(L"panorama.bmp", 1500, 1000);
    PictureFolder::setWriteTime(small, 2023, 4, 5, 16, 30);
    PictureFolder::setWriteTime(middle, 2022, 12, 24, 9, 5);
    PictureFolder::setWriteTime(large, 2024, 1, 2, 23, 59);
    list->setViewMode(IFileListView::FileNameView);
    add({small, middle, large});
    waitUntilFinished();

    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(cell(0, 0), L"夕焼け.bmp");
    EXPECT_EQ(cell(0, 1), L"88 KB");
    EXPECT_EQ(cell(1, 1), L"901 KB");
    EXPECT_EQ(cell(2, 1), L"4,395 KB");
    EXPECT_NE(cell(0, 3).find(L"2023"), std::wstring::npos) << cell(0, 3);
    EXPECT_NE(cell(0, 3).find(L"16:30"), std::wstring::npos) << cell(0, 3);
    EXPECT_NE(cell(2, 3).find(L"23:59"), std::wstring::npos) << cell(2, 3);
    EXPECT_FALSE(cell(1, 2).empty()) << "the shell's type name";
    EXPECT_EQ(std::wstring(list->itemPath(0).buffer()), small);
    EXPECT_EQ(std::wstring(list->itemCompactPath(1).buffer()),
              L"harbour.bmp (" + files.path().substr(files.path().rfind(L'\\') + 1) + L")");
    list->select(1);
    ShowWindow(parent, SW_SHOWNOACTIVATE);
    UpdateWindow(parent);
    saveWindowScreenshot(parent, L"classic-file-list");
}

TEST_F(ClassicFileList, AFolderAddedThroughTheFeederShowsWhatTheShellTellsOfEachFileAlone)
{
    // More files of one folder than the list looks up one by one, of mixed types, lengths and times.
    const wchar_t* endings[] = {L".bmp", L".jpg", L".JPG", L".png", L".txt", L".dat", L""};
    std::vector<std::wstring> pending;
    for (int i = 0; i < 24; ++i) {
        std::wstring name = (i % 3 == 0 ? L"写真 " : (i % 3 == 1 ? L"IMG_" : L"scan (")) + std::to_wstring(i) +
                            (i % 3 == 2 ? L")" : L"") + endings[i % 7];
        pending.push_back(files.file(name, size_t(i) * 1024 + 100));
        PictureFolder::setWriteTime(pending.back(), 2020 + i % 5, 1 + i % 12, 1 + i, i % 24, (i * 7) % 60);
    }
    pending.push_back(files.file(L"empty.txt", 0));
    LongFile huge(files.pathOf(L"huge.dat"), 5ULL << 30);
    pending.push_back(huge.path);
    pending.push_back(files.folder(L"サブフォルダ"));
    PictureFolder other(L"korvilane-filelist-other");
    pending.push_back(other.file(L"elsewhere.png", 40 * 1024 + 1));
    std::wstring vanishing = files.file(L"消える.bmp", 10);
    pending.insert(pending.begin() + 20, vanishing);
    std::wstring again = files.pathOf(L"IMG_1.JPG");
    pending.push_back(again);

    // The file goes while the run is under way, after the list has looked at its folder.
    recorder.closeAfter = 19;
    recorder.onOffer = [&] { DeleteFileW(vanishing.c_str()); };
    add(pending);
    waitUntilFinished();

    std::vector<std::wstring> events;
    for (const std::wstring& path : pending) {
        std::wstring name = path.substr(path.rfind(L'\\') + 1);
        events.push_back(L"offer " + name);
        events.push_back(path == vanishing ? L"failed " + name + L" 2" : L"added " + name);
    }
    events.push_back(L"finished");
    EXPECT_EQ(recorder.events, events);

    std::vector<ReferenceRow> reference;
    for (const std::wstring& path : pending) {
        if (path != vanishing && path != again)
            reference.push_back(referenceRow(path));
    }
    ASSERT_EQ(list->count(), static_cast<int>(reference.size())) << "the vanished file and the repeat are not listed";
    auto findRow = [&](int index) -> const ReferenceRow& {
        std::wstring path = list->itemPath(index).buffer();
        auto row = std::find_if(reference.begin(), reference.end(),
                                [&](const ReferenceRow& r) { return r.path == path; });
        EXPECT_NE(row, reference.end()) << path;
        return row == reference.end() ? reference.front() : *row;
    };
    auto expectShown = [&](int mode) {
        list->setViewMode(mode);
        for (int i = 0; i < list->count(); ++i) {
            const ReferenceRow& row = findRow(i);
            EXPECT_EQ(cell(i, 0), labelOf(row, mode)) << row.path;
            EXPECT_EQ(cell(i, 1), row.size) << row.path;
            EXPECT_EQ(cell(i, 2), row.type) << row.path;
            EXPECT_EQ(cell(i, 3), row.date) << row.path;
            LVITEMW item{};
            item.mask = LVIF_IMAGE;
            item.iItem = i;
            SendMessageW(inner(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
            EXPECT_EQ(item.iImage, row.icon) << row.path;
        }
    };
    for (int i = 0; i < list->count(); ++i)
        EXPECT_EQ(std::wstring(list->itemPath(i).buffer()), reference[static_cast<size_t>(i)].path) << "in order";
    expectShown(IFileListView::FullPathView);
    expectShown(IFileListView::NameWithFolderView);
    expectShown(IFileListView::FileNameView);
    EXPECT_EQ(cell(static_cast<int>(reference.size()) - 3, 1), L"5,242,880 KB") << "beyond 4 GiB";

    struct Click {
        int column;
        bool ascending;
    };
    for (Click click : {Click{ShlListView::SizeColumn, true}, Click{ShlListView::SizeColumn, false},
                        Click{ShlListView::DateColumn, true}, Click{ShlListView::TypeColumn, true},
                        Click{ShlListView::NameColumn, true}}) {
        NMLISTVIEW header{};
        header.hdr.hwndFrom = inner();
        header.hdr.idFrom = ShlListView::InnerListId;
        header.hdr.code = LVN_COLUMNCLICK;
        header.iItem = -1;
        header.iSubItem = click.column;
        SendMessageW(list->getHandle(), WM_NOTIFY, ShlListView::InnerListId, reinterpret_cast<LPARAM>(&header));
        std::vector<ReferenceRow> sorted = reference;
        std::sort(sorted.begin(), sorted.end(), [&](const ReferenceRow& a, const ReferenceRow& b) {
            return comesBefore(a, b, click.column, click.ascending, IFileListView::FileNameView);
        });
        std::vector<std::wstring> shown;
        std::vector<std::wstring> expected;
        for (int i = 0; i < list->count(); ++i) {
            shown.push_back(list->itemPath(i).buffer());
            expected.push_back(sorted[static_cast<size_t>(i)].path);
        }
        EXPECT_EQ(shown, expected) << "column " << click.column << (click.ascending ? " ascending" : " descending");
    }
    expectShown(IFileListView::FileNameView);
    ShowWindow(parent, SW_SHOWNOACTIVATE);
    UpdateWindow(parent);
    saveWindowScreenshot(parent, L"file-list-sorted-by-name");
}

TEST_F(ClassicFileList, TheFeederOffersEveryFileReportsMissingOnesAndStopsAtAVeto)
{
    std::vector<std::wstring> made = pictures(4);
    recorder.veto = L"p3.bmp";
    // The handler tells the user, as the main window does, while the feeder waits.
    std::wstring told;
    WindowRobot robot([&](WindowRobot& user) { told = user.answerMessageBox(IDOK, parent); });
    recorder.onFailure = [&] { MessageBoxW(parent, L"ファイルが見つかりません", L"file list", MB_OK); };
    add({made[0], files.pathOf(L"gone.bmp"), made[1], made[2], made[3]});
    waitUntilFinished();
    robot.finish();
    EXPECT_EQ(told, L"ファイルが見つかりません");
    EXPECT_EQ(recorder.events,
              (std::vector<std::wstring>{L"offer p1.bmp", L"added p1.bmp", L"offer gone.bmp", L"failed gone.bmp 2",
                                         L"offer p2.bmp", L"added p2.bmp", L"offer p3.bmp", L"finished"}));
    EXPECT_EQ(list->count(), 2);
}

TEST_F(ClassicFileList, AnEmptyAddEndsAtOnceAndANewAddReplacesARunningOne)
{
    add({});
    waitUntilFinished();
    EXPECT_EQ(recorder.events, std::vector<std::wstring>{L"finished"});

    std::vector<std::wstring> made = pictures(3);
    recorder.events.clear();
    // Offers slower than a slice, so that the first run is most likely still under way when the second add
    // comes. The window's thread answers the feeder's offers while it waits, so a busy machine may still let the
    // first run end first: its end may be reported then, but never once the second add has begun.
    recorder.offerPause = 50;
    add({made[0], made[0], made[0], made[0], made[0], made[0]});
    ASSERT_TRUE(pumpMessagesUntil([&] { return recorder.offers >= 2; }));
    recorder.offerPause = 0;
    auto finishedBefore = std::count(recorder.events.begin(), recorder.events.end(), L"finished");
    add({made[1], made[2]});
    ASSERT_TRUE(pumpMessagesUntil(
        [&] { return std::count(recorder.events.begin(), recorder.events.end(), L"finished") > finishedBefore; }));
    // The stopped run's end was posted before that run was waited for.
    EXPECT_TRUE(pumpPostedMessages());
    std::vector<std::wstring> tail(recorder.events.end() - 5, recorder.events.end());
    EXPECT_EQ(tail, (std::vector<std::wstring>{L"offer p2.bmp", L"added p2.bmp", L"offer p3.bmp", L"added p3.bmp",
                                               L"finished"}))
        << "the stopped run's end is not reported";
    EXPECT_EQ(std::count(recorder.events.begin(), recorder.events.end(), L"finished"), finishedBefore + 1);
}

TEST_F(ClassicFileList, SelectedPathsComeFromTheLastItemToTheFirst)
{
    std::vector<std::wstring> made = pictures(3);
    for (const std::wstring& path : made)
        list->addFile(path.c_str());
    EXPECT_EQ(list->firstSelectedPath().length(), 0) << "nothing selected";
    EXPECT_EQ(thrownCode([&] { list->nextSelectedPath(); }), ErrorCode::InvalidState);

    selectOnly({0, 1, 2});
    EXPECT_EQ(std::wstring(list->firstSelectedPath().buffer()), made[2]);
    EXPECT_EQ(std::wstring(list->nextSelectedPath().buffer()), made[1]);
    EXPECT_EQ(std::wstring(list->nextSelectedPath().buffer()), made[0]);
    EXPECT_EQ(list->nextSelectedPath().length(), 0);
    EXPECT_EQ(thrownCode([&] { list->nextSelectedPath(); }), ErrorCode::InvalidState) << "the walk has ended";

    EXPECT_EQ(paths(&IFileListView::allPaths), (std::vector<std::wstring>{made[2], made[1], made[0]}));
    selectOnly({0, 2});
    EXPECT_EQ(paths(&IFileListView::selectedPaths), (std::vector<std::wstring>{made[2], made[0]}));
    EXPECT_EQ(list->firstSelectedIndex(), 0);
}

TEST_F(ClassicFileList, RemovingSeveralItemsKeepsTheViewAndItsRecordsInStep)
{
    std::vector<std::wstring> made = pictures(6);
    for (int i = 0; i < 5; ++i)
        list->addFile(made[i].c_str());
    selectOnly({0, 2, 3});
    list->removeSelected();
    EXPECT_EQ(paths(&IFileListView::allPaths), (std::vector<std::wstring>{made[4], made[1]}));
    list->addFile(made[0].c_str());
    list->addFile(made[1].c_str());
    EXPECT_EQ(list->count(), 3) << "a removed file comes back, a listed one is not listed twice";

    EXPECT_EQ(list->replaceFile(1, made[5].c_str()), 1);
    EXPECT_EQ(std::wstring(list->itemPath(1).buffer()), made[5]);
    list->removeAll();
    EXPECT_EQ(list->count(), 0);
    list->addFile(made[4].c_str());
    EXPECT_EQ(list->count(), 1) << "emptied records take a file again";
}

TEST_F(ClassicFileList, ArrowKeysStepLikeUpAndDownAndTheEventsSeeTheUsersInput)
{
    bind(FileListEvent::keyDown, &Recorder::key);
    bind(FileListEvent::doubleClick, &Recorder::doubleClick);
    bind(FileListEvent::contextMenu, &Recorder::contextMenu);
    bind(FileListEvent::selectionChanged, &Recorder::selectionChanged);
    for (const std::wstring& path : pictures(3))
        list->addFile(path.c_str());
    list->select(0);
    EXPECT_GT(recorder.selectionChanges, 0);
    SetFocus(inner());
    SendMessageW(inner(), WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(recorder.keys, std::vector<UINT>{VK_RIGHT});
    EXPECT_EQ(list->firstSelectedIndex(), 1) << "right went down a row";

    SendMessageW(inner(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(30, 30));
    EXPECT_EQ(recorder.doubleClicks, 1);
    SendMessageW(inner(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(inner()), MAKELPARAM(120, 80));
    ASSERT_EQ(recorder.menus.size(), 1u);
    EXPECT_EQ(recorder.menus[0].first.x, 120);
    EXPECT_EQ(recorder.menus[0].first.y, 80);
    EXPECT_EQ(recorder.menus[0].second, inner());
    EXPECT_EQ(thrownCode([&] { list->setEventHandler(static_cast<FileListEvent>(11), IFileListView::Handler()); }),
              ErrorCode::InvalidArgument);
}

TEST_F(ClassicFileList, TheListsMenusAndDroppedFilesReachTheEventsWhole)
{
    bind(FileListEvent::command, &Recorder::command);
    bind(FileListEvent::menuSelect, &Recorder::menuSelect);
    bind(FileListEvent::filesDropped, &Recorder::filesDropped);
    SendMessageW(inner(), WM_COMMAND, MAKEWPARAM(4102, 1), 0);
    EXPECT_EQ(recorder.commands, (std::vector<std::pair<int, int>>{{4102, 1}}));
    HMENU menu = CreatePopupMenu();
    SendMessageW(inner(), WM_MENUSELECT, MAKEWPARAM(4105, MF_HILITE), reinterpret_cast<LPARAM>(menu));
    SendMessageW(inner(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    DestroyMenu(menu);
    const std::vector<std::tuple<UINT, UINT, HMENU>> selected = {{4105, MF_HILITE, menu}, {0, 0xFFFF, nullptr}};
    EXPECT_EQ(recorder.selections, selected) << "the help of an item, then the menu closing";

    std::wstring deep = L"C:\\" + std::wstring(300, L'd') + L"\\p.bmp";
    SendMessageW(inner(), WM_DROPFILES, reinterpret_cast<WPARAM>(fileDropBlock({L"C:\\a.bmp", deep})), 0);
    EXPECT_EQ(recorder.dropped, (std::vector<std::wstring>{L"C:\\a.bmp", deep})) << "a long path comes whole";
}

TEST_F(ClassicFileList, ClosingTheWindowWhileTheFeederIsBusyEndsWithoutADeadlock)
{
    Watchdog dog(30000);
    std::vector<std::wstring> many = alternately(pictures(2), 400);
    recorder.closeAfter = 5;
    recorder.offerPause = 1;
    recorder.onOffer = [&] { PostMessageW(parent, WM_CLOSE, 0, 0); };
    add(many);
    EXPECT_TRUE(pumpMessagesUntil([&] { return !IsWindow(parent); }));
    int offersAtClose = recorder.offers;
    list.reset();
    EXPECT_LT(offersAtClose, 400) << "the run stopped with the window";
}

TEST_F(ClassicFileList, AHandlerThatClosesTheWindowEndsTheRunWithoutADeadlock)
{
    Watchdog dog(30000);
    std::vector<std::wstring> made = pictures(2);
    recorder.closeAfter = 3;
    recorder.onOffer = [&] { DestroyWindow(parent); };
    add({made[0], made[1], made[0], made[1], made[0], made[1]});
    pumpMessagesUntil([&] { return recorder.offers >= 3; });
    // The list object waits for its feeder as it goes, so every offer the run could still make has been made.
    list.reset();
    EXPECT_EQ(recorder.offers, 3) << "no offer after the window went";
}

TEST_F(ClassicFileList, AListObjectGoneDuringARunLeavesItsWindowAPlainListThatDraws)
{
    Watchdog dog(30000);
    std::vector<std::wstring> many = alternately(pictures(2), 400);
    recorder.offerPause = 1;
    add(many);
    ASSERT_TRUE(pumpMessagesUntil([&] { return recorder.offers >= 5; }));
    HWND window = list->getHandle();
    list.reset();
    auto* controller = reinterpret_cast<ShlListView::Controller*>(
        SendMessageW(window, ShlListView::GetController, 0, 0));
    ASSERT_NE(controller, nullptr);
    EXPECT_FALSE(controller->isAdding()) << "the run is over for the list, which draws its rows again";
    EXPECT_EQ(controller->list().getItemCount(), 2);
}

TEST(FileListFeeder, TheWindowAnswersWhileTheFilesAreGatheredAndHearsWhyGatheringFailed)
{
    Watchdog dog(30000);
    HWND window = CreateWindowExW(0, L"STATIC", L"answering", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    wchar_t title[32] = L"";
    // Only a window thread that answers while it waits lets this gathering end.
    FileListFeeder::gatherAside([&] { SendMessageW(window, WM_GETTEXT, 32, reinterpret_cast<LPARAM>(title)); });
    EXPECT_STREQ(title, L"answering");
    EXPECT_EQ(thrownCode([] { FileListFeeder::gatherAside([] { throw Exception(ERROR_FILE_NOT_FOUND); }); }),
              ERROR_FILE_NOT_FOUND);
    DestroyWindow(window);
}

TEST(FileListFactory, TheClassicListStandsInWhereTheExplorerBrowserCannotShowFiles)
{
    ComApartment com;
    std::unique_ptr<IFileListView> chosen;
    {
        LentSettings defaults;
        chosen.reset(createFileListView());
    }
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (ExplorerBrowser::canShowFiles()) {
        EXPECT_NE(dynamic_cast<EBFileListView*>(chosen.get()), nullptr);
    } else {
        EXPECT_NE(dynamic_cast<FileListView*>(chosen.get()), nullptr);
        EBFileListView browserList;
        browserList.registerClass();
        EXPECT_NE(thrownCode([&] { browserList.create(parent, 1, Rect(0, 0, 200, 100), 0, 0); }), -1);
        EXPECT_EQ(browserList.getHandle(), nullptr);
        EXPECT_EQ(GetWindow(parent, GW_CHILD), nullptr) << "no half-made window is left";
    }
    chosen->create(parent, 1, Rect(0, 0, 200, 100), 0, 0);
    EXPECT_NE(chosen->getHandle(), nullptr) << "the program starts with the default settings";
    DestroyWindow(parent);
}
