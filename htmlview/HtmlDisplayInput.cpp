// The HTML viewer's mouse: selection by dragging with automatic scrolling, middle-button
// panning, word selection on double click, the link under the mouse with its hover timer,
// right clicks and following a clicked link.
#include "htmlview/HtmlDisplay.h"

#include <cstdlib>

#include "base/StrUtils.h"
#include "gui/Application.h"
#include "htmlview/HtmlForms.h"
#include "htmlview/HtmlTextSection.h"

namespace {

// The viewer's cursors: the link hand, and the panning arrows (both ways, up only, down only).
constexpr TCursor crLink = crHandPoint;
constexpr TCursor crPanBoth = crSizeNS;
constexpr TCursor crPanUp = crUpArrow;
constexpr TCursor crPanDown = crSizeNS;

void ShowCursorNow(TControl& control, TCursor cursor) {
    control.SetCursor(cursor);
    if (HCURSOR h = CursorHandle(cursor == crDefault ? crArrow : cursor)) ::SetCursor(h);
}

} // namespace

int32_t THtmlDisplay::HitY(int Y) const {
    return Y + FSections->ScrollOffset;
}

void THtmlDisplay::EndPanning() {
    FPanning = false;
    FAutoScrolling = false;
    ShowCursorNow(*FPaintPanel, Cursor());
    if (FPaintPanel->HandleAllocated() && GetCapture() == FPaintPanel->Handle()) ReleaseCapture();
}

void THtmlDisplay::HTMLMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
    if (CanFocus()) SetFocus();
    FLinkClicked = false;
    if (FPanning) {
        EndPanning();
        return;
    }
    if (Button == TMouseButton::mbMiddle) {
        FPanning = true;
        FPanAnchorY = Y;
        ShowCursorNow(*FPaintPanel, crPanBoth);
        if (FPaintPanel->HandleAllocated()) SetCapture(FPaintPanel->Handle());
        return;
    }
    if (Button != TMouseButton::mbLeft) return;
    FLeftButtonDown = true;
    FSelecting = true;
    int32_t xr = 0, yr = 0, ht = 0;
    bool inText = false;
    const int32_t at = FSections->CharIndexAtPoint(Measure(), X, HitY(Y), xr, yr, ht, inText);
    if (at >= 0) {
        FSelAnchor = at;
        if (FSections->SelTo > FSections->SelFrom) FPaintPanel->Invalidate();
        FSections->SelFrom = FSections->SelTo = at;
        FCaretPos = at;
        FSections->CaretPos = at;
    }
}

void THtmlDisplay::HTMLMouseMove(TShiftState Shift, int X, int Y) {
    if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
    if (FPanning) {
        if (!FAutoScrolling && std::abs(Y - FPanAnchorY) > 20) {
            FAutoScrolling = true;
            PostMessageA(Handle(), WM_HTMLVIEW_AUTOSCROLL, 0, 0);
        }
        return;
    }
    TCursor cursor = crArrow;
    std::string URL, Target;
    TUrlTarget hit;
    TFormControlObj* control = nullptr;
    if (FSections->LinkAtPoint(Measure(), X, HitY(Y), hit, control)) {
        cursor = crLink;
        if (!control) {
            URL = hit.URL;
            Target = hit.Target;
        }
    }
    TObject* picture = nullptr;
    int32_t ix = 0, iy = 0;
    if ((OnImageClick || OnImageOver) && FSections->ObjectAtPoint(X, HitY(Y), picture, ix, iy)) {
        if (OnImageOver) OnImageOver(this, picture, Shift, ix, iy);
    } else if (cursor != crLink) {
        int32_t xr = 0, yr = 0, ht = 0;
        bool inText = false;
        if (FSections->CharIndexAtPoint(Measure(), X, HitY(Y), xr, yr, ht, inText) >= 0 && inText)
            cursor = Cursor() == crDefault ? crIBeam : Cursor();
    }
    ShowCursorNow(*FPaintPanel, cursor);
    FTimer->SetEnabled(cursor == crLink || FSections->HoverLink != nullptr ||
                       FSections->HoverImage != nullptr);
    if (URL != FHoverURL || Target != FHoverTarget) {
        FHoverURL = URL;
        FHoverTarget = Target;
        if (OnHotSpotCovered) OnHotSpotCovered(this, URL);
    }
    if ((Shift & ssLeft) && !FNoSelect) {
        if (!FAutoScrolling && (Y <= 0 || Y >= Height())) {
            FAutoScrolling = true;
            PostMessageA(Handle(), WM_HTMLVIEW_AUTOSCROLL, 0, 0);
        }
        ExtendSelection(X, Y);
    }
}

