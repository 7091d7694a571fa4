// Truncated and corrupted files of every format must fail cleanly through every loader: null, false or an
// Exception, or else a well-formed picture; never a crash, a leak of the metadata reader or a half-built result.
#include <algorithm>
#include <memory>
#include "PictureFiles.h"
#include "foundation/Decimal.h"
#include "foundation/wstringArray.h"
#include "imaging/PictureProperties.h"
#include "imaging/pictureLoading.h"

namespace {

std::vector<std::vector<BYTE>> damaged(const std::vector<BYTE>& bytes)
{
    std::vector<std::vector<BYTE>> result;
    size_t size = bytes.size();
    for (size_t length : {size_t(0), size_t(1), size_t(8), size_t(16), size_t(26), size_t(33), size_t(54), size / 4,
                          size / 2, size * 3 / 4, size - 1})
        if (length < size)
            result.emplace_back(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
    // Flipped bits, first in the headers, then anywhere.
    UINT32 seed = 2024;
    for (int round = 0; round < 12; ++round) {
        std::vector<BYTE> changed(bytes);
        size_t range = round < 6 ? std::min<size_t>(size, 64) : size;
        for (int flip = 0; flip <= round % 4; ++flip) {
            seed = seed * 1664525 + 1013904223;
            changed[seed % range] ^= static_cast<BYTE>((seed >> 24) | 1);
        }
        result.push_back(changed);
    }
    return result;
}

void expectWellFormed(Gdiplus::Bitmap* bitmap)
{
    ASSERT_GT(bitmap->GetWidth(), 0u);
    ASSERT_GT(bitmap->GetHeight(), 0u);
    UINT32 last = pixelAt(bitmap, static_cast<int>(bitmap->GetWidth()) - 1, static_cast<int>(bitmap->GetHeight()) - 1);
    EXPECT_NE(last, 0xDEADBEEFu);
}

void expectWellFormed(const Dib& dib)
{
    ASSERT_FALSE(dib.isEmpty());
    EXPECT_GT(dib.width(), 0);
    EXPECT_GT(dib.height(), 0);
    EXPECT_EQ(dib.imageSize(), dib.stride() * dib.height());
}

class PictureFuzz : public WicTest {
protected:
    void loadEveryWay(const wchar_t* path)
    {
        IWICMetadataBlockReader* reader = nullptr;
        WORD bits = 0;
        Decimal dpiX(0);
        Decimal dpiY(0);
        try {
            BitmapPtr bitmap(loadBitmap(path, &reader, &bits, &dpiX, &dpiY));
            if (bitmap) {
                EXPECT_EQ(bitmap->GetPixelFormat(), PixelFormat32bppARGB);
                expectWellFormed(bitmap.get());
            }
        } catch (const Exception&) {
            EXPECT_EQ(reader, nullptr);
        }
        if (reader)
            reader->Release();

        Dib dib;
        try {
            if (loadDib(path, dib))
                expectWellFormed(dib);
            else
                EXPECT_TRUE(dib.isEmpty());
        } catch (const Exception&) {
            // Only a file that cannot be opened throws, and these can.
            ADD_FAILURE() << "loadDib threw";
        }

        std::unique_ptr<IImage> image(loadImage(path, true, nullptr, 0));
        if (image) {
            EXPECT_FALSE(image->isEmpty());
            EXPECT_GT(image->width(), 0);
        }

        PictureMetadata metadata;
        UINT frames = 0;
        Dib picture;
        Dib thumbnail;
        try {
            if (readPictureProperties(path, metadata, bits, frames, picture, thumbnail))
                expectWellFormed(picture);
        } catch (const Exception&) {
            // Nothing reads it.
        }
    }

    ScratchFolder folder{L"korvilane-picture-fuzz"};
    KvpReaderSettings lent;
};

} // namespace

TEST_F(PictureFuzz, DamagedFilesOfEveryFormatFailCleanly)
{
    ScratchFolder originals(L"korvilane-picture-fuzz-originals");
    for (const SamplePicture& sample : writeSamples(originals)) {
        SCOPED_TRACE(testing::PrintToString(sample.name));
        std::wstring path = folder.file((L"damaged-" + sample.name).c_str());
        int variant = 0;
        for (const std::vector<BYTE>& bytes : damaged(readBytes(sample.path))) {
            SCOPED_TRACE(variant++);
            writeBytes(path, bytes);
            loadEveryWay(path.c_str());
            if (HasFatalFailure())
                return;
        }
    }
}
