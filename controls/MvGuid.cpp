// TMvGUID.
#include "controls/MvGuid.h"

#include "base/Exceptions.h"

#include <cstdio>

std::array<uint8_t, 16> TMvGUID::Bytes() const {
    std::array<uint8_t, 16> b{};
    for (int i = 0; i < 4; ++i)
        b[static_cast<size_t>(i)] = static_cast<uint8_t>(D1 >> (8 * i));
    b[4] = static_cast<uint8_t>(D2);
    b[5] = static_cast<uint8_t>(D2 >> 8);
    b[6] = static_cast<uint8_t>(D3);
    b[7] = static_cast<uint8_t>(D3 >> 8);
    for (size_t i = 0; i < 8; ++i)
        b[8 + i] = D4[i];
    return b;
}

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

TMvGUID TMvGUID::FromString(const std::string& text) {
    // {8-4-4-4-12}
    static const char kShape[] = "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}";
    if (text.size() != sizeof(kShape) - 1) throw EConvertError("'" + text + "' is not a valid GUID value");
    std::array<uint8_t, 16> digits{};
    size_t n = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (kShape[i] != 'x') {
            if (text[i] != kShape[i]) throw EConvertError("'" + text + "' is not a valid GUID value");
            continue;
        }
        int hi = HexDigit(text[i]);
        int lo = i + 1 < text.size() ? HexDigit(text[i + 1]) : -1;
        if (hi < 0 || lo < 0 || kShape[i + 1] != 'x')
            throw EConvertError("'" + text + "' is not a valid GUID value");
        digits[n++] = static_cast<uint8_t>(hi * 16 + lo);
        ++i;
    }
    TMvGUID g;
    g.D1 = (uint32_t{digits[0]} << 24) | (uint32_t{digits[1]} << 16) | (uint32_t{digits[2]} << 8) | digits[3];
    g.D2 = static_cast<uint16_t>((digits[4] << 8) | digits[5]);
    g.D3 = static_cast<uint16_t>((digits[6] << 8) | digits[7]);
    for (size_t i = 0; i < 8; ++i)
        g.D4[i] = digits[8 + i];
    return g;
}

std::string TMvGUID::ToString() const {
    char buf[40];
    std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(D1), unsigned{D2}, unsigned{D3}, unsigned{D4[0]}, unsigned{D4[1]},
                  unsigned{D4[2]}, unsigned{D4[3]}, unsigned{D4[4]}, unsigned{D4[5]}, unsigned{D4[6]},
                  unsigned{D4[7]});
    return buf;
}

bool SameGUID(const TMvGUID& a, const TMvGUID& b) {
    return a.D1 == b.D1 && a.D2 == b.D2 && a.D3 == b.D3 && a.D4 == b.D4;
}
