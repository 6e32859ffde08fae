// TMvCustomSpeedButton and TMvImageSpeedButton.
#include "controls/MvSpeedButton.h"

#include "controls/MvFragments.h"
#include "gui/Application.h"
#include "gui/ImgList.h"
#include "gui/Menus.h"
#include "gui/Themes.h"
#include "gui/Timers.h"
#include "controls/MvThemes.h"

#include <uxtheme.h>

#include <algorithm>

namespace {

// The button colour with each channel moved by Delta, within 0..255.
COLORREF Shade(TColor Color, int Delta) {
    const COLORREF c = ColorToRGB(Color);
    auto channel = [Delta](int v) { return static_cast<BYTE>(std::clamp(v + Delta, 0, 255)); };
    return RGB(channel(GetRValue(c)), channel(GetGValue(c)), channel(GetBValue(c)));
}

// One frame line of width 1: top-left in TopLeft, bottom-right in BottomRight; R shrinks by one.
void Frame3D(HDC DC, RECT& R, COLORREF TopLeft, COLORREF BottomRight) {
    TGdiObject<HPEN> light(CreatePen(PS_SOLID, 1, TopLeft)), dark(CreatePen(PS_SOLID, 1, BottomRight));
    {
        TSelectObject sel(DC, light.Get());
        MoveToEx(DC, R.left, R.bottom - 1, nullptr);
        LineTo(DC, R.left, R.top);
        LineTo(DC, R.right - 1, R.top);
    }
    {
        TSelectObject sel(DC, dark.Get());
        MoveToEx(DC, R.right - 1, R.top, nullptr);
        LineTo(DC, R.right - 1, R.bottom - 1);
        LineTo(DC, R.left - 1, R.bottom - 1);
    }
    InflateRect(&R, -1, -1);
}

// Fills R with a two-colour checker pattern.
void FillChecker(HDC DC, const RECT& R, TColor A, TColor B) {
    auto pattern = MakeCheckerPatternBitmap(A, B);
    TGdiObject<HBRUSH> brush(CreatePatternBrush(pattern->Handle()));
    FillRect(DC, &R, brush.Get());
}

bool NewControlLook() {
    return true; // every Windows this program runs on has it
}

} // namespace

TMvCustomSpeedButton::TMvCustomSpeedButton(TComponent* AOwner)
    : TMvGraphicControl(AOwner), FButtonGlyph(std::make_unique<TMvxButtonGlyph>()),
      FHotTrackFont(std::make_unique<TFont>()) {
    SetParentColor(false);
    SetColor(clBtnFace);
    SetBounds(0, 0, 25, 25);
    SetControlStyle(csCaptureMouse | csOpaque | csDoubleClicks);
    SetParentFont(true);
    SetParentShowHint(false);
    SetShowHint(true);
    FButtonGlyph->SetGrayNewStyle(true);
    FButtonGlyph->OnChange = [this](TObject*) { Invalidate(); };
}

TMvCustomSpeedButton::~TMvCustomSpeedButton() {
    StopRepeat();
}

void TMvCustomSpeedButton::Loaded() {
    TMvGraphicControl::Loaded();
    PrepareStateImage();
}

void TMvCustomSpeedButton::PrepareStateImage() {
    const TMvButtonState s = !Enabled() ? rbsDisabled : FFlat ? rbsInactive : rbsUp;
    FButtonGlyph->BuildStateImage(s);
}

// ---- setters ----

void TMvCustomSpeedButton::SetAllowAllUp(bool Value) {
    if (Value == FAllowAllUp) return;
    FAllowAllUp = Value;
    SendGroupMessage();
}

void TMvCustomSpeedButton::SetGroupIndex(int Value) {
    if (Value == FGroupIndex) return;
    FGroupIndex = Value;
    SendGroupMessage();
}

void TMvCustomSpeedButton::SetAllowTimer(bool Value) {
    FAllowTimer = Value;
    if (!Value && FRepeatTimer) {
        delete FRepeatTimer;
        FRepeatTimer = nullptr;
    }
}

void TMvCustomSpeedButton::SetDropDownMenu(TPopupMenu* Value) {
    if (Value == FDropDownMenu) return;
    if (FDropDownMenu) FDropDownMenu->RemoveFreeNotification(this);
    FDropDownMenu = Value;
    if (Value) Value->FreeNotification(this);
    if (FMarkDropDown) Invalidate();
}

