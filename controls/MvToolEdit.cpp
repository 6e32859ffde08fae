// TMvCustomComboEdit, its drop-down window and its button.
#include "controls/MvToolEdit.h"

#include "controls/MvFragments.h"
#include "gui/Application.h"
#include "gui/Themes.h"

#include <objbase.h>

#include <algorithm>

// ---- TMvPopupWindow ----

TMvPopupWindow::TMvPopupWindow(TMvCustomComboEdit* AOwner)
    : TMvExCustomControl(AOwner), FEditControl(AOwner) {
    SetVisible(false);
    SetColor(clWindow);
}

void TMvPopupWindow::CreateParams(TCreateParams& Params) {
    TMvExCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_CLIPCHILDREN | WS_BORDER;
    Params.ExStyle = WS_EX_TOOLWINDOW;
    Params.WindowClass.style |= CS_SAVEBITS;
    if (FEditControl) {
        if (TForm* Form = GetParentForm(FEditControl))
            Params.WndParent = Form->Handle();
        else if (FEditControl->HandleAllocated())
            Params.WndParent = GetAncestor(FEditControl->Handle(), GA_ROOT);
    }
}

void TMvPopupWindow::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_MOUSEACTIVATE:
        Message.Result = FClickActivates ? MA_ACTIVATE : MA_NOACTIVATE;
        return;
    case WM_ACTIVATE:
        TMvExCustomControl::WndProc(Message);
        if (LOWORD(Message.WParam) == WA_INACTIVE) {
            if (FEditControl)
                FEditControl->ClosePopupLater(false);
            else
                CloseUp(false);
        }
        return;
    case WM_LBUTTONUP: {
        TMvExCustomControl::WndProc(Message);
        const POINT P{MessageX(Message.LParam), MessageY(Message.LParam)};
        const RECT R = ClientRect();
        CloseUp(PtInRect(&R, P) != 0);
        return;
    }
    default:
        break;
    }
    TMvExCustomControl::WndProc(Message);
}

void TMvPopupWindow::CloseUp(bool Accept) {
    if (OnCloseUp) OnCloseUp(this, Accept);
}

void TMvPopupWindow::Show(POINT Origin) {
    SetBounds(Origin.x, Origin.y, Width(), Height());
    SetWindowPos(Handle(), HWND_TOP, Origin.x, Origin.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    SetVisible(true);
}

// ---- TMvEditButton ----

TMvEditButton::TMvEditButton(TComponent* AOwner, TMvCustomComboEdit* Edit)
    : TMvImageSpeedButton(AOwner), FEdit(Edit) {}

void TMvEditButton::WndProc(TMessage& Message) {
    if (Message.Msg == WM_CONTEXTMENU) {
        Message.Result = 1;
        return;
    }
    TMvImageSpeedButton::WndProc(Message);
}

void TMvEditButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == TMouseButton::mbLeft && FEdit) {
        if (FEdit->PopupVisible()) {
            // This press closes the drop-down; the click that follows must not open it again.
            FEdit->ClosePopup(FEdit, true);
            FNoAction = true;
        } else if (FEdit->TabStop() && FEdit->CanFocus()) {
            FEdit->SetFocus();
        }
    }
    TMvImageSpeedButton::MouseDown(Button, Shift, X, Y);
}

void TMvEditButton::Click() {
    if (FNoAction) {
        FNoAction = false;
        return;
    }
    if (FEdit && (!FEdit->EditReadOnly() || FEdit->AlwaysEnableButton())) FEdit->ButtonClick();
    TMvImageSpeedButton::Click();
}

