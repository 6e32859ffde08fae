// A small PNG writer (stored deflate blocks) for the tests' screen pictures.
#include "ImageScreens.h"

#include <cstdint>
#include <filesystem>
#include <fstream>

namespace {
uint32_t Crc(const std::string& bytes) {
    uint32_t crc = 0xFFFFFFFF;
    for (unsigned char c : bytes) {
        crc ^= c;
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

void Be32(std::string& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((v >> shift) & 255);
}

void Chunk(std::string& out, const char* type, const std::string& data) {
    Be32(out, static_cast<uint32_t>(data.size()));
    const std::string body = std::string(type, 4) + data;
    out += body;
    Be32(out, Crc(body));
}
} // namespace

void SaveScreenPng(const std::string& name, const TPixelImage& image) {
    std::string raw;
    for (int y = 0; y < image.Height; ++y) {
        raw += '\0';
        const uint8_t* row = image.Row(y);
        for (int x = 0; x < image.Width; ++x)
            raw += {char(row[x * 3 + 2]), char(row[x * 3 + 1]), char(row[x * 3])};
    }
    std::string z = "\x78\x01";
    uint32_t a = 1, b = 0;
    for (unsigned char c : raw)
        a = (a + c) % 65521, b = (b + a) % 65521;
    for (size_t at = 0; at < raw.size() || at == 0; at += 65535) {
        const size_t n = std::min<size_t>(65535, raw.size() - at);
        z += static_cast<char>(at + n >= raw.size() ? 1 : 0);
        z += {char(n & 255), char(n >> 8), char(~n & 255), char((~n >> 8) & 255)};
        z += raw.substr(at, n);
        if (raw.empty()) break;
    }
    Be32(z, (b << 16) | a);
    std::string header;
    Be32(header, static_cast<uint32_t>(image.Width));
    Be32(header, static_cast<uint32_t>(image.Height));
    header += {8, 2, 0, 0, 0};
    std::string png = "\x89PNG\r\n\x1A\n";
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", z);
    Chunk(png, "IEND", "");
    std::filesystem::create_directories(MV_SCREENS_DIR);
    std::ofstream(std::string(MV_SCREENS_DIR) + "/" + name + ".png", std::ios::binary) << png;
}