#define MV_REPAINTING_SETTER(Name, Type, Field)                                                              \
    void TMvCustomSpeedButton::Set##Name(Type Value) {                                                       \
        if (Value == Field) return;                                                                          \
        Field = Value;                                                                                       \
        Invalidate();                                                                                        \
    }
MV_REPAINTING_SETTER(Flat, bool, FFlat)
MV_REPAINTING_SETTER(GrayedInactive, bool, FGrayedInactive)
MV_REPAINTING_SETTER(Layout, TButtonLayout, FLayout)
MV_REPAINTING_SETTER(MarkDropDown, bool, FMarkDropDown)
MV_REPAINTING_SETTER(Spacing, int, FSpacing)
MV_REPAINTING_SETTER(Style, TButtonStyle, FStyle)
MV_REPAINTING_SETTER(Transparent, bool, FTransparent)
#undef MV_REPAINTING_SETTER

void TMvCustomSpeedButton::SetMargin(int Value) {
    if (Value < -1 || Value == FMargin) return;
    FMargin = Value;
    Invalidate();
}

void TMvCustomSpeedButton::SetAlignment(TAlignment Value) {
    FButtonGlyph->SetAlignment(Value);
    Invalidate();
}

void TMvCustomSpeedButton::SetWordWrap(bool Value) {
    FButtonGlyph->SetWordWrap(Value);
    Invalidate();
}

void TMvCustomSpeedButton::SetGrayNewStyle(bool Value) {
    FButtonGlyph->SetGrayNewStyle(Value);
    Invalidate();
}

void TMvCustomSpeedButton::SetHotTrackFontOptions(TMvTrackFontOptions Value) {
    FHotTrackFontOptions = Value;
    CopyFontUnlessPreserved(*FHotTrackFont, Font(), FHotTrackFontOptions);
}

void TMvCustomSpeedButton::SetDown(bool Value) {
    if (FGroupIndex == 0) Value = false;
    if (Value == FDown) return;
    if (FDown && !FAllowAllUp) return; // a grouped button is raised only by another one
    FDown = Value;
    if (Value) {
        if (FState == rbsUp) Invalidate();
        FState = rbsExclusive;
    } else {
        FState = rbsUp;
        Invalidate();
    }
    if (Value) SendGroupMessage();
    Invalidate();
}

// ---- groups ----

void TMvCustomSpeedButton::SendGroupMessage() {
    if (!Parent() || FGroupIndex == 0) return;
    TMessage M{CM_MVBUTTONPRESSED, static_cast<WPARAM>(FGroupIndex), reinterpret_cast<LPARAM>(this), 0};
    Parent()->Broadcast(M);
}

void TMvCustomSpeedButton::ButtonPressed(TMessage& Message) {
    if (static_cast<int>(Message.WParam) != FGroupIndex || !Parent() || !Parent()->HandleAllocated()) return;
    auto* Sender = dynamic_cast<TMvCustomSpeedButton*>(reinterpret_cast<TControl*>(Message.LParam));
    if (!Sender || Sender == this) return;
    if (Sender->Down() && FDown) {
        FDown = false;
        FState = rbsUp;
        Invalidate();
    }
    FAllowAllUp = Sender->AllowAllUp();
}

// ---- keys, clicks, notifications ----

void TMvCustomSpeedButton::Click() {
    if (TForm* Form = GetParentForm(this)) Form->SetModalResult(FModalResult);
    TMvGraphicControl::Click();
}

bool TMvCustomSpeedButton::WantKey(int Key, TShiftState Shift, const std::string& KeyText) {
    if (IsAccel(static_cast<unsigned>(Key), Caption()) && Enabled() && (Shift & ssAlt)) {
        Click();
        return true;
    }
    TMvGraphicControl::WantKey(Key, Shift, KeyText);
    return false;
}

void TMvCustomSpeedButton::EnabledChanged() {
    PrepareStateImage();
    TMvGraphicControl::EnabledChanged();
    UpdateTracking();
    Invalidate();
}

void TMvCustomSpeedButton::FontChanged() {
    TMvGraphicControl::FontChanged();
    CopyFontUnlessPreserved(*FHotTrackFont, Font(), FHotTrackFontOptions);
    Invalidate();
}