void TMvEditButton::PaintImage(TCanvas& Canvas, const RECT& ARect, POINT Offset, TMvButtonState AState,
                               bool DrawMark) {
    if (!FEdit || FEdit->GlyphKind() != gkDropDown) {
        TMvImageSpeedButton::PaintImage(Canvas, ARect, Offset, AState, DrawMark);
        return;
    }
    const RECT Whole = ClientRect();
    const bool Pressed = AState == rbsDown || AState == rbsExclusive;
    if (ThemeServices().ThemesEnabled() && Parent() && Parent()->HandleAllocated()) {
        TThemedElementDetails Details;
        Details.ClassList = L"COMBOBOX";
        Details.Part = 1; // CP_DROPDOWNBUTTON
        Details.State = AState == rbsDisabled ? 4 : Pressed ? 3 : MouseOver() ? 2 : 1;
        Details.ClassicType = DFC_SCROLL;
        Details.ClassicState =
            DFCS_SCROLLCOMBOBOX | (Pressed ? DFCS_PUSHED : 0u) | (AState == rbsDisabled ? DFCS_INACTIVE : 0u);
        ThemeServices().DrawElement(Canvas.Handle(), Details, Whole, Parent()->Handle());
        return;
    }
    // Classic: a flat button framed in the face, shadow and highlight colours, and the arrow.
    HDC DC = Canvas.Handle();
    Canvas.Brush().SetStyle(TBrushStyle::bsSolid);
    Canvas.Brush().SetColor(clBtnFace);
    Canvas.FillRect(Whole);
    RECT R = Whole;
    DrawEdge(DC, &R, Pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    const int X = (Whole.left + Whole.right - 7) / 2 + Offset.x,
              Y = (Whole.top + Whole.bottom - 4) / 2 + Offset.y;
    TGdiObject<HPEN> Pen(CreatePen(PS_SOLID, 1, ColorToRGB(AState == rbsDisabled ? clBtnShadow : clBtnText)));
    TSelectObject Sel(DC, Pen.Get());
    for (int Row = 0; Row < 4; ++Row) {
        MoveToEx(DC, X + Row, Y + Row, nullptr);
        LineTo(DC, X + 7 - Row, Y + Row);
    }
}

// ---- TMvCustomComboEdit ----

TMvCustomComboEdit::TMvCustomComboEdit(TComponent* AOwner) : TMvExCustomMaskEdit(AOwner) {
    SetHeight(21);
    SetTabStop(true);
    FBtnControl = new TCustomControl(this);
    FBtnControl->SetParent(this);
    FBtnControl->SetBounds(0, 0, 21, 17);
    FBtnControl->SetColor(clBtnFace);
    FButton = new TMvEditButton(this, this);
    FButton->SetParent(FBtnControl);
    FButton->SetAlign(TAlign::alClient);
    FButton->SetFlat(false);
    // The auto-complete object is a COM object of this thread.
    FComStarted = SUCCEEDED(CoInitialize(nullptr));
}

TMvCustomComboEdit::~TMvCustomComboEdit() {
    SetAction(nullptr);
    if (FPopupVisible && FPopup && FPopup->HandleAllocated()) HidePopup();
    FPopupVisible = false;
    FAutoComplete.Release();
    if (FComStarted) CoUninitialize();
}

void TMvCustomComboEdit::CreateParams(TCreateParams& Params) {
    TMvExCustomMaskEdit::CreateParams(Params);
    Params.Style |= WS_CLIPCHILDREN;
    Params.Style &= ~static_cast<DWORD>(ES_RIGHT | ES_CENTER);
    if (FAlignment == TAlignment::taRightJustify) Params.Style |= ES_RIGHT;
    if (FAlignment == TAlignment::taCenter) Params.Style |= ES_CENTER;
}

void TMvCustomComboEdit::SetAlignment(TAlignment Value) {
    if (Value == FAlignment) return;
    FAlignment = Value;
    if (HandleAllocated()) RecreateWnd();
}

void TMvCustomComboEdit::CreateWnd() {
    TMvExCustomMaskEdit::CreateWnd();
    AdjustHeight();
    UpdateControls();
    RefreshAutoComplete();
}

void TMvCustomComboEdit::DestroyWnd() {
    FAutoComplete.Release();
    TMvExCustomMaskEdit::DestroyWnd();
}

void TMvCustomComboEdit::RefreshAutoComplete() {
    // Failing to make or bind the object leaves auto-complete off, silently.
    if (HandleAllocated() && (FAutoCompleteOptions & acoAutoComplete))
        FAutoComplete.Bind(Handle(), AutoCompleteSource(), FAutoCompleteOptions);
    else
        FAutoComplete.Release();
}

void TMvCustomComboEdit::ApplyAutoCompleteOptions() {
    FAutoComplete.SetOptions(FAutoCompleteOptions);
}

void TMvCustomComboEdit::SetAutoCompleteOptions(TMvAutoCompleteOptions Value) {
    if (Value == FAutoCompleteOptions) return;
    const bool Switched = (Value & acoAutoComplete) != (FAutoCompleteOptions & acoAutoComplete);
    FAutoCompleteOptions = Value;
    if (Switched || !FAutoComplete.Bound())
        RefreshAutoComplete();
    else
        ApplyAutoCompleteOptions();
}

void TMvCustomComboEdit::SetAction(TAction* Value) {
    if (Value == FAction) return;
    if (FAction) {
        FAction->RemoveChangeListener(this);
        FAction->RemoveFreeNotification(this);
        OnButtonClick = nullptr;
    }
    FAction = Value;
    if (!FAction) return;
    FAction->FreeNotification(this);
    FAction->AddChangeListener(this, [this] { ActionChanged(); });
    OnButtonClick = [this](TObject*) {
        if (FAction) FAction->Execute();
    };
    ActionChanged();
}

void TMvCustomComboEdit::ActionChanged() {
    if (!FAction) return;
    if (Enabled() != FAction->Enabled()) SetEnabled(FAction->Enabled());
    SetHint(FAction->Hint());
    if (Visible() != FAction->Visible()) SetVisible(FAction->Visible());
    if (FAction->GetShortCut() != scNone) FButtonKey = FAction->GetShortCut();
    if (TActionList* List = FAction->ActionList())
        if (List->Images()) FButton->SetImages(List->Images());
    FButton->SetImageIndex(FAction->ImageIndex());
}

void TMvCustomComboEdit::Notification(TComponent* AComponent, TOperation Operation) {
    TMvExCustomMaskEdit::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FAction) {
        FAction = nullptr;
        OnButtonClick = nullptr;
    }
}

