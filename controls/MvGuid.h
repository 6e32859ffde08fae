// TMvGUID: a globally unique identifier as plain data, with the comparisons the
// library needs. Portable: the Windows GUID converts to and from it at the seam.
#pragma once

#include <array>
#include <cstdint>
#include <string>

struct TMvGUID {
    uint32_t D1 = 0;
    uint16_t D2 = 0;
    uint16_t D3 = 0;
    std::array<uint8_t, 8> D4{};

    // The 16 bytes in memory order (D1..D3 little-endian, as Windows lays them out).
    std::array<uint8_t, 16> Bytes() const;
    // Parses "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"; throws EConvertError on anything else.
    static TMvGUID FromString(const std::string& text);
    std::string ToString() const;
};

// True when both identifiers are the same 128 bits.
bool SameGUID(const TMvGUID& a, const TMvGUID& b);