void TMvCustomSpeedButton::VisibleChanged() {
    TMvGraphicControl::VisibleChanged();
    if (Visible()) UpdateTracking();
}

void TMvCustomSpeedButton::Notification(TComponent* AComponent, TOperation Operation) {
    TMvGraphicControl::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FDropDownMenu) FDropDownMenu = nullptr;
    if (Operation == TOperation::opRemove && AComponent == FRepeatTimer) FRepeatTimer = nullptr;
}

void TMvCustomSpeedButton::UpdateTracking() {
    if (!Enabled() || !Parent()) return;
    POINT P{};
    GetCursorPos(&P);
    bool Over = false;
    if (Parent()->HandleAllocated())
        Over = Parent()->ControlAtPos(Parent()->ScreenToClient(P)) == this && ActiveWindowInThisThread();
    if (Over != MouseOver()) Perform(Over ? CM_MOUSEENTER : CM_MOUSELEAVE, 0, 0);
}

void TMvCustomSpeedButton::MouseEnter(TControl* Control) {
    if (MouseOver() || !Enabled()) return;
    const bool Repaint = ThemeServices().ThemesEnabled() || FHotTrack || (FFlat && GetCapture() == nullptr);
    TMvGraphicControl::MouseEnter(Control);
    if (Repaint) Invalidate();
}

void TMvCustomSpeedButton::MouseLeave(TControl* Control) {
    if (!MouseOver() || !Enabled()) return;
    const bool Repaint = ThemeServices().ThemesEnabled() || FHotTrack || (FFlat && !FDragging);
    TMvGraphicControl::MouseLeave(Control);
    if (Repaint) Invalidate();
}

// ---- press, drag, release ----

POINT TMvCustomSpeedButton::DropDownPoint() const {
    if (!FDropDownMenu) return POINT{0, 0};
    // Menus align to the left here; the drop point is the button's lower left corner
    // (just outside, so the menu's frame meets the button's).
    if (FMenuPosition == TMvDropDownMenuPos::dmpBottom) return POINT{-1, Height()};
    return POINT{Width(), -1};
}

void TMvCustomSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (FMenuTracking) return;
    TMvGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Enabled() && !MouseOver()) {
        Perform(CM_MOUSEENTER, 0, 0);
        Invalidate();
    }
    if (Button != TMouseButton::mbLeft || !Enabled()) return;
    if (!FDown) {
        FState = rbsDown;
        Invalidate();
    }
    FDragging = true;
    FMenuTracking = true;
    struct TTrackingEnd {
        bool& Flag;
        ~TTrackingEnd() { Flag = false; }
    } TrackingEnd{FMenuTracking};

    if (FDropDownMenu && FDropDownMenu->AutoPopup()) {
        if (GetCaptureControl() == this) SetCaptureControl(nullptr);
        FDropDownMenu->SetPopupComponent(this);
        const POINT At = ClientToScreen(DropDownPoint());
        FDropDownMenu->Popup(At.x, At.y);
        // The menu has closed: its release is handled now, and it clicks nothing.
        Release(Button, X, Y);
        StopRepeat();
    }
    // The click that closed a menu must not press the button again.
    if (Parent() && Parent()->HandleAllocated()) {
        MSG Next{};
        HWND Wnd = Parent()->Handle();
        if (PeekMessageA(&Next, Wnd, 0, 0, PM_NOREMOVE) &&
            (Next.message == WM_LBUTTONDOWN || Next.message == WM_LBUTTONDBLCLK)) {
            const POINT P{MessageX(static_cast<LPARAM>(Next.lParam)),
                          MessageY(static_cast<LPARAM>(Next.lParam))};
            const RECT Bounds = BoundsRect();
            if (PtInRect(&Bounds, P)) KillMessage(Wnd, Next.message);
        }
    }
    FMenuTracking = false;
    // Repeat only while the button is still held: after a menu the release is done.
    if (FAllowTimer && FDragging) {
        if (!FRepeatTimer) {
            FRepeatTimer = new TTimer(this);
            FRepeatTimer->SetOnTimer([this](TObject*) { RepeatTick(); });
        }
        FRepeatTimer->SetEnabled(false);
        FRepeatTimer->SetInterval(FInitPause);
        FRepeatTimer->SetEnabled(true);
    }
}

void TMvCustomSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
    TMvGraphicControl::MouseMove(Shift, X, Y);
    if (!FDragging) return;
    const TMvButtonState New = FDown ? rbsExclusive : Inside(X, Y) ? rbsDown : rbsUp;
    if (New != FState) {
        FState = New;
        Invalidate();
    }
}

void TMvCustomSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TMvGraphicControl::MouseUp(Button, Shift, X, Y);
    Release(Button, X, Y);
    StopRepeat();
}

void TMvCustomSpeedButton::Release(TMouseButton Button, int X, int Y) {
    if (!FDragging || Button != TMouseButton::mbLeft) return;
    FDragging = false;
    const bool In = Inside(X, Y);
    if (FGroupIndex == 0) {
        FState = rbsUp;
        Perform(CM_MOUSELEAVE, 0, 0);
        Invalidate();
    } else if (In) {
        SetDown(!FDown);
        if (FDown) Invalidate();
    } else {
        if (FDown) FState = rbsExclusive;
        Invalidate();
    }
    if (In && !FMenuTracking) Click();
    UpdateTracking();
}

void TMvCustomSpeedButton::StopRepeat() {
    if (FRepeatTimer) FRepeatTimer->SetEnabled(false);
}

void TMvCustomSpeedButton::RepeatTick() {
    FRepeatTimer->SetInterval(FRepeatInterval);
    if (FState == rbsDown && GetCaptureControl() == this) {
        try {
            Click();
        } catch (...) {
            StopRepeat();
            throw;
        }
    }
}

// ---- messages and painting ----

void TMvCustomSpeedButton::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CM_MVBUTTONPRESSED:
        ButtonPressed(Message);
        return;
    case CM_SYSCOLORCHANGE:
        FButtonGlyph->ClearStateImages();
        Invalidate();
        return;
    case WM_LBUTTONDBLCLK:
        if (FMenuTracking) return;
        TMvGraphicControl::WndProc(Message);
        if (FDown) DblClick();
        return;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        TMvGraphicControl::WndProc(Message);
        UpdateTracking();
        return;
    case WM_PAINT:
        if (FDoubleBuffered && Message.WParam) {
            PaintDoubleBuffered(Message);
            return;
        }
        break;
    default:
        break;
    }
    TMvGraphicControl::WndProc(Message);
}

void TMvCustomSpeedButton::PaintDoubleBuffered(TMessage& Message) {
    HDC Target = reinterpret_cast<HDC>(Message.WParam);
    const int W = std::max(Width(), 1), H = std::max(Height(), 1);
    TMemoryDC Memory(Target);
    TGdiObject<HBITMAP> Bitmap(CreateCompatibleBitmap(Target, W, H));
    TSelectObject Select(Memory.Get(), Bitmap.Get());
    {
        TSavedDC Saved(Target);
        TMessage Inner{WM_PAINT, reinterpret_cast<WPARAM>(Memory.Get()), 0, 0};
        TMvGraphicControl::WndProc(Inner);
    }
    BitBlt(Target, 0, 0, W, H, Memory.Get(), 0, 0, SRCCOPY);
}

TMvButtonState TMvCustomSpeedButton::DrawingState() const {
    if (FFlat && !MouseOver() && FState != rbsDisabled && FGrayedInactive) return rbsInactive;
    return FState;
}

void TMvCustomSpeedButton::DrawFrame(TCanvas& Canvas, RECT& R, bool Pressed) {
    HDC DC = Canvas.Handle();
    const COLORREF Face = ColorToRGB(Color()), Light = Shade(Color(), 64), Dark = Shade(Color(), -64);
    const COLORREF Frame = ColorToRGB(clWindowFrame);
    const bool NewStyle =
        FStyle == TButtonStyle::bsNew || (FStyle == TButtonStyle::bsAutoDetect && NewControlLook());
    if (!Pressed) {
        if (!NewStyle && FFlat) {
            Frame3D(DC, R, Light, Frame);
        } else if (!NewStyle) {
            Frame3D(DC, R, Frame, Frame);
            Frame3D(DC, R, Light, Dark);
        } else if (FFlat) {
            Frame3D(DC, R, Light, Dark);
        } else {
            Frame3D(DC, R, Light, Frame);
            Frame3D(DC, R, Face, Dark);
        }
    } else {
        if (NewStyle && FFlat) {
            Frame3D(DC, R, Dark, Light);
        } else if (NewStyle) {
            Frame3D(DC, R, Frame, Light);
            Frame3D(DC, R, Dark, Face);
        } else if (FFlat) {
            Frame3D(DC, R, Frame, Light);
        } else {
            Frame3D(DC, R, Frame, Frame);
            TGdiObject<HPEN> Shadow(CreatePen(PS_SOLID, 1, ColorToRGB(clBtnShadow)));
            TSelectObject Sel(DC, Shadow.Get());
            MoveToEx(DC, R.left, R.bottom - 1, nullptr);
            LineTo(DC, R.left, R.top);
            LineTo(DC, R.right, R.top);
        }
    }
    InflateRect(&R, -1, -1);
}