TImageList* TMvCustomComboEdit::StandardImages() {
    // One list for the whole program, kept to its end.
    static TImageList Shared(nullptr, 14, 12);
    return &Shared;
}

void TMvCustomComboEdit::SizeChanged() {
    TMvExCustomMaskEdit::SizeChanged();
    UpdateControls();
}

void TMvCustomComboEdit::AdjustHeight() {
    TWindowDC Screen(nullptr);
    TSelectObject Sel(Screen.Get(), Font().Handle());
    TEXTMETRICA Tm{};
    GetTextMetricsA(Screen.Get(), &Tm);
    const int Wanted = Tm.tmHeight + GetSystemMetrics(SM_CYBORDER) * 8;
    if (Height() != Wanted) SetHeight(Wanted);
}

void TMvCustomComboEdit::AdjustEditRectRight(int& Right) {
    Right -= FBtnControl->Width() + 2;
}

void TMvCustomComboEdit::UpdateControls() {
    if (!HandleAllocated()) return;
    const RECT Client = ClientRect();
    const int W = FBtnControl->Visible() ? FBtnControl->Width() : 0;
    FBtnControl->SetBounds(Client.right - W, 0, W, Client.bottom);
    const bool Themed = ThemeServices().ThemesEnabled();
    RECT R{Themed ? 1 : 0, Themed ? 1 : 2, Client.right, Client.bottom - 1};
    int Right = R.right;
    AdjustEditRectRight(Right);
    R.right = std::max<LONG>(Right, R.left);
    SetEditRect(R);
}

void TMvCustomComboEdit::FontChanged() {
    TMvExCustomMaskEdit::FontChanged();
    if (HandleAllocated()) {
        AdjustHeight();
        UpdateControls();
    }
}

void TMvCustomComboEdit::EnabledChanged() {
    TMvExCustomMaskEdit::EnabledChanged();
    FButton->SetEnabled(Enabled());
    Invalidate();
}

void TMvCustomComboEdit::SetEditReadOnly(bool Value) {
    FReadOnly = Value;
    SetReadOnly(Value || !FDirectInput);
}

void TMvCustomComboEdit::SetDirectInput(bool Value) {
    FDirectInput = Value;
    SetReadOnly(!(Value && !FReadOnly));
}

void TMvCustomComboEdit::SetDisabledColor(TColor Value) {
    FDisabledColor = Value;
    if (!Enabled()) Invalidate();
}

void TMvCustomComboEdit::SetDisabledTextColor(TColor Value) {
    FDisabledTextColor = Value;
    if (!Enabled()) Invalidate();
}

