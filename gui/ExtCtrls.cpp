// Panels and splitters.
#include "gui/ExtCtrls.h"

#include "gui/GdiGuards.h"
#include "gui/Themes.h"

#include <algorithm>

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {
    SetControlStyle(ControlStyle() | csAcceptsControls | csSetCaption | csOpaque);
    SetBounds(0, 0, 185, 41);
    SetColor(clBtnFace);
}

void TCustomPanel::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
    if (fullRepaint_) params.WindowClass.style |= CS_HREDRAW | CS_VREDRAW;
    params.WinClassName = fullRepaint_ ? "MvPanel" : "MvPanelPartial";
}

void TCustomPanel::SetBevelInner(TBevelCut value) {
    if (value == bevelInner_) return;
    bevelInner_ = value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelOuter(TBevelCut value) {
    if (value == bevelOuter_) return;
    bevelOuter_ = value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelWidth(int value) {
    if (value == bevelWidth_) return;
    bevelWidth_ = value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBorderWidth(int value) {
    if (value == borderWidth_) return;
    borderWidth_ = value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetAlignment(TAlignment value) {
    if (value == alignment_) return;
    alignment_ = value;
    Invalidate();
}

void TCustomPanel::SetParentBackground(bool value) {
    SetControlStyle(value ? (ControlStyle() | csParentBackground)
                          : (ControlStyle() & ~static_cast<unsigned>(csParentBackground)));
    Invalidate();
}

int TCustomPanel::FrameWidth() const {
    int w = borderWidth_;
    if (bevelOuter_ != TBevelCut::bvNone) w += bevelWidth_;
    if (bevelInner_ != TBevelCut::bvNone) w += bevelWidth_;
    return w;
}

void TCustomPanel::AlignControls(TControl* control, RECT& rect) {
    InflateRect(&rect, -FrameWidth(), -FrameWidth());
    TCustomControl::AlignControls(control, rect);
}

void TCustomPanel::WndProc(TMessage& m) {
    if (m.Msg == WM_ERASEBKGND && ParentBackground() && HandleAllocated() && m.WParam) {
        ThemeServices().DrawParentBackground(Handle(), reinterpret_cast<HDC>(m.WParam), nullptr);
        m.Result = 1;
        return;
    }
    if (m.Msg == CM_TEXTCHANGED) Invalidate();
    TCustomControl::WndProc(m);
}

namespace {

void Frame3D(HDC dc, RECT& r, COLORREF topLeft, COLORREF bottomRight, int width) {
    TGdiObject<HPEN> light(CreatePen(PS_SOLID, 1, topLeft));
    TGdiObject<HPEN> dark(CreatePen(PS_SOLID, 1, bottomRight));
    for (int i = 0; i < width; ++i) {
        {
            TSelectObject select(dc, light.Get());
            MoveToEx(dc, r.left, r.bottom - 1, nullptr);
            LineTo(dc, r.left, r.top);
            LineTo(dc, r.right - 1, r.top);
        }
        {
            TSelectObject select(dc, dark.Get());
            LineTo(dc, r.right - 1, r.bottom - 1);
            LineTo(dc, r.left - 1, r.bottom - 1);
        }
        InflateRect(&r, -1, -1);
    }
}

void DrawBevel(HDC dc, RECT& r, TBevelCut cut, int width) {
    COLORREF hi = ColorToRGB(clBtnHighlight), sh = ColorToRGB(clBtnShadow);
    switch (cut) {
    case TBevelCut::bvLowered:
        Frame3D(dc, r, sh, hi, width);
        break;
    case TBevelCut::bvRaised:
        Frame3D(dc, r, hi, sh, width);
        break;
    case TBevelCut::bvSpace:
        InflateRect(&r, -width, -width);
        break;
    default:
        break;
    }
}

} // namespace

void TCustomPanel::Paint() {
    TCanvas& c = Canvas();
    RECT r = ClientRect();
    HDC dc = c.Handle();
    if (!ParentBackground()) {
        c.Brush().SetColor(Color());
        c.Brush().SetStyle(TBrushStyle::bsSolid);
        c.FillRect(r);
    }
    DrawBevel(dc, r, bevelOuter_, bevelWidth_);
    InflateRect(&r, -borderWidth_, -borderWidth_);
    DrawBevel(dc, r, bevelInner_, bevelWidth_);
    std::string text = Caption();
    if (text.empty()) return;
    c.Brush().SetStyle(TBrushStyle::bsClear);
    UINT flags = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS;
    flags |= alignment_ == TAlignment::taCenter         ? DT_CENTER
             : alignment_ == TAlignment::taRightJustify ? DT_RIGHT
                                                        : DT_LEFT;
    if (!Enabled()) c.Font().SetColor(clGrayText);
    c.DrawText(text, r, flags);
}

// ---- TSplitter --------------------------------------------------------------

TSplitter::TSplitter(TComponent* owner) : TGraphicControl(owner) {
    SetAlign(TAlign::alLeft);
    SetBounds(0, 0, 3, 100);
    SetCursor(crHSplit);
    SetParentColor(true);
}

bool TSplitter::Horizontal() const {
    return Align() == TAlign::alTop || Align() == TAlign::alBottom;
}

void TSplitter::SetBeveled(bool value) {
    beveled_ = value;
    Invalidate();
}

TControl* TSplitter::FindResizeControl() {
    TWinControl* parent = Parent();
    if (!parent) return nullptr;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (c == this || !c->Visible() || c->Align() != Align()) continue;
        switch (Align()) {
        case TAlign::alLeft:
            if (c->Left() + c->Width() == Left()) return c;
            break;
        case TAlign::alRight:
            if (c->Left() == Left() + Width()) return c;
            break;
        case TAlign::alTop:
            if (c->Top() + c->Height() == Top()) return c;
            break;
        case TAlign::alBottom:
            if (c->Top() == Top() + Height()) return c;
            break;
        default:
            break;
        }
    }
    return nullptr;
}

void TSplitter::Notification(TComponent* component, TOperation operation) {
    TGraphicControl::Notification(component, operation);
    if (operation == TOperation::opRemove && component == target_) target_ = nullptr;
}

void TSplitter::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button != TMouseButton::mbLeft) return;
    target_ = FindResizeControl();
    if (!target_) return;
    target_->FreeNotification(this);
    downPos_ = ClientToScreen(POINT{x, y});
    startSize_ = lastSize_ = Horizontal() ? target_->Height() : target_->Width();
}

void TSplitter::ApplySize(int newSize) {
    if (!target_ || !Parent()) return;
    // Keep the target at least MinSize and leave MinSize for the rest of the parent.
    RECT client = Parent()->ClientRect();
    int total = Horizontal() ? client.bottom : client.right;
    int others = 0;
    for (int i = 0; i < Parent()->ControlCount(); ++i) {
        TControl* c = Parent()->Controls(i);
        if (c == target_ || !c->Visible() || c->Align() == TAlign::alClient || c->Align() == TAlign::alNone)
            continue;
        bool sameAxis = Horizontal() ? (c->Align() == TAlign::alTop || c->Align() == TAlign::alBottom)
                                     : (c->Align() == TAlign::alLeft || c->Align() == TAlign::alRight);
        if (sameAxis) others += Horizontal() ? c->Height() : c->Width();
    }
    int maxSize = total - others - minSize_;
    newSize = std::min(newSize, maxSize);
    newSize = std::max(newSize, minSize_);
    bool accept = true;
    if (OnCanResize) OnCanResize(this, newSize, accept);
    if (!accept || newSize == lastSize_) return;
    lastSize_ = newSize;
    if (Horizontal())
        target_->SetHeight(newSize);
    else
        target_->SetWidth(newSize);
}

void TSplitter::MouseMove(TShiftState shift, int x, int y) {
    TGraphicControl::MouseMove(shift, x, y);
    if (!target_ || !(shift & ssLeft)) return;
    POINT p = ClientToScreen(POINT{x, y});
    int delta = Horizontal() ? p.y - downPos_.y : p.x - downPos_.x;
    if (Align() == TAlign::alRight || Align() == TAlign::alBottom) delta = -delta;
    if (resizeStyle_ == TResizeStyle::rsUpdate) ApplySize(startSize_ + delta);
}

void TSplitter::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseUp(button, shift, x, y);
    if (button != TMouseButton::mbLeft || !target_) return;
    if (resizeStyle_ != TResizeStyle::rsUpdate && resizeStyle_ != TResizeStyle::rsNone) {
        POINT p = ClientToScreen(POINT{x, y});
        int delta = Horizontal() ? p.y - downPos_.y : p.x - downPos_.x;
        if (Align() == TAlign::alRight || Align() == TAlign::alBottom) delta = -delta;
        ApplySize(startSize_ + delta);
    }
    bool moved = lastSize_ != startSize_;
    target_->RemoveFreeNotification(this);
    target_ = nullptr;
    if (moved && OnMoved) OnMoved(this);
}

void TSplitter::Paint() {
    TCanvas& c = Canvas();
    RECT r = ClientRect();
    c.Brush().SetColor(Color());
    c.FillRect(r);
    if (beveled_)
        DrawEdge(c.Handle(), &r, BDR_RAISEDINNER, Horizontal() ? (BF_TOP | BF_BOTTOM) : (BF_LEFT | BF_RIGHT));
}
