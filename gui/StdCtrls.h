// Standard controls: labels, edits and memos over EDIT, push buttons over BUTTON.
#pragma once

#include "gui/CustomControl.h"

#include "base/StringList.h"

#include <memory>

enum class TTextLayout { tlTop, tlCenter, tlBottom };
enum class TBorderStyle { bsNone, bsSingle };
enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum class TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
enum class TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

// A windowless text label.
class TCustomLabel : public TGraphicControl {
public:
    explicit TCustomLabel(TComponent* owner);

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout value);
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool value);
    TWinControl* FocusControl() const { return focusControl_; }
    void SetFocusControl(TWinControl* control);

    void WndProc(TMessage& message) override;

protected:
    void Paint() override;
    // Draws (or with DT_CALCRECT measures) the caption in rect.
    virtual void DoDrawText(RECT& rect, UINT flags);
    virtual void AdjustBounds();
    void Notification(TComponent* component, TOperation operation) override;

private:
    TAlignment alignment_ = TAlignment::taLeftJustify;
    bool autoSize_ = true, wordWrap_ = false, transparent_ = false, showAccelChar_ = true;
    TTextLayout layout_ = TTextLayout::tlTop;
    TWinControl* focusControl_ = nullptr;
};

class TLabel : public TCustomLabel {
public:
    using TCustomLabel::TCustomLabel;
};

// A single-line edit over the system EDIT class.
class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* owner);

    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int value);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    bool Modified();
    void SetModified(bool value);
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool value);
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool value) { autoSelect_ = value; }
    char PasswordChar() const { return passwordChar_; }
    void SetPasswordChar(char value);
    TEditCharCase CharCase() const { return charCase_; }
    void SetCharCase(TEditCharCase value);

    int SelStart() { return GetSelStart(); }
    void SetSelStart(int value) { SetSelStartValue(value); }
    int SelLength() { return GetSelLength(); }
    void SetSelLength(int value) { SetSelLengthValue(value); }
    std::string SelText() { return GetSelText(); }
    void SetSelText(const std::string& text) { SetSelTextValue(text); }
    void SelectAll();
    void ClearSelection();
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    void Undo();
    bool CanUndo();
    virtual void Clear();
    void ClearUndo();

    TNotifyEvent OnChange;
    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    virtual void Change();
    virtual void DoSetMaxLength(int value);
    virtual int GetSelStart();
    virtual int GetSelLength();
    virtual std::string GetSelText();
    virtual void SetSelStartValue(int value);
    virtual void SetSelLengthValue(int value);
    virtual void SetSelTextValue(const std::string& text);

private:
    TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
    int maxLength_ = 0;
    bool readOnly_ = false, hideSelection_ = true, autoSelect_ = true;
    char passwordChar_ = 0;
    TEditCharCase charCase_ = TEditCharCase::ecNormal;
    bool savedModified_ = false;
};

class TEdit : public TCustomEdit {
public:
    using TCustomEdit::TCustomEdit;
};

// The lines of a memo, read from and written to its window (or kept while it has none).
class TMemoStrings : public TStrings {
public:
    explicit TMemoStrings(class TCustomMemo& memo) : memo_(memo) {}
    int Count() const override;
    std::string Get(int index) const override;
    void Put(int index, const std::string& s) override;
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;
    void Clear() override;
    void SetText(const std::string& text) override;

protected:
    // While updating, a shown window is not drawn; it is drawn once at the end.
    void SetUpdateState(bool updating) override;

private:
    bool UsesEditLines() const;
    TCustomMemo& memo_;
    bool redrawHeld_ = false;
};

// A multi-line edit over the system EDIT class.
class TCustomMemo : public TCustomEdit {
public:
    explicit TCustomMemo(TComponent* owner);
    ~TCustomMemo() override;

    TStrings& Lines() { return *lines_; }
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle value);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    bool WantReturns() const { return wantReturns_; }
    void SetWantReturns(bool value) { wantReturns_ = value; }
    bool WantTabs() const { return wantTabs_; }
    void SetWantTabs(bool value) { wantTabs_ = value; }
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    // Column (X) and line (Y) of the caret.
    virtual POINT CaretPos();

    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    // Replaces the line list (descendants with their own line store).
    void SetLinesObject(std::unique_ptr<TStrings> lines) { lines_ = std::move(lines); }

private:
    std::unique_ptr<TStrings> lines_;
    TScrollStyle scrollBars_ = TScrollStyle::ssNone;
    bool wordWrap_ = true, wantReturns_ = true, wantTabs_ = false;
    TAlignment alignment_ = TAlignment::taLeftJustify;
};

class TMemo : public TCustomMemo {
public:
    using TCustomMemo::TCustomMemo;
};

// A push button over the system BUTTON class. Clicking sets the form's
// ModalResult when the button has one; Enter and Escape reach the Default and
// Cancel buttons.
class TButton : public TWinControl {
public:
    explicit TButton(TComponent* owner);

    bool Default() const { return default_; }
    void SetDefault(bool value);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool value) { cancel_ = value; }
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int value) { modalResult_ = value; }

    void Click() override;
    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;

private:
    bool default_ = false, cancel_ = false;
    int modalResult_ = 0;
};

// A check box over the system BUTTON class. Clicking moves the state on
// (unchecked, checked, grayed when AllowGrayed) and fires OnClick.
class TCheckBox : public TWinControl {
public:
    explicit TCheckBox(TComponent* owner);

    bool Checked() const { return state_ == TCheckBoxState::cbChecked; }
    void SetChecked(bool value) { SetState(value ? TCheckBoxState::cbChecked : TCheckBoxState::cbUnchecked); }
    TCheckBoxState State() const { return state_; }
    // Setting the state from code fires OnClick too, as a user's click would.
    void SetState(TCheckBoxState state);
    bool AllowGrayed() const { return allowGrayed_; }
    void SetAllowGrayed(bool value) { allowGrayed_ = value; }
    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;

private:
    TCheckBoxState state_ = TCheckBoxState::cbUnchecked;
    bool allowGrayed_ = false;
};

// A radio button over the system BUTTON class. Checking one unchecks the other
// radio buttons with the same parent.
class TRadioButton : public TWinControl {
public:
    explicit TRadioButton(TComponent* owner);

    bool Checked() const { return checked_; }
    void SetChecked(bool value);
    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;

private:
    bool checked_ = false;
};

// List and combo boxes live in their own unit.
#include "gui/ListBoxes.h"
