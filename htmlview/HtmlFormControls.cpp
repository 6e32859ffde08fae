// The windows of a document's form controls on the viewer's paint panel.
#include "htmlview/HtmlFormControls.h"

#include "gui/ExtCtrls.h"
#include "gui/StdCtrls.h"
#include "htmlview/HtmlSections.h"

namespace {

// Document colours may carry the palette-relative bit; a window wants the plain colour.
TColor WindowColor(TColor c) {
    return c < 0 ? c : (c & 0xFFFFFF);
}

// Text inputs, lists and memos show the document's fixed-pitch face; buttons and boxes do not.
bool UsesPreFont(FormControlKind kind) {
    switch (kind) {
    case FormControlKind::Edit:
    case FormControlKind::Password:
    case FormControlKind::ListBox:
    case FormControlKind::Combo:
    case FormControlKind::TextArea:
        return true;
    default:
        return false;
    }
}

class TFormControlWindow final : public IFormControlPeer {
public:
    TFormControlWindow(TFormControlObj& obj, TWinControl& panel);
    ~TFormControlWindow() override;
    TFormControlWindow(const TFormControlWindow&) = delete;
    TFormControlWindow& operator=(const TFormControlWindow&) = delete;

    void ShowValue() override;
    void ReadValue() override;
    void SetSize(int32_t width, int32_t height) override;
    void ShowAt(int32_t left, int32_t top, TColor background) override;
    void Hide() override;
    bool Focused() const override;

    TWinControl* Control() const { return control_; }

private:
    void CreateControl();
    template <class T> T* As() const { return static_cast<T*>(control_); }

