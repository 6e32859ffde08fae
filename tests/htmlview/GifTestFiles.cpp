// Builders of small GIF files for the tests.
#include "GifTestFiles.h"

TGifWriter::TGifWriter(int width, int height, int globalBits, const char* signature) {
    bytes_ = signature;
    Word(width);
    Word(height);
    bytes_ += static_cast<char>(globalBits > 0 ? (0x80 | 0x70 | (globalBits - 1)) : 0);
    bytes_ += '\0';
    bytes_ += '\0';
    for (int i = 0; globalBits > 0 && i < (1 << globalBits); ++i) {
        bytes_ += static_cast<char>(i);
        bytes_ += static_cast<char>(255 - i);
        bytes_ += static_cast<char>(i * 7);
    }
}

void TGifWriter::Word(int v) {
    bytes_ += static_cast<char>(v & 255);
    bytes_ += static_cast<char>((v >> 8) & 255);
}

void TGifWriter::GraphicControl(int disposal, int delay, int transparentIndex) {
    bytes_ += "!\xF9\x04";
    bytes_ += static_cast<char>((disposal << 2) | (transparentIndex >= 0 ? 1 : 0));
    Word(delay);
    bytes_ += static_cast<char>(transparentIndex >= 0 ? transparentIndex : 0);
    bytes_ += '\0';
}

void TGifWriter::Netscape(int loops) {
    bytes_ += "!\xFF\x0BNETSCAPE2.0\x03\x01";
    Word(loops);
    bytes_ += '\0';
}

void TGifWriter::Comment(const std::string& text) {
    bytes_ += "!\xFE";
    bytes_ += static_cast<char>(text.size());
    bytes_ += text;
    bytes_ += '\0';
}

void TGifWriter::RawImage(int left, int top, int width, int height, uint8_t packed, int minCodeSize,
                          const std::string& lzw) {
    bytes_ += ',';
    Word(left);
    Word(top);
    Word(width);
    Word(height);
    bytes_ += static_cast<char>(packed);
    if (packed & 0x80)
        for (int i = 0; i < (1 << ((packed & 7) + 1)); ++i)
            bytes_ += std::string{char(i * 3), char(i), char(99)};
    bytes_ += static_cast<char>(minCodeSize);
    for (size_t at = 0; at < lzw.size(); at += 255) {
        const std::string block = lzw.substr(at, 255);
        bytes_ += static_cast<char>(block.size());
        bytes_ += block;
    }
    bytes_ += '\0';
}

void TGifWriter::Image(int left, int top, int width, int height, const std::vector<uint8_t>& pixels,
                       bool interlaced, int minCodeSize, int localBits) {
    const int clear = 1 << minCodeSize;
    const int width0 = minCodeSize + 1;
    std::vector<std::pair<int, int>> codes{{clear, width0}};
    const std::vector<uint8_t> stored = interlaced ? InterlaceRows(pixels, width, height) : pixels;
    // After a clear code the first literal adds nothing; each later one adds an entry. Clear again
    // before the entries reach the next code width.
    const int perClear = clear > 3 ? clear - 2 : 1;
    int sinceClear = 0;
    for (uint8_t p : stored) {
        if (sinceClear == perClear) {
            codes.push_back({clear, width0});
            sinceClear = 0;
        }
        codes.push_back({p & (clear - 1), width0});
        ++sinceClear;
    }
    codes.push_back({clear + 1, width0});
    uint8_t packed = interlaced ? 0x40 : 0;
    if (localBits > 0) packed |= 0x80 | (localBits - 1);
    RawImage(left, top, width, height, packed, minCodeSize, PackCodes(codes));
}

std::string PackCodes(const std::vector<std::pair<int, int>>& codesAndWidths) {
    std::string out;
    uint32_t bits = 0;
    int count = 0;
    for (auto [code, width] : codesAndWidths) {
        bits |= static_cast<uint32_t>(code) << count;
        count += width;
        while (count >= 8) {
            out += static_cast<char>(bits & 255);
            bits >>= 8;
            count -= 8;
        }
    }
    if (count > 0) out += static_cast<char>(bits & 255);
    return out;
}

std::vector<uint8_t> InterlaceRows(const std::vector<uint8_t>& pixels, int width, int height) {
    std::vector<uint8_t> out;
    const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = start[pass]; y < height; y += step[pass])
            out.insert(out.end(), pixels.begin() + y * width, pixels.begin() + (y + 1) * width);
    return out;
}
