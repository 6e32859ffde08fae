// TControl: bounds, visibility, font and colour inheritance, mouse events of windowless controls.
#include "gui/Control.h"

#include "gui/Forms.h"
#include "gui/Menus.h"
#include "gui/WinControl.h"

#include "base/Exceptions.h"

#include <algorithm>
#include <cctype>

namespace {

TControl* captureControl = nullptr;

} // namespace

TShiftState MouseShiftState(WPARAM keys) {
    TShiftState s = 0;
    if (keys & MK_SHIFT) s |= ssShift;
    if (keys & MK_CONTROL) s |= ssCtrl;
    if (keys & MK_LBUTTON) s |= ssLeft;
    if (keys & MK_RBUTTON) s |= ssRight;
    if (keys & MK_MBUTTON) s |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}

TShiftState KeyDataToShiftState(LPARAM keyData) {
    TShiftState s = 0;
    if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
    if (keyData & 0x20000000) s |= ssAlt;
    return s;
}

TShiftState KeyboardShiftState() {
    TShiftState s = 0;
    if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}

HCURSOR CursorHandle(TCursor cursor) {
    const char* id = IDC_ARROW;
    switch (cursor) {
    case crNone:
        return nullptr;
    case crCross:
        id = IDC_CROSS;
        break;
    case crIBeam:
        id = IDC_IBEAM;
        break;
    case crSizeNESW:
        id = IDC_SIZENESW;
        break;
    case crSizeNS:
    case crVSplit:
        id = IDC_SIZENS;
        break;
    case crSizeNWSE:
        id = IDC_SIZENWSE;
        break;
    case crSizeWE:
    case crHSplit:
        id = IDC_SIZEWE;
        break;
    case crUpArrow:
        id = IDC_UPARROW;
        break;
    case crHourGlass:
        id = IDC_WAIT;
        break;
    case crNo:
        id = IDC_NO;
        break;
    case crAppStart:
        id = IDC_APPSTARTING;
        break;
    case crHandPoint:
        id = IDC_HAND;
        break;
    case crSizeAll:
        id = IDC_SIZEALL;
        break;
    default:
        break;
    }
    return LoadCursor(nullptr, id);
}

TControl* GetCaptureControl() {
    if (captureControl) {
        // Forget a capture that the window system has taken away.
        TWinControl* holder = dynamic_cast<TWinControl*>(captureControl);
        if (!holder) holder = captureControl->Parent();
        if (!holder || !holder->HandleAllocated() || GetCapture() != holder->Handle())
            captureControl = nullptr;
    }
    return captureControl;
}

void SetCaptureControl(TControl* control) {
    captureControl = nullptr;
    if (GetCapture()) ReleaseCapture();
    if (!control) return;
    TWinControl* holder = dynamic_cast<TWinControl*>(control);
    if (!holder) holder = control->Parent();
    if (!holder) return;
    SetCapture(holder->Handle());
    captureControl = control;
}

bool IsAccel(unsigned key, const std::string& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        unsigned char c = static_cast<unsigned char>(caption[i + 1]);
        return std::toupper(c) == std::toupper(static_cast<int>(key & 0xFF));
    }
    return false;
}

TForm* GetParentForm(TControl* control) {
    while (control && control->Parent())
        control = control->Parent();
    return dynamic_cast<TForm*>(control);
}

// ---- TControl ---------------------------------------------------------------

TControl::TControl(TComponent* owner) : TComponent(owner), font_(std::make_unique<TFont>()) {
    font_->OnChange = [this](TObject*) { FontChanged(); };
}

TControl::~TControl() {
    Destroying();
    if (captureControl == this) captureControl = nullptr;
    if (Application) Application->ControlDestroyed(this);
    if (parent_) parent_->RemoveControl(this);
    if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
    TMessage m{msg, wParam, lParam, 0};
    WndProc(m);
    return m.Result;
}

