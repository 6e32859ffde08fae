// The log view's bound.
#include "app/LogLines.h"

namespace mv::app {

TBoundedLines::TDrop TBoundedLines::Add(std::size_t Length) {
    FLengths.push_back(Length + 2);
    FTotal += Length + 2;
    TDrop Drop;
    if (FLimit == 0 || FTotal <= FLimit + FSlack) return Drop;
    // Drop the oldest line while the newer ones still make up the limit.
    while (FLengths.size() > 1 && FTotal - FLengths.front() >= FLimit) {
        FTotal -= FLengths.front();
        Drop.Characters += FLengths.front();
        ++Drop.Lines;
        FLengths.pop_front();
    }
    return Drop;
}

} // namespace mv::app
