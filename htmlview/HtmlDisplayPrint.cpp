// The viewer drawn into a DC it is handed (WM_PRINT: PrintWindow, window animation, a printer or
// metafile DC of the host), and the viewer's Repaint.
#include "htmlview/HtmlDisplayPrint.h"

#include "gui/GdiGuards.h"
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

namespace {

// The border of a child window (its client edge or plain border), drawn here because not every
// system draws the non-client part of a window asked with WM_PRINT.
void PrintFrame(HWND Child, HDC DC, RECT Frame) {
    const auto style = static_cast<DWORD>(GetWindowLongA(Child, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongA(Child, GWL_EXSTYLE));
    if (exStyle & WS_EX_CLIENTEDGE) {
        DrawEdge(DC, &Frame, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    } else if (exStyle & WS_EX_STATICEDGE) {
        DrawEdge(DC, &Frame, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    }
    if (style & WS_BORDER) FrameRect(DC, &Frame, GetSysColorBrush(COLOR_WINDOWFRAME));
}

} // namespace

void PrintWithChildren(HWND Wnd, TMessage& Message, const std::function<void(TMessage&)>& Base) {
    const auto DC = reinterpret_cast<HDC>(Message.WParam);
    const LPARAM Flags = Message.LParam;
    Message.Result = 0;
    if (!DC || !Wnd) return;
    if ((Flags & PRF_CHECKVISIBLE) && !IsWindowVisible(Wnd)) return;
    TMessage own{Message.Msg, Message.WParam, Flags & ~static_cast<LPARAM>(PRF_CHILDREN), 0};
    Base(own);
    if (!(Flags & PRF_CHILDREN)) return;

    // With PRF_NONCLIENT the DC's origin is the window's corner, else the client area's.
    POINT client{0, 0};
    if (Flags & PRF_NONCLIENT) {
        RECT window{};
        GetWindowRect(Wnd, &window);
        ::ClientToScreen(Wnd, &client);
        client.x -= window.left;
        client.y -= window.top;
    }
    for (HWND child = GetWindow(GetWindow(Wnd, GW_CHILD), GW_HWNDLAST); child;
         child = GetWindow(child, GW_HWNDPREV)) {
        if (!IsWindowVisible(child)) continue;
        RECT r{};
        GetWindowRect(child, &r);
        POINT inner{0, 0};
        ::ClientToScreen(child, &inner);
        inner.x -= r.left;
        inner.y -= r.top;
        MapWindowPoints(nullptr, Wnd, reinterpret_cast<POINT*>(&r), 2);
        OffsetRect(&r, client.x, client.y);
        const TSavedDC saved(DC);
        IntersectClipRect(DC, r.left, r.top, r.right, r.bottom); // a metafile only records it
        PrintFrame(child, DC, r);
        // The client area at its place inside the frame, in logical units throughout, so a
        // scaled printer or metafile DC scales the children too.
        RECT area{};
        GetClientRect(child, &area);
        OffsetRect(&area, r.left + inner.x, r.top + inner.y);
        IntersectClipRect(DC, area.left, area.top, area.right, area.bottom);
        POINT org{};
        GetWindowOrgEx(DC, &org);
        SetWindowOrgEx(DC, org.x - area.left, org.y - area.top, nullptr);
        SendMessageA(child, WM_PRINT, Message.WParam,
                     (Flags & ~static_cast<LPARAM>(PRF_NONCLIENT)) | PRF_CLIENT);
    }
}

void THtmlDisplay::Repaint() {
    // Every form control counts as hidden until the paint places it again; those it does not
    // place (out of view) are then hidden, one that holds the focus kept within reach.
    for (TFormControlObj* control : FSections->FormControlList)
        control->IsShown = false;
    // The viewer's Invalidate takes the paint panel along, and its update paints the children.
    TCustomControl::Repaint();
    FSections->HideControls();
    if (FVScroll->Visible()) FVScroll->Repaint();
    if (FHScroll->Visible()) FHScroll->Repaint();
}
