// TWinControl: window creation and re-creation, children, alignment, reflection, painting, focus.
#include "gui/WinControl.h"

#include "gui/Forms.h"
#include "gui/WndProcThunk.h"

#include "base/Exceptions.h"

#include <algorithm>
#include <commctrl.h>
#include <typeinfo>

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {
    brush_.SetColor(Color());
}

TWinControl::~TWinControl() {
    Destroying();
    // No focus event may reach this object while its window goes away.
    if (TForm* form = GetParentForm(this); form && form != this) form->ControlRemoved(this);
    // Children go first (whoever owns them); each one leaves our list as it dies.
    while (!controls_.empty()) {
        TControl* child = controls_.back();
        delete child;
    }
    DestroyHandle();
}

// ---- window life cycle ------------------------------------------------------

HWND TWinControl::Handle() {
    HandleNeeded();
    return handle_;
}

void TWinControl::HandleNeeded() {
    if (handle_) return;
    if (Parent()) Parent()->HandleNeeded();
    if (!handle_) CreateHandle();
}

void TWinControl::CreateHandle() {
    if (handle_) return;
    SetControlState(ControlState() | csCreating);
    try {
        CreateWnd();
    } catch (...) {
        SetControlState(ControlState() & ~static_cast<unsigned>(csCreating));
        throw;
    }
    SetControlState(ControlState() & ~static_cast<unsigned>(csCreating));
    for (TControl* child : std::vector<TControl*>(controls_)) {
        if (auto* wc = dynamic_cast<TWinControl*>(child); wc && !wc->handle_) wc->CreateHandle();
    }
    Realign();
}

void TWinControl::CreateParams(TCreateParams& params) {
    params = TCreateParams{};
    if (ControlStyle() & csSetCaption) params.Caption = TextField();
    params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (ControlStyle() & csAcceptsControls) params.Style |= WS_CLIPCHILDREN;
    if (Visible()) params.Style |= WS_VISIBLE;
    if (!Enabled()) params.Style |= WS_DISABLED;
    if (tabStop_) params.Style |= WS_TABSTOP;
    params.X = Left();
    params.Y = Top();
    params.Width = Width();
    params.Height = Height();
    params.WndParent = Parent() ? Parent()->Handle() : parentWindow_;
    params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | ((ControlStyle() & csDoubleClicks) ? CS_DBLCLKS : 0);
    params.WindowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    params.WinClassName = std::string("Mv") + typeid(*this).name();
}

void TWinControl::CreateSubClass(TCreateParams& params, const char* className) {
    params.WinClassName = className;
    params.SystemClass = true;
}

void TWinControl::CreateWindowHandle(const TCreateParams& params) {
    HWND wnd = CreateControlWindow(this, params);
    if (!wnd) throw EOutOfResources("Error creating window of " + params.WinClassName);
}

void TWinControl::CreateWnd() {
    TCreateParams params;
    CreateParams(params);
    if ((params.Style & WS_CHILD) && !params.WndParent)
        throw EInvalidOperation("Control '" + Name() + "' has no parent window");
    CreateWindowHandle(params);
    SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), 0);
    UpdateBoundsFromWindow();
}

void TWinControl::DestroyHandle() {
    if (!handle_) return;
    for (TControl* child : std::vector<TControl*>(controls_)) {
        if (auto* wc = dynamic_cast<TWinControl*>(child)) wc->DestroyHandle();
    }
    SetControlState(ControlState() | csDestroyingHandle);
    try {
        DestroyWnd();
    } catch (...) {
        SetControlState(ControlState() & ~static_cast<unsigned>(csDestroyingHandle));
        if (handle_) DestroyWindowHandle();
        throw;
    }
    SetControlState(ControlState() & ~static_cast<unsigned>(csDestroyingHandle));
}

