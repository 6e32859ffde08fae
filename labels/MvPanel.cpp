// The panel and its arrangement settings.
#include "labels/MvPanel.h"

#include "labels/MvMouseTimer.h"
#include "gui/GdiGuards.h"
#include "gui/Themes.h"
#include "controls/MvThemes.h"

#include <algorithm>
#include <vector>

namespace {

int MarlettOverride = -1;

int CALLBACK FoundFont(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM Found) {
    *reinterpret_cast<bool*>(Found) = true;
    return 0;
}

// A bevel: Width one-pixel frames, TopLeft colour on the top and left edges.
void Frame3D(TCanvas& C, RECT& R, TColor TopLeft, TColor BottomRight, int Width) {
    for (int I = 0; I < Width; ++I) {
        C.Pen().SetWidth(1);
        C.Pen().SetColor(TopLeft);
        C.MoveTo(R.left, R.bottom - 1);
        C.LineTo(R.left, R.top);
        C.LineTo(R.right - 1, R.top);
        C.Pen().SetColor(BottomRight);
        C.LineTo(R.right - 1, R.bottom - 1);
        C.LineTo(R.left - 1, R.bottom - 1);
        InflateRect(&R, -1, -1);
    }
}

void Bevel(TCanvas& C, RECT& R, TBevelCut Cut, int Width) {
    if (Cut == TBevelCut::bvNone) return;
    if (Cut == TBevelCut::bvLowered)
        Frame3D(C, R, clBtnShadow, clBtnHighlight, Width);
    else
        Frame3D(C, R, clBtnHighlight, clBtnShadow, Width);
}

} // namespace

bool SizeGripMarlettAvailable() {
    if (MarlettOverride >= 0) return MarlettOverride == 1;
    TWindowDC Screen(nullptr);
    LOGFONTA Want{};
    Want.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(Want.lfFaceName, "Marlett", LF_FACESIZE);
    bool Found = false;
    EnumFontFamiliesExA(Screen.Get(), &Want, FoundFont, reinterpret_cast<LPARAM>(&Found), 0);
    return Found;
}

void SetSizeGripMarlettOverride(int Value) {
    MarlettOverride = Value;
}

// ---- TMvArrangeSettings -----------------------------------------------------

void TMvArrangeSettings::Assign(const TMvArrangeSettings& Source) {
    if (&Source == this) return;
    FAutoArrange = Source.FAutoArrange;
    FAutoSize = Source.FAutoSize;
    FWrapControls = Source.FWrapControls;
    FBorderLeft = Source.FBorderLeft;
    FBorderTop = Source.FBorderTop;
    FDistanceVertical = Source.FDistanceVertical;
    FDistanceHorizontal = Source.FDistanceHorizontal;
    FShowNotVisibleAtDesignTime = Source.FShowNotVisibleAtDesignTime;
    FMaxWidth = Source.FMaxWidth;
    RearrangeChildren();
}

void TMvArrangeSettings::RearrangeChildren() {
    if (FControl && FAutoArrange && !FControl->HasState(csLoading)) FControl->ArrangeChildren();
}

void TMvArrangeSettings::SetAutoArrange(bool Value) {
    if (FAutoArrange == Value) return;
    FAutoArrange = Value;
    if (Value) RearrangeChildren();
}

void TMvArrangeSettings::SetAutoSize(TMvAutoSizePanel Value) {
    if (FAutoSize == Value) return;
    FAutoSize = Value;
    if (Value != TMvAutoSizePanel::asNone) RearrangeChildren();
}

// ---- TMvPanel ---------------------------------------------------------------

TMvPanel::TMvPanel(TComponent* AOwner)
    : TMvCustomPanel(AOwner), FArrangeSettings(std::make_unique<TMvArrangeSettings>(this)) {
    IncludeThemeStyle(this, csMvThemeStyleMask);
}

TMvPanel::~TMvPanel() {
    if (MouseLeaveTimerExists()) MouseLeaveTimer().Detach(this);
}