void TControl::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_LBUTTONDOWN:
        HandleMouseDown(m, TMouseButton::mbLeft, false);
        return;
    case WM_LBUTTONDBLCLK:
        HandleMouseDown(m, TMouseButton::mbLeft, true);
        return;
    case WM_RBUTTONDOWN:
        HandleMouseDown(m, TMouseButton::mbRight, false);
        return;
    case WM_RBUTTONDBLCLK:
        HandleMouseDown(m, TMouseButton::mbRight, true);
        return;
    case WM_MBUTTONDOWN:
        HandleMouseDown(m, TMouseButton::mbMiddle, false);
        return;
    case WM_MBUTTONDBLCLK:
        HandleMouseDown(m, TMouseButton::mbMiddle, true);
        return;
    case WM_LBUTTONUP:
        HandleMouseUp(m, TMouseButton::mbLeft);
        return;
    case WM_RBUTTONUP:
        HandleMouseUp(m, TMouseButton::mbRight);
        return;
    case WM_MBUTTONUP:
        HandleMouseUp(m, TMouseButton::mbMiddle);
        return;
    case WM_MOUSEMOVE:
        DefaultHandler(m);
        if (!(controlStyle_ & csNoStdEvents))
            MouseMove(MouseShiftState(m.WParam), MessageX(m.LParam), MessageY(m.LParam));
        return;
    case CM_HITTEST:
        m.Result = HTCLIENT;
        return;
    case CM_DRAG: {
        const auto* rec = reinterpret_cast<const TDragRec*>(m.LParam);
        m.Result = 0;
        if (!rec) return;
        if (rec->Message == TDragMessage::dmDragDrop) {
            DragDrop(rec->Source, rec->Pos.x, rec->Pos.y);
            m.Result = 1;
            return;
        }
        const TDragState state = rec->Message == TDragMessage::dmDragEnter   ? TDragState::dsDragEnter
                                 : rec->Message == TDragMessage::dmDragLeave ? TDragState::dsDragLeave
                                                                             : TDragState::dsDragMove;
        bool accept = false;
        DragOver(rec->Source, rec->Pos.x, rec->Pos.y, state, accept);
        m.Result = accept ? 1 : 0;
        return;
    }
    case CM_PARENTFONTCHANGED:
        if (parentFont_ && parent_) {
            font_->Assign(parent_->Font());
            parentFont_ = true;
        }
        return;
    case CM_PARENTCOLORCHANGED:
        if (parentColor_ && parent_) {
            SetColor(parent_->Color());
            parentColor_ = true;
        }
        return;
    case CM_PARENTSHOWHINTCHANGED:
        if (parentShowHint_ && parent_) {
            showHint_ = parent_->ShowHint();
            parentShowHint_ = true;
        }
        return;
    case CM_FONTCHANGED:
    case CM_COLORCHANGED:
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
        if (!dynamic_cast<TWinControl*>(this)) Invalidate();
        return;
    case CM_VISIBLECHANGED:
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
    case CM_FOCUSCHANGED:
    case CM_CURSORCHANGED:
    case CM_SHOWHINTCHANGED:
    case CM_HINTSHOW:
    case CM_DIALOGCHAR:
    case CM_EXQUERYMARKER:
        return; // Result stays 0: nothing special to say.
    default:
        break;
    }
    DefaultHandler(m);
}

void TControl::DefaultHandler(TMessage&) {}

