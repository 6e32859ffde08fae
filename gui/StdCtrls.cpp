// Labels, edits, memos and buttons.
#include "gui/StdCtrls.h"

#include "gui/Forms.h"

#include <algorithm>

// ---- TCustomLabel -----------------------------------------------------------

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
    SetControlStyle(ControlStyle() | csSetCaption);
    SetBounds(0, 0, 65, 17);
    SetParentColor(true);
}

void TCustomLabel::SetAlignment(TAlignment value) {
    if (value == alignment_) return;
    alignment_ = value;
    Invalidate();
}

void TCustomLabel::SetAutoSize(bool value) {
    if (value == autoSize_) return;
    autoSize_ = value;
    AdjustBounds();
}

void TCustomLabel::SetWordWrap(bool value) {
    if (value == wordWrap_) return;
    wordWrap_ = value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetTransparent(bool value) {
    if (value == transparent_) return;
    transparent_ = value;
    Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout value) {
    if (value == layout_) return;
    layout_ = value;
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool value) {
    if (value == showAccelChar_) return;
    showAccelChar_ = value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* control) {
    if (focusControl_) focusControl_->RemoveFreeNotification(this);
    focusControl_ = control;
    if (control) control->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* component, TOperation operation) {
    TGraphicControl::Notification(component, operation);
    if (operation == TOperation::opRemove && component == focusControl_) focusControl_ = nullptr;
}

void TCustomLabel::WndProc(TMessage& m) {
    if (m.Msg == CM_DIALOGCHAR && focusControl_ && showAccelChar_ && Enabled() &&
        IsAccel(static_cast<unsigned>(m.WParam), Caption()) && focusControl_->CanFocus()) {
        focusControl_->SetFocus();
        m.Result = 1;
        return;
    }
    TGraphicControl::WndProc(m);
    if (m.Msg == CM_TEXTCHANGED || m.Msg == CM_FONTCHANGED) AdjustBounds();
}

void TCustomLabel::DoDrawText(RECT& rect, UINT flags) {
    std::string text = Caption();
    if ((flags & DT_CALCRECT) && (text.empty() || (showAccelChar_ && text == "&"))) text += ' ';
    if (!showAccelChar_) flags |= DT_NOPREFIX;
    TCanvas& c = Canvas();
    c.Font().Assign(Font());
    if (!Enabled()) {
        c.Font().SetColor(clGrayText);
    }
    c.DrawText(text, rect, flags);
}

void TCustomLabel::Paint() {
    TCanvas& c = Canvas();
    RECT r = ClientRect();
    if (!transparent_) {
        c.Brush().SetColor(Color());
        c.Brush().SetStyle(TBrushStyle::bsSolid);
        c.FillRect(r);
    }
    c.Brush().SetStyle(TBrushStyle::bsClear);
    UINT flags = DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : 0);
    flags |= alignment_ == TAlignment::taCenter         ? DT_CENTER
             : alignment_ == TAlignment::taRightJustify ? DT_RIGHT
                                                        : DT_LEFT;
    if (layout_ != TTextLayout::tlTop) {
        RECT calc = r;
        DoDrawText(calc, flags | DT_CALCRECT);
        int h = calc.bottom - calc.top;
        int offset = layout_ == TTextLayout::tlBottom ? (r.bottom - r.top) - h : ((r.bottom - r.top) - h) / 2;
        r.top += offset;
    }
    DoDrawText(r, flags);
}

void TCustomLabel::AdjustBounds() {
    if (!autoSize_ || HasState(csLoading)) return;
    // Measuring needs a DC; the screen's will do.
    TWindowDC screen(nullptr);
    TCanvas& c = Canvas();
    bool attached = !c.HandleAllocated();
    if (attached) c.SetHandle(screen.Get());
    RECT r{0, 0, wordWrap_ ? Width() : 0, 0};
    UINT flags = DT_CALCRECT | DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : 0);
    DoDrawText(r, flags);
    if (attached) c.SetHandle(nullptr);
    int left = Left();
    if (alignment_ == TAlignment::taRightJustify) left += Width() - r.right;
    SetBounds(left, Top(), r.right, r.bottom);
}

