// Forms and form controls: values, sizes, clicks, reset and submission.
#include "htmlview/HtmlForms.h"

#include <algorithm>

#include "base/StrUtils.h"
#include "htmlview/HtmlSections.h"
#include "htmlview/HtmlSymbols.h"

namespace {
TMyFont ControlFont(const TSectionList* doc) {
    TMyFont f;
    f.Name = doc ? doc->PreFontName : "Courier New";
    f.Size = 10;
    f.Fixed = true;
    return f;
}
TMyFont CaptionFont() {
    TMyFont f;
    f.Name = "Tahoma";
    f.Size = 8;
    return f;
}
} // namespace

TFormControlObj::TFormControlObj(TSectionList* owner, ThtmlForm* form, int32_t pos, FormControlKind kind,
                                 const TAttributeList& attributes)
    : OwnerDocument(owner), OwnerForm(form), Pos(pos), Kind(kind) {
    bool valueGiven = false;
    for (const auto& a : attributes) {
        switch (a.Which) {
        case AttrVALUE:
            Value = a.Name;
            valueGiven = true;
            break;
        case AttrNAME:
            Name = a.Name;
            break;
        case AttrONCLICK:
            OnClickMessage = a.Name;
            break;
        case AttrCHECKED:
            IsChecked = true;
            break;
        case AttrMAXLENGTH:
            MaxLength = ClampInt(a.Value, 0, hvMaxPixels);
            break;
        case AttrSIZE:
            if (kind == FormControlKind::ListBox || kind == FormControlKind::Combo) {
                LBSize = ClampInt(a.Value, 1, 500);
            } else if (a.Value >= 1) {
                EditSize = ClampInt(a.Value, 1, 500);
            } else {
                // "20,1" or "20 1": the number before the first separator.
                std::string s = a.Name;
                size_t cut = std::min(s.find(' '), s.find(','));
                if (s.find(' ') != std::string::npos && s.find(',') != std::string::npos && cut > 0)
                    s.erase(cut);
                EditSize = ClampInt(StrToIntDef(Trim(s), 20), 1, 500);
            }
            break;
        case AttrMULTIPLE:
            Multiple = true;
            break;
        case AttrROWS:
            Rows = ClampInt(a.Value, 1, 500);
            break;
        case AttrCOLS:
            Cols = ClampInt(a.Value, 1, 500);
            break;
        case AttrWRAP: {
            std::string w = LowerCase(a.Name);
            WordWrap = w == "soft" || w == "hard";
            break;
        }
        default:
            break;
        }
    }
    if (!valueGiven) {
        if (kind == FormControlKind::CheckBox || kind == FormControlKind::Radio)
            Value = "on";
        else if (kind == FormControlKind::Submit)
            Value = "Submit";
        else if (kind == FormControlKind::Reset)
            Value = "Reset";
        else if (kind == FormControlKind::Button)
            Value = "Button";
    }
    ResetValue();
}

TFormControlObj::~TFormControlObj() = default;

bool TFormControlObj::OnBaseline() const {
    return Kind != FormControlKind::ListBox && Kind != FormControlKind::TextArea;
}

void TFormControlObj::AddOption(const std::string& text, const std::string& value, bool selected) {
    Options.push_back({text, value, selected});
    Longest = std::max<int32_t>(Longest, static_cast<int32_t>(text.size()));
    // As ResetValue would leave it: the first item, or the last selected one, is the current.
    const int32_t last = static_cast<int32_t>(Options.size()) - 1;
    ItemSelected.push_back(false);
    if (ItemIndex < 0) {
        ItemIndex = 0;
        if (!Multiple) ItemSelected[0] = true;
    }
    if (selected) {
        if (!Multiple) ItemSelected[static_cast<size_t>(ItemIndex)] = false;
        ItemIndex = last;
        ItemSelected[static_cast<size_t>(last)] = true;
    }
    if (Peer) Peer->ShowValue();
}

void TFormControlObj::AddLine(const std::string& line) {
    Lines.push_back(line);
    if (Lines.size() > 1) Text += "\r\n";
    Text += line;
    if (Peer) Peer->ShowValue();
}