void TMvCustomComboEdit::SetButtonVisible(bool Value) {
    if (Value == FBtnControl->Visible()) return;
    if (Value) {
        FBtnControl->SetWidth(FSavedButtonWidth);
        FBtnControl->SetVisible(true);
    } else {
        FSavedButtonWidth = std::max(FBtnControl->Width(), FSavedButtonWidth);
        FBtnControl->SetWidth(0);
        FBtnControl->SetVisible(false);
    }
    UpdateControls();
}

void TMvCustomComboEdit::SetButtonWidth(int Value) {
    if (Value < 2) {
        if (FBtnControl->Width() >= 2) FSavedButtonWidth = FBtnControl->Width();
        FBtnControl->SetVisible(false);
    } else {
        FSavedButtonWidth = Value;
        FBtnControl->SetWidth(Value);
        FBtnControl->SetVisible(true);
    }
    UpdateControls();
}

void TMvCustomComboEdit::SetGlyphKind(TMvGlyphKind Value) {
    FGlyphKind = Value;
    switch (Value) {
    case gkDropDown:
        SetButtonWidth(GetSystemMetrics(SM_CXVSCROLL));
        break;
    case gkDefault:
        break;
    case gkEllipsis: {
        // Three 2 x 2 dots, white being see-through.
        TBitmap Dots(10, 2, TPixelFormat::pf1bit);
        Dots.Canvas().Brush().SetColor(clWhite);
        Dots.Canvas().FillRect(RECT{0, 0, 10, 2});
        Dots.Canvas().Brush().SetColor(clBlack);
        for (int i = 0; i < 3; ++i)
            Dots.Canvas().FillRect(RECT{i * 4, 0, i * 4 + 2, 2});
        TBitmap Colour(10, 2);
        BitBlt(Colour.Canvas().Handle(), 0, 0, 10, 2, Dots.Canvas().Handle(), 0, 0, SRCCOPY);
        Colour.SetTransparentColor(clWhite);
        FButton->ButtonGlyph().SetGlyph(Colour);
        FButton->ButtonGlyph().SetNumGlyphs(1); // one picture, not a strip of 2 x 2 images
        break;
    }
    case gkCustom:
        break;
    }
    // The shared images belong to gkDefault alone.
    if (Value == gkDefault) {
        FButton->SetImages(StandardImages());
        FButton->SetImageIndex(StandardImageIndex());
    } else if (FButton->Images() == StandardImages()) {
        FButton->SetImages(nullptr);
    }
    FButton->Invalidate();
}

void TMvCustomComboEdit::ButtonClick() {
    if (OnButtonClick) OnButtonClick(this);
    if (FPopup && FPopupVisible)
        ClosePopup(FPopup, true);
    else
        OpenPopup(true);
}

void TMvCustomComboEdit::OpenPopup(bool DisableEdit) {
    (void)DisableEdit;
    if ((GetReadOnly() && !FAlwaysShowPopup) || FPopupVisible) return;
    PrepareDropDown();
    if (!FPopup) return;
    RECT Own{};
    GetWindowRect(Handle(), &Own);
    const POINT Origin{Own.left, Own.top};
    MONITORINFO Info{};
    Info.cbSize = sizeof Info;
    GetMonitorInfoA(MonitorFromWindow(Handle(), MONITOR_DEFAULTTONEAREST), &Info);
    const RECT& Mon = Info.rcMonitor;
    const int PW = FPopup->Width(), PH = FPopup->Height(), EW = Own.right - Own.left,
              EH = Own.bottom - Own.top;
    int Y = Origin.y + EH;
    if (Y + PH > Mon.bottom) Y = Origin.y - PH;
    int X;
    if (FPopupAlign == 0) {
        X = Origin.x - (PW - EW);
        if (X < Mon.left) X = Origin.x;
    } else {
        X = Origin.x;
        if (X + PW > Mon.right) X -= PW - EW;
    }
    if (X < Mon.left) X = Mon.left;
    if (X + PW > Mon.right) X = Mon.right - PW;
    WritePopupValue(Text());
    if (CanFocus()) SetFocus();
    ShowPopup(POINT{X, Y});
    FPopupVisible = true;
}

void TMvCustomComboEdit::ShowPopup(POINT Origin) {
    FPopup->Show(Origin);
    if (OnPopupShown) OnPopupShown(this);
}

