// The rule that turns the rich edit's link notifications into clicks: a button
// must go down and come up on the same link range.
#pragma once

#include <cstdint>
#include <optional>

namespace mv::richedit {

enum class TLinkButton : std::uint8_t { Left = 0, Right = 1 };

struct TLinkRange {
    std::int32_t Min = -1;
    std::int32_t Max = -1;
    friend bool operator==(const TLinkRange&, const TLinkRange&) = default;
};

class TLinkClickTracker {
public:
    void ButtonDown(TLinkRange Range, TLinkButton Button);
    // The range to report as clicked, when the same button went down on the same
    // range; either way the remembered range is forgotten.
    std::optional<TLinkRange> ButtonUp(TLinkRange Range, TLinkButton Button);

    TLinkRange Remembered() const { return FRange; }

private:
    TLinkRange FRange;
    TLinkButton FButton = TLinkButton::Left;
};

} // namespace mv::richedit