void TMvCustomSpeedButton::Paint() {
    if (!Enabled()) {
        FState = rbsDisabled;
        FDragging = false;
    } else if (FState == rbsDisabled) {
        FState = FDown && FGroupIndex != 0 ? rbsExclusive : rbsUp;
    }
    TMvButtonState Draw = (FFlat && !MouseOver()) ? rbsInactive : FState;
    TCanvas& C = Canvas();
    RECT R = ClientRect();
    POINT Offset{0, 0};
    const bool Pressed = FState == rbsDown || FState == rbsExclusive;
    const bool Hot = IsHot();
    if (ThemeServices().ThemesEnabled() && Parent() && Parent()->HandleAllocated()) {
        if (FTransparent)
            CopyParentImage(this, C);
        else
            PerformEraseBackgroundAtControl(this, C.Handle(), nullptr);
        if (Hot && FHotTrack) C.Font().Assign(*FHotTrackFont);
        TThemedElementDetails Details;
        if (FFlat) {
            Details.ClassList = L"TOOLBAR";
            Details.Part = 1; // TP_BUTTON
        } else {
            Details.ClassList = L"BUTTON";
            Details.Part = 1; // BP_PUSHBUTTON
        }
        Details.State = FState == rbsDisabled ? 4 : Pressed ? 3 : Hot ? 2 : 1;
        Details.ClassicState =
            DFCS_BUTTONPUSH | (Pressed ? DFCS_PUSHED : 0u) | (FState == rbsDisabled ? DFCS_INACTIVE : 0u);
        ThemeServices().DrawElement(C.Handle(), Details, R, Parent()->Handle());
        TThemeData Theme(Parent()->Handle(), Details.ClassList);
        if (Theme) {
            RECT Content{};
            if (SUCCEEDED(GetThemeBackgroundContentRect(Theme.Get(), C.Handle(), Details.Part, Details.State,
                                                        &R, &Content)))
                R = Content;
        }
        if (Pressed) Offset = POINT{1, 0};
    } else {
        if (FTransparent) {
            CopyParentImage(this, C);
        } else {
            C.Brush().SetStyle(TBrushStyle::bsSolid);
            C.Brush().SetColor(Color());
            C.FillRect(R);
        }
        if (!(Draw == rbsInactive && FState != rbsExclusive))
            DrawFrame(C, R, Pressed);
        else
            InflateRect(&R, -2, -2);
        if (FState == rbsExclusive && !FTransparent && (!FFlat || Draw == rbsInactive)) {
            RECT Face = R;
            InflateRect(&Face, 1, 1);
            FillChecker(C.Handle(), Face, clBtnFace, clBtnHighlight);
        }
        if (Pressed) Offset = POINT{1, 1};
        if (((FHotTrackOptions.Enabled && FDown) || Hot) && FHotTrack) {
            C.Font().Assign(*FHotTrackFont);
            if (FHotTrackOptions.Enabled) {
                RECT Whole = ClientRect();
                if (FDown)
                    FillChecker(C.Handle(), Whole, FHotTrackOptions.Color, clWindow);
                else {
                    C.Brush().SetStyle(TBrushStyle::bsSolid);
                    C.Brush().SetColor(FHotTrackOptions.Color);
                    C.FillRect(Whole);
                }
                C.Brush().SetColor(FHotTrackOptions.FrameColor);
                C.FrameRect(Whole);
            }
        }
    }
    if (FState == rbsDisabled || !FGrayedInactive) Draw = FState;
    PaintImage(C, R, Offset, Draw, FMarkDropDown && FDropDownMenu != nullptr);
}

