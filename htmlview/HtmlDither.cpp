// Colour reduction: the display palette, the cached lookup and the error diffusion.
#include "htmlview/HtmlDither.h"

#include <algorithm>
#include <cstdlib>

int DisplayColorBitsFor(int bitsTimesPlanes) {
    if (bitsTimesPlanes < 5) return 4;
    if (bitsTimesPlanes > 8) return 24;
    return 8;
}

std::array<uint32_t, 256> BuildDisplayPaletteEntries(const std::array<uint32_t, 256>& systemEntries) {
    std::array<uint32_t, 256> out = systemEntries;
    static constexpr uint32_t kLevels[6] = {55, 115, 165, 205, 235, 255};
    int at = 10;
    for (uint32_t b : kLevels)
        for (uint32_t g : kLevels)
            for (uint32_t r : kLevels)
                if (r != 255 || g != 255 || b != 255) out[at++] = r | (g << 8) | (b << 16);
    for (uint32_t i = 1; i <= 24; ++i) {
        if (i == 7 || i == 15 || i == 21) continue;
        const uint32_t v = 5 * i + 130;
        out[at++] = v | (v << 8) | (v << 16);
    }
    return out;
}

TFastColorLookup::TFastColorLookup(const std::vector<uint32_t>& palette)
    : palette_(palette.begin(), palette.begin() + std::min<size_t>(palette.size(), 256)),
      cache_(32768, 65535) {
    count_ = static_cast<int>(palette_.size());
    for (int i = 0; i < count_; ++i) {
        const uint32_t c = palette_[i];
        uint16_t& slot = cache_[Cell(c & 255, (c >> 8) & 255, (c >> 16) & 255)];
        if (slot == 65535) slot = static_cast<uint16_t>(i);
    }
}

uint8_t TFastColorLookup::Lookup(int red, int green, int blue, int& r, int& g, int& b) {
    uint16_t& slot = cache_[Cell(red, green, blue)];
    if (slot == 65535) {
        int best = 196608;
        slot = 0;
        for (int i = 0; i < count_; ++i) {
            const uint32_t c = palette_[i];
            const int sum = std::abs(static_cast<int>(c & 255) - red) +
                            std::abs(static_cast<int>((c >> 8) & 255) - green) +
                            std::abs(static_cast<int>((c >> 16) & 255) - blue);
            if (sum < best) {
                best = sum;
                slot = static_cast<uint16_t>(i);
            }
        }
    }
    const uint32_t c = count_ > 0 ? palette_[slot] : 0;
    r = c & 255, g = (c >> 8) & 255, b = (c >> 16) & 255;
    return static_cast<uint8_t>(slot);
}

uint8_t TDitherEngine::Dither(int red, int green, int blue, int& r, int& g, int& b) {
    const uint8_t index = lookup_.Lookup(red, green, blue, r, g, b);
    Column += Direction;
    return index;
}

TFloydSteinbergEngine::TFloydSteinbergEngine(TColorLookup& lookup, int width) : TDitherEngine(lookup, width) {
    for (TChannel& c : channels_)
        c.row.assign(static_cast<size_t>(width) + 2, 0);
}

uint8_t TFloydSteinbergEngine::Dither(int red, int green, int blue, int& r, int& g, int& b) {
    const int input[3] = {red, green, blue};
    for (int i = 0; i < 3; ++i) {
        TChannel& c = channels_[i];
        c.E = std::clamp(input[i] + (c.row[pointer_ + Direction] + c.E + 8) / 16, 0, 255);
    }
    const uint8_t index = TDitherEngine::Dither(channels_[0].E, channels_[1].E, channels_[2].E, r, g, b);
    const int chosen[3] = {r, g, b};
    for (int i = 0; i < 3; ++i) {
        TChannel& c = channels_[i];
        const int err = c.E - chosen[i];
        c.row[pointer_] = c.E1 + 3 * err;
        c.E1 = c.E0 + 5 * err;
        c.E0 = err;
        c.E = 7 * err;
    }
    pointer_ += Direction;
    return index;
}

void TFloydSteinbergEngine::NextLine() {
    for (TChannel& c : channels_) {
        c.row[pointer_] = c.E1;
        c.E = c.E0 = c.E1 = 0;
    }
    Direction = -Direction;
    Column = Direction == 1 ? 0 : Width - 1;
    pointer_ = Direction == 1 ? 0 : Width + 1;
}

std::vector<uint8_t> ReduceToPalette(const TPixelImage& image, const std::vector<uint32_t>& palette) {
    std::vector<uint8_t> out(static_cast<size_t>(std::max(image.Width, 0)) * std::max(image.Height, 0), 0);
    if (image.Empty() || palette.empty()) return out;
    TFastColorLookup lookup(palette);
    TFloydSteinbergEngine engine(lookup, image.Width);
    int r, g, b;
    for (int y = 0; y < image.Height; ++y) {
        const uint8_t* src = image.Row(y);
        uint8_t* dst = out.data() + static_cast<size_t>(y) * image.Width;
        while (engine.Column >= 0 && engine.Column < image.Width) {
            const int x = engine.Column;
            const uint8_t* p = src + static_cast<size_t>(x) * 3;
            dst[x] = engine.Dither(p[2], p[1], p[0], r, g, b);
        }
        engine.NextLine();
    }
    return out;
}
