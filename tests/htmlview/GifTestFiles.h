// Small GIF files built byte by byte for the decoder's tests and the fuzz seeds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TGifWriter {
public:
    // Signature, logical screen and, when globalBits > 0, a global table of 2^globalBits grey-ish
    // colours (entry i = (i, 255 - i, i * 7)).
    TGifWriter(int width, int height, int globalBits, const char* signature = "GIF89a");

    void GraphicControl(int disposal, int delay, int transparentIndex);
    void Netscape(int loops);
    void Comment(const std::string& text);
    // An image of the given pixels (row by row), encoded with literal codes only and a clear code
    // before the table would grow, so every decoder reads it. localBits > 0 adds a local table.
    void Image(int left, int top, int width, int height, const std::vector<uint8_t>& pixels,
               bool interlaced = false, int minCodeSize = 8, int localBits = 0);
    // An image descriptor followed by the given code size byte and raw LZW bytes (split into
    // sub-blocks of up to 255 bytes).
    void RawImage(int left, int top, int width, int height, uint8_t packed, int minCodeSize,
                  const std::string& lzw);
    void Raw(const std::string& bytes) { bytes_ += bytes; }
    void Trailer() { bytes_ += ';'; }
    const std::string& Bytes() const { return bytes_; }

private:
    void Word(int v);
    std::string bytes_;
};

// Packs codes of the given widths into LZW bytes, least significant bit first.
std::string PackCodes(const std::vector<std::pair<int, int>>& codesAndWidths);
// The rows of an interlaced picture in the order they are stored.
std::vector<uint8_t> InterlaceRows(const std::vector<uint8_t>& pixels, int width, int height);
