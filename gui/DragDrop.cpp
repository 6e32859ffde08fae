// Delivering a drag between controls to the control under the mouse.
#include "gui/DragDrop.h"

#include "gui/WinControl.h"
#include "gui/WndProcThunk.h"

TControl* FindDragTarget(POINT screenPos) {
    TWinControl* windowed = FindControl(WindowFromPoint(screenPos));
    if (!windowed) return nullptr;
    if (TControl* inner = windowed->ControlAtPos(windowed->ScreenToClient(screenPos))) return inner;
    return windowed;
}

bool DragMessageAt(TDragMessage message, TObject* source, POINT screenPos) {
    TControl* target = FindDragTarget(screenPos);
    if (!target) return false;
    TDragRec rec;
    rec.Message = message;
    rec.Source = source;
    rec.Pos = target->ScreenToClient(screenPos);
    return target->Perform(CM_DRAG, 0, reinterpret_cast<LPARAM>(&rec)) != 0;
}