// ---- TCustomEdit ------------------------------------------------------------

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
    SetControlStyle((ControlStyle() & ~static_cast<unsigned>(csCaptureMouse)) | csSetCaption);
    SetBounds(0, 0, 121, 21);
    SetTabStop(true);
    SetColor(clWindow);
}

void TCustomEdit::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    CreateSubClass(params, "EDIT");
    params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL;
    if (borderStyle_ == TBorderStyle::bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
    if (readOnly_) params.Style |= ES_READONLY;
    if (!hideSelection_) params.Style |= ES_NOHIDESEL;
    if (charCase_ == TEditCharCase::ecUpperCase) params.Style |= ES_UPPERCASE;
    if (charCase_ == TEditCharCase::ecLowerCase) params.Style |= ES_LOWERCASE;
    // The text goes in after the limit is raised (CreateWnd): the window's
    // creation would cut it to the default limit, or even to 16 bits of length.
    params.Caption.clear();
}

void TCustomEdit::CreateWnd() {
    TWinControl::CreateWnd();
    DoSetMaxLength(maxLength_);
    if (!TextField().empty()) SetWindowTextA(Handle(), TextField().c_str());
    if (passwordChar_)
        SendMessageA(Handle(), EM_SETPASSWORDCHAR, static_cast<unsigned char>(passwordChar_), 0);
    SendMessageA(Handle(), EM_SETMODIFY, savedModified_ ? TRUE : FALSE, 0);
}

void TCustomEdit::DestroyWnd() {
    savedModified_ = Modified();
    TWinControl::DestroyWnd();
}

void TCustomEdit::SetBorderStyle(TBorderStyle value) {
    if (value == borderStyle_) return;
    borderStyle_ = value;
    RecreateWnd();
}

void TCustomEdit::SetMaxLength(int value) {
    if (value == maxLength_) return;
    maxLength_ = value;
    if (HandleAllocated()) DoSetMaxLength(value);
}

void TCustomEdit::DoSetMaxLength(int value) {
    SendMessageA(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(value), 0);
}

void TCustomEdit::SetReadOnly(bool value) {
    if (value == readOnly_) return;
    readOnly_ = value;
    if (HandleAllocated()) SendMessageA(Handle(), EM_SETREADONLY, value ? TRUE : FALSE, 0);
}

bool TCustomEdit::Modified() {
    if (!HandleAllocated()) return savedModified_;
    return SendMessageA(Handle(), EM_GETMODIFY, 0, 0) != 0;
}

void TCustomEdit::SetModified(bool value) {
    savedModified_ = value;
    if (HandleAllocated()) SendMessageA(Handle(), EM_SETMODIFY, value ? TRUE : FALSE, 0);
}

void TCustomEdit::SetHideSelection(bool value) {
    if (value == hideSelection_) return;
    hideSelection_ = value;
    RecreateWnd();
}

void TCustomEdit::SetPasswordChar(char value) {
    if (value == passwordChar_) return;
    passwordChar_ = value;
    if (HandleAllocated()) {
        SendMessageA(Handle(), EM_SETPASSWORDCHAR, static_cast<unsigned char>(value), 0);
        Invalidate();
    }
}

void TCustomEdit::SetCharCase(TEditCharCase value) {
    if (value == charCase_) return;
    charCase_ = value;
    RecreateWnd();
}

int TCustomEdit::GetSelStart() {
    DWORD start = 0, end = 0;
    SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(start);
}

int TCustomEdit::GetSelLength() {
    DWORD start = 0, end = 0;
    SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(end - start);
}

std::string TCustomEdit::GetSelText() {
    DWORD start = 0, end = 0;
    SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    std::string text = Text();
    if (start >= text.size() || end <= start) return {};
    return text.substr(start, std::min<size_t>(end, text.size()) - start);
}