void TMvCustomComboEdit::HidePopup() {
    SetWindowPos(FPopup->Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    FPopup->SetVisible(false);
}

bool TMvCustomComboEdit::FocusStaysWithUs(HWND Wnd) {
    if (!Wnd) return false;
    if (HandleAllocated() && Wnd == Handle()) return true;
    if (FPopup && FPopup->HandleAllocated() && (Wnd == FPopup->Handle() || IsChild(FPopup->Handle(), Wnd)))
        return true;
    return false;
}

void TMvCustomComboEdit::ClosePopup(TObject* Sender, bool Accept) {
    (void)Sender;
    if (!FPopup || !FPopupVisible) return;
    if (FocusStaysWithUs(GetFocus()) && GetFocus() != Handle() && CanFocus()) SetFocus();
    std::string Value = ReadPopupValue();
    HidePopup();
    if (CanFocus()) SetFocus();
    Invalidate();
    if (Accept && ConfirmPopupValue(Value) && !GetReadOnly()) {
        AcceptValue(Value);
        if (FSelectOnClose) SelectAll();
    }
    FPopupVisible = false;
}

void TMvCustomComboEdit::ClosePopupLater(bool Accept) {
    if (HandleAllocated()) PostMessageA(Handle(), CM_MVCLOSEUPLATER, Accept ? 1 : 0, 0);
}

std::string TMvCustomComboEdit::ReadPopupValue() {
    return FPopup ? FPopup->GetValue() : std::string();
}

void TMvCustomComboEdit::WritePopupValue(const std::string& Value) {
    if (FPopup) FPopup->SetValue(Value);
}

void TMvCustomComboEdit::AcceptValue(const std::string& Value) {
    if (Value == Text()) return;
    SetText(Value);
    SetModified(true);
    FPopupVisible = FPopup && FPopup->Visible();
    // A multi-line EDIT sends no change notice for text set from outside.
    Change();
}

void TMvCustomComboEdit::Clear() {
    SetText("");
}

void TMvCustomComboEdit::Change() {
    if (FPopupVisible) return; // the drop-down is editing: no change notices until it closes
    DoChange();
}

void TMvCustomComboEdit::DoChange() {
    TMvExCustomMaskEdit::Change();
}

void TMvCustomComboEdit::ClearGroup() {
    if (FGroupIndex == -1 || !Owner()) return;
    for (int i = 0; i < Owner()->ComponentCount(); ++i) {
        auto* Other = dynamic_cast<TMvCustomComboEdit*>(Owner()->Components(i));
        if (Other && Other != this && Other->GroupIndex() == FGroupIndex && Other->Name() != Name())
            Other->Clear();
    }
}

void TMvCustomComboEdit::DoSetFocus(HWND PreviousWnd) {
    TMvExCustomMaskEdit::DoSetFocus(PreviousWnd);
    TWindowDC Screen(nullptr);
    TSelectObject Sel(Screen.Get(), Font().Handle());
    TEXTMETRICA Tm{};
    GetTextMetricsA(Screen.Get(), &Tm);
    CreateCaret(Handle(), nullptr, (Font().Style() & fsBold) ? 2 : 1, Tm.tmHeight);
    ShowCaret(Handle());
}

void TMvCustomComboEdit::DoKillFocus(HWND NextWnd) {
    if (!FocusStaysWithUs(NextWnd)) ClosePopupLater(false);
    TMvExCustomMaskEdit::DoKillFocus(NextWnd);
}

bool TMvCustomComboEdit::HandleKeyDown(WORD Key, TShiftState Shift) {
    TForm* Form = GetParentForm(this);
    const bool Ctrl = (Shift & ssCtrl) != 0;
    if (Ctrl && (Key == VK_TAB || Key == VK_RETURN) && !(FPopupVisible && Key == VK_RETURN)) {
        if (Form) {
            WORD K = Key;
            if (Form->OnKeyDown) Form->OnKeyDown(Form, K, Shift);
        }
        return true;
    }
    unsigned short ShortCut = Key;
    if (Shift & ssShift) ShortCut |= kMvShortCutShift;
    if (Shift & ssCtrl) ShortCut |= kMvShortCutCtrl;
    if (Shift & ssAlt) ShortCut |= kMvShortCutAlt;
    if (ShortCut == FButtonKey && FButtonKey != 0) {
        if (FBtnControl->Visible() && FBtnControl->Width() > 0) ButtonClick();
        return true;
    }
    if (Key == VK_RETURN || Key == VK_ESCAPE) {
        if (FPopupVisible) {
            ClosePopup(FPopup, Key != VK_ESCAPE);
            return true;
        }
        if (Form) Form->Perform(CM_DIALOGKEY, Key, 0);
        return Key == VK_RETURN;
    }
    return false;
}

void TMvCustomComboEdit::PaintDisabled() {
    TPaintDC Paint(Handle());
    RECT R = EditRect();
    TCanvas C;
    C.SetHandle(Paint.Get());
    struct TDetach {
        TCanvas& Canvas;
        ~TDetach() { Canvas.SetHandle(nullptr); }
    } Detach{C};
    C.Font().Assign(Font());
    const std::string S = Text();
    const int TextWidth = C.TextWidth(S);
    // The text sits where the enabled edit would put it; with the drop-down open, at the left.
    int X = R.left;
    if (!FPopupVisible && FAlignment == TAlignment::taRightJustify) X = R.right - TextWidth;
    if (!FPopupVisible && FAlignment == TAlignment::taCenter) X = (R.left + R.right - TextWidth) / 2;
    Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(Paint.Get()), 0);
    C.Brush().SetStyle(TBrushStyle::bsClear);
    C.Font().SetColor(FDisabledColor == clGrayText ? clWindowText : FDisabledTextColor);
    C.TextRect(R, X, R.top, S);
}