void THtmlDisplay::ExtendSelection(int X, int Y) {
    if (!FSelecting || FSelAnchor < 0) return;
    Y = std::clamp(Y, 0, Height());
    int32_t xr = 0, yr = 0, ht = 0;
    bool inText = false;
    const int32_t at = FSections->CharIndexAtPoint(Measure(), X, HitY(Y), xr, yr, ht, inText);
    if (at < 0) return;
    if (!FNoSelect) {
        FSections->SelFrom = std::min(FSelAnchor, at);
        FSections->SelTo = std::max(FSelAnchor, at);
        FPaintPanel->Invalidate();
    }
    FCaretPos = at;
    FSections->CaretPos = at;
}

void THtmlDisplay::AutoScrollLoop() {
    // Runs inside the message handler and pumps messages: the viewer may be destroyed by one of
    // them, so every pass checks that it is still there before touching a member.
    const std::weak_ptr<bool> alive = FAlive;
    const HWND panel = FPaintPanel->Handle();
    const bool captured = GetCapture() == panel;
    if (!captured) SetCapture(panel);
    POINT p{};
    GetCursorPos(&p);
    ::ScreenToClient(panel, &p);
    DWORD last = 0;
    auto buttonHeld = [this] {
        if (FPanning) return true;
        return (GetAsyncKeyState(GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON) & 0x8000) != 0;
    };
    while (AutoScrollContinues(FAutoScrolling, FLeftButtonDown, FPanning, p.y, Height(), FPanAnchorY) &&
           buttonHeld()) {
        const DWORD now = GetTickCount();
        if (now - last >= 100) {
            last = now;
            int32_t step = 0;
            if (FPanning) {
                step = PanStep(p.y - FPanAnchorY);
                ShowCursorNow(*FPaintPanel, step < 0 ? crPanUp : crPanDown);
            } else {
                step = SelectScrollStep(p.y, Height(), FVScroll->SmallChange);
            }
            SetVPosition(FVScroll->Position() + step, false);
            ExtendSelection(p.x, p.y);
            FPaintPanel->Invalidate();
        }
        for (int i = 0; i < 4; ++i) {
            Application->ProcessMessages();
            if (alive.expired() || !*alive.lock()) return;
        }
        if (!IsWindow(panel)) return;
        GetCursorPos(&p);
        ::ScreenToClient(panel, &p);
        Sleep(1);
    }
    FAutoScrolling = false;
    if (FPanning)
        ShowCursorNow(*FPaintPanel, crPanBoth);
    else if (!captured && GetCapture() == panel && !FLeftButtonDown)
        ReleaseCapture();
}

void THtmlDisplay::HTMLMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (FPanning) {
        if (!(Button == TMouseButton::mbMiddle && Y == FPanAnchorY)) EndPanning();
        return;
    }
    if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
    if (OnImageClick || OnRightClick) {
        TObject* picture = nullptr;
        int32_t ix = 0, iy = 0;
        const bool onPicture = FSections->ObjectAtPoint(X, HitY(Y), picture, ix, iy);
        if (onPicture && OnImageClick) OnImageClick(this, picture, Button, Shift, ix, iy);
        if (Button == TMouseButton::mbRight && OnRightClick) {
            TRightClickParameters Parameters;
            if (onPicture) {
                Parameters.Image = picture;
                Parameters.ImageX = ix;
                Parameters.ImageY = iy;
            }
            TUrlTarget hit;
            TFormControlObj* control = nullptr;
            if (FSections->LinkAtPoint(Measure(), X, HitY(Y), hit, control)) {
                Parameters.URL = hit.URL;
                Parameters.Target = hit.Target;
            }
            int32_t St = 0, En = 0;
            GetWordAtCursor(X, Y, Parameters.ClickWord, St, En);
            OnRightClick(this, Parameters);
        }
    }
    if (Button != TMouseButton::mbLeft) return;
    FAutoScrolling = false;
    ExtendSelection(X, Y);
    FSelecting = false;
    const bool wasDown = FLeftButtonDown;
    FLeftButtonDown = false;
    if (!wasDown) return;
    TUrlTarget hit;
    TFormControlObj* control = nullptr;
    if (!FSections->LinkAtPoint(Measure(), X, HitY(Y), hit, control)) return;
    if (control) {
        // A picture button of a form: the click (never the hovering) stores its point and submits.
        ImageInputClick(control, X, Y);
        return;
    }
    if (FSections->SelTo > FSections->SelFrom) return; // a drag that ends on a link only selects
    FHoverURL = hit.URL;
    FHoverTarget = hit.Target;
    FLinkClicked = true;
    FollowLink();
}

