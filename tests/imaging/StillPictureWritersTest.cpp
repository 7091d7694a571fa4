#include <gtest/gtest.h>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>
#include "imaging/BitmapCopy.h"
#include "imaging/ComStream.h"
#include "imaging/HdpFileGenerator.h"
#include "imaging/JpegFileGenerator.h"
#include "imaging/MultiFrameTiffFileGenerator.h"
#include "imaging/TemporaryOutputFile.h"
#include "imaging/TiffFileGenerator.h"
#include "imaging/gdipImageIO.h"
#include "imaging/gifBlocks.h"
#include "support/WicTesting.h"

namespace {

class StillPictureWriters : public WicTest {
protected:
    void SetUp() override
    {
        WicTest::SetUp();
        picture.reset(makeQuarters(40, 30));
        picture->SetResolution(150, 150);
    }

    // The files in the folder other than the expected ones: a failed save leaves nothing, not even a
    // temporary file.
    std::vector<std::wstring> strayFiles(std::initializer_list<const wchar_t*> expected = {}) const
    {
        std::vector<std::wstring> stray;
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW(folder.file(L"*.*").c_str(), &found);
        for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
            std::wstring name = found.cFileName;
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                std::find(expected.begin(), expected.end(), name) == expected.end())
                stray.push_back(name);
        }
        if (search != INVALID_HANDLE_VALUE)
            FindClose(search);
        return stray;
    }

    ScratchFolder folder{L"korvilane-writers"};
    BitmapPtr picture;
};

using Strays = std::vector<std::wstring>;
const std::vector<BYTE> OldContent = {'o', 'l', 'd'};

