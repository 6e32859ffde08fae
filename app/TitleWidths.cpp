// Title widths from character advances, trusted only as far as the HTML layout trusts them.
#include "app/TitleWidths.h"

#include "gui/TextAdvances.h"

TTitleWidths::TTitleWidths(HDC dc) {
    summed_ = TrustedAdvances(dc, advances_);
}

int32_t TTitleWidths::Width(HDC dc, const std::string& text) const {
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
    GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
    return static_cast<int32_t>(size.cx);
}
