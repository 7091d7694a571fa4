#include "PictureFiles.h"
#include "foundation/wstringArray.h"
#include "imaging/PictureProperties.h"
#include "imaging/WicMetadataQueryReader.h"
#include "imaging/WicShotDateReader.h"

namespace {

class PictureProperties : public WicTest {
protected:
    void SetUp() override
    {
        WicTest::SetUp();
        writeSamples(folder);
    }

    bool read(const wchar_t* name)
    {
        return readPictureProperties(folder.file(name).c_str(), metadata, bits, frames, picture, thumbnail);
    }

    ScratchFolder folder{L"korvilane-properties"};
    KvpReaderSettings lent;
    PictureMetadata metadata;
    WORD bits = 0;
    UINT frames = 0;
    Dib picture;
    Dib thumbnail;
};

// Answers one query with a FILETIME, or nothing at all.
class DateReader : public IWICMetadataQueryReader {
public:
    explicit DateReader(const FILETIME* taken) : taken(taken) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** result) override
    {
        *result = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetContainerFormat(GUID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetLocation(UINT, WCHAR*, UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetEnumerator(IEnumString**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMetadataByName(LPCWSTR name, PROPVARIANT* value) override
    {
        if (!taken || lstrcmpW(name, L"System.Photo.DateTaken") != 0)
            return WINCODEC_ERR_PROPERTYNOTFOUND;
        value->vt = VT_FILETIME;
        value->filetime = *taken;
        return S_OK;
    }

private:
    const FILETIME* taken;
};

} // namespace

TEST_F(PictureProperties, AJpegWithoutExifShowsDashesAndAHundredPixelThumbnail)
{
    ASSERT_TRUE(read(L"24.jpg"));
    EXPECT_EQ(metadata.cameraModel, L"-");
    EXPECT_EQ(metadata.cameraMaker, L"-");
    EXPECT_FALSE(metadata.hasDateTaken);
    EXPECT_FLOAT_EQ(metadata.dpiX, SampleDpiX);
    EXPECT_FLOAT_EQ(metadata.dpiY, SampleDpiY);
    EXPECT_EQ(bits, 24);
    EXPECT_EQ(frames, 1u);
    EXPECT_EQ(picture.bitCount(), 24);
    EXPECT_EQ(picture.width(), SampleWidth);
    EXPECT_EQ(thumbnail.width(), 100);
    EXPECT_EQ(thumbnail.height(), SampleHeight * 100 / SampleWidth);

    // 400 x 100 gives 100 x 25; a one-pixel sliver still gets a thumbnail.
    writeWicFile(folder.file(L"wide.png"), GUID_ContainerFormatPng,
                 {makeRawBitmap(400, 100, GUID_WICPixelFormat24bppBGR, [](BYTE*, UINT) {})});
    ASSERT_TRUE(read(L"wide.png"));
    EXPECT_EQ(thumbnail.width(), 100);
    EXPECT_EQ(thumbnail.height(), 25);
    writeWicFile(folder.file(L"sliver.png"), GUID_ContainerFormatPng,
                 {makeRawBitmap(300, 1, GUID_WICPixelFormat24bppBGR, [](BYTE*, UINT) {})});
    ASSERT_TRUE(read(L"sliver.png"));
    EXPECT_EQ(thumbnail.height(), 1);
}

TEST_F(PictureProperties, DepthFramesAndPicturesOfOtherFormats)
{
    ASSERT_TRUE(read(L"3.tif"));
    EXPECT_EQ(frames, 3u);
    EXPECT_EQ(bits, 24);
    ASSERT_TRUE(read(L"64.png"));
    EXPECT_EQ(bits, 64);
    EXPECT_EQ(picture.bitCount(), 24);
    // A depth that a BMP cannot hold becomes 24 bits.
    writeWicFile(folder.file(L"grey.png"), GUID_ContainerFormatPng,
                 {makeRawBitmap(9, 5, GUID_WICPixelFormat16bppGray, [](BYTE*, UINT) {})});
    ASSERT_TRUE(read(L"grey.png"));
    EXPECT_EQ(bits, 16);
    EXPECT_EQ(picture.bitCount(), 24);
    EXPECT_EQ(thumbnail.height(), 55);
    // BMP frames have no metadata reader: the WIC decoder still gives the picture.
    ASSERT_TRUE(read(L"8.bmp"));
    EXPECT_EQ(bits, 8);
    EXPECT_EQ(picture.bitCount(), 8);
    EXPECT_EQ(metadata.cameraModel, L"-");
    ASSERT_TRUE(read(L"24.kvp"));
    EXPECT_EQ(picture.width(), SampleWidth);
    EXPECT_EQ(thumbnail.width(), 100);

    writeBytes(folder.file(L"garbage.jpg"), std::vector<BYTE>(200, 0x33));
    expectCode(ErrorCode::InvalidState, [&] { read(L"garbage.jpg"); });
    lent.setting.spiPaths.removeAll();
    expectCode(ErrorCode::InvalidState, [&] { read(L"24.kvp"); });
}

TEST_F(PictureProperties, ShootingDatesAreLocalTimesOfTheMetadata)
{
    SYSTEMTIME universal = {2021, 3, 0, 14, 15, 9, 26, 0};
    FILETIME taken;
    ASSERT_TRUE(SystemTimeToFileTime(&universal, &taken));
    DateReader dated(&taken);
    DateTime date;
    ASSERT_TRUE(readDateTaken(WIC::MetadataQueryReader(&dated), date));
    FILETIME local;
    SYSTEMTIME expected;
    FileTimeToLocalFileTime(&taken, &local);
    FileTimeToSystemTime(&local, &expected);
    EXPECT_EQ(date.toString(), DateTime(expected).toString());
    DateReader undated(nullptr);
    EXPECT_FALSE(readDateTaken(WIC::MetadataQueryReader(&undated), date));

    WicShotDateReader reader;
    EXPECT_FALSE(reader.readDateTaken(folder.file(L"24.jpg").c_str(), date));
    // A BMP frame holds no metadata: no shooting date either.
    EXPECT_FALSE(reader.readDateTaken(folder.file(L"8.bmp").c_str(), date));
    // Nor does a file that no decoder takes, or none at all: whether it is a picture is for its loaders to tell.
    writeBytes(folder.file(L"text.png"), std::vector<BYTE>(200, 'a'));
    EXPECT_FALSE(reader.readDateTaken(folder.file(L"text.png").c_str(), date));
    EXPECT_FALSE(reader.readDateTaken(folder.file(L"missing.jpg").c_str(), date));
}