BitmapPtr loadFile(const std::wstring& path)
{
    BitmapPtr bitmap(new Gdiplus::Bitmap(path.c_str()));
    if (bitmap->GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    return bitmap;
}

BitmapPtr loadStream(IStream* stream)
{
    rewindComStream(stream);
    BitmapPtr bitmap(new Gdiplus::Bitmap(stream));
    if (bitmap->GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    return bitmap;
}

GUID rawFormatOf(Gdiplus::Image* image)
{
    GUID format = {};
    image->GetRawFormat(&format);
    return format;
}

void expectOneLong(const EncoderParameterBlock& block, const GUID& parameter, LONG value)
{
    ASSERT_FALSE(block.isEmpty());
    const Gdiplus::EncoderParameters* list = block.get();
    EXPECT_EQ(list->Count, 1u);
    EXPECT_TRUE(IsEqualGUID(list->Parameter[0].Guid, parameter));
    EXPECT_EQ(list->Parameter[0].NumberOfValues, 1u);
    EXPECT_EQ(list->Parameter[0].Type, static_cast<ULONG>(Gdiplus::EncoderParameterValueTypeLong));
    EXPECT_EQ(*static_cast<const LONG*>(list->Parameter[0].Value), value);
}

// A 2 x 1 GIF whose table (global or local) holds red, green, blue and green again, with the graphic control
// extension that an encoder may have written.
Bytes gifFile(char version, bool global, const Bytes& control = {})
{
    const BYTE fourEntries = 0x81;
    const Bytes table = {0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0xFF, 0};
    Bytes gif = {'G', 'I', 'F', '8', static_cast<BYTE>(version), 'a', 2, 0, 1, 0, global ? fourEntries : BYTE(0), 0, 0};
    for (const Bytes& part : {global ? table : Bytes(), control, Bytes{0x2C, 0, 0, 0, 0, 2, 0, 1, 0},
                              Bytes{global ? BYTE(0) : fourEntries}, global ? Bytes() : table,
                              Bytes{2, 2, 0x4C, 0x01, 0, 0x3B}})
        gif.insert(gif.end(), part.begin(), part.end());
    return gif;
}

Bytes control(BYTE packed, BYTE index)
{
    return {0x21, 0xF9, 4, packed, 0, 0, index, 0};
}

} // namespace

TEST_F(StillPictureWriters, JpegPassesOnlyAQualityOfOneToAHundred)
{
    EncoderParameterBlock block;
    for (int quality : {0, 101, -100}) {
        ASSERT_TRUE(JpegFileGenerator(quality).parameters(block));
        EXPECT_TRUE(block.isEmpty()) << quality;
    }
    ASSERT_TRUE(JpegFileGenerator(1).parameters(block));
    expectOneLong(block, Gdiplus::EncoderQuality, 1);
    ASSERT_TRUE(JpegFileGenerator(100).parameters(block));
    expectOneLong(block, Gdiplus::EncoderQuality, 100);

    TiffFileGenerator tiff(TiffFileGenerator::NoCompressionParameter);
    ASSERT_TRUE(tiff.parameters(block));
    EXPECT_TRUE(block.isEmpty());
    tiff.compression = Gdiplus::EncoderValueCompressionCCITT4;
    ASSERT_TRUE(tiff.parameters(block));
    expectOneLong(block, Gdiplus::EncoderCompression, Gdiplus::EncoderValueCompressionCCITT4);
}

TEST_F(StillPictureWriters, JpegFileAndStreamReadBack)
{
    std::wstring path = folder.file(L"picture.jpg");
    JpegFileGenerator jpeg(80);
    ASSERT_TRUE(jpeg.save(path.c_str(), picture.get()));
    BitmapPtr loaded = loadFile(path);
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(IsEqualGUID(rawFormatOf(loaded.get()), Gdiplus::ImageFormatJPEG));
    EXPECT_EQ(loaded->GetWidth(), 40u);
    EXPECT_EQ(loaded->GetHeight(), 30u);
    EXPECT_EQ(loaded->GetPixelFormat(), PixelFormat24bppRGB);
    EXPECT_FLOAT_EQ(loaded->GetHorizontalResolution(), 150.0f);
    expectQuarters(loaded.get(), 24);

    StreamPtr stream(jpeg.encode(picture.get()));
    ASSERT_TRUE(stream);
    BitmapPtr decoded = loadStream(stream.get());
    ASSERT_TRUE(decoded);
    expectQuarters(decoded.get(), 24);
    EXPECT_EQ(strayFiles({L"picture.jpg"}), Strays());

    EXPECT_FALSE(jpeg.save(static_cast<const wchar_t*>(nullptr), picture.get()));
    EXPECT_FALSE(jpeg.save(static_cast<const char*>(nullptr), picture.get()));
    EXPECT_FALSE(jpeg.save(path.c_str(), nullptr));
    EXPECT_EQ(jpeg.encode(nullptr), nullptr);
}

TEST_F(StillPictureWriters, AnAnsiPathIsReadInTheSystemCodePage)
{
    // "写真.jpg" in code page 932, the tests' ANSI code page.
    const wchar_t wide[] = L"\x5199\x771F.jpg";
    char ansi[MAX_PATH];
    ASSERT_GT(WideCharToMultiByte(CP_ACP, 0, folder.file(wide).c_str(), -1, ansi, MAX_PATH, nullptr,
                                  nullptr), 0);
    JpegFileGenerator jpeg;
    ASSERT_TRUE(jpeg.save(ansi, picture.get()));
    EXPECT_TRUE(fileExists(folder.file(wide)));
}

TEST_F(StillPictureWriters, BilevelTiffCompressionsGetAOneBitPicture)
{
    TiffFileGenerator tiff(Gdiplus::EncoderValueCompressionCCITT4);
    // Dark left half, light right half: each side goes to its nearer colour.
    BitmapPtr halves(makeBitmap32(16, 8, [](int x, int) { return x < 8 ? 0xFF202020u : 0xFFE0E0E0u; }));
    halves->SetResolution(200, 100);
    std::wstring path = folder.file(L"bilevel.tif");
    ASSERT_TRUE(tiff.save(path.c_str(), halves.get()));
    BitmapPtr loaded = loadFile(path);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->GetPixelFormat(), PixelFormat1bppIndexed);
    EXPECT_EQ(loaded->GetWidth(), 16u);
    EXPECT_FLOAT_EQ(loaded->GetHorizontalResolution(), 200.0f);
    EXPECT_FLOAT_EQ(loaded->GetVerticalResolution(), 100.0f);
    EXPECT_EQ(pixelAt(loaded.get(), 2, 3), 0xFF000000u);
    EXPECT_EQ(pixelAt(loaded.get(), 13, 3), 0xFFFFFFFFu);

    // A 1-bpp picture is encoded as it is, and so is any picture for the other compressions.
    EXPECT_EQ(tiff.prepare(loaded.get()), loaded.get());
    for (int compression : {2, 6, 7}) {
        TiffFileGenerator other(compression);
        EXPECT_EQ(other.prepare(halves.get()), halves.get()) << compression;
    }
    TiffFileGenerator rle(Gdiplus::EncoderValueCompressionRle);
    StreamPtr stream(rle.encode(halves.get()));
    ASSERT_TRUE(stream);
    BitmapPtr decoded = loadStream(stream.get());
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->GetPixelFormat(), PixelFormat1bppIndexed);
}

