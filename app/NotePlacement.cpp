// Cascading new note windows.
#include "app/NotePlacement.h"

namespace mv::app {

TTopicRect CascadeFrom(const TTopicRect& From, int32_t Width, int32_t Height, int32_t Step,
                       const TTopicRect& WorkArea) {
    // 64-bit sums: stored rectangles come from the database and may be anything.
    const int64_t X = int64_t(From.X) + Step, Y = int64_t(From.Y) + Step;
    const bool Fits = X >= WorkArea.X && Y >= WorkArea.Y && X + Width <= int64_t(WorkArea.X) + WorkArea.W &&
                      Y + Height <= int64_t(WorkArea.Y) + WorkArea.H;
    if (!Fits) return TTopicRect{WorkArea.X, WorkArea.Y, Width, Height};
    return TTopicRect{static_cast<int32_t>(X), static_cast<int32_t>(Y), Width, Height};
}

} // namespace mv::app
