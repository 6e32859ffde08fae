// The screens' PNG writer: the standard CRC-32 and stored deflate blocks split at 65,535 bytes.
#include "tests/support/PngFile.h"

#include <gtest/gtest.h>

namespace {

uint32_t BigEndian(const std::string& S, size_t At) {
    return static_cast<uint32_t>(static_cast<uint8_t>(S[At]) << 24 | static_cast<uint8_t>(S[At + 1]) << 16 |
                                 static_cast<uint8_t>(S[At + 2]) << 8 | static_cast<uint8_t>(S[At + 3]));
}

TEST(PngFile, CrcIsTheStandardOneAndContinues) {
    EXPECT_EQ(mv::test::Crc32("123456789", 9), 0xCBF43926u); // the check value of CRC-32
    EXPECT_EQ(mv::test::Crc32("6789", 4, mv::test::Crc32("12345", 5)), 0xCBF43926u);
    EXPECT_EQ(mv::test::Crc32("", 0), 0u);
}

TEST(PngFile, ALargePictureSpansStoredBlocksWithTheirLengths) {
    // 120 × 200 pixels: 200 rows of 361 bytes = 72,200 raw bytes, two stored blocks.
    const std::string Png = mv::test::EncodePng(120, 200, [](int Y, uint8_t* Rgb) {
        for (int X = 0; X < 120 * 3; ++X)
            Rgb[X] = static_cast<uint8_t>(X + Y);
    });
    ASSERT_EQ(Png.substr(0, 8), "\x89PNG\r\n\x1a\n");
    ASSERT_EQ(Png.substr(12, 4), "IHDR");
    EXPECT_EQ(BigEndian(Png, 16), 120u);
    EXPECT_EQ(BigEndian(Png, 20), 200u);
    EXPECT_EQ(BigEndian(Png, 29), mv::test::Crc32(Png.data() + 12, 17));
    const size_t Idat = 33;
    ASSERT_EQ(Png.substr(Idat + 4, 4), "IDAT");
    const size_t Zlib = Idat + 8;
    EXPECT_EQ(Png.substr(Zlib, 2), "\x78\x01");
    const auto Byte = [&](size_t At) { return static_cast<uint8_t>(Png[At]); };
    // The first block: not the last, 65,535 bytes; the second: the last, the 6,665 left.
    EXPECT_EQ(Byte(Zlib + 2), 0);
    EXPECT_EQ(Byte(Zlib + 3) | Byte(Zlib + 4) << 8, 65535);
    EXPECT_EQ(Byte(Zlib + 5) | Byte(Zlib + 6) << 8, 0);
    EXPECT_EQ(Byte(Zlib + 7), 0) << "row 0 has no filter";
    EXPECT_EQ(Byte(Zlib + 8), 0);
    EXPECT_EQ(Byte(Zlib + 9), 1);
    const size_t Second = Zlib + 7 + 65535;
    EXPECT_EQ(Byte(Second), 1);
    EXPECT_EQ(Byte(Second + 1) | Byte(Second + 2) << 8, 72200 - 65535);
    EXPECT_EQ((Byte(Second + 3) | Byte(Second + 4) << 8), 0xFFFF ^ (72200 - 65535));
    EXPECT_EQ(BigEndian(Png, Idat), 2 + 5 + 65535 + 5 + (72200 - 65535) + 4u);
    EXPECT_EQ(Png.substr(Png.size() - 8, 4), "IEND");
}

} // namespace
