// Window screenshots as PNG files: stored (uncompressed) deflate blocks are enough
// for pictures of a few hundred kilobytes and keep the writer small.
#include "tests/components/Screens.h"

#include "gui/GdiGuards.h"
#include "gui/GraphicImages.h"

#include <direct.h>

#include <array>
#include <cstdio>
#include <stdexcept>

namespace {

uint32_t Crc32(const std::string& data, size_t from) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = from; i < data.size(); ++i)
        c = table[(c ^ static_cast<uint8_t>(data[i])) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void PutBE32(std::string& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

void PutChunk(std::string& out, const char* type, const std::string& body) {
    PutBE32(out, static_cast<uint32_t>(body.size()));
    const size_t start = out.size();
    out.append(type, 4);
    out += body;
    PutBE32(out, Crc32(out, start));
}

} // namespace

void CaptureWindow(HWND Wnd, TBitmap& Shot) {
    RECT r{};
    GetWindowRect(Wnd, &r);
    Shot.SetSize(r.right - r.left, r.bottom - r.top);
    TWindowDC screen(nullptr);
    BitBlt(Shot.Canvas().Handle(), 0, 0, r.right - r.left, r.bottom - r.top, screen.Get(), r.left, r.top,
           SRCCOPY);
}

std::string EncodePng(TBitmap& Bitmap) {
    const int w = Bitmap.Width(), h = Bitmap.Height();
    std::string raw;
    raw.reserve(static_cast<size_t>(h) * (static_cast<size_t>(w) * 3 + 1));
    for (int y = 0; y < h; ++y) {
        raw.push_back('\0'); // filter: none
        const auto* row = static_cast<const uint8_t*>(Bitmap.ScanLine(y));
        for (int x = 0; x < w; ++x) {
            raw.push_back(static_cast<char>(row[x * 3 + 2]));
            raw.push_back(static_cast<char>(row[x * 3 + 1]));
            raw.push_back(static_cast<char>(row[x * 3 + 0]));
        }
    }
    std::string z = "\x78\x01";
    uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    for (size_t pos = 0; pos < raw.size() || pos == 0;) {
        const size_t n = std::min<size_t>(65535, raw.size() - pos);
        const bool last = pos + n >= raw.size();
        z.push_back(last ? '\1' : '\0');
        z.push_back(static_cast<char>(n & 0xFF));
        z.push_back(static_cast<char>(n >> 8));
        z.push_back(static_cast<char>(~n & 0xFF));
        z.push_back(static_cast<char>((~n >> 8) & 0xFF));
        z.append(raw, pos, n);
        pos += n;
        if (last) break;
    }
    PutBE32(z, (b << 16) | a);

    std::string png = "\x89PNG\r\n\x1a\n";
    std::string ihdr;
    PutBE32(ihdr, static_cast<uint32_t>(w));
    PutBE32(ihdr, static_cast<uint32_t>(h));
    ihdr += std::string("\x08\x02\x00\x00\x00", 5); // 8 bits, RGB, deflate, no filter set, no interlace
    PutChunk(png, "IHDR", ihdr);
    PutChunk(png, "IDAT", z);
    PutChunk(png, "IEND", "");
    return png;
}

std::string SaveScreen(HWND Wnd, const std::string& Name) {
    TBitmap shot(1, 1);
    CaptureWindow(Wnd, shot);
    const std::string dir = MV_SCREENS_DIR;
    _mkdir(dir.c_str());
    const std::string path = dir + "/" + Name + ".png";
    const std::string bytes = EncodePng(shot);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw std::runtime_error("cannot write " + path);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return path;
}