// The window's own handling comes first (an edit has placed its caret when
// OnMouseDown runs), then capture, click bookkeeping and the events.
void TControl::HandleMouseDown(TMessage& m, TMouseButton button, bool dbl) {
    // A control that takes no double clicks gets the second click of one as
    // a click of its own: quick clicks on a tool button each count.
    if (dbl && !(controlStyle_ & csDoubleClicks)) dbl = false;
    DefaultHandler(m);
    if (button == TMouseButton::mbLeft) {
        // A system control that let go of the mouse in its own handler has run
        // its own loop until the button went up (a scroll bar tracks it so):
        // the release is past, and a capture taken now would keep every later
        // click of the program.
        auto* own = dynamic_cast<TWinControl*>(this);
        const bool released =
            own && own->Subclassed() && own->HandleAllocated() && GetCapture() != own->Handle();
        if ((controlStyle_ & csCaptureMouse) && !released) SetCaptureControl(this);
        if (!dbl || (controlStyle_ & csDoubleClicks)) controlState_ |= csLButtonDown | csClicked;
    }
    if (dbl && button == TMouseButton::mbLeft && (controlStyle_ & csDoubleClicks)) DblClick();
    if (!(controlStyle_ & csNoStdEvents)) {
        TShiftState shift = MouseShiftState(m.WParam);
        if (dbl) shift |= ssDouble;
        MouseDown(button, shift, MessageX(m.LParam), MessageY(m.LParam));
    }
}

void TControl::HandleMouseUp(TMessage& m, TMouseButton button) {
    DefaultHandler(m);
    int x = MessageX(m.LParam), y = MessageY(m.LParam);
    if (button == TMouseButton::mbLeft) {
        bool clicked = (controlState_ & csClicked) != 0;
        controlState_ &= ~static_cast<unsigned>(csLButtonDown | csClicked);
        if (GetCaptureControl() == this) SetCaptureControl(nullptr);
        RECT r = ClientRect();
        POINT p{x, y};
        if (clicked && (controlStyle_ & csClickEvents) && PtInRect(&r, p)) Click();
    }
    if (!(controlStyle_ & csNoStdEvents)) MouseUp(button, MouseShiftState(m.WParam), x, y);
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::Resize() {
    if (OnResize) OnResize(this);
}

void TControl::DragOver(TObject* source, int x, int y, TDragState state, bool& accept) {
    accept = static_cast<bool>(OnDragOver);
    if (OnDragOver) OnDragOver(this, source, x, y, state, accept);
}

void TControl::DragDrop(TObject* source, int x, int y) {
    if (OnDragDrop) OnDragDrop(this, source, x, y);
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_) return;
    if (parent == this) throw EInvalidOperation("A control cannot be its own parent");
    if (parent_) parent_->RemoveControl(this);
    if (parent) parent->InsertControl(this);
}

void TControl::SetBoundsFields(int left, int top, int width, int height) {
    bool sizeChanged = width != width_ || height != height_;
    bool moved = left != left_ || top != top_;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (sizeChanged || moved) BoundsChanged(sizeChanged);
}

void TControl::BoundsChanged(bool sizeChanged) {
    if (sizeChanged) Resize();
    if (parent_ && align_ != TAlign::alNone && !(parent_->ControlState() & csAligning)) parent_->Realign();
}

void TControl::SetBounds(int left, int top, int width, int height) {
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    // Windowless: repaint the old and the new place on the parent.
    if (parent_ && visible_ && parent_->HandleAllocated()) {
        RECT old = BoundsRect();
        InvalidateRect(parent_->Handle(), &old, TRUE);
    }
    SetBoundsFields(left, top, width, height);
    Invalidate();
}

RECT TControl::ClientRect() {
    return RECT{0, 0, width_, height_};
}

void TControl::SetClientSize(int width, int height) {
    SetBounds(left_, top_, width, height);
}

POINT TControl::ClientOrigin() {
    if (!parent_) return POINT{left_, top_};
    POINT p = parent_->ClientOrigin();
    p.x += left_;
    p.y += top_;
    return p;
}

POINT TControl::ClientToScreen(POINT p) {
    POINT o = ClientOrigin();
    return POINT{p.x + o.x, p.y + o.y};
}

POINT TControl::ScreenToClient(POINT p) {
    POINT o = ClientOrigin();
    return POINT{p.x - o.x, p.y - o.y};
}

void TControl::SetAlign(TAlign align) {
    if (align == align_) return;
    align_ = align;
    if (parent_) parent_->Realign();
}

