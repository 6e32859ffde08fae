// Colour reduction: the display palette, the cached nearest-colour lookup and error diffusion.
#include <gtest/gtest.h>

#include "htmlview/HtmlDither.h"

namespace {
TPixelImage Filled(int width, int height, uint32_t color) {
    TPixelImage image;
    image.Allocate(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = image.Row(y) + x * 3;
            p[0] = static_cast<uint8_t>(color >> 16), p[1] = static_cast<uint8_t>(color >> 8),
            p[2] = static_cast<uint8_t>(color);
        }
    return image;
}
} // namespace

TEST(Dither, DisplayColorBits) {
    const std::pair<int, int> cases[] = {{1, 4}, {4, 4}, {5, 8}, {8, 8}, {9, 24}, {16, 24}, {32, 24}};
    for (auto [bits, expected] : cases)
        EXPECT_EQ(DisplayColorBitsFor(bits), expected) << bits;
}

TEST(Dither, DisplayPaletteKeepsSystemColoursAroundCubeAndGreys) {
    std::array<uint32_t, 256> system;
    for (int i = 0; i < 256; ++i)
        system[i] = 0x010101u * static_cast<uint32_t>(i) ^ 0x00AA00u;
    const std::array<uint32_t, 256> p = BuildDisplayPaletteEntries(system);
    for (int i : {0, 9, 246, 255})
        EXPECT_EQ(p[i], system[i]) << i;
    EXPECT_EQ(p[10], 0x373737u);  // 55, 55, 55
    EXPECT_EQ(p[11], 0x373773u);  // red moves fastest: 115
    EXPECT_EQ(p[16], 0x377337u);  // then green
    EXPECT_EQ(p[224], 0xFFFFEBu); // the cube's last entry: white left out
    EXPECT_EQ(p[225], 0x878787u); // greys 135 ..
    EXPECT_EQ(p[245], 0xFAFAFAu); // .. 250
    for (int i = 225; i <= 245; ++i) {
        const uint32_t v = p[i] & 255;
        EXPECT_TRUE(v != 165 && v != 205 && v != 235) << i;
    }
}

TEST(Dither, LookupCachesPerFifteenBitCell) {
    // 0x000008 and 0x000009 share a cell with 0x00000F; the first looked up decides for all.
    TFastColorLookup lookup({0x000000, 0x00000F, 0xFFFFFF});
    int r, g, b;
    EXPECT_EQ(lookup.Lookup(0x0F, 0, 0, r, g, b), 1); // a palette colour is its own cell's answer
    EXPECT_EQ(r, 0x0F);
    EXPECT_EQ(lookup.Lookup(0x09, 0, 0, r, g, b), 1);
    TFastColorLookup fresh({0x000000, 0x00000F, 0xFFFFFF});
    EXPECT_EQ(fresh.Lookup(0x10, 0, 0, r, g, b), 1); // nearest: 15 is closer than 0
    EXPECT_EQ(fresh.Lookup(0x17, 0, 0, r, g, b), 1);
    EXPECT_EQ(fresh.Lookup(0xF9, 0xF9, 0xF9, r, g, b), 2);
    TFastColorLookup firstWins({0x000000, 0x000000});
    EXPECT_EQ(firstWins.Lookup(0, 0, 0, r, g, b), 0);
}

TEST(Dither, PurePaletteColoursPassUnchangedAtEveryWidth) {
    const std::vector<uint32_t> palette = {0x000000, 0xFFFFFF, 0x0000FF, 0x00FF00, 0xFF0000};
    for (int width : {1, 2, 3, 17}) {
        SCOPED_TRACE(width);
        TPixelImage image;
        image.Allocate(width, 5);
        std::vector<uint8_t> expected;
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < width; ++x) {
                const int index = (x * 3 + y) % 5;
                const uint32_t c = palette[index];
                uint8_t* p = image.Row(y) + x * 3;
                p[0] = static_cast<uint8_t>(c >> 16), p[1] = static_cast<uint8_t>(c >> 8),
                p[2] = static_cast<uint8_t>(c);
                expected.push_back(static_cast<uint8_t>(index));
            }
        EXPECT_EQ(ReduceToPalette(image, palette), expected);
    }
}

TEST(Dither, ErrorDiffusionKeepsTheAverageBrightness) {
    // Grey 64 and 128 and 200 on black and white only: the share of white pixels follows the grey.
    // (The edges lose error to the spare elements, so narrow pictures only have to stay in bounds,
    // which the sanitizers check, and keep the colours in the palette.)
    for (int width : {1, 2}) {
        const std::vector<uint8_t> out = ReduceToPalette(Filled(width, 9, 0x808080), {0x000000, 0xFFFFFF});
        ASSERT_EQ(out.size(), static_cast<size_t>(width) * 9);
        for (uint8_t i : out)
            EXPECT_LE(i, 1);
    }
    for (int width : {40, 41}) {
        for (uint32_t grey : {64u, 128u, 200u}) {
            SCOPED_TRACE(std::to_string(width) + " " + std::to_string(grey));
            const TPixelImage image = Filled(width, 40, grey * 0x010101u);
            const std::vector<uint8_t> out = ReduceToPalette(image, {0x000000, 0xFFFFFF});
            double white = 0;
            for (uint8_t i : out)
                white += i;
            EXPECT_NEAR(white / out.size() * 255, grey, 8.0);
            // Diffusion, not thresholding: both colours appear.
            EXPECT_GT(white, 0);
            EXPECT_LT(white, out.size());
        }
    }
}

TEST(Dither, EmptyPictureOrPalette) {
    EXPECT_TRUE(ReduceToPalette(TPixelImage{}, {0xFFFFFF}).empty());
    EXPECT_EQ(ReduceToPalette(Filled(3, 2, 0x123456), {}), std::vector<uint8_t>(6, 0));
}