bool TMvPanel::TransparentWithoutThemes() const {
    return FTransparent && !ThemeServices().ThemesEnabled();
}

void TMvPanel::SetTransparent(bool Value) {
    if (Value == FTransparent) return;
    FTransparent = Value;
    if (!ThemeServices().ThemesEnabled() && HandleAllocated()) RecreateWnd();
}

void TMvPanel::SetFlatBorder(bool Value) {
    if (Value == FFlatBorder) return;
    FFlatBorder = Value;
    Invalidate();
}

void TMvPanel::SetFlatBorderColor(TColor Value) {
    if (Value == FFlatBorderColor) return;
    FFlatBorderColor = Value;
    Invalidate();
}

void TMvPanel::SetMultiLine(bool Value) {
    if (Value == FMultiLine) return;
    FMultiLine = Value;
    Invalidate();
}

void TMvPanel::SetSizeable(bool Value) {
    if (Value == FSizeable) return;
    FSizeable = Value;
    Invalidate();
}

void TMvPanel::SetHotColor(TColor Value) {
    if (Value == FHotColor) return;
    FHotColor = Value;
    if (!TransparentWithoutThemes()) Invalidate();
}

void TMvPanel::SetArrangeSettings(const TMvArrangeSettings* Value) {
    if (Value && Value != FArrangeSettings.get()) FArrangeSettings->Assign(*Value);
}

void TMvPanel::CreateParams(TCreateParams& Params) {
    TMvCustomPanel::CreateParams(Params);
    if (TransparentWithoutThemes()) {
        Params.ExStyle |= WS_EX_TRANSPARENT;
        SetControlStyle(ControlStyle() & ~static_cast<unsigned>(csOpaque));
    } else {
        Params.ExStyle &= ~static_cast<DWORD>(WS_EX_TRANSPARENT);
        SetControlStyle(ControlStyle() | csOpaque);
    }
}

bool TMvPanel::DoEraseBackground(TCanvas& Canvas, LPARAM Param) {
    if (TransparentWithoutThemes()) return true;
    return TMvCustomPanel::DoEraseBackground(Canvas, Param);
}

void TMvPanel::TextChanged() {
    TMvCustomPanel::TextChanged();
    Invalidate();
}

void TMvPanel::ParentColorChanged() {
    Invalidate();
    TMvCustomPanel::ParentColorChanged();
}

void TMvPanel::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TMvCustomPanel::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (TransparentWithoutThemes()) Invalidate();
}