    TFormControlObj& obj_;
    // The window on the paint panel (a radio button's panel, which holds and frees the button).
    std::unique_ptr<TWinControl> window_;
    TWinControl* control_ = nullptr; // takes the focus and the clicks; window_ or inside it
    // Set while the window is given a value from code: its click events are not the user's.
    bool updating_ = false;

public:
    const std::shared_ptr<char> Alive = std::make_shared<char>(0);
};

TFormControlWindow::TFormControlWindow(TFormControlObj& obj, TWinControl& panel) : obj_(obj) {
    CreateControl();
    window_->SetVisible(false);
    window_->SetBounds(0, -400, window_->Width(), window_->Height());
    window_->SetParent(&panel);
    window_->HandleNeeded();

    control_->OnEnter = [this](TObject*) { obj_.ControlEnter(); };
    control_->OnExit = [this](TObject*) { obj_.ControlExit(); };
    control_->OnClick = [this](TObject*) {
        if (!updating_) obj_.ControlClick();
    };
    if (obj_.Kind == FormControlKind::Edit || obj_.Kind == FormControlKind::Password ||
        obj_.Kind == FormControlKind::TextArea)
        control_->OnKeyDown = [this](TObject*, WORD& key, TShiftState) {
            // Enter has done its work (a submission): the edit need not beep at it.
            if (obj_.OwnerForm && obj_.OwnerForm->FormKeyDown(obj_, key)) key = 0;
        };
}

TFormControlWindow::~TFormControlWindow() {
    // The window may lose the focus as it goes; the document is being cleared by then.
    control_->OnEnter = nullptr;
    control_->OnExit = nullptr;
    control_->OnClick = nullptr;
    control_->OnKeyDown = nullptr;
}

void TFormControlWindow::CreateControl() {
    const std::string preFont = obj_.OwnerDocument ? obj_.OwnerDocument->PreFontName : "Courier New";
    auto useFont = [&](TControl& c, const std::string& name, int size) {
        c.SetParentFont(false);
        c.Font().SetName(name);
        c.Font().SetSize(size);
    };
    switch (obj_.Kind) {
    case FormControlKind::Submit:
    case FormControlKind::Reset:
    case FormControlKind::Button: {
        auto* b = new TButton(nullptr);
        b->SetCaption(obj_.Value);
        useFont(*b, hvButtonFontName, hvButtonFontSize);
        window_.reset(b);
        break;
    }
    case FormControlKind::CheckBox: {
        auto* c = new TCheckBox(nullptr);
        c->SetCaption("");
        window_.reset(c);
        break;
    }
    case FormControlKind::Radio: {
        auto* p = new TPanel(nullptr);
        p->SetBevelOuter(TBevelCut::bvNone);
        p->SetCaption("");
        window_.reset(p);
        auto* r = new TRadioButton(nullptr);
        r->SetCaption("");
        r->SetParent(p);
        control_ = r;
        break;
    }
    case FormControlKind::ListBox: {
        auto* l = new TListBox(nullptr);
        l->SetMultiSelect(obj_.Multiple);
        useFont(*l, preFont, 10);
        window_.reset(l);
        break;
    }
    case FormControlKind::Combo: {
        auto* c = new TComboBox(nullptr);
        c->SetStyle(TComboBoxStyle::csDropDownList);
        useFont(*c, preFont, 10);
        window_.reset(c);
        break;
    }
    case FormControlKind::TextArea: {
        auto* m = new TMemo(nullptr);
        m->SetWordWrap(obj_.WordWrap);
        m->SetScrollBars(obj_.WordWrap ? TScrollStyle::ssVertical : TScrollStyle::ssBoth);
        useFont(*m, preFont, 10);
        window_.reset(m);
        break;
    }
    default: {
        auto* e = new TEdit(nullptr);
        if (obj_.MaxLength > 0) e->SetMaxLength(obj_.MaxLength);
        if (obj_.Kind == FormControlKind::Password) e->SetPasswordChar('*');
        useFont(*e, preFont, 10);
        window_.reset(e);
        break;
    }
    }
    if (!control_) control_ = window_.get();
    control_->SetTabStop(true);
}

void TFormControlWindow::ShowValue() {
    updating_ = true;
    struct TReset {
        bool& flag;
        ~TReset() { flag = false; }
    } reset{updating_};
    switch (obj_.Kind) {
    case FormControlKind::CheckBox:
        As<TCheckBox>()->SetChecked(obj_.Checked);
        break;
    case FormControlKind::Radio:
        As<TRadioButton>()->SetChecked(obj_.Checked);
        control_->SetTabStop(true); // a radio button clears its tab stop when unchecked
        break;
    case FormControlKind::ListBox: {
        auto* l = As<TListBox>();
        l->Items().Clear();
        for (const auto& o : obj_.Options)
            l->Items().Add(o.Text);
        for (int i = 0; i < static_cast<int>(obj_.Options.size()); ++i) {
            if (obj_.Multiple)
                l->SetSelected(i, obj_.ItemSelected[static_cast<size_t>(i)]);
            else if (i == obj_.ItemIndex)
                l->SetItemIndex(i);
        }
        l->SetTopIndex(0);
        break;
    }
    case FormControlKind::Combo: {
        auto* c = As<TComboBox>();
        c->Items().Clear();
        for (const auto& o : obj_.Options)
            c->Items().Add(o.Text);
        c->SetItemIndex(obj_.ItemIndex);
        break;
    }
    case FormControlKind::TextArea:
    case FormControlKind::Edit:
    case FormControlKind::Password: {
        auto* e = As<TCustomEdit>();
        e->SetText(obj_.Text);
        e->SetSelStart(0);
        e->SetSelLength(0);
        break;
    }
    default:
        break;
    }
}

void TFormControlWindow::ReadValue() {
    switch (obj_.Kind) {
    case FormControlKind::CheckBox:
        obj_.Checked = As<TCheckBox>()->Checked();
        break;
    case FormControlKind::Radio:
        obj_.Checked = As<TRadioButton>()->Checked();
        break;
    case FormControlKind::ListBox: {
        auto* l = As<TListBox>();
        const int n = std::min<int>(l->Count(), static_cast<int>(obj_.ItemSelected.size()));
        for (int i = 0; i < n; ++i)
            obj_.ItemSelected[static_cast<size_t>(i)] = l->Selected(i);
        obj_.ItemIndex = l->ItemIndex();
        break;
    }
    case FormControlKind::Combo:
        obj_.ItemIndex = As<TComboBox>()->ItemIndex();
        break;
    case FormControlKind::TextArea:
    case FormControlKind::Edit:
    case FormControlKind::Password:
        obj_.Text = control_->Text();
        break;
    default:
        break;
    }
}

void TFormControlWindow::SetSize(int32_t width, int32_t height) {
    // The document measured the control in its current fixed-pitch face, which a viewer's
    // DefPreFontName may have changed since the window was made.
    if (obj_.OwnerDocument && UsesPreFont(obj_.Kind) &&
        window_->Font().Name() != obj_.OwnerDocument->PreFontName)
        window_->Font().SetName(obj_.OwnerDocument->PreFontName);
    window_->SetBounds(window_->Left(), window_->Top(), width, height);
    if (control_ != window_.get()) control_->SetBounds(0, 0, width, height);
}

void TFormControlWindow::ShowAt(int32_t left, int32_t top, TColor background) {
    if (control_ != window_.get() || obj_.Kind == FormControlKind::CheckBox) {
        // The box of a check box or radio button sits on the colour behind it.
        const TColor c = WindowColor(background);
        if (window_->Color() != c) window_->SetColor(c);
        if (control_->Color() != c) control_->SetColor(c);
    }
    if (window_->Left() != left || window_->Top() != top)
        window_->SetBounds(left, top, window_->Width(), window_->Height());
    if (!window_->Visible()) window_->SetVisible(true);
}

void TFormControlWindow::Hide() {
    if (window_->Visible()) window_->SetVisible(false);
}

bool TFormControlWindow::Focused() const {
    if (!window_->HandleAllocated()) return false;
    const HWND focus = GetFocus();
    return focus && (focus == window_->Handle() || IsChild(window_->Handle(), focus));
}

} // namespace

std::unique_ptr<IFormControlPeer> MakeFormControlWindow(TFormControlObj& control, TWinControl& paintPanel) {
    if (control.Hidden()) return nullptr;
    return std::make_unique<TFormControlWindow>(control, paintPanel);
}

TWinControl* FormControlWindow(const TFormControlObj& control) {
    auto* w = dynamic_cast<TFormControlWindow*>(control.Peer.get());
    return w ? w->Control() : nullptr;
}

std::weak_ptr<void> FormControlLife(const TFormControlObj& control) {
    auto* w = dynamic_cast<TFormControlWindow*>(control.Peer.get());
    return w ? std::weak_ptr<void>(w->Alive) : std::weak_ptr<void>();
}
