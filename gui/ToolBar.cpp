// TToolBar and TToolButton.
#include "gui/ToolBar.h"

#include "gui/ImgList.h"
#include "gui/Menus.h"

#include <algorithm>

namespace {
constexpr int SeparatorWidth = 8;
}

// ---- TToolButton ------------------------------------------------------------

TToolButton::TToolButton(TComponent* owner) : TGraphicControl(owner) {
    SetControlStyle(csCaptureMouse | csClickEvents | csSetCaption);
    SetBounds(0, 0, 23, 22);
}

TToolButton::~TToolButton() {
    SetAction(nullptr);
    SetDropdownMenu(nullptr);
    if (toolBar_) toolBar_->RemoveButton(this);
}

void TToolButton::SetParent(TWinControl* parent) {
    auto* bar = dynamic_cast<TToolBar*>(parent);
    if (toolBar_ && toolBar_ != bar) toolBar_->RemoveButton(this);
    TGraphicControl::SetParent(parent);
    if (bar && toolBar_ != bar) bar->InsertButton(this);
}

void TToolButton::SetStyle(TToolButtonStyle style) {
    if (style == style_) return;
    style_ = style;
    if (style_ == TToolButtonStyle::tbsSeparator) SetControlStyle(ControlStyle() & ~csClickEvents);
    if (toolBar_) toolBar_->ArrangeButtons();
    Invalidate();
}

void TToolButton::SetAction(TAction* action) {
    if (action == action_) return;
    if (action_) {
        action_->RemoveChangeListener(this);
        action_->RemoveFreeNotification(this);
    }
    action_ = action;
    if (action_) {
        action_->FreeNotification(this);
        action_->AddChangeListener(this, [this] { ActionChanged(); });
        ActionChanged();
    }
}

void TToolButton::ActionChanged() {
    if (!action_) return;
    SetCaption(action_->Caption());
    SetHint(action_->Hint());
    imageIndex_ = action_->ImageIndex();
    down_ = action_->Checked();
    if (Enabled() != action_->Enabled()) SetEnabled(action_->Enabled());
    if (Visible() != action_->Visible()) SetVisible(action_->Visible());
    Invalidate();
}

void TToolButton::SetDropdownMenu(TPopupMenu* menu) {
    if (menu == dropdownMenu_) return;
    if (dropdownMenu_) dropdownMenu_->RemoveFreeNotification(this);
    dropdownMenu_ = menu;
    if (dropdownMenu_) dropdownMenu_->FreeNotification(this);
}

void TToolButton::SetImageIndex(int index) {
    if (index == imageIndex_) return;
    imageIndex_ = index;
    Invalidate();
}

void TToolButton::SetDown(bool value) {
    if (value == down_) return;
    down_ = value;
    Invalidate();
}

void TToolButton::SetVisible(bool value) {
    TGraphicControl::SetVisible(value);
    if (toolBar_) toolBar_->ArrangeButtons();
}

void TToolButton::Notification(TComponent* component, TOperation operation) {
    TGraphicControl::Notification(component, operation);
    if (operation != TOperation::opRemove) return;
    if (component == action_) action_ = nullptr;
    if (component == dropdownMenu_) dropdownMenu_ = nullptr;
}

void TToolButton::Click() {
    if (style_ == TToolButtonStyle::tbsSeparator) return;
    if (style_ == TToolButtonStyle::tbsCheck && !action_) SetDown(!down_);
    if (action_) {
        action_->Execute();
        return;
    }
    TGraphicControl::Click();
}

bool TToolButton::CheckMenuDropdown() {
    if (!dropdownMenu_ || !Parent()) return false;
    const POINT at = Parent()->ClientToScreen(POINT{Left(), Top() + Height()});
    pressed_ = true;
    Repaint();
    dropdownMenu_->Popup(at.x, at.y);
    pressed_ = false;
    Invalidate();
    return true;
}

int TToolButton::IdealWidth() const {
    if (style_ == TToolButtonStyle::tbsSeparator) return SeparatorWidth;
    const int width = toolBar_ ? toolBar_->ButtonWidth() : Width();
    return style_ == TToolButtonStyle::tbsDropDown ? width + DropDownWidth : width;
}

void TToolButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == TMouseButton::mbLeft && style_ != TToolButtonStyle::tbsSeparator) {
        const bool onArrow = style_ == TToolButtonStyle::tbsDropDown && x >= Width() - DropDownWidth;
        if (onArrow) {
            // The arrow opens the menu; the release that follows is no click.
            SetControlState(ControlState() & ~static_cast<unsigned>(csClicked | csLButtonDown));
            if (GetCaptureControl() == this) SetCaptureControl(nullptr);
            TGraphicControl::MouseDown(button, shift, x, y);
            CheckMenuDropdown();
            return;
        }
        pressed_ = true;
        Invalidate();
    }
    TGraphicControl::MouseDown(button, shift, x, y);
}

void TToolButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (pressed_) {
        pressed_ = false;
        Invalidate();
    }
    TGraphicControl::MouseUp(button, shift, x, y);
}

bool TToolButton::ShowsCaption() const {
    if (style_ == TToolButtonStyle::tbsSeparator) return false;
    TImageList* images = toolBar_ ? toolBar_->Images() : nullptr;
    return !(images && imageIndex_ >= 0 && imageIndex_ < images->Count()) && !Caption().empty();
}