void TFormControlObj::ResetValue() {
    switch (Kind) {
    case FormControlKind::Edit:
    case FormControlKind::Password:
        Text = Value;
        break;
    case FormControlKind::CheckBox:
    case FormControlKind::Radio:
        Checked = IsChecked;
        break;
    case FormControlKind::ListBox:
    case FormControlKind::Combo: {
        ItemSelected.assign(Options.size(), false);
        ItemIndex = Options.empty() ? -1 : 0;
        for (size_t i = 0; i < Options.size(); ++i)
            if (Options[i].Selected) {
                ItemIndex = static_cast<int32_t>(i);
                if (Multiple) ItemSelected[i] = true;
            }
        if (!Multiple && ItemIndex >= 0) ItemSelected[static_cast<size_t>(ItemIndex)] = true;
        break;
    }
    case FormControlKind::TextArea: {
        Text.clear();
        for (size_t i = 0; i < Lines.size(); ++i)
            Text += (i ? "\r\n" : "") + Lines[i];
        break;
    }
    default:
        break;
    }
    if (Peer) Peer->ShowValue();
}

bool TFormControlObj::SubmitValue(int index, std::string& s) {
    s.clear();
    switch (Kind) {
    case FormControlKind::Edit:
    case FormControlKind::Password:
        if (index != 0) return false;
        s = Name + "=" + Text;
        return true;
    case FormControlKind::CheckBox:
    case FormControlKind::Radio:
        if (index != 0 || !Checked) return false;
        s = Name + "=" + Value;
        return true;
    case FormControlKind::Hidden:
        if (index != 0) return false;
        s = Name + "=" + Value;
        return true;
    case FormControlKind::Image: {
        if (XPos < 0 || index > 1) return false;
        std::string prefix = Name.empty() ? "" : Name + ".";
        if (index == 0) {
            s = prefix + "x=" + std::to_string(XPos);
        } else {
            s = prefix + "y=" + std::to_string(YPos);
            XPos = -1; // a later submission without a new click adds nothing
        }
        return true;
    }
    case FormControlKind::ListBox:
    case FormControlKind::Combo: {
        if (index < 0 || index >= static_cast<int>(Options.size())) return false;
        bool selected =
            Kind == FormControlKind::Combo ? index == ItemIndex : ItemSelected[static_cast<size_t>(index)];
        if (selected) {
            const Option& o = Options[static_cast<size_t>(index)];
            s = Name + "=" + (o.Value.empty() ? o.Text : o.Value);
        }
        return true;
    }
    case FormControlKind::TextArea: {
        if (index != 0) return false;
        std::string joined;
        std::vector<std::string> lines;
        size_t start = 0;
        for (;;) {
            size_t p = Text.find("\r\n", start);
            lines.push_back(Text.substr(start, p == std::string::npos ? std::string::npos : p - start));
            if (p == std::string::npos) break;
            start = p + 2;
        }
        for (size_t i = 0; i < lines.size(); ++i)
            joined += (i && !WordWrap ? "\r\n" : "") + lines[i];
        s = Name + "=" + joined;
        return true;
    }
    default:
        return false;
    }
}

void TFormControlObj::SetControlSize(ITextMetrics& canvas) {
    // The first sizing gives the control its window on the paint panel, showing the initial value.
    if (!Peer && !Hidden() && OwnerDocument && OwnerDocument->MakeFormControlPeer) {
        Peer = OwnerDocument->MakeFormControlPeer(*this);
        if (Peer) ResetValue();
    }
    TMyFont f = ControlFont(OwnerDocument);
    int32_t wA = canvas.TextWidth(f, "A", 1);
    int32_t hA = canvas.Metrics(f).Height;
    switch (Kind) {
    case FormControlKind::Edit:
    case FormControlKind::Password:
        Width = wA * EditSize + 5;
        Height = hA + 8;
        break;
    case FormControlKind::Submit:
    case FormControlKind::Reset:
    case FormControlKind::Button: {
        TMyFont c = CaptionFont();
        Height = canvas.Metrics(c).Height + 8;
        Width = canvas.TextWidth(c, Value.data(), static_cast<int32_t>(Value.size())) + 20;
        break;
    }
    case FormControlKind::CheckBox:
    case FormControlKind::Radio:
        Width = Height = 16;
        break;
    case FormControlKind::ListBox: {
        int32_t rows = LBSize > 0 ? LBSize : ClampInt(static_cast<int64_t>(Options.size()), 1, 8);
        Height = hA * rows + 4;
        Width = wA * Longest + 15 + 4;
        break;
    }
    case FormControlKind::Combo:
        Height = hA + 8;
        Width = wA * Longest + 30;
        break;
    case FormControlKind::TextArea:
        Height = hA * Rows + 5 + 4;
        Width = wA * Cols + 5 + 4;
        break;
    default:
        Width = Height = 0;
        break;
    }
    Width = ClampInt(Width, 0, hvMaxPixels);
    Height = ClampInt(Height, 0, hvMaxPixels);
    if (Peer) Peer->SetSize(Width, Height);
}