void TCustomEdit::SetSelStartValue(int value) {
    SendMessageA(Handle(), EM_SETSEL, static_cast<WPARAM>(value), static_cast<LPARAM>(value));
}

void TCustomEdit::SetSelLengthValue(int value) {
    int start = GetSelStart();
    SendMessageA(Handle(), EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(start + value));
    SendMessageA(Handle(), EM_SCROLLCARET, 0, 0);
}

void TCustomEdit::SetSelTextValue(const std::string& text) {
    SendMessageA(Handle(), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void TCustomEdit::SelectAll() {
    SendMessageA(Handle(), EM_SETSEL, 0, -1);
}
void TCustomEdit::ClearSelection() {
    SendMessageA(Handle(), WM_CLEAR, 0, 0);
}
void TCustomEdit::CopyToClipboard() {
    SendMessageA(Handle(), WM_COPY, 0, 0);
}
void TCustomEdit::CutToClipboard() {
    SendMessageA(Handle(), WM_CUT, 0, 0);
}
void TCustomEdit::PasteFromClipboard() {
    SendMessageA(Handle(), WM_PASTE, 0, 0);
}
void TCustomEdit::Undo() {
    SendMessageA(Handle(), WM_UNDO, 0, 0);
}
bool TCustomEdit::CanUndo() {
    return HandleAllocated() && SendMessageA(Handle(), EM_CANUNDO, 0, 0) != 0;
}
void TCustomEdit::ClearUndo() {
    SendMessageA(Handle(), EM_EMPTYUNDOBUFFER, 0, 0);
}

void TCustomEdit::Clear() {
    SetText("");
}

void TCustomEdit::Change() {
    if (OnChange) OnChange(this);
}

void TCustomEdit::WndProc(TMessage& m) {
    switch (m.Msg) {
    case CN_COMMAND:
        if (HIWORD(m.WParam) == EN_CHANGE && !(ControlState() & csCreating)) Change();
        return;
    case WM_SETFOCUS:
        TWinControl::WndProc(m);
        if (autoSelect_ && !(GetWindowLongA(Handle(), GWL_STYLE) & ES_MULTILINE)) SelectAll();
        return;
    default:
        break;
    }
    TWinControl::WndProc(m);
}

// ---- TMemoStrings -----------------------------------------------------------

namespace {

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.push_back(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            start = i + 1;
        }
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i) text += "\r\n";
        text += lines[i];
    }
    return text;
}

} // namespace

// With a window that does not wrap, the edit control's own lines are the
// memo's lines: they are counted, read and changed through its line messages
// and a replaced selection, without reading or setting the whole text (which
// made every line added to a long log cost as much as the log). A wrapping
// window counts its display lines, so its hard lines are taken from the text.
bool TMemoStrings::UsesEditLines() const {
    return memo_.HandleAllocated() && !memo_.WordWrap();
}