void TToolButton::WndProc(TMessage& message) {
    switch (message.Msg) {
    case CM_DIALOGCHAR:
        // Alt with the marked letter clicks a button that shows its caption. A picture
        // button's caption is not on screen (its letter may be another command's shortcut).
        if (ShowsCaption() && Visible() && Enabled() &&
            IsAccel(static_cast<unsigned>(message.WParam), Caption())) {
            Click();
            message.Result = 1;
            return;
        }
        break;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        hot_ = message.Msg == CM_MOUSEENTER && Enabled();
        Invalidate();
        break;
    default:
        break;
    }
    TGraphicControl::WndProc(message);
}

void TToolButton::Paint() {
    TCanvas& c = Canvas();
    const RECT r{0, 0, Width(), Height()};
    HDC dc = c.Handle();
    if (style_ == TToolButtonStyle::tbsSeparator) {
        RECT line{Width() / 2 - 1, 2, Width() / 2 + 1, Height() - 2};
        DrawEdge(dc, &line, EDGE_ETCHED, BF_LEFT);
        return;
    }
    const bool flat = !toolBar_ || toolBar_->Flat();
    RECT face = r;
    if (style_ == TToolButtonStyle::tbsDropDown) face.right -= DropDownWidth;
    if (down_ && !pressed_) {
        // A checked button: a light dither behind a sunken frame.
        c.Brush().SetColor(clBtnHighlight);
        c.FillRect(face);
    }
    if (pressed_ || down_) {
        DrawEdge(dc, &face, BDR_SUNKENOUTER, BF_RECT);
    } else if (hot_ || !flat) {
        DrawEdge(dc, &face, BDR_RAISEDINNER, BF_RECT);
    }
    const int offset = (pressed_ || down_) ? 1 : 0;
    TImageList* images = toolBar_ ? toolBar_->Images() : nullptr;
    if (images && imageIndex_ >= 0 && imageIndex_ < images->Count()) {
        const int x = face.left + (face.right - face.left - images->Width()) / 2 + offset;
        const int y = (Height() - images->Height()) / 2 + offset;
        if (Enabled()) {
            images->Draw(c, x, y, imageIndex_, true);
        } else {
            // The classic embossed grey of a disabled command.
            HICON icon = ImageList_GetIcon(images->Handle(), imageIndex_, ILD_NORMAL);
            DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, x, y, 0, 0,
                       DST_ICON | DSS_DISABLED);
            if (icon) DestroyIcon(icon);
        }
    } else if (ShowsCaption()) {
        // Without a picture the caption stands in, its marked letter underlined
        // (Alt with it clicks the button).
        RECT t = face;
        OffsetRect(&t, offset, offset);
        c.Brush().SetStyle(TBrushStyle::bsClear);
        c.Font().SetColor(Enabled() ? clBtnText : clGrayText);
        c.DrawText(Caption(), t, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    }
    if (style_ == TToolButtonStyle::tbsDropDown) {
        RECT arrow{r.right - DropDownWidth, r.top, r.right, r.bottom};
        if (hot_ && !pressed_) DrawEdge(dc, &arrow, BDR_RAISEDINNER, BF_RECT);
        // A small downward triangle in the middle of the arrow part.
        const int cx = (arrow.left + arrow.right) / 2, cy = Height() / 2 - 1;
        c.Pen().SetColor(Enabled() ? clBtnText : clGrayText);
        for (int k = 0; k < 3; ++k) {
            c.MoveTo(cx - 2 + k, cy + k);
            c.LineTo(cx + 3 - k, cy + k);
        }
    }
}

// ---- TToolBar ---------------------------------------------------------------

TToolBar::TToolBar(TComponent* owner) : TCustomControl(owner) {
    SetControlStyle(ControlStyle() | csAcceptsControls);
    SetBounds(0, 0, 150, 26);
    SetColor(clBtnFace);
}

TToolBar::~TToolBar() {
    for (TToolButton* b : buttons_)
        b->toolBar_ = nullptr;
    if (images_) images_->RemoveFreeNotification(this);
}

void TToolBar::InsertButton(TToolButton* button) {
    if (std::find(buttons_.begin(), buttons_.end(), button) != buttons_.end()) return;
    buttons_.push_back(button);
    button->toolBar_ = this;
    ArrangeButtons();
}

void TToolBar::RemoveButton(TToolButton* button) {
    std::erase(buttons_, button);
    if (button->toolBar_ == this) button->toolBar_ = nullptr;
    ArrangeButtons();
}

void TToolBar::SetImages(TImageList* images) {
    if (images == images_) return;
    if (images_) images_->RemoveFreeNotification(this);
    images_ = images;
    if (images_) images_->FreeNotification(this);
    Invalidate();
}

void TToolBar::SetButtonSize(int width, int height) {
    buttonWidth_ = width;
    buttonHeight_ = height;
    ArrangeButtons();
}

void TToolBar::SetFlat(bool value) {
    flat_ = value;
    Invalidate();
}

void TToolBar::SetAutoSize(bool value) {
    autoSize_ = value;
    ArrangeButtons();
}

void TToolBar::ArrangeButtons() {
    if (arranging_) return;
    arranging_ = true;
    int x = 0;
    for (TToolButton* b : buttons_) {
        if (!b->Visible()) continue;
        const int w = b->IdealWidth();
        b->SetBounds(x, 0, w, buttonHeight_);
        x += w;
    }
    if (autoSize_ && x > 0 && x != Width()) SetWidth(x);
    arranging_ = false;
}

void TToolBar::Paint() {
    Canvas().Brush().SetColor(Color());
    Canvas().FillRect(ClientRect());
}

void TToolBar::Notification(TComponent* component, TOperation operation) {
    TCustomControl::Notification(component, operation);
    if (operation == TOperation::opRemove && component == images_) images_ = nullptr;
}
