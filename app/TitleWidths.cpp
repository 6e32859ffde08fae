// Title widths from character advances, checked against the platform once per font.
#include "app/TitleWidths.h"

TTitleWidths::TTitleWidths(HDC dc) : dc_(dc) {
    INT widths[256] = {};
    if (!GetCharWidth32A(dc_, 0, 255, widths)) return;
    // Every printable character of the code page in one text: a font whose extents are not the
    // sum of its advances (overhangs, kerning applied by the platform) disagrees here.
    std::string probe;
    int64_t sum = 0;
    for (int c = 0x20; c < 0x100; ++c) {
        probe += static_cast<char>(c);
        sum += widths[c];
    }
    SIZE size{};
    if (!GetTextExtentPoint32A(dc_, probe.data(), static_cast<int>(probe.size()), &size) || size.cx != sum)
        return;
    for (int c = 0; c < 256; ++c)
        advances_[c] = widths[c];
    summed_ = true;
}

int32_t TTitleWidths::Width(const std::string& text) const {
    if (summed_) {
        int64_t sum = 0;
        bool plain = true;
        for (const char ch : text) {
            const auto c = static_cast<unsigned char>(ch);
            plain = plain && c >= 0x20;
            sum += advances_[c];
        }
        // Control characters were not in the probe: the platform answers for them.
        if (plain && sum <= INT32_MAX) return static_cast<int32_t>(sum);
    }
    SIZE size{};
    GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &size);
    return static_cast<int32_t>(size.cx);
}