void TMvCustomComboEdit::WndProc(TMessage& Message) {
    if (FPopupVisible && FPopup && FPopup->ActiveControl() &&
        ((Message.Msg >= WM_KEYFIRST && Message.Msg <= WM_KEYLAST) || Message.Msg == WM_CONTEXTMENU)) {
        // Keys typed while the drop-down is open work the control inside it.
        if (FPopup->ActiveControl()->Perform(Message.Msg, Message.WParam, Message.LParam) == 0) return;
    }
    switch (Message.Msg) {
    case CM_MVCLOSEUPLATER:
        ClosePopup(this, Message.WParam != 0);
        return;
    case CM_CANCELMODE: {
        auto* Other = reinterpret_cast<TControl*>(Message.LParam);
        const bool Ours = Other == this || Other == FPopup || Other == FButton ||
                          (FPopup && Other && dynamic_cast<TWinControl*>(Other) &&
                           static_cast<TWinControl*>(Other)->HandleAllocated() && FPopup->HandleAllocated() &&
                           IsChild(FPopup->Handle(), static_cast<TWinControl*>(Other)->Handle()));
        if (!Ours) ClosePopup(FPopup, false);
        break;
    }
    case CM_WANTSPECIALKEY:
        if (Message.WParam == VK_TAB && FPopupVisible) {
            Message.Result = 1;
            return;
        }
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        ClearGroup();
        if (HandleKeyDown(static_cast<WORD>(Message.WParam), KeyDataToShiftState(Message.LParam))) return;
        break;
    }
    case WM_CHAR:
        if (Message.WParam == VK_TAB || Message.WParam == '\n') {
            if (TForm* Form = GetParentForm(this)) {
                char C = static_cast<char>(Message.WParam);
                if (Form->OnKeyPress) Form->OnKeyPress(Form, C);
            }
            return;
        }
        break;
    case WM_CUT:
    case WM_PASTE:
        if (!FDirectInput || FReadOnly) return;
        TMvExCustomMaskEdit::WndProc(Message);
        if (Message.Msg == WM_PASTE) ClearGroup();
        return;
    case WM_CLEAR:
        SetText("");
        return;
    case WM_PAINT:
        if (!Enabled() && !(ControlState() & csDestroyingHandle) && !Message.WParam) {
            PaintDisabled();
            return;
        }
        break;
    case WM_ERASEBKGND:
        if (!Enabled() && Message.WParam) {
            RECT R = ClientRect();
            TGdiObject<HBRUSH> Brush(CreateSolidBrush(ColorToRGB(FDisabledColor)));
            FillRect(reinterpret_cast<HDC>(Message.WParam), &R, Brush.Get());
            Message.Result = 1;
            return;
        }
        break;
    default:
        break;
    }
    TMvExCustomMaskEdit::WndProc(Message);
}
