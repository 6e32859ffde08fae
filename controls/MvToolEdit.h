// TMvCustomComboEdit: a one-line edit with a button inside its right edge and an
// optional drop-down window (TMvPopupWindow) that opens under or over the edit.
#pragma once

#include "controls/MvAutoComplete.h"
#include "controls/MvSpeedButton.h"
#include "gui/ActnList.h"
#include "controls/MvExControls.h"
#include "controls/MvExMask.h"

#include <string>

class TMvCustomComboEdit;

enum TMvGlyphKind : unsigned char { gkCustom = 0, gkDefault = 1, gkDropDown = 2, gkEllipsis = 3 };

// Posted to the edit itself: close the drop-down later (WParam: accept).
constexpr UINT CM_MVCLOSEUPLATER = 0xB300;

// Alt+Down as a shortcut (key code with the Alt bit of a shortcut).
constexpr unsigned short kMvShortCutAlt = 0x8000;
constexpr unsigned short kMvShortCutShift = 0x2000;
constexpr unsigned short kMvShortCutCtrl = 0x4000;

using TMvCloseUpEvent = std::function<void(TObject* Sender, bool Accept)>;

// The drop-down window of a combo edit: a tool window that does not take the
// activation unless asked, and closes when it loses it.
class TMvPopupWindow : public TMvExCustomControl {
public:
    explicit TMvPopupWindow(TMvCustomComboEdit* AOwner);

    void WndProc(TMessage& Message) override;

    virtual std::string GetValue() { return std::string(); }
    virtual void SetValue(const std::string& Value) { (void)Value; }
    virtual void CloseUp(bool Accept);
    virtual std::string GetPopupText() { return std::string(); }
    virtual void Show(POINT Origin);

    TMvCustomComboEdit* Edit() const { return FEditControl; }
    // The control that keys typed into the edit go to while the drop-down is open.
    TWinControl* ActiveControl() const { return FActiveControl; }
    void SetActiveControl(TWinControl* Value) { FActiveControl = Value; }
    bool ClickActivates() const { return FClickActivates; }
    void SetClickActivates(bool Value) { FClickActivates = Value; }

    TMvCloseUpEvent OnCloseUp;

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    TMvCustomComboEdit* FEditControl;
    TWinControl* FActiveControl = nullptr;
    bool FClickActivates = false;
};

// The button inside the edit.
class TMvEditButton : public TMvImageSpeedButton {
public:
    TMvEditButton(TComponent* AOwner, TMvCustomComboEdit* Edit);
    void WndProc(TMessage& Message) override;
    void Click() override;
    bool NoAction() const { return FNoAction; }

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void PaintImage(TCanvas& Canvas, const RECT& ARect, POINT Offset, TMvButtonState AState,
                    bool DrawMark) override;

private:
    TMvCustomComboEdit* FEdit;
    bool FNoAction = false;
};

class TMvCustomComboEdit : public TMvExCustomMaskEdit {
public:
    explicit TMvCustomComboEdit(TComponent* AOwner);
    ~TMvCustomComboEdit() override;

    void WndProc(TMessage& Message) override;

    virtual void ButtonClick();
    virtual void OpenPopup(bool DisableEdit);
    virtual void ClosePopup(TObject* Sender, bool Accept);
    virtual void ClosePopupLater(bool Accept);
    void Clear() override;

    bool PopupVisible() const { return FPopupVisible; }
    TMvPopupWindow* Popup() const { return FPopup; }
    TMvEditButton& Button() { return *FButton; }
    TWinControl& ButtonContainer() { return *FBtnControl; }