TEST_F(StillPictureWriters, MultiFrameTiffAppearsOnlyWhenFlushed)
{
    BitmapPtr second(makeQuarters(20, 10));
    BitmapPtr third(makeQuarters(8, 8));
    std::wstring path = folder.file(L"pages.tif");
    {
        MultiFrameTiffFileGenerator pages;
        ASSERT_TRUE(pages.open(path.c_str(), picture.get()));
        ASSERT_TRUE(pages.addFrame(second.get()));
        EXPECT_FALSE(pages.addFrame(nullptr));
        ASSERT_TRUE(pages.addFrame(third.get()));
        EXPECT_FALSE(fileExists(path));
        ASSERT_TRUE(pages.close(true));
        EXPECT_FALSE(pages.isOpen());
        EXPECT_FALSE(pages.close(true));
    }
    BitmapPtr loaded = loadFile(path);
    ASSERT_TRUE(loaded);
    ASSERT_EQ(loaded->GetFrameCount(&Gdiplus::FrameDimensionPage), 3u);
    const UINT widths[] = {40, 20, 8};
    for (UINT i = 0; i < 3; ++i) {
        ASSERT_EQ(loaded->SelectActiveFrame(&Gdiplus::FrameDimensionPage, i), Gdiplus::Ok);
        EXPECT_EQ(loaded->GetWidth(), widths[i]);
        expectQuarters(loaded.get(), 0);
    }
    loaded.reset();

    // Closed without flush, or dropped by the destructor, the pages never reach the path.
    std::wstring dropped = folder.file(L"dropped.tif");
    MultiFrameTiffFileGenerator pages;
    ASSERT_TRUE(pages.open(dropped.c_str(), picture.get()));
    EXPECT_FALSE(pages.close(false));
    ASSERT_TRUE(pages.open(dropped.c_str(), picture.get()));
    ASSERT_TRUE(pages.addFrame(second.get()));
    // Opening again drops the open file.
    ASSERT_TRUE(pages.open(path.c_str(), third.get()));
    EXPECT_FALSE(fileExists(dropped));
    ASSERT_TRUE(pages.close(true));
    loaded = loadFile(path);
    EXPECT_EQ(loaded->GetFrameCount(&Gdiplus::FrameDimensionPage), 1u);
    loaded.reset();

    EXPECT_FALSE(pages.addFrame(second.get()));
    EXPECT_FALSE(pages.open(nullptr, picture.get()));
    EXPECT_FALSE(pages.open(folder.file(L"missing\\pages.tif").c_str(), picture.get()));
    EXPECT_FALSE(pages.isOpen());
    EXPECT_EQ(strayFiles({L"pages.tif"}), Strays());
}