void TFormControlObj::Click(int32_t x, int32_t y) {
    switch (Kind) {
    case FormControlKind::Submit:
        OwnerForm->SubmitFormData(Name.empty() ? std::string() : Name + "=" + Value);
        break;
    case FormControlKind::Reset:
        OwnerForm->ResetControls();
        break;
    case FormControlKind::CheckBox:
        Checked = !Checked;
        break;
    case FormControlKind::Radio:
        Checked = true;
        OwnerForm->SetRadio(*this);
        break;
    case FormControlKind::Image:
        XPos = std::max(0, x);
        YPos = std::max(0, y);
        OwnerForm->SubmitFormData(std::string());
        break;
    default:
        break;
    }
}

void TFormControlObj::ReadFromWindow() {
    if (Peer) Peer->ReadValue();
}

void TFormControlObj::ControlEnter() {
    if (!OwnerDocument) return;
    if (OwnerDocument->OnFormControlFocus) OwnerDocument->OnFormControlFocus(this);
    // Copied: the focus callback may scroll, which must not change what this walk visits.
    const std::vector<TFormControlObj*> controls = OwnerDocument->FormControlList;
    for (TFormControlObj* c : controls)
        if (!c->IsShown && c->Peer) c->Peer->ShowAt(hvOffScreenLeft, c->Top, c->BackgroundColor());
}

void TFormControlObj::ControlExit() {
    if (OwnerDocument) OwnerDocument->HideControls();
}

void TFormControlObj::ControlClick() {
    ReadFromWindow();
    switch (Kind) {
    case FormControlKind::Radio:
        if (Checked) OwnerForm->SetRadio(*this);
        break;
    case FormControlKind::Submit:
    case FormControlKind::Reset:
    case FormControlKind::Button:
        Click();
        return;
    default:
        break;
    }
    if (OwnerDocument && OwnerDocument->ObjectClick)
        OwnerDocument->ObjectClick(OwnerDocument->Viewer, this, OnClickMessage);
}

void TFormControlObj::ShowAt(int32_t left, int32_t top) {
    IsShown = true;
    Left = left;
    Top = top;
    if (Peer) Peer->ShowAt(left, top, BackgroundColor());
}

TColor TFormControlObj::BackgroundColor() const {
    if (Cell && Cell->HasBackground) return Cell->BackgroundColor;
    return OwnerDocument ? OwnerDocument->Background : hvSysWindow;
}

ThtmlForm::ThtmlForm(TSectionList* owner, const TAttributeList& attributes) : OwnerDocument(owner) {
    for (const auto& a : attributes) {
        switch (a.Which) {
        case AttrMETHOD:
            Method = a.Name.substr(0, 4);
            break;
        case AttrACTION:
            Action = a.Name;
            break;
        case AttrTARGET:
            Target = a.Name;
            break;
        case AttrENCTYPE:
            EncType = a.Name;
            break;
        default:
            break;
        }
    }
}

void ThtmlForm::InsertControl(std::unique_ptr<TFormControlObj> ctrl) {
    if (ctrl->Kind != FormControlKind::Hidden) ++VisibleControlCount;
    ControlList.Add(std::move(ctrl));
}

void ThtmlForm::ResetControls() {
    for (const auto& c : ControlList)
        c->ResetValue();
}

void ThtmlForm::SetRadio(TFormControlObj& ctrl) {
    if (ctrl.Name.empty()) return;
    for (const auto& c : ControlList)
        if (c.get() != &ctrl && c->Kind == FormControlKind::Radio && SameText(c->Name, ctrl.Name)) {
            c->Checked = false;
            if (c->Peer) c->Peer->ShowValue();
        }
}

bool ThtmlForm::FormKeyDown(TFormControlObj& sender, uint16_t key) {
    if (key != 13) return false;
    if (sender.Kind != FormControlKind::Edit && sender.Kind != FormControlKind::Password) return false;
    SubmitFormData(std::string());
    return true;
}

void ThtmlForm::SubmitFormData(const std::string& buttonSubmission) {
    if (!OwnerDocument || !OwnerDocument->SubmitForm) return;
    for (const auto& c : ControlList)
        c->ReadFromWindow();
    auto results = std::make_unique<TStringList>();
    std::string s;
    for (const auto& c : ControlList)
        for (int i = 0; c->SubmitValue(i, s); ++i)
            if (!s.empty()) results->Add(s);
    if (!buttonSubmission.empty()) results->Add(buttonSubmission);
    OwnerDocument->SubmitForm(OwnerDocument->Viewer, Action, Target, EncType, Method, std::move(results));
}

void ThtmlForm::SetSizes(ITextMetrics& canvas) {
    for (const auto& c : ControlList)
        c->SetControlSize(canvas);
}
