// The viewer drawn into a DC it is handed (WM_PRINT: PrintWindow, window animation, a printer or
// metafile DC of the host), and the viewer's Repaint.
#include "htmlview/HtmlDisplay.h"

#include "htmlview/HtmlForms.h"

bool IsRasterSurface(HDC DC) {
    switch (GetObjectType(DC)) {
    case OBJ_METADC:
    case OBJ_ENHMETADC:
        return false;
    case OBJ_MEMDC:
        return true;
    default:
        return GetDeviceCaps(DC, TECHNOLOGY) == DT_RASDISPLAY;
    }
}

void THtmlDisplay::PrintMessage(TMessage& Message) {
    const auto DC = reinterpret_cast<HDC>(Message.WParam);
    const LPARAM Flags = Message.LParam;
    Message.Result = 0;
    if (!DC || !HandleAllocated()) return;
    if ((Flags & PRF_CHECKVISIBLE) && !IsWindowVisible(Handle())) return;
    // The system draws the viewer's own frame and client (through WM_PRINTCLIENT); the children
    // are drawn here, so the picture does not depend on whether the system would walk them.
    TMessage own{Message.Msg, Message.WParam, Flags & ~static_cast<LPARAM>(PRF_CHILDREN), 0};
    TCustomControl::WndProc(own);
    if (!(Flags & PRF_CHILDREN)) return;

    // With PRF_NONCLIENT the DC's origin is the window's corner, else the client area's.
    POINT client{0, 0};
    if (Flags & PRF_NONCLIENT) {
        RECT window{};
        GetWindowRect(Handle(), &window);
        ::ClientToScreen(Handle(), &client);
        client.x -= window.left;
        client.y -= window.top;
    }
    // Bottom of the z-order first, so overlapping children end up as on screen.
    for (HWND child = GetWindow(GetWindow(Handle(), GW_CHILD), GW_HWNDLAST); child;
         child = GetWindow(child, GW_HWNDPREV)) {
        if (!IsWindowVisible(child)) continue;
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&r), 2);
        OffsetRect(&r, client.x, client.y);
        const TSavedDC saved(DC);
        IntersectClipRect(DC, r.left, r.top, r.right, r.bottom); // a metafile only records it
        // Logical units throughout, so a scaled printer or metafile DC scales the children too.
        POINT org{};
        GetWindowOrgEx(DC, &org);
        SetWindowOrgEx(DC, org.x - r.left, org.y - r.top, nullptr);
        SendMessageA(child, WM_PRINT, Message.WParam, Flags | PRF_CLIENT);
    }
}

void THtmlDisplay::Repaint() {
    // Form controls are shown again by the paint, and only those that are in view.
    for (TFormControlObj* control : FSections->FormControlList)
        control->IsShown = false;
    // The viewer's Invalidate takes the paint panel along, and its update paints the children.
    TCustomControl::Repaint();
    if (FVScroll->Visible()) FVScroll->Repaint();
    if (FHScroll->Visible()) FHScroll->Repaint();
}