void TWinControl::DestroyWnd() {
    if (ControlStyle() & csSetCaption) TextField() = GetText();
    DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle() {
    HWND wnd = handle_;
    if (!wnd) return;
    if (GetCaptureControl() && (GetCaptureControl() == this || GetCaptureControl()->Parent() == this))
        SetCaptureControl(nullptr);
    DestroyWindow(wnd);
    if (handle_ == wnd) DetachWindow(this);
}

void TWinControl::RecreateWnd() {
    if (!handle_) return;
    bool topLevelShown = !(GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD) && IsWindowVisible(handle_);
    bool hadFocus = Focused();
    SetControlState(ControlState() | csRecreating);
    try {
        DestroyHandle();
        CreateHandle();
    } catch (...) {
        SetControlState(ControlState() & ~static_cast<unsigned>(csRecreating));
        throw;
    }
    SetControlState(ControlState() & ~static_cast<unsigned>(csRecreating));
    if (topLevelShown) ShowWindow(handle_, SW_SHOWNA);
    if (hadFocus && CanFocus()) ::SetFocus(handle_);
}

void TWinControl::SetParentWindow(HWND wnd) {
    if (wnd == parentWindow_) return;
    parentWindow_ = wnd;
    if (handle_ && !Parent()) ::SetParent(handle_, wnd);
}

// ---- children ---------------------------------------------------------------

void TWinControl::InsertControl(TControl* control) {
    if (!control || ContainsControl(control)) return;
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), 1);
    controls_.push_back(control);
    control->parent_ = this;
    if (control->ParentFont()) control->Perform(CM_PARENTFONTCHANGED);
    if (control->ParentColor()) control->Perform(CM_PARENTCOLORCHANGED);
    if (control->ParentShowHint()) control->Perform(CM_PARENTSHOWHINTCHANGED);
    if (auto* wc = dynamic_cast<TWinControl*>(control); wc && handle_) {
        if (wc->handle_)
            ::SetParent(wc->handle_, handle_);
        else
            wc->CreateHandle();
    }
    Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(control), 1);
    if (control->Align() != TAlign::alNone) Realign();
    control->Invalidate();
}

void TWinControl::RemoveControl(TControl* control) {
    auto it = std::find(controls_.begin(), controls_.end(), control);
    if (it == controls_.end()) return;
    Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(control), 0);
    if (TForm* form = GetParentForm(this)) form->ControlRemoved(control);
    if (auto* wc = dynamic_cast<TWinControl*>(control)) wc->DestroyHandle();
    if (GetCaptureControl() == control) SetCaptureControl(nullptr);
    control->Invalidate();
    it = std::find(controls_.begin(), controls_.end(), control);
    if (it != controls_.end()) controls_.erase(it);
    control->parent_ = nullptr;
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), 0);
    if (control->Align() != TAlign::alNone && !HasState(csDestroying)) Realign();
}

bool TWinControl::ContainsControl(TControl* control) const {
    for (TControl* c = control; c; c = c->Parent()) {
        if (c == this) return true;
    }
    return false;
}

TControl* TWinControl::ControlAtPos(POINT p, bool allowDisabled) {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* c = *it;
        if (dynamic_cast<TWinControl*>(c)) continue;
        if (!c->Visible() || (!c->Enabled() && !allowDisabled)) continue;
        RECT r = c->BoundsRect();
        if (!PtInRect(&r, p)) continue;
        if (c->Perform(CM_HITTEST, 0, PointToLParam(p.x - c->Left(), p.y - c->Top())) != 0) return c;
    }
    return nullptr;
}

void TWinControl::Broadcast(TMessage& message) {
    for (TControl* c : std::vector<TControl*>(controls_)) {
        c->WndProc(message);
        if (message.Result != 0) return;
    }
}

void TWinControl::NotifyControls(UINT msg) {
    for (TControl* c : std::vector<TControl*>(controls_))
        c->Perform(msg);
}

// ---- geometry ---------------------------------------------------------------

void TWinControl::SetBounds(int left, int top, int width, int height) {
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    if (left == Left() && top == Top() && width == Width() && height == Height()) return;
    if (handle_) {
        SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        UpdateBoundsFromWindow();
    } else {
        SetBoundsFields(left, top, width, height);
    }
}

