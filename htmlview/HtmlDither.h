// Colour reduction for palette displays: the display palette, a nearest-colour lookup cached per
// 15-bit colour, and Floyd-Steinberg error diffusion in serpentine order. Free of windows: colours
// are 0x00BBGGRR values, pictures TPixelImage buffers.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "htmlview/HtmlImageTypes.h"

// DisplayColorBits from the screen's bits per pixel times planes: below 5 -> 4, above 8 -> 24, else 8.
int DisplayColorBitsFor(int bitsTimesPlanes);

// The display palette of 8-bit screens made from the system palette: entries 0-9 and 246-255 keep
// the system colours; 10-224 hold a 6 x 6 x 6 cube of the levels 55, 115, 165, 205, 235, 255 (blue
// slowest, red fastest, white left out); 225-245 greys from 135 to 250 in steps of 5 without 165,
// 205 and 235.
std::array<uint32_t, 256> BuildDisplayPaletteEntries(const std::array<uint32_t, 256>& systemEntries);

// Palette lookups: the index of the palette colour chosen for a colour, and that colour.
class TColorLookup {
public:
    virtual ~TColorLookup() = default;
    int Count() const { return count_; }
    virtual uint8_t Lookup(int red, int green, int blue, int& r, int& g, int& b) = 0;

protected:
    int count_ = 0;
};

// The nearest palette colour by the sum of channel differences, remembered per 15-bit colour
// cell: the first colour looked up in a cell decides the index for the whole cell, and a palette
// colour is the answer for its own cell.
class TFastColorLookup : public TColorLookup {
public:
    // At most 256 entries are used.
    explicit TFastColorLookup(const std::vector<uint32_t>& palette);
    uint8_t Lookup(int red, int green, int blue, int& r, int& g, int& b) override;

private:
    static int Cell(int red, int green, int blue) {
        return (red >> 3) | ((green >> 3) << 5) | ((blue >> 3) << 10);
    }
    std::vector<uint32_t> palette_;
    std::vector<uint16_t> cache_;
};

class TDitherEngine {
public:
    TDitherEngine(TColorLookup& lookup, int width) : lookup_(lookup), Width(width) {}
    virtual ~TDitherEngine() = default;
    // The palette index for the pixel at Column; moves Column on by Direction.
    virtual uint8_t Dither(int red, int green, int blue, int& r, int& g, int& b);
    virtual void NextLine() {}

    int Direction = 1;
    int Column = 0;

protected:
    TColorLookup& lookup_;

public:
    const int Width;
};

// Error diffusion: 7/16 of a pixel's error to the next pixel in the scan direction, 3/16, 5/16 and
// 1/16 to the row below (behind, under, ahead). Rows alternate direction. The error rows keep
// column x at index x + 1, with one spare element at each end.
class TFloydSteinbergEngine : public TDitherEngine {
public:
    TFloydSteinbergEngine(TColorLookup& lookup, int width);
    uint8_t Dither(int red, int green, int blue, int& r, int& g, int& b) override;
    void NextLine() override;

private:
    struct TChannel {
        std::vector<int> row;
        int E = 0, E0 = 0, E1 = 0;
    };
    TChannel channels_[3];
    int pointer_ = 0;
};

// Reduces a picture to indexes into the palette, one byte per pixel, top row first, with
// Floyd-Steinberg diffusion. An empty palette gives all zeros.
std::vector<uint8_t> ReduceToPalette(const TPixelImage& image, const std::vector<uint32_t>& palette);
