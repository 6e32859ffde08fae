// Link click rule of the rich-edit control.
#include "richedit/MvLinkClick.h"

namespace mv::richedit {

void TLinkClickTracker::ButtonDown(TLinkRange Range, TLinkButton Button) {
    FRange = Range;
    FButton = Button;
}

std::optional<TLinkRange> TLinkClickTracker::ButtonUp(TLinkRange Range, TLinkButton Button) {
    const bool Match = FButton == Button && FRange.Min >= 0 && FRange == Range;
    FRange = TLinkRange{};
    if (Match) return Range;
    return std::nullopt;
}

} // namespace mv::richedit