void THtmlDisplay::HTMLMouseDouble(TShiftState Shift, int X, int Y) {
    if (FProcessing || FLinkClicked) return;
    std::string Word;
    int32_t St = 0, En = 0;
    if (!FNoSelect && GetWordAtCursor(X, Y, Word, St, En)) {
        FSections->SelFrom = En + 1;
        FSections->SelTo = St;
        FCaretPos = FSections->SelFrom;
        FPaintPanel->Invalidate();
    }
    if (OnMouseDouble) OnMouseDouble(this, TMouseButton::mbLeft, Shift, X, Y);
}

bool THtmlDisplay::GetWordAtCursor(int X, int Y, std::string& Word, int32_t& St, int32_t& En) {
    Word.clear();
    int32_t xr = 0, yr = 0, ht = 0;
    bool inText = false;
    const int32_t at = FSections->CharIndexAtPoint(Measure(), X, HitY(Y), xr, yr, ht, inText);
    FCaretPos = at;
    if (at < 0 || !inText) return false;
    // A character of another section counts as a space: a word never crosses a section.
    auto charOf = [this](int32_t pos, TObject*& owner) -> char {
        char ch = 0;
        owner = nullptr;
        if (!FSections->CharAtIndex(pos, ch, owner)) return ' ';
        return ch;
    };
    TObject* home = nullptr;
    const char first = charOf(at, home);
    if (!IsWordChar(first)) return false;
    Word = std::string(1, first);
    St = at + 1;
    for (;;) {
        TObject* owner = nullptr;
        const char ch = charOf(St, owner);
        if (owner != home || !IsWordChar(ch)) break;
        Word += ch;
        ++St;
    }
    En = at - 1;
    while (En >= 0) {
        TObject* owner = nullptr;
        const char ch = charOf(En, owner);
        if (owner != home || !IsWordChar(ch)) break;
        Word.insert(Word.begin(), ch);
        --En;
    }
    return true;
}

void THtmlDisplay::HoverTimerTick() {
    POINT p{};
    GetCursorPos(&p);
    if (FPaintPanel->HandleAllocated() && WindowFromPoint(p) == FPaintPanel->Handle()) return;
    FSections->ClearHover();
    FTimer->SetEnabled(false);
    if (!FHoverURL.empty()) {
        FHoverURL.clear();
        FHoverTarget.clear();
        if (OnHotSpotCovered) OnHotSpotCovered(this, "");
    }
}

bool THtmlDisplay::HotSpotClick() {
    bool Handled = false;
    if (OnHotSpotClick) OnHotSpotClick(this, FHoverURL, Handled);
    return Handled;
}

void THtmlDisplay::FollowLink() {
    if (HotSpotClick()) return;
    const int32_t OldPos = Position();
    std::string S = FHoverURL;
    const size_t hash = S.find('#');
    if (hash == 0) {
        if (PositionTo(S)) {
            AddToHistory(FCurrentFile, FDocumentTitle, FFileType, OldPos);
            AddVisited(FCurrentFile + S);
        }
        return;
    }
    std::string Dest;
    if (hash != std::string::npos) {
        Dest = S.substr(hash, 256);
        S.resize(hash);
    }
    S = ResolveLinkPath(S);
    switch (LinkKindOf(S)) {
    case TLinkKind::Html:
        if (S != FCurrentFile) {
            OpenHtmlFile(S + Dest);
            AddVisited(S + Dest);
        } else if (PositionTo(Dest)) {
            AddToHistory(FCurrentFile, FDocumentTitle, 0, OldPos);
            AddVisited(S + Dest);
        }
        break;
    case TLinkKind::Image:
        OpenImageFile(S);
        break;
    case TLinkKind::Other:
        break;
    }
}
