// Where a note window goes when its first topic has no stored rectangle: in
// cascade from the window the user worked in, so that a new window never opens
// exactly over an open one. Plain C++, no windows.
#pragma once

#include "store/NotesStore.h"

namespace mv::app {

// From: the rectangle of the window to cascade from; Width and Height: the new
// window's size; Step: how far right and down (a caption's height); WorkArea:
// the screen's work area. The new window goes Step right and down from From;
// where that would leave the work area at the right or the bottom, it starts
// again at the work area's top-left corner.
TTopicRect CascadeFrom(const TTopicRect& From, int32_t Width, int32_t Height, int32_t Step,
                       const TTopicRect& WorkArea);

} // namespace mv::app
