// Delivering a drag between controls: finding the control under a screen point and telling it
// (CM_DRAG) that a drag entered, moved, left or was dropped there.
#pragma once

#include "gui/Control.h"

// The control a drag at this screen point is over: the windowed control under the point, or
// its windowless child there; nullptr over windows that are not ours.
TControl* FindDragTarget(POINT screenPos);
// Sends CM_DRAG to the control under screenPos with the point in its client coordinates.
// Returns whether it accepts the drag (for a drop: whether a control took it).
bool DragMessageAt(TDragMessage message, TObject* source, POINT screenPos);