    unsigned short ButtonKey() const { return FButtonKey; }
    void SetButtonKey(unsigned short Value) { FButtonKey = Value; }
    bool EditReadOnly() const { return FReadOnly; }
    virtual void SetEditReadOnly(bool Value);
    bool DirectInput() const { return FDirectInput; }
    void SetDirectInput(bool Value);
    bool AlwaysEnableButton() const { return FAlwaysEnableButton; }
    void SetAlwaysEnableButton(bool Value) { FAlwaysEnableButton = Value; }
    bool AlwaysShowPopup() const { return FAlwaysShowPopup; }
    void SetAlwaysShowPopup(bool Value) { FAlwaysShowPopup = Value; }
    // 0: right edges aligned, 1: left edges aligned.
    int PopupAlign() const { return FPopupAlign; }
    void SetPopupAlign(int Value) { FPopupAlign = Value; }
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value) { FGroupIndex = Value; }
    TColor DisabledColor() const { return FDisabledColor; }
    virtual void SetDisabledColor(TColor Value);
    TColor DisabledTextColor() const { return FDisabledTextColor; }
    virtual void SetDisabledTextColor(TColor Value);
    TMvGlyphKind GlyphKind() const { return FGlyphKind; }
    void SetGlyphKind(TMvGlyphKind Value);
    bool ButtonVisible() const { return FBtnControl->Visible(); }
    void SetButtonVisible(bool Value);
    int ButtonWidth() const { return FBtnControl->Width(); }
    void SetButtonWidth(int Value);
    // Where the text sits in the edit (the window is made again to change it).
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool SelectOnClose() const { return FSelectOnClose; }
    void SetSelectOnClose(bool Value) { FSelectOnClose = Value; }

    // Auto-complete through the shell's object, bound whenever the window is made.
    TMvAutoCompleteOptions AutoCompleteOptions() const { return FAutoCompleteOptions; }
    void SetAutoCompleteOptions(TMvAutoCompleteOptions Value);
    // The strings offered, read by the object whenever it completes.
    TStringList& AutoCompleteList() { return *FAutoCompleteList; }
    bool AutoCompleteBound() const { return FAutoComplete.Bound(); }
    virtual void RefreshAutoComplete();

    // An action the edit follows: its enabled state, hint, visibility, image (on the
    // button, from the action list's images), shortcut (as ButtonKey, when it has one),
    // and its execution as the button's click. Cleared when the action goes.
    TAction* Action() const { return FAction; }
    void SetAction(TAction* Value);

    // The glyph of gkDefault: an index into StandardImages (this class has none: -1).
    virtual int StandardImageIndex() { return -1; }
    // The image list, 14 x 12 pixels, that every combo edit shares for gkDefault.
    virtual TImageList* StandardImages();

    TNotifyEvent OnButtonClick;
    TNotifyEvent OnPopupShown;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void SizeChanged() override;
    void DoSetFocus(HWND PreviousWnd) override;
    void DoKillFocus(HWND NextWnd) override;
    void FontChanged() override;
    void EnabledChanged() override;
    void Change() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Copies what the edit takes from its action.
    virtual void ActionChanged();

    virtual void UpdateControls();
    virtual void AdjustEditRectRight(int& Right);
    virtual void PrepareDropDown() {}
    virtual void HidePopup();
    virtual void ShowPopup(POINT Origin);
    virtual bool ConfirmPopupValue(std::string& Value) {
        (void)Value;
        return true;
    }
    virtual std::string ReadPopupValue();
    virtual bool GetReadOnly() const { return FReadOnly; }
    virtual void AcceptValue(const std::string& Value);
    virtual void DoChange();
    virtual void WritePopupValue(const std::string& Value);
    virtual void ApplyAutoCompleteOptions();
    virtual std::shared_ptr<const TStrings> AutoCompleteSource() { return FAutoCompleteList; }

    void SetPopupWindow(TMvPopupWindow* Popup) { FPopup = Popup; }
    // True when the focus window is the edit, the drop-down or inside the drop-down.
    bool FocusStaysWithUs(HWND Wnd);
    void AdjustHeight();

private:
    bool HandleKeyDown(WORD Key, TShiftState Shift);
    void PaintDisabled();
    void ClearGroup();

    TCustomControl* FBtnControl = nullptr; // owned as a child component
    TMvEditButton* FButton = nullptr;      // owned as a child component
    unsigned short FButtonKey = kMvShortCutAlt | VK_DOWN;
    bool FReadOnly = false;
    bool FDirectInput = true;
    bool FAlwaysEnableButton = false;
    bool FAlwaysShowPopup = false;
    int FPopupAlign = 0;
    int FGroupIndex = -1;
    TColor FDisabledColor = clWindow;
    TColor FDisabledTextColor = clGrayText;
    TMvGlyphKind FGlyphKind = gkCustom;
    int FSavedButtonWidth = 21;
    TMvPopupWindow* FPopup = nullptr; // set and owned by descendants
    bool FPopupVisible = false;
    bool FSelectOnClose = false;
    TAlignment FAlignment = TAlignment::taLeftJustify;
    TMvAutoCompleteOptions FAutoCompleteOptions = acoAutoComplete;
    // Shared with the object's enumerator, which may outlive the edit.
    std::shared_ptr<TStringList> FAutoCompleteList = std::make_shared<TStringList>();
    TMvAutoComplete FAutoComplete;
    bool FComStarted = false;   // this edit's CoInitialize succeeded and is undone with it
    TAction* FAction = nullptr; // not owned: free notification clears it
};