void TControl::SetVisible(bool value) {
    if (value == visible_) return;
    visible_ = value;
    if (parent_ && parent_->HandleAllocated()) {
        RECT r = BoundsRect();
        InvalidateRect(parent_->Handle(), &r, TRUE);
    }
    Perform(CM_VISIBLECHANGED, value ? 1 : 0);
    if (parent_ && align_ != TAlign::alNone) parent_->Realign();
}

bool TControl::Showing() const {
    return visible_ && parent_ && parent_->Showing();
}

void TControl::SetEnabled(bool value) {
    if (value == enabled_) return;
    enabled_ = value;
    Perform(CM_ENABLEDCHANGED);
}

void TControl::SetText(const std::string& text) {
    if (GetText() == text) return;
    SetTextValue(text);
    Perform(CM_TEXTCHANGED);
}

void TControl::SetTextValue(const std::string& text) {
    text_ = text;
}

void TControl::FontChanged() {
    parentFont_ = false;
    Perform(CM_FONTCHANGED);
}

void TControl::SetParentFont(bool value) {
    parentFont_ = value;
    if (value && parent_) Perform(CM_PARENTFONTCHANGED);
}

void TControl::SetColor(TColor color) {
    parentColor_ = false;
    if (color == color_) return;
    color_ = color;
    Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool value) {
    parentColor_ = value;
    if (value && parent_) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::SetShowHint(bool value) {
    parentShowHint_ = false;
    if (value == showHint_) return;
    showHint_ = value;
    Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool value) {
    parentShowHint_ = value;
    if (value && parent_) Perform(CM_PARENTSHOWHINTCHANGED);
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
    if (menu == popupMenu_) return;
    if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
    popupMenu_ = menu;
    if (menu) menu->FreeNotification(this);
}

TPopupMenu* TControl::GetPopupMenu() {
    return popupMenu_;
}

void TControl::SetCursor(TCursor cursor) {
    if (cursor == cursor_) return;
    cursor_ = cursor;
    Perform(CM_CURSORCHANGED);
}

void TControl::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == popupMenu_) popupMenu_ = nullptr;
}

bool TControl::DoContextPopup(POINT screenPos) {
    bool handled = false;
    if (OnContextPopup) {
        POINT client = screenPos;
        if (screenPos.x != -1 || screenPos.y != -1) client = ScreenToClient(screenPos);
        OnContextPopup(this, client, handled);
        if (handled) return true;
    }
    TPopupMenu* menu = GetPopupMenu();
    if (!menu || !menu->AutoPopup()) return false;
    if (screenPos.x == -1 && screenPos.y == -1) screenPos = ClientToScreen(POINT{width_ / 2, height_ / 2});
    menu->SetPopupComponent(this);
    menu->Popup(screenPos.x, screenPos.y);
    return true;
}

void TControl::Invalidate() {
    if (!parent_ || !visible_ || !parent_->HandleAllocated()) return;
    RECT r = BoundsRect();
    InvalidateRect(parent_->Handle(), &r, !(controlStyle_ & csOpaque));
}

void TControl::Update() {
    if (parent_) parent_->Update();
}

void TControl::Repaint() {
    Invalidate();
    Update();
}

void TControl::BringToFront() {
    if (!parent_) return;
    auto& list = parent_->controls_;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) return;
    list.erase(it);
    list.push_back(this);
    if (auto* wc = dynamic_cast<TWinControl*>(this); wc && wc->HandleAllocated())
        SetWindowPos(wc->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Invalidate();
}

void TControl::SendToBack() {
    if (!parent_) return;
    TWinControl* p = parent_;
    auto& list = p->controls_;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) return;
    list.erase(it);
    list.insert(list.begin(), this);
    if (auto* wc = dynamic_cast<TWinControl*>(this); wc && wc->HandleAllocated())
        SetWindowPos(wc->Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Invalidate();
}