namespace {

LRESULT Send(TCustomMemo& memo, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageA(memo.Handle(), msg, wParam, lParam);
}

int EditLineCount(TCustomMemo& memo) {
    return static_cast<int>(Send(memo, EM_GETLINECOUNT));
}

int EditLineIndex(TCustomMemo& memo, int line) {
    return static_cast<int>(Send(memo, EM_LINEINDEX, static_cast<WPARAM>(line)));
}

int EditLineLength(TCustomMemo& memo, int line) {
    return static_cast<int>(Send(memo, EM_LINELENGTH, static_cast<WPARAM>(EditLineIndex(memo, line))));
}

// Replaces the characters [start, end) with text, as the user's undo cannot take back.
void ReplaceRange(TCustomMemo& memo, int start, int end, const std::string& text) {
    Send(memo, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
    Send(memo, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

} // namespace

int TMemoStrings::Count() const {
    if (!UsesEditLines()) return static_cast<int>(SplitLines(memo_.Text()).size());
    // The edit control counts the empty line after a final line break (and
    // the one line of an empty text); the list does not.
    const int lines = EditLineCount(memo_);
    return EditLineLength(memo_, lines - 1) == 0 ? lines - 1 : lines;
}

std::string TMemoStrings::Get(int index) const {
    if (!UsesEditLines()) {
        auto lines = SplitLines(memo_.Text());
        CheckIndex(index, static_cast<int>(lines.size()));
        return lines[static_cast<size_t>(index)];
    }
    CheckIndex(index, Count());
    const int length = EditLineLength(memo_, index);
    if (length <= 0) return {};
    // EM_GETLINE reads the buffer's size from its first word.
    std::string line(std::max<size_t>(static_cast<size_t>(length), sizeof(WORD)), '\0');
    *reinterpret_cast<WORD*>(line.data()) = static_cast<WORD>(std::min(length, 0xFFFF));
    const auto got =
        Send(memo_, EM_GETLINE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(line.data()));
    line.resize(static_cast<size_t>(std::clamp<LRESULT>(got, 0, length)));
    return line;
}

void TMemoStrings::Put(int index, const std::string& s) {
    if (!UsesEditLines()) {
        auto lines = SplitLines(memo_.Text());
        CheckIndex(index, static_cast<int>(lines.size()));
        lines[static_cast<size_t>(index)] = s;
        memo_.SetText(JoinLines(lines));
        return;
    }
    CheckIndex(index, Count());
    const int start = EditLineIndex(memo_, index);
    ReplaceRange(memo_, start, start + EditLineLength(memo_, index), s);
}

void TMemoStrings::Insert(int index, const std::string& s) {
    if (!UsesEditLines()) {
        auto lines = SplitLines(memo_.Text());
        CheckIndex(index, static_cast<int>(lines.size()) + 1);
        lines.insert(lines.begin() + index, s);
        memo_.SetText(JoinLines(lines));
        return;
    }
    const int count = Count();
    CheckIndex(index, count + 1);
    if (index < count) {
        const int start = EditLineIndex(memo_, index);
        ReplaceRange(memo_, start, start, s + "\r\n");
        return;
    }
    // At the end: after a line break when the last line has text.
    const int end = static_cast<int>(Send(memo_, WM_GETTEXTLENGTH));
    const bool breakFirst = count > 0 && EditLineCount(memo_) == count;
    ReplaceRange(memo_, end, end, breakFirst ? "\r\n" + s : s);
}

void TMemoStrings::Delete(int index) {
    if (!UsesEditLines()) {
        auto lines = SplitLines(memo_.Text());
        CheckIndex(index, static_cast<int>(lines.size()));
        lines.erase(lines.begin() + index);
        memo_.SetText(JoinLines(lines));
        return;
    }
    const int count = Count();
    CheckIndex(index, count);
    int start = EditLineIndex(memo_, index);
    int end = 0;
    if (index + 1 < EditLineCount(memo_)) {
        end = EditLineIndex(memo_, index + 1); // the line and its break
    } else {
        end = static_cast<int>(Send(memo_, WM_GETTEXTLENGTH));
        if (index > 0) start -= 2; // the last line and the break before it
    }
    ReplaceRange(memo_, start, end, "");
}

void TMemoStrings::Clear() {
    memo_.SetText("");
}

void TMemoStrings::SetUpdateState(bool updating) {
    // Only a shown window: WM_SETREDRAW TRUE would show a hidden one.
    if (updating && memo_.HandleAllocated() && IsWindowVisible(memo_.Handle())) {
        Send(memo_, WM_SETREDRAW, FALSE);
        redrawHeld_ = true;
    } else if (!updating && redrawHeld_) {
        redrawHeld_ = false;
        if (memo_.HandleAllocated()) {
            Send(memo_, WM_SETREDRAW, TRUE);
            RedrawWindow(memo_.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
        }
    }
}

void TMemoStrings::SetText(const std::string& text) {
    // The edit control breaks lines at CR LF only.
    memo_.SetText(JoinLines(SplitLines(text)));
}

// ---- TCustomMemo ------------------------------------------------------------

TCustomMemo::TCustomMemo(TComponent* owner)
    : TCustomEdit(owner), lines_(std::make_unique<TMemoStrings>(*this)) {
    SetBounds(0, 0, 185, 89);
    SetAutoSelect(false);
}

TCustomMemo::~TCustomMemo() = default;

void TCustomMemo::CreateParams(TCreateParams& params) {
    TCustomEdit::CreateParams(params);
    params.Style |= ES_MULTILINE | ES_WANTRETURN;
    if (wordWrap_) params.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
    if (scrollBars_ == TScrollStyle::ssVertical || scrollBars_ == TScrollStyle::ssBoth)
        params.Style |= WS_VSCROLL;
    if ((scrollBars_ == TScrollStyle::ssHorizontal || scrollBars_ == TScrollStyle::ssBoth) && !wordWrap_)
        params.Style |= WS_HSCROLL;
    if (alignment_ == TAlignment::taCenter) params.Style |= ES_CENTER;
    if (alignment_ == TAlignment::taRightJustify) params.Style |= ES_RIGHT;
}

void TCustomMemo::SetScrollBars(TScrollStyle value) {
    if (value == scrollBars_) return;
    scrollBars_ = value;
    RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool value) {
    if (value == wordWrap_) return;
    wordWrap_ = value;
    RecreateWnd();
}

void TCustomMemo::SetAlignment(TAlignment value) {
    if (value == alignment_) return;
    alignment_ = value;
    RecreateWnd();
}

POINT TCustomMemo::CaretPos() {
    DWORD start = 0, end = 0;
    SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    int line = static_cast<int>(SendMessageA(Handle(), EM_LINEFROMCHAR, end, 0));
    int lineStart = static_cast<int>(SendMessageA(Handle(), EM_LINEINDEX, static_cast<WPARAM>(line), 0));
    return POINT{static_cast<LONG>(end) - lineStart, line};
}

void TCustomMemo::WndProc(TMessage& m) {
    if (m.Msg == WM_GETDLGCODE) {
        TCustomEdit::WndProc(m);
        m.Result &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS | DLGC_WANTTAB);
        if (wantTabs_) m.Result |= DLGC_WANTTAB;
        if (wantReturns_) m.Result |= DLGC_WANTALLKEYS;
        return;
    }
    if (m.Msg == WM_CHAR && m.WParam == '\r' && !wantReturns_) return;
    if (m.Msg == WM_CHAR && m.WParam == '\t' && !wantTabs_) return;
    TCustomEdit::WndProc(m);
}

// ---- TButton ----------------------------------------------------------------

TButton::TButton(TComponent* owner) : TWinControl(owner) {
    SetControlStyle((ControlStyle() & ~static_cast<unsigned>(csCaptureMouse | csClickEvents)) | csSetCaption);
    SetBounds(0, 0, 75, 25);
    SetTabStop(true);
    SetColor(clBtnFace);
}

void TButton::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    CreateSubClass(params, "BUTTON");
    params.Style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::SetDefault(bool value) {
    if (value == default_) return;
    default_ = value;
    if (HandleAllocated())
        SendMessageA(Handle(), BM_SETSTYLE, value ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::Click() {
    if (TForm* form = GetParentForm(this); form && modalResult_ != 0) form->SetModalResult(modalResult_);
    TWinControl::Click();
}

void TButton::WndProc(TMessage& m) {
    switch (m.Msg) {
    case CN_COMMAND:
        if (HIWORD(m.WParam) == BN_CLICKED) Click();
        return;
    case CM_DIALOGCHAR:
        if (IsAccel(static_cast<unsigned>(m.WParam), Caption()) && CanFocus()) {
            SetFocus();
            Click();
            m.Result = 1;
            return;
        }
        break;
    case CM_DIALOGKEY:
        if (((m.WParam == VK_RETURN && default_) || (m.WParam == VK_ESCAPE && cancel_)) && CanFocus()) {
            Click();
            m.Result = 1;
            return;
        }
        break;
    default:
        break;
    }
    TWinControl::WndProc(m);
}

// ---- TCheckBox --------------------------------------------------------------

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) {
    SetControlStyle((ControlStyle() & ~static_cast<unsigned>(csCaptureMouse | csClickEvents)) | csSetCaption);
    SetBounds(0, 0, 97, 17);
    SetTabStop(true);
    SetColor(clBtnFace);
}

void TCheckBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    CreateSubClass(params, "BUTTON");
    params.Style |= BS_3STATE;
}

void TCheckBox::CreateWnd() {
    TWinControl::CreateWnd();
    SendMessageA(Handle(), BM_SETCHECK, static_cast<WPARAM>(state_), 0);
}

void TCheckBox::SetState(TCheckBoxState state) {
    if (state == state_) return;
    state_ = state;
    if (HandleAllocated()) SendMessageA(Handle(), BM_SETCHECK, static_cast<WPARAM>(state), 0);
    Click();
}

void TCheckBox::WndProc(TMessage& m) {
    if (m.Msg == CM_DIALOGCHAR && IsAccel(static_cast<unsigned>(m.WParam), Caption()) && CanFocus()) {
        SetFocus();
        m.WParam = MAKEWPARAM(0, BN_CLICKED);
        m.Msg = CN_COMMAND;
        WndProc(m);
        m.Result = 1;
        return;
    }
    if (m.Msg == CN_COMMAND) {
        if (HIWORD(m.WParam) == BN_CLICKED) {
            switch (state_) {
            case TCheckBoxState::cbUnchecked:
                SetState(TCheckBoxState::cbChecked);
                break;
            case TCheckBoxState::cbChecked:
                SetState(allowGrayed_ ? TCheckBoxState::cbGrayed : TCheckBoxState::cbUnchecked);
                break;
            case TCheckBoxState::cbGrayed:
                SetState(TCheckBoxState::cbUnchecked);
                break;
            }
        }
        return;
    }
    TWinControl::WndProc(m);
}

// ---- TRadioButton -----------------------------------------------------------

TRadioButton::TRadioButton(TComponent* owner) : TWinControl(owner) {
    SetControlStyle((ControlStyle() & ~static_cast<unsigned>(csCaptureMouse | csClickEvents)) | csSetCaption);
    SetBounds(0, 0, 113, 17);
    SetColor(clBtnFace);
}

void TRadioButton::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    CreateSubClass(params, "BUTTON");
    params.Style |= BS_RADIOBUTTON;
}

void TRadioButton::CreateWnd() {
    TWinControl::CreateWnd();
    SendMessageA(Handle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::SetChecked(bool value) {
    if (value == checked_) return;
    checked_ = value;
    SetTabStop(value);
    if (HandleAllocated()) SendMessageA(Handle(), BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
    if (!value) return;
    if (TWinControl* parent = Parent()) {
        for (int i = 0; i < parent->ControlCount(); ++i) {
            if (auto* other = dynamic_cast<TRadioButton*>(parent->Controls(i)); other && other != this)
                other->SetChecked(false);
        }
    }
    Click();
}

void TRadioButton::WndProc(TMessage& m) {
    if (m.Msg == CM_DIALOGCHAR && IsAccel(static_cast<unsigned>(m.WParam), Caption()) && CanFocus()) {
        SetFocus();
        SetChecked(true);
        m.Result = 1;
        return;
    }
    if (m.Msg == CN_COMMAND) {
        if (HIWORD(m.WParam) == BN_CLICKED) SetChecked(true);
        return;
    }
    TWinControl::WndProc(m);
}