// ---- TMvImageSpeedButton ----

TMvImageSpeedButton::TMvImageSpeedButton(TComponent* AOwner) : TMvCustomSpeedButton(AOwner) {
    FImageChangeLink.OnChange = [this](TObject*) { Invalidate(); };
}

TMvImageSpeedButton::~TMvImageSpeedButton() {
    SetAction(nullptr);
    if (FImages) FImages->RemoveFreeNotification(this);
}

bool TMvImageSpeedButton::ShowingHotImage() const {
    return IsHot() && HotTrack() && FHotTrackImageIndex != -1;
}

void TMvImageSpeedButton::SetImageIndex(int Value) {
    if (Value == FImageIndex) return;
    FImageIndex = Value;
    if (!ShowingHotImage()) Invalidate();
}

void TMvImageSpeedButton::SetHotTrackImageIndex(int Value) {
    if (Value == FHotTrackImageIndex) return;
    FHotTrackImageIndex = Value;
    if (ShowingHotImage()) Invalidate();
}

void TMvImageSpeedButton::SetImages(TImageList* Value) {
    if (Value == FImages) return;
    if (FImages) {
        FImages->UnRegisterChanges(FImageChangeLink);
        FImages->RemoveFreeNotification(this);
    }
    FImages = Value;
    if (Value) {
        Value->RegisterChanges(FImageChangeLink);
        Value->FreeNotification(this);
    } else {
        SetImageIndex(-1);
    }
    Invalidate();
}

void TMvImageSpeedButton::Notification(TComponent* AComponent, TOperation Operation) {
    TMvCustomSpeedButton::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FImages) FImages = nullptr;
    if (Operation == TOperation::opRemove && AComponent == FAction) FAction = nullptr;
}

void TMvImageSpeedButton::SetAction(TAction* Value) {
    if (Value == FAction) return;
    if (FAction) {
        FAction->RemoveChangeListener(this);
        FAction->RemoveFreeNotification(this);
    }
    FAction = Value;
    if (!FAction) return;
    FAction->FreeNotification(this);
    FAction->AddChangeListener(this, [this] { ActionChanged(true); });
    ActionChanged(false);
}

void TMvImageSpeedButton::ActionChanged(bool CheckDefaults) {
    if (!FAction) return;
    const TActionValues Now{FAction->Checked(), FAction->GroupIndex(), FAction->ImageIndex()};
    SetCaption(FAction->Caption());
    if (Enabled() != FAction->Enabled()) SetEnabled(FAction->Enabled());
    SetHint(FAction->Hint());
    if (Visible() != FAction->Visible()) SetVisible(FAction->Visible());
    // A value is linked while the button still shows what the action had.
    const bool First = !CheckDefaults;
    if (First || GroupIndex() == FActionSeen.GroupIndex) SetGroupIndex(Now.GroupIndex);
    if (GroupIndex() != 0 && AllowAllUp() && (First || Down() == FActionSeen.Checked)) SetDown(Now.Checked);
    if (TActionList* List = FAction->ActionList())
        if (List->Images() && (First || !FImages)) SetImages(List->Images());
    if (First || FImageIndex == -1 || FImageIndex == FActionSeen.ImageIndex) SetImageIndex(Now.ImageIndex);
    FActionSeen = Now;
}

void TMvImageSpeedButton::Click() {
    if (!FAction) {
        TMvCustomSpeedButton::Click();
        return;
    }
    if (TForm* Form = GetParentForm(this)) Form->SetModalResult(ModalResult());
    FAction->Execute();
}

void TMvImageSpeedButton::PaintImage(TCanvas& Canvas, const RECT& ARect, POINT Offset, TMvButtonState AState,
                                     bool DrawMark) {
    const int Index = ShowingHotImage() ? FHotTrackImageIndex : FImageIndex;
    UINT Flags = Alignment() == TAlignment::taLeftJustify    ? DT_LEFT
                 : Alignment() == TAlignment::taRightJustify ? DT_RIGHT
                                                             : DT_CENTER;
    ButtonGlyph().DrawButton(Canvas, ARect, Flags, AState, Index, FImages, DrawMark, Spacing(), Margin(),
                             Layout(), Caption(), Offset);
}