void TWinControl::UpdateBoundsFromWindow() {
    if (!handle_) return;
    RECT r{};
    GetWindowRect(handle_, &r);
    if (GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD) {
        HWND parentWnd = GetParent(handle_);
        MapWindowPoints(nullptr, parentWnd, reinterpret_cast<POINT*>(&r), 2);
    }
    SetBoundsFields(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void TWinControl::BoundsChanged(bool sizeChanged) {
    if (sizeChanged) Realign();
    TControl::BoundsChanged(sizeChanged);
}

RECT TWinControl::ClientRect() {
    if (!handle_) return TControl::ClientRect();
    RECT r{};
    GetClientRect(handle_, &r);
    return r;
}

POINT TWinControl::ClientOrigin() {
    if (!handle_) return TControl::ClientOrigin();
    POINT p{0, 0};
    ::ClientToScreen(handle_, &p);
    return p;
}

void TWinControl::SetClientSize(int width, int height) {
    HandleNeeded();
    RECT client{}, window{};
    GetClientRect(handle_, &client);
    GetWindowRect(handle_, &window);
    int dx = (window.right - window.left) - client.right;
    int dy = (window.bottom - window.top) - client.bottom;
    SetBounds(Left(), Top(), width + dx, height + dy);
}

void TWinControl::Realign() {
    if (alignDisabled_ > 0 || (ControlState() & csAligning) || HasState(csDestroying)) {
        alignPending_ = alignDisabled_ > 0;
        return;
    }
    RECT r = ClientRect();
    SetControlState(ControlState() | csAligning);
    try {
        AlignControls(nullptr, r);
    } catch (...) {
        SetControlState(ControlState() & ~static_cast<unsigned>(csAligning));
        throw;
    }
    SetControlState(ControlState() & ~static_cast<unsigned>(csAligning));
}

void TWinControl::EnableAlign() {
    if (alignDisabled_ > 0 && --alignDisabled_ == 0 && alignPending_) {
        alignPending_ = false;
        Realign();
    }
}

void TWinControl::AlignControls(TControl*, RECT& rect) {
    const TAlign order[] = {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight,
                            TAlign::alClient};
    for (TAlign align : order) {
        std::vector<TControl*> list;
        for (TControl* c : controls_) {
            if (c->Visible() && c->Align() == align) list.push_back(c);
        }
        auto key = [align](TControl* c) {
            switch (align) {
            case TAlign::alTop:
                return c->Top();
            case TAlign::alBottom:
                return -(c->Top() + c->Height());
            case TAlign::alLeft:
                return c->Left();
            case TAlign::alRight:
                return -(c->Left() + c->Width());
            default:
                return 0;
            }
        };
        std::stable_sort(list.begin(), list.end(), [&](TControl* a, TControl* b) { return key(a) < key(b); });
        for (TControl* c : list) {
            int w = rect.right - rect.left, h = rect.bottom - rect.top;
            switch (align) {
            case TAlign::alTop:
                c->SetBounds(rect.left, rect.top, w, c->Height());
                rect.top += c->Height();
                break;
            case TAlign::alBottom:
                c->SetBounds(rect.left, rect.bottom - c->Height(), w, c->Height());
                rect.bottom -= c->Height();
                break;
            case TAlign::alLeft:
                c->SetBounds(rect.left, rect.top, c->Width(), h);
                rect.left += c->Width();
                break;
            case TAlign::alRight:
                c->SetBounds(rect.right - c->Width(), rect.top, c->Width(), h);
                rect.right -= c->Width();
                break;
            case TAlign::alClient:
                c->SetBounds(rect.left, rect.top, w, h);
                break;
            default:
                break;
            }
        }
    }
}

// ---- state ------------------------------------------------------------------

void TWinControl::SetVisible(bool value) {
    if (value == Visible()) return;
    TControl::SetVisible(value);
    if (handle_) ShowWindow(handle_, value ? SW_SHOWNA : SW_HIDE);
}

bool TWinControl::Showing() const {
    if (!Visible()) return false;
    if (Parent()) return Parent()->Showing();
    if (parentWindow_) return IsWindowVisible(parentWindow_) != 0;
    return handle_ && IsWindowVisible(handle_);
}

void TWinControl::SetEnabled(bool value) {
    if (value == Enabled()) return;
    TControl::SetEnabled(value);
}

void TWinControl::Invalidate() {
    if (handle_) InvalidateRect(handle_, nullptr, !(ControlStyle() & csOpaque));
}

int TWinControl::AddMessageHook(TMessageHook hook) {
    const int cookie = nextMessageHook_++;
    messageHooks_.emplace_back(cookie, std::move(hook));
    return cookie;
}

void TWinControl::RemoveMessageHook(int cookie) {
    std::erase_if(messageHooks_, [cookie](const auto& entry) { return entry.first == cookie; });
}

bool TWinControl::RunMessageHooks(TMessage& message) {
    // A hook may remove itself or others while it runs: walk a copy and skip
    // the ones that are gone.
    const auto hooks = messageHooks_;
    for (const auto& [cookie, hook] : hooks) {
        const bool present = std::any_of(messageHooks_.begin(), messageHooks_.end(),
                                         [cookie](const auto& entry) { return entry.first == cookie; });
        if (present && hook(message)) return true;
    }
    return false;
}

void TWinControl::Update() {
    if (handle_) UpdateWindow(handle_);
}

std::string TWinControl::GetText() const {
    if (!handle_) return const_cast<TWinControl*>(this)->TextField();
    int len = GetWindowTextLengthA(handle_);
    if (len <= 0) return {};
    std::string s(static_cast<size_t>(len) + 1, '\0');
    int got = GetWindowTextA(handle_, s.data(), len + 1);
    s.resize(static_cast<size_t>(std::max(got, 0)));
    return s;
}

void TWinControl::SetTextValue(const std::string& text) {
    TextField() = text;
    if (handle_) SetWindowTextA(handle_, text.c_str());
}

// ---- focus ------------------------------------------------------------------

void TWinControl::SetTabStop(bool value) {
    if (value == tabStop_) return;
    tabStop_ = value;
    if (handle_) {
        LONG style = GetWindowLongA(handle_, GWL_STYLE);
        SetWindowLongA(handle_, GWL_STYLE, value ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
    }
}

int TWinControl::TabOrder() const {
    if (!Parent()) return -1;
    int n = 0;
    for (TControl* c : Parent()->controls_) {
        if (c == this) return n;
        if (dynamic_cast<TWinControl*>(c)) ++n;
    }
    return -1;
}

bool TWinControl::CanFocus() {
    for (TControl* c = this; c; c = c->Parent()) {
        if (!c->Visible() || !c->Enabled()) return false;
    }
    TForm* form = GetParentForm(this);
    return !form || (form->HandleAllocated() && IsWindowVisible(form->Handle()));
}

bool TWinControl::Focused() {
    return handle_ && GetFocus() == handle_;
}

void TWinControl::SetFocus() {
    if (TForm* form = GetParentForm(this); form && form != this) form->SetActiveControl(this);
    ::SetFocus(Handle());
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) {
    for (TControl* c : controls_) {
        auto* wc = dynamic_cast<TWinControl*>(c);
        if (!wc) continue;
        list.push_back(wc);
        wc->GetTabOrderList(list);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool forward, bool checkTabStop) {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty()) return nullptr;
    int n = static_cast<int>(list.size());
    auto it = std::find(list.begin(), list.end(), current);
    int start = it == list.end() ? (forward ? n - 1 : 0) : static_cast<int>(it - list.begin());
    for (int step = 1; step <= n; ++step) {
        int i = ((start + (forward ? step : -step)) % n + n) % n;
        TWinControl* c = list[static_cast<size_t>(i)];
        if (c == current) continue;
        if ((!checkTabStop || c->TabStop()) && c->CanFocus()) return c;
    }
    return nullptr;
}

void TWinControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
    if (OnExit) OnExit(this);
}

// Runs a key event on the message's key: a handler may change the key, or
// set it to 0 to swallow the message (then the answer is true).
static bool FireKeyEvent(const TKeyEvent& event, TObject* sender, TMessage& m) {
    if (!event) return false;
    WORD key = static_cast<WORD>(m.WParam);
    event(sender, key, KeyDataToShiftState(m.LParam));
    if (key == 0) return true;
    m.WParam = key;
    return false;
}

bool TWinControl::DoKeyDown(TMessage& m) {
    return FireKeyEvent(OnKeyDown, this, m);
}

bool TWinControl::DoKeyUp(TMessage& m) {
    return FireKeyEvent(OnKeyUp, this, m);
}

bool TWinControl::DoKeyPress(TMessage& m) {
    if (!OnKeyPress) return false;
    char c = static_cast<char>(m.WParam);
    OnKeyPress(this, c);
    if (c == 0) return true;
    m.WParam = static_cast<unsigned char>(c);
    return false;
}

// ---- painting ---------------------------------------------------------------

void TWinControl::PaintHandler(TMessage& m) {
    auto dc = reinterpret_cast<HDC>(m.WParam);
    if (dc) {
        if (m.Msg == WM_PRINTCLIENT && (m.LParam & PRF_ERASEBKGND))
            Perform(WM_ERASEBKGND, m.WParam, m.WParam);
        PaintWindow(dc);
        // A copy of the window under a transparent child: the one who asked paints
        // the windowless children it needs itself, so it is not drawn into its own image.
        if (!(ControlState() & csPaintCopy)) PaintControls(dc, nullptr);
        return;
    }
    TPaintDC paint(handle_);
    PaintWindow(paint.Get());
    PaintControls(paint.Get(), nullptr);
}

void TWinControl::PaintWindow(HDC) {}

void TWinControl::PaintControls(HDC dc, TControl* first) {
    bool started = first == nullptr;
    for (TControl* c : std::vector<TControl*>(controls_)) {
        if (!started) {
            started = c == first;
            if (!started) continue;
        }
        if (dynamic_cast<TWinControl*>(c) || !c->Visible()) continue;
        RECT bounds = c->BoundsRect();
        if (!RectVisible(dc, &bounds)) continue;
        TSavedDC saved(dc);
        POINT org{};
        GetWindowOrgEx(dc, &org);
        SetWindowOrgEx(dc, org.x - c->Left(), org.y - c->Top(), nullptr);
        IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    }
}

void TWinControl::EraseBackground(TMessage& m) {
    auto dc = reinterpret_cast<HDC>(m.WParam);
    if (!dc) return;
    RECT r = ClientRect();
    brush_.SetColor(TControl::Color());
    ::FillRect(dc, &r, brush_.Handle());
    m.Result = 1;
}

// ---- messages ---------------------------------------------------------------

bool TWinControl::IsControlMouseMsg(TMessage& m) {
    TControl* target = nullptr;
    if (handle_ && GetCapture() == handle_) {
        TControl* c = GetCaptureControl();
        if (c && c != this && c->Parent() == this) target = c;
    } else {
        target = ControlAtPos(POINT{MessageX(m.LParam), MessageY(m.LParam)});
    }
    if (!target) return false;
    m.Result = target->Perform(
        m.Msg, m.WParam,
        PointToLParam(MessageX(m.LParam) - target->Left(), MessageY(m.LParam) - target->Top()));
    return true;
}

// The one list of reflected messages: each is sent to the object of the child
// window it names, as CN_BASE + the message; the rest, and those whose child is
// not ours, stay here.
bool TWinControl::ReflectToChild(TMessage& m) {
    HWND child = nullptr;
    switch (m.Msg) {
    case WM_COMMAND:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORMSGBOX:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
        child = reinterpret_cast<HWND>(m.LParam);
        break;
    case WM_NOTIFY:
        child = reinterpret_cast<NMHDR*>(m.LParam)->hwndFrom;
        break;
    case WM_DRAWITEM: {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
        if (dis->CtlType != ODT_MENU) child = dis->hwndItem;
        break;
    }
    case WM_DELETEITEM:
        child = reinterpret_cast<DELETEITEMSTRUCT*>(m.LParam)->hwndItem;
        break;
    case WM_COMPAREITEM:
        child = reinterpret_cast<COMPAREITEMSTRUCT*>(m.LParam)->hwndItem;
        break;
    case WM_MEASUREITEM: {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
        if (mis->CtlType == ODT_MENU) return false;
        child = GetDlgItem(handle_, static_cast<int>(mis->CtlID));
        if (!child) {
            TWinControl* creating = ControlBeingCreated();
            if (creating && creating != this && creating->Parent() == this) {
                m.Result = creating->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
                return true;
            }
        }
        break;
    }
    default:
        return false;
    }
    if (!child || child == handle_) return false;
    TWinControl* control = FindControl(child);
    if (!control) return false;
    m.Result = control->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
    return true;
}

bool TWinControl::HandleSetCursor(TMessage& m) {
    if (LOWORD(m.LParam) != HTCLIENT) return false;
    TCursor cursor = Screen ? Screen->Cursor() : crDefault;
    if (cursor == crDefault) {
        POINT p{};
        GetCursorPos(&p);
        p = ScreenToClient(p);
        TControl* c = ControlAtPos(p);
        cursor = c ? c->Cursor() : crDefault;
        if (cursor == crDefault) cursor = Cursor();
    }
    if (cursor == crDefault) return false;
    ::SetCursor(CursorHandle(cursor));
    m.Result = 1;
    return true;
}

void TWinControl::HandleContextMenu(TMessage& m) {
    POINT screen{MessageX(m.LParam), MessageY(m.LParam)};
    if (screen.x != -1 || screen.y != -1) {
        TControl* child = ControlAtPos(ScreenToClient(screen), true);
        if (child && child->DoContextPopup(screen)) return;
    }
    if (DoContextPopup(screen)) return;
    DefaultHandler(m);
}

void TWinControl::WndProc(TMessage& m) {
    // A child window's notification goes back to the child's own object first.
    if (ReflectToChild(m)) return;
    switch (m.Msg) {
    case WM_CLOSE:
        // A multi-line edit in dialog mode sends its parent WM_CLOSE on Escape. Only a window of
        // its own closes: for a child (a panel holding the edit) the default handling would
        // destroy its window and every control's window in it behind their objects.
        if (GetWindowLongA(Handle(), GWL_STYLE) & WS_CHILD) return;
        break;
    case WM_SETFOCUS:
        if (TForm* form = GetParentForm(this); form && form != this) form->FocusChanged(this);
        DefaultHandler(m);
        return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (DoKeyDown(m)) return;
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (DoKeyUp(m)) return;
        break;
    case WM_CHAR:
        if (DoKeyPress(m)) return;
        break;
    case WM_PAINT:
    case WM_PRINTCLIENT:
        if (!subclassed_) {
            PaintHandler(m);
            return;
        }
        break;
    case WM_ERASEBKGND:
        if (!subclassed_) {
            EraseBackground(m);
            return;
        }
        break;
    case WM_WINDOWPOSCHANGED:
        DefaultHandler(m);
        UpdateBoundsFromWindow();
        return;
    case WM_SETCURSOR:
        if (HandleSetCursor(m)) return;
        break;
    case WM_CONTEXTMENU:
        HandleContextMenu(m);
        return;
    case WM_CANCELMODE:
        if (GetCaptureControl() && GetCaptureControl()->Parent() == this) SetCaptureControl(nullptr);
        break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
        if (IsControlMouseMsg(m)) return;
        break;
    case CM_FONTCHANGED:
        if (handle_) SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), TRUE);
        NotifyControls(CM_PARENTFONTCHANGED);
        Invalidate();
        return;
    case CM_COLORCHANGED:
        brush_.SetColor(TControl::Color());
        NotifyControls(CM_PARENTCOLORCHANGED);
        Invalidate();
        return;
    case CM_SHOWHINTCHANGED:
        NotifyControls(CM_PARENTSHOWHINTCHANGED);
        return;
    case CM_ENABLEDCHANGED:
        if (handle_) EnableWindow(handle_, Enabled());
        return;
    case CM_TEXTCHANGED:
    case CM_SHOWINGCHANGED:
    case CM_CONTROLCHANGE:
    case CM_CONTROLLISTCHANGE:
        return;
    case CN_CTLCOLORBTN:
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORSCROLLBAR:
    case CN_CTLCOLORSTATIC:
    case CN_CTLCOLORDLG:
    case CN_CTLCOLORMSGBOX: {
        auto dc = reinterpret_cast<HDC>(m.WParam);
        SetTextColor(dc, ColorToRGB(Font().Color()));
        SetBkColor(dc, ColorToRGB(TControl::Color()));
        brush_.SetColor(TControl::Color());
        m.Result = reinterpret_cast<LRESULT>(brush_.Handle());
        return;
    }
    default:
        break;
    }
    TControl::WndProc(m);
}

void TWinControl::DefaultHandler(TMessage& m) {
    if (!handle_) return;
    // Our own numbers never reach a window procedure of the system.
    if (m.Msg >= CM_BASE && m.Msg < CN_BASE + 0x400) return;
    m.Result = subclassed_ ? CallWindowProcA(systemProc_, handle_, m.Msg, m.WParam, m.LParam)
                           : DefWindowProcA(handle_, m.Msg, m.WParam, m.LParam);
}