void TMvPanel::Paint() {
    if (OnPaint) {
        OnPaint(this);
        return;
    }
    TCanvas& C = Canvas();
    RECT R = ClientRect();
    C.Brush().SetColor(Color());
    if (TransparentWithoutThemes()) {
        C.Brush().SetStyle(TBrushStyle::bsClear);
    } else {
        C.Brush().SetStyle(TBrushStyle::bsSolid);
        DrawThemedBackgroundBrush(this, C, R, true);
    }

    RECT Frame = R;
    if (FFlatBorder) {
        C.Brush().SetColor(FFlatBorderColor);
        C.Brush().SetStyle(TBrushStyle::bsSolid);
        C.FrameRect(Frame);
        C.Brush().SetColor(Color());
        if (TransparentWithoutThemes()) C.Brush().SetStyle(TBrushStyle::bsClear);
    } else {
        Bevel(C, Frame, BevelOuter(), BevelWidth());
        if (BorderWidth() > 0) {
            TBrush& B = C.Brush();
            const TBrushStyle Old = B.Style();
            B.SetStyle(TBrushStyle::bsSolid);
            for (int I = 0; I < BorderWidth(); ++I) {
                C.FrameRect(Frame);
                InflateRect(&Frame, -1, -1);
            }
            B.SetStyle(Old);
        }
        Bevel(C, Frame, BevelInner(), BevelWidth());
    }

    const std::string Text = Caption();
    if (!Text.empty()) {
        int Inset = BorderWidth();
        if (BevelOuter() != TBevelCut::bvNone) Inset += BevelWidth();
        if (BevelInner() != TBevelCut::bvNone) Inset += BevelWidth();
        RECT T = R;
        InflateRect(&T, -Inset, -Inset);
        UINT Flags = (FMultiLine ? DT_WORDBREAK : DT_SINGLELINE) | DT_EXPANDTABS;
        Flags |= Alignment() == TAlignment::taRightJustify ? DT_RIGHT
                 : Alignment() == TAlignment::taCenter     ? DT_CENTER
                                                           : DT_LEFT;
        C.Font().Assign(Font());
        if (!Enabled()) C.Font().SetColor(clGrayText);
        const TBrushStyle OldStyle = C.Brush().Style();
        C.Brush().SetStyle(TBrushStyle::bsClear);
        RECT Calc = T;
        C.DrawText(Text, Calc, Flags | DT_CALCRECT);
        const int TW = Calc.right - Calc.left, TH = Calc.bottom - Calc.top;
        const int PW = R.right - R.left, PH = R.bottom - R.top;
        OffsetRect(&Calc, 0, (PH - TH) / 2 - Calc.top);
        if (Alignment() == TAlignment::taRightJustify)
            OffsetRect(&Calc, PW - TW - BorderWidth() - (Inset - BorderWidth()) - Calc.left, 0);
        else if (Alignment() == TAlignment::taCenter)
            OffsetRect(&Calc, (PW - TW) / 2 - Calc.left, 0);
        C.DrawText(Text, Calc, Flags);
        C.Brush().SetStyle(OldStyle);
    }
    if (FSizeable) DrawSizeGrip(R);
}

void TMvPanel::DrawSizeGrip(const RECT& Client) {
    TCanvas& C = Canvas();
    const int Inside = BevelWidth() + 2;
    RECT Grip{0, 0, Client.right - Inside, Client.bottom - Inside};
    Grip.left = Grip.right - GetSystemMetrics(SM_CXVSCROLL);
    Grip.top = Grip.bottom - GetSystemMetrics(SM_CYHSCROLL);
    if (ThemeServices().ThemesEnabled()) {
        TThemedElementDetails Gripper{L"STATUS", 3 /* SP_GRIPPER */, 0, DFC_SCROLL, DFCS_SCROLLSIZEGRIP};
        ThemeServices().DrawElement(C.Handle(), Gripper, Grip, Handle());
        return;
    }
    if (!SizeGripMarlettAvailable()) {
        // Without the symbol font the system draws the grip.
        DrawFrameControl(C.Handle(), &Grip, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
        return;
    }
    TFont Saved;
    Saved.Assign(C.Font());
    const TBrushStyle OldStyle = C.Brush().Style();
    C.Font().SetName("Marlett");
    C.Font().SetSize(12);
    C.Font().SetCharset(DEFAULT_CHARSET);
    C.Font().SetStyle(0);
    C.Brush().SetStyle(TBrushStyle::bsClear);
    C.Font().SetColor(clBtnHighlight);
    C.TextOut(Grip.left, Grip.top, "o");
    C.Font().SetColor(clBtnShadow);
    C.TextOut(Grip.left, Grip.top, "p");
    C.Font().Assign(Saved);
    C.Brush().SetStyle(OldStyle);
}

void TMvPanel::MouseEnter(TControl* Control) {
    const bool Self = Control == nullptr || Control == this;
    if (!HasState(csDesigning) && Self && !MouseOver()) {
        FOldColor = Color();
        if (!TransparentWithoutThemes()) {
            SetColor(FHotColor);
            MouseLeaveTimer().Attach(this);
        }
    }
    TMvCustomPanel::MouseEnter(Control);
}

void TMvPanel::MouseLeave(TControl* Control) {
    const bool Self = Control == nullptr || Control == this;
    if (!HasState(csDesigning) && Self && MouseOver() && !TransparentWithoutThemes()) {
        SetColor(FOldColor);
        MouseLeaveTimer().Detach(this);
    }
    TMvCustomPanel::MouseLeave(Control);
}

void TMvPanel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (FSizeable && Button == TMouseButton::mbLeft && Width() - X < 12 && Height() - Y < 12) {
        FSizing = true;
        FSizeStart = POINT{X, Y};
        SetCapture(Handle());
        ::SetCursor(CursorHandle(crSizeNWSE));
        return;
    }
    TMvCustomPanel::MouseDown(Button, Shift, X, Y);
}