TEST_F(StillPictureWriters, AFailedSaveLeavesNoFileAndNoDamagedTarget)
{
    std::wstring target = folder.file(L"target.jpg");
    writeBytes(target, OldContent);

    // A writer that fails after it has started the file.
    EXPECT_FALSE(writeThroughTemporaryFile(target.c_str(), [](IStream* file) {
        EXPECT_EQ(file->Write("part", 4, nullptr), S_OK);
        return false;
    }));
    EXPECT_EQ(readBytes(target), OldContent);
    // A write that the file refuses is answered as done, as every later one is, with the place and size that the
    // writer believes in and zeros where nothing reached the disk: no encoder meets a failed write, and the
    // file still never takes the target's place.
    void* unreadable = VirtualAlloc(nullptr, 4096, MEM_COMMIT, PAGE_NOACCESS);
    EXPECT_FALSE(writeThroughTemporaryFile(target.c_str(), [&](IStream* file) {
        ULONG done = 0;
        char back[8] = {};
        LARGE_INTEGER at = {};
        at.QuadPart = 2;
        STATSTG stat = {};
        EXPECT_EQ(file->Write("head", 4, nullptr), S_OK);
        EXPECT_EQ(file->Write(unreadable, 16, &done), S_OK);
        EXPECT_EQ(done, 16u);
        EXPECT_EQ(file->Write("tail", 4, nullptr), S_OK);
        EXPECT_EQ(file->Seek(at, STREAM_SEEK_SET, nullptr), S_OK);
        EXPECT_EQ(file->Read(back, sizeof(back), &done), S_OK);
        EXPECT_EQ(std::string(back, done), std::string("ad\0\0\0\0\0\0", 8));
        EXPECT_EQ(file->Stat(&stat, STATFLAG_NONAME), S_OK);
        EXPECT_EQ(stat.cbSize.QuadPart, 24u);
        return true;
    }));
    VirtualFree(unreadable, 0, MEM_RELEASE);
    EXPECT_EQ(readBytes(target), OldContent);

    // A finished file that cannot take the target's place: a target held open, a folder of that name.
    JpegFileGenerator jpeg;
    {
        HANDLE held = openForReading(target);
        EXPECT_FALSE(jpeg.save(target.c_str(), picture.get()));
        CloseHandle(held);
    }
    EXPECT_EQ(readBytes(target), OldContent);
    std::wstring directory = folder.file(L"folder.jpg");
    ASSERT_TRUE(CreateDirectoryW(directory.c_str(), nullptr));
    EXPECT_FALSE(jpeg.save(directory.c_str(), picture.get()));
    EXPECT_TRUE(GetFileAttributesW(directory.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    RemoveDirectoryW(directory.c_str());

    // No folder to write into.
    EXPECT_FALSE(jpeg.save(folder.file(L"missing\\picture.jpg").c_str(), picture.get()));
    EXPECT_EQ(strayFiles({L"target.jpg"}), Strays());

    // A successful save replaces the target.
    ASSERT_TRUE(jpeg.save(target.c_str(), picture.get()));
    BitmapPtr loaded = loadFile(target);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->GetWidth(), 40u);
}

TEST_F(StillPictureWriters, NoOneCanTakeTheStagedNameFromTheProgram)
{
    // Someone who can write the folder removes the staged file or moves it aside and puts a file of their own or
    // a hard link to one there, so that the program writes into it or moves it into place.
    std::wstring target = folder.file(L"target.bin");
    std::wstring theirs = folder.file(L"theirs.bin");
    const Bytes Theirs = {'t', 'h', 'e', 'i', 'r', 's'};
    const Bytes Made = {'m', 'a', 'd', 'e'};
    struct Attack {
        const char* name;
        bool (*take)(const std::wstring& staged, const std::wstring& theirs);
    };
    const Attack attacks[] = {
        {"a file in its place",
         [](const std::wstring& staged, const std::wstring& theirs) {
             return DeleteFileW(staged.c_str()) && CopyFileW(theirs.c_str(), staged.c_str(), TRUE);
         }},
        {"moved aside, a file in its place",
         [](const std::wstring& staged, const std::wstring& theirs) {
             return MoveFileW(staged.c_str(), (staged + L".aside").c_str()) &&
                    CopyFileW(theirs.c_str(), staged.c_str(), TRUE);
         }},
        {"a hard link in its place",
         [](const std::wstring& staged, const std::wstring& theirs) {
             return DeleteFileW(staged.c_str()) && CreateHardLinkW(staged.c_str(), theirs.c_str(), nullptr);
         }},
    };
    using Writer = TemporaryOutputFile::Writer;
    for (Writer writer : {Writer::Handle, Writer::SharedName, Writer::PrivateName}) {
        for (const Attack& attack : attacks) {
            std::string is = attack.name + std::string(", writer ") + std::to_string(static_cast<int>(writer));
            writeBytes(target, OldContent);
            writeBytes(theirs, Theirs);
            TemporaryOutputFile file;
            ASSERT_TRUE(file.create(target.c_str(), writer)) << is;
            Strays staged = strayFiles({L"target.bin", L"theirs.bin"});
            ASSERT_EQ(staged.size(), 1u) << is;
            EXPECT_FALSE(attack.take(folder.file(staged[0]), theirs)) << is;
            // The writers by name share the file as AVIFile does.
            if (writer == Writer::Handle) {
                EXPECT_TRUE(file.write(Made.data(), static_cast<DWORD>(Made.size()))) << is;
            } else {
                HANDLE named = CreateFileW(file.path(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           CREATE_ALWAYS, 0, nullptr);
                DWORD written = 0;
                EXPECT_TRUE(WriteFile(named, Made.data(), static_cast<DWORD>(Made.size()), &written, nullptr)) << is;
                CloseHandle(named);
            }
            EXPECT_TRUE(file.commit()) << is;
            EXPECT_EQ(readBytes(theirs), Theirs) << is;
            EXPECT_EQ(readBytes(target), Made) << is;
            EXPECT_EQ(strayFiles({L"target.bin", L"theirs.bin"}), Strays()) << is;
        }
    }
}

TEST_F(StillPictureWriters, HdpQualityTakesOnlyOneToAHundred)
{
    HdpFileGenerator hdp;
    EXPECT_EQ(hdp.getQuality(), HdpFileGenerator::NoQuality);
    EXPECT_EQ(hdp.setQuality(0), -1);
    EXPECT_EQ(hdp.setQuality(101), -1);
    EXPECT_EQ(hdp.getQuality(), HdpFileGenerator::NoQuality);
    EXPECT_EQ(hdp.setQuality(40), HdpFileGenerator::NoQuality);
    EXPECT_EQ(hdp.setQuality(0), -1);
    EXPECT_EQ(hdp.setQuality(100), 40);
}

TEST_F(StillPictureWriters, HdpPixelFormatFollowsTheSourceDepth)
{
    auto formatOf = [](Gdiplus::PixelFormat format) {
        Gdiplus::Bitmap bitmap(4, 4, format);
        return hdpPixelFormat(&bitmap);
    };
    EXPECT_TRUE(IsEqualGUID(formatOf(PixelFormat32bppARGB), GUID_WICPixelFormat32bppPBGRA));
    EXPECT_TRUE(IsEqualGUID(formatOf(PixelFormat32bppRGB), GUID_WICPixelFormat32bppPBGRA));
    EXPECT_TRUE(IsEqualGUID(formatOf(PixelFormat24bppRGB), GUID_WICPixelFormat24bppBGR));
    EXPECT_TRUE(IsEqualGUID(formatOf(PixelFormat16bppRGB555), GUID_WICPixelFormat24bppBGR));
    EXPECT_TRUE(IsEqualGUID(formatOf(PixelFormat48bppRGB), GUID_WICPixelFormat48bppRGB));
    EXPECT_TRUE(IsEqualGUID(formatOf(PixelFormat64bppARGB), GUID_WICPixelFormat64bppPBGRA));

    // An indexed picture needs alpha only when a used palette entry is transparent.
    Gdiplus::Bitmap indexed(4, 4, PixelFormat8bppIndexed);
    EXPECT_TRUE(IsEqualGUID(hdpPixelFormat(&indexed), GUID_WICPixelFormat24bppBGR));
    auto palette = static_cast<Gdiplus::ColorPalette*>(malloc(indexed.GetPaletteSize()));
    indexed.GetPalette(palette, indexed.GetPaletteSize());
    palette->Entries[0] = 0x00FFFFFF;
    indexed.SetPalette(palette);
    free(palette);
    EXPECT_TRUE(IsEqualGUID(hdpPixelFormat(&indexed), GUID_WICPixelFormat32bppPBGRA));
}

TEST_F(StillPictureWriters, HdpThroughTheJpegContainerCarriesTheResolution)
{
    std::wstring path = folder.file(L"wic.jpg");
    HdpFileGenerator jpeg;
    jpeg.setQuality(70);
    ASSERT_TRUE(jpeg.save(path.c_str(), picture.get(), nullptr, true));
    BitmapPtr loaded = loadFile(path);
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(IsEqualGUID(rawFormatOf(loaded.get()), Gdiplus::ImageFormatJPEG));
    EXPECT_EQ(loaded->GetWidth(), 40u);
    // Without resolution values the picture's own is written.
    EXPECT_FLOAT_EQ(loaded->GetHorizontalResolution(), 150.0f);
    expectQuarters(loaded.get(), 24);
    loaded.reset();

    jpeg.dpiX = 300;
    jpeg.dpiY = 72;
    ASSERT_TRUE(jpeg.save(path.c_str(), picture.get(), nullptr, true));
    loaded = loadFile(path);
    ASSERT_TRUE(loaded);
    EXPECT_FLOAT_EQ(loaded->GetHorizontalResolution(), 300.0f);
    EXPECT_FLOAT_EQ(loaded->GetVerticalResolution(), 72.0f);
    loaded.reset();

    StreamPtr stream(jpeg.saveToStream(picture.get(), nullptr, true));
    ASSERT_TRUE(stream);
    EXPECT_TRUE(loadStream(stream.get()));
    EXPECT_GT(measureHdpEncodedSize(picture.get(), 50, nullptr, true), 0u);
    EXPECT_EQ(measureHdpEncodedSize(picture.get(), 0, nullptr, true), 0u);
    EXPECT_EQ(strayFiles({L"wic.jpg"}), Strays());
}

TEST_F(StillPictureWriters, HdpSaveFailsCleanlyWithoutAnEncoder)
{
    std::wstring path = folder.file(L"picture.wdp");
    HdpFileGenerator hdp;
    bool saved = hdp.save(path.c_str(), picture.get(), nullptr, false);
    if (runningUnderWine()) {
        EXPECT_FALSE(saved) << "Wine has an HD Photo encoder now";
        EXPECT_EQ(hdp.saveToStream(picture.get(), nullptr, false), nullptr);
        EXPECT_EQ(measureHdpEncodedSize(picture.get(), 50, nullptr, false), 0u);
        EXPECT_EQ(findHdpQualityForFileSize(picture.get(), nullptr, 4096, false, nullptr), 0);
    }
    EXPECT_EQ(fileExists(path), saved);

    // An existing file is left as it was by a save that fails.
    std::wstring existing = folder.file(L"existing.hdp");
    writeBytes(existing, OldContent);
    EXPECT_FALSE(hdp.save(existing.c_str(), nullptr, nullptr, false));
    if (!saved) {
        EXPECT_FALSE(hdp.save(existing.c_str(), picture.get(), nullptr, false));
    }
    EXPECT_EQ(readBytes(existing), OldContent);
    EXPECT_EQ(strayFiles({L"existing.hdp", L"picture.wdp"}), Strays());
}

TEST_F(StillPictureWriters, SizeTargetedJpegQuality)
{
    int quality = findHdpQualityForFileSize(picture.get(), nullptr, 2048, true, nullptr);
    EXPECT_GE(quality, 1);
    EXPECT_LE(quality, 100);
    TestCanceller canceller;
    canceller.cancel = true;
    EXPECT_EQ(findHdpQualityForFileSize(picture.get(), nullptr, 2048, true, &canceller), 0);
}

// What an encoder leaves wrong is put right and nothing else changes, whichever way the encoder laid out its file.
TEST(EncodedFileRepair, PutsRightOnlyWhatIsWrong)
{
    const COLORREF green = RGB(0, 0xFF, 0);
    Bytes cut = gifFile('9', false);
    cut.resize(cut.size() - 3);
    struct Case {
        const char* name;
        COLORREF color;
        Bytes given;
        Bytes expected; // empty: the repair fails
    };
    const Case cases[] = {
        {"no extension", green, gifFile('9', false), gifFile('9', false, control(1, 1))},
        {"version 87a", green, gifFile('7', true), gifFile('9', true, control(1, 1))},
        {"extension without the flag", green, gifFile('9', true, control(8, 0)), gifFile('9', true, control(9, 1))},
        {"another colour marked", green, gifFile('9', true, control(1, 2)), gifFile('9', true, control(1, 1))},
        {"a green entry marked", green, gifFile('9', true, control(9, 3)), gifFile('9', true, control(9, 3))},
        {"no entry of the colour", RGB(1, 2, 3), gifFile('9', false), gifFile('9', false)},
        {"cut short", green, cut, {}},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        Bytes bytes = row.given;
        EXPECT_EQ(markGifTransparentColor(bytes, row.color), !row.expected.empty());
        if (!row.expected.empty()) {
            EXPECT_EQ(bytes, row.expected);
        }
    }
    // The BMP's size is checked on real files; bytes of another format are refused.
    EXPECT_FALSE(correctBmpFileSize(cut));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
}
