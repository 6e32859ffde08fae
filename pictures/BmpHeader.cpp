// Reading the headers of a BMP file.
#include "pictures/BmpHeader.h"

namespace mv::pictures {

namespace {

// Little-endian fields; a field past the end of the file reads as 0.
uint32_t U16(const uint8_t* data, size_t size, size_t at) {
    return at + 2 <= size ? static_cast<uint32_t>(data[at]) | static_cast<uint32_t>(data[at + 1]) << 8 : 0;
}
uint32_t U32(const uint8_t* data, size_t size, size_t at) {
    return at + 4 <= size ? U16(data, size, at) | U16(data, size, at + 2) << 16 : 0;
}

} // namespace

TBmpHeaderResult ReadBmpHeader(const uint8_t* data, size_t size, TBmpHeader& header) {
    constexpr size_t FileHeader = 14;
    header = TBmpHeader{};
    if (!data || size < FileHeader + 12 || data[0] != 'B' || data[1] != 'M') return TBmpHeaderResult::NotBmp;
    header.OffBits = U32(data, size, 10);
    header.InfoSize = U32(data, size, FileHeader);
    header.WholeInfo = size >= FileHeader + header.InfoSize;
    if (header.InfoSize == 12) {
        // The OS/2 header's sizes are unsigned 16-bit: its rows are always stored from the bottom.
        header.Width = U16(data, size, 18);
        header.Height = U16(data, size, 20);
        header.Planes = U16(data, size, 22);
        header.Bits = U16(data, size, 24);
        return TBmpHeaderResult::Read;
    }
    if (header.InfoSize < 40 || header.InfoSize > 124) return TBmpHeaderResult::UnknownHeader;
    header.Width = static_cast<int32_t>(U32(data, size, 18));
    header.Height = static_cast<int32_t>(U32(data, size, 22));
    header.Planes = U16(data, size, 26);
    header.Bits = U16(data, size, 28);
    header.Compression = U32(data, size, 30);
    header.ColorsUsed = U32(data, size, 46);
    return TBmpHeaderResult::Read;
}

} // namespace mv::pictures
