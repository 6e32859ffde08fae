// TForm (top-level windows, modal loops, closing) and TScreen; includes the application object.
#pragma once

#include "gui/CustomControl.h"

#include <vector>

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum class TPosition { poDesigned, poDefault, poScreenCenter, poMainFormCenter, poOwnerFormCenter };
enum class TFormStyle { fsNormal, fsStayOnTop };
enum class TCloseAction { caNone, caHide, caFree, caMinimize };
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TBorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4 };
using TBorderIcons = unsigned;

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = IDOK;
constexpr TModalResult mrCancel = IDCANCEL;
constexpr TModalResult mrAbort = IDABORT;
constexpr TModalResult mrRetry = IDRETRY;
constexpr TModalResult mrIgnore = IDIGNORE;
constexpr TModalResult mrYes = IDYES;
constexpr TModalResult mrNo = IDNO;
constexpr TModalResult mrAll = 8;
constexpr TModalResult mrNoToAll = 9;
constexpr TModalResult mrYesToAll = 10;

using TCloseEvent = std::function<void(TObject* sender, TCloseAction& action)>;
using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;

class TForm : public TCustomControl {
public:
    explicit TForm(TComponent* owner);
    ~TForm() override;

    void Show();
    void Hide();
    // Asks CloseQuery/OnCloseQuery, then OnClose decides what closing means
    // (hide by default; the main form ends the application).
    void Close();
    // Runs a modal loop until ModalResult is set (or the responder answers).
    virtual int ShowModal();
    bool Modal() const { return modal_; }
    // Frees the form once the messages already queued for it have run.
    void Release();
    virtual bool CloseQuery();

    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult result) { modalResult_ = result; }

    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle style);
    TBorderIcons BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(TBorderIcons icons);
    TPosition Position() const { return position_; }
    void SetPosition(TPosition position) { position_ = position; }
    TFormStyle FormStyle() const { return formStyle_; }
    void SetFormStyle(TFormStyle style);
    TWindowState WindowState() const { return windowState_; }
    void SetWindowState(TWindowState state);

    TWinControl* ActiveControl() const { return activeControl_; }
    void SetActiveControl(TWinControl* control);
    bool Active() const { return active_; }
    // Moves the focus to the next (or previous) tab stop.
    void SelectNext(TWinControl* current, bool forward);

    // Runs OnCreate once; TApplication::CreateForm calls it after construction.
    void DoCreate();
    // Runs OnDestroy once; the destructor calls it when nobody did before.
    void DoDestroy();

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnPaint;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

    void WndProc(TMessage& message) override;
    void SetVisible(bool value) override;
    bool Showing() const override;

    // Focus bookkeeping, called by the form's controls.
    void FocusChanged(TWinControl* control);
    void ControlRemoved(TControl* control);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void Paint() override;
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& action);
    virtual void Activate();
    virtual void Deactivate();

private:
    void CloseModal();
    void ApplyPosition();
    void BroadcastFocusChanged(TWinControl* root, TWinControl* control);

    TModalResult modalResult_ = mrNone;
    TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
    TBorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize;
    TPosition position_ = TPosition::poDesigned;
    TFormStyle formStyle_ = TFormStyle::fsNormal;
    TWindowState windowState_ = TWindowState::wsNormal;
    TWinControl* activeControl_ = nullptr;
    bool active_ = false;
    bool modal_ = false;
    bool created_ = false;
    bool destroyed_ = false;
    bool positioned_ = false;
};

class TScreen : public TComponent {
public:
    TScreen();
    ~TScreen() override;

    int FormCount() const { return static_cast<int>(forms_.size()); }
    TForm* Forms(int index) const { return forms_.at(static_cast<size_t>(index)); }
    TForm* ActiveForm() const { return activeForm_; }
    TWinControl* ActiveControl() const { return activeForm_ ? activeForm_->ActiveControl() : nullptr; }

    // A cursor for the whole application (crDefault: each control's own).
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor cursor);

    int Width() const { return GetSystemMetrics(SM_CXSCREEN); }
    int Height() const { return GetSystemMetrics(SM_CYSCREEN); }
    int PixelsPerInch() const { return TFont::ScreenPixelsPerInch(); }
    // Installed font families, sorted, read once.
    const std::vector<std::string>& Fonts();

    // Bookkeeping, called by TForm.
    void AddForm(TForm* form);
    void RemoveForm(TForm* form);
    void SetActiveForm(TForm* form);

private:
    std::vector<TForm*> forms_;
    TForm* activeForm_ = nullptr;
    TCursor cursor_ = crDefault;
    std::vector<std::string> fonts_;
};

extern TScreen* Screen;

#include "gui/Application.h"