void TMvPanel::MouseMove(TShiftState Shift, int X, int Y) {
    if (FSizing) {
        const int NewWidth = Width() + X - FSizeStart.x;
        const int NewHeight = Height() + Y - FSizeStart.y;
        if (NewWidth >= 2 && NewHeight >= 2) {
            FSizeStart = POINT{X, Y};
            SetBounds(Left(), Top(), NewWidth, NewHeight);
            Repaint();
        }
    } else {
        TMvCustomPanel::MouseMove(Shift, X, Y);
    }
    const bool OnGrip = FSizeable && Width() - X < 12 && Height() - Y < 12;
    SetCursor(OnGrip ? crSizeNWSE : crDefault);
}

void TMvPanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (!FSizing) {
        TMvCustomPanel::MouseUp(Button, Shift, X, Y);
        return;
    }
    FSizing = false;
    ReleaseCapture();
    ::SetCursor(CursorHandle(crArrow));
    Repaint();
}

bool TMvPanel::DoBeforeMove(int X, int Y) {
    bool Allow = true;
    if (OnBeforeMove) OnBeforeMove(this, X, Y, Allow);
    return Allow;
}

void TMvPanel::DoAfterMove() {
    if (OnAfterMove) OnAfterMove(this);
}

void TMvPanel::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_NCHITTEST: {
        TMvCustomPanel::WndProc(Message);
        if (!FMovable) return;
        const POINT P = ScreenToClient(
            POINT{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))});
        if (P.x >= 6 && P.y >= 6 && P.x < Width() - 5 && P.y < Height() - 5 && DoBeforeMove(P.x, P.y)) {
            Message.Result = HTCAPTION;
            FMoving = true;
        }
        return;
    }
    case WM_EXITSIZEMOVE: {
        TMvCustomPanel::WndProc(Message);
        const bool WasMoving = FMoving;
        FMoving = false;
        if (WasMoving) DoAfterMove();
        return;
    }
    default:
        TMvCustomPanel::WndProc(Message);
    }
}

void TMvPanel::Loaded() {
    TMvCustomPanel::Loaded();
    if (FArrangeSettings->AutoArrange()) ArrangeChildren();
}

void TMvPanel::AlignControls(TControl* Control, RECT& Rect) {
    TMvCustomPanel::AlignControls(Control, Rect);
    if (FArrangeSettings->AutoArrange()) ArrangeChildren();
}

void TMvPanel::Resize() {
    if (FArrangeSettings->AutoArrange()) ArrangeChildren();
    TMvCustomPanel::Resize();
}

void TMvPanel::SetWidth(int Value) {
    const bool Changed = Value != Width();
    TMvCustomPanel::SetBounds(Left(), Top(), Value, Height());
    if (TransparentWithoutThemes()) Invalidate();
    if (!Changed) return;
    if (OnChangedWidth) OnChangedWidth(this, Width());
    SizeChangedBy(true, false);
}

void TMvPanel::SetHeight(int Value) {
    const bool Changed = Value != Height();
    TMvCustomPanel::SetBounds(Left(), Top(), Width(), Value);
    if (TransparentWithoutThemes()) Invalidate();
    if (!Changed) return;
    if (OnChangedHeight) OnChangedHeight(this, Height());
    SizeChangedBy(false, true);
}

