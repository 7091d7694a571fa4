#pragma once
// Screen-saver files made by the real builder, with the player that the built korvilane.exe carries, from
// pictures the tests draw; and what such a file holds, read as another program would. Test programs that use
// this are made with korvilane_add_test_program(... PROGRAM), start GDI+ and initialise COM.
#include <windows.h>
#include <gdiplus.h>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>
#include "support/ComTesting.h"
#include "support/ProgramCopy.h"
#include "foundation/ScreenSaverFile.h"
#include "imaging/ComStream.h"
#include "imaging/gdipImageIO.h"
#include "imaging/gdiplusStartup.h"
#include "jobs/LogMessages.h"
#include "foundation/MessageWriter.h"
#include "support/ScratchFolder.h"
#include "jobs/ScreenSaverBuilder.h"
#include "settings/Messages.h"

// One colour with a white band along the top, so that a picture turned over shows it.
inline bool writeBandedPicture(const std::wstring& path, int width, int height, Gdiplus::Color fill)
{
    Gdiplus::Bitmap bitmap(width, height, PixelFormat24bppRGB);
    Gdiplus::Graphics(&bitmap).Clear(fill);
    Gdiplus::SolidBrush white(Gdiplus::Color(255, 255, 255, 255));
    Gdiplus::Graphics(&bitmap).FillRectangle(&white, 0, 0, width, height / 4);
    return gdipSaveToFile(path.c_str(), L"image/png", &bitmap, nullptr);
}

class CollectedLog : public MessageWriter {
public:
    void write(const wstring& line) override { text += line.buffer(); }
    void write(const astring& line) override { text += wstring(line).buffer(); }
    std::wstring text;
};

inline int buildSaver(const std::wstring& target, const std::vector<std::wstring>& pictures, int limit = 800,
                      MessageWriter* log = nullptr, ICanceller* canceller = nullptr)
{
    HMODULE player = LoadLibraryExW(builtKorvilaneProgram().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ScreenSaverBuilder builder(limit, log, canceller, player);
    wstringArray list;
    for (const std::wstring& picture : pictures)
        list.add(picture.c_str());
    return builder.build(target.c_str(), list);
}

class SaverFileContents {
public:
    explicit SaverFileContents(const std::wstring& path)
        : module(LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE))
    {
    }
    SaverFileContents(const SaverFileContents&) = delete;
    SaverFileContents& operator=(const SaverFileContents&) = delete;
    ~SaverFileContents() { FreeLibrary(module); }
    HMODULE get() const { return module; }

    // "" when there is no such resource.
    std::string resource(const wchar_t* type, int id, WORD language = ScreenSaverFile::Language) const
    {
        HRSRC found = FindResourceExW(module, type, MAKEINTRESOURCEW(id), language);
        return found ? std::string(static_cast<const char*>(LockResource(LoadResource(module, found))),
                                   SizeofResource(module, found))
                     : "";
    }
    std::string picture(int index) const
    {
        return resource(ScreenSaverFile::pictureType(index).name, ScreenSaverFile::pictureId(index));
    }
    std::string countBlock() const { return resource(RT_STRING, ScreenSaverFile::CountBlockId); }
    // {0, 0} when the picture does not decode.
    SIZE pictureSize(int index) const
    {
        std::string bytes = picture(index);
        IStream* stream = createMemoryStream(bytes.data(), static_cast<UINT>(bytes.size()));
        std::unique_ptr<Gdiplus::Bitmap> bitmap(gdipBitmapFromStream(stream));
        stream->Release();
        return bitmap ? SIZE{static_cast<LONG>(bitmap->GetWidth()), static_cast<LONG>(bitmap->GetHeight())}
                      : SIZE{0, 0};
    }

private:
    HMODULE module;
};

// GDI+ and the message tables for a suite of builds, COM and a scratch folder for each test.
class ScreenSaverFilesTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(gdiplusStartup());
        ComApartment apartment;
        loadMessages(GetModuleHandleW(nullptr));
        loadLogMessages(GetModuleHandleW(nullptr));
    }
    static void TearDownTestSuite() { gdiplusShutdown(); }

    std::wstring path(const wchar_t* name) const { return scratch.file(name); }
    // A new picture file each time.
    std::wstring picture(int width, int height, Gdiplus::Color color = Gdiplus::Color(255, 200, 30, 30))
    {
        std::wstring file = path((L"p" + std::to_wstring(made++) + L".png").c_str());
        EXPECT_TRUE(writeBandedPicture(file, width, height, color));
        return file;
    }

    ComApartment apartment;
    ScratchFolder scratch{L"korvilane-saver"};
    int made = 0;
};
