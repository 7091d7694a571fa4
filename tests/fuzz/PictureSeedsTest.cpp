// The damage to PNG files mends each chunk's checksum, so that the decoders read on into the damage: the
// checksum must be the one the platform's encoder writes.
#include <gtest/gtest.h>
#include "PictureSeeds.h"
#include "support/ComTesting.h"

TEST(PictureSeeds, PngChecksumsAreThoseTheEncoderWrites)
{
    ComApartment apartment;
    int chunks = 0;
    for (const NamedBytes& seed : pictureSeeds()) {
        if (!seed.name.ends_with(".png"))
            continue;
        const Bytes& png = seed.bytes;
        for (size_t at = 8; at + 12 <= png.size(); at += 12 + bigEndian32(png, at), ++chunks) {
            size_t length = bigEndian32(png, at);
            ASSERT_LE(at + 12 + length, png.size()) << seed.name;
            EXPECT_EQ(crc32Of(&png[at + 4], length + 4), bigEndian32(png, at + 8 + length)) << seed.name << " " << at;
        }
    }
    EXPECT_GE(chunks, 15);
}