void TMvPanel::SizeChangedBy(bool, bool) {
    if (OnResizeParent) {
        OnResizeParent(this, Left(), Top(), Width(), Height());
    } else if (auto* Owner = dynamic_cast<TMvPanel*>(Parent())) {
        Owner->ArrangeSettings().RearrangeChildren();
    }
}

void TMvPanel::ArrangeChildren() {
    if (ControlCount() == 0 || HasState(csLoading) || HasState(csReading) || FArranging) return;
    struct TFlag {
        bool& F;
        explicit TFlag(bool& Flag) : F(Flag) { F = true; }
        ~TFlag() { F = false; }
    } Guard(FArranging);

    const TMvArrangeSettings& S = *FArrangeSettings;
    const bool AutoWidth =
        S.AutoSize() == TMvAutoSizePanel::asWidth || S.AutoSize() == TMvAutoSizePanel::asBoth;
    const bool AutoHeight =
        S.AutoSize() == TMvAutoSizePanel::asHeight || S.AutoSize() == TMvAutoSizePanel::asBoth;
    int W = Width(), H = Height();
    const int OldW = W, OldH = H;
    int RowTop = S.BorderTop(), RowLeft = S.BorderLeft();
    // The extents start one margin inside the panel, so that the margin added
    // back at the end gives the same size when nothing is wider: arranging
    // twice gives the same result.
    int RightExtent = AutoWidth ? W - S.BorderLeft() : -1;
    int BottomExtent = AutoHeight ? H - S.BorderTop() : -1;

    std::vector<TWinControl*> Windowed;
    for (int I = 0; I < ControlCount(); ++I)
        if (auto* Child = dynamic_cast<TWinControl*>(Controls(I))) Windowed.push_back(Child);
    for (TWinControl* Child : Windowed) {
        if (auto* Inner = dynamic_cast<TMvPanel*>(Child)) Inner->ArrangeSettings().RearrangeChildren();
        W = std::max(W, Child->Width() + 2 * S.BorderLeft());
    }
    if (S.MaxWidth() >= 1 && S.MaxWidth() < W) W = S.MaxWidth();

    int RowHeight = -1;
    const bool Designing = HasState(csDesigning);
    for (int Order = 0;; ++Order) {
        auto It = std::find_if(Windowed.begin(), Windowed.end(),
                               [Order](TWinControl* C) { return C->TabOrder() == Order; });
        if (It == Windowed.end()) break;
        TWinControl* Child = *It;
        if (!Child->Visible() && !(Designing && S.ShowNotVisibleAtDesignTime())) continue;
        const int CW = Child->Width(), CH = Child->Height();
        const int NextRight = RowLeft + CW + S.DistanceHorizontal() + S.BorderLeft();
        const bool Fits = !((NextRight > W && !AutoWidth) || (S.MaxWidth() >= 1 && S.MaxWidth() < NextRight));
        if (!Fits && RowLeft > S.BorderLeft() && S.WrapControls()) {
            RowLeft = S.BorderLeft();
            RowTop += RowHeight + S.DistanceVertical();
            RowHeight = -1;
        }
        Child->SetBounds(RowLeft, RowTop, CW, CH);
        RightExtent = std::max(RightExtent, RowLeft + CW);
        RowLeft += CW + S.DistanceHorizontal();
        RowHeight = std::max(RowHeight, CH);
        BottomExtent = RowTop + RowHeight;
    }

    if (!HasState(csLoading)) {
        if (AutoWidth) {
            if (RightExtent >= 0 && S.MaxWidth() >= 1 && S.MaxWidth() <= RightExtent)
                W = S.MaxWidth();
            else
                W = RightExtent < 0 ? 0 : S.BorderLeft() + RightExtent;
        }
        if (AutoHeight) H = BottomExtent < 0 ? 0 : S.BorderTop() + BottomExtent;
        SetWidth(W);
        SetHeight(H);
    }
    if (W != OldW || H != OldH) {
        if (HWND Focus = GetFocus()) SendMessageA(Focus, WM_PAINT, 0, 0);
    }
}
