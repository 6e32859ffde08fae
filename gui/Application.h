// TApplication: the message loop, the hidden owner window, idle work (mouse enter/leave, hints, actions),
// exceptions.
#pragma once

#include "gui/Forms.h"
#include "gui/Responder.h"

#include <exception>
#include <functional>
#include <memory>
#include <vector>

class TActionList;
class THintWindow;

using TExceptionEvent = std::function<void(TObject* sender, const std::exception& error)>;
using TIdleEvent = std::function<void(TObject* sender, bool& done)>;
// A hook on the application window: return true when the message is handled.
using TWindowHook = TWinControl::TMessageHook;
// The Windows session ends (ending true) or its end was called off (false);
// window: the top-level window of ours that heard it.
using TEndSessionEvent = std::function<void(HWND window, bool ending)>;

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    // Sets up COM/OLE and the common controls; call once before any window.
    void Initialize();
    // Shows the main form (when ShowMainForm) and runs the loop until Terminate.
    void Run();
    void Terminate();
    bool Terminated() const { return terminated_; }
    // Runs every message already waiting, without idle work.
    void ProcessMessages();
    // One message, or idle work followed by a wait when there is none.
    void HandleMessage();
    // The idle work: mouse enter/leave, hints, action updates, OnIdle. No wait.
    void DoIdle();
    // Frees the forms and components the application owns and its windows
    // (call after Run, before the program ends).
    void Finalize();

    // Creates a form owned by the application; the first becomes the main form.
    template <typename T> T* CreateForm() {
        T* form = new T(this);
        if (!mainForm_) mainForm_ = form;
        form->DoCreate();
        return form;
    }
    TForm* MainForm() const { return mainForm_; }
    void SetMainForm(TForm* form) { mainForm_ = form; }
    bool ShowMainForm() const { return showMainForm_; }
    void SetShowMainForm(bool value) { showMainForm_ = value; }

    // The hidden top-level window that owns every form (the taskbar entry).
    HWND Handle();
    bool HandleAllocated() const;
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title);
    std::string ExeName() const;

    // Shows the exception being handled (call inside a catch block): OnException
    // when assigned, else a message box. EAbort is silent. Never throws.
    void HandleException(TObject* sender) noexcept;
    void ShowException(const std::string& message);
    TExceptionEvent OnException;
    // Every exception message that reaches HandleException also goes here (logging).
    std::function<void(const std::string& message)> OnExceptionLog;

    // A message box over the active form; answered by the dialog responder when one is installed.
    int MessageBox(const std::string& text, const std::string& caption, UINT flags);

    // Hints.
    TColor HintColor() const { return hintColor_; }
    void SetHintColor(TColor color) { hintColor_ = color; }
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool value);
    int HintPause() const { return hintPause_; }
    void SetHintPause(int ms) { hintPause_ = ms; }
    int HintHidePause() const { return hintHidePause_; }
    void SetHintHidePause(int ms) { hintHidePause_ = ms; }
    void CancelHint();
    // Shows the hint of a control now (what the hint timer does); false when the
    // control refused it (CM_HINTSHOW returned non-zero) or has no hint.
    bool ActivateHintFor(TControl* control);
    THintWindow* HintWindow() const { return hintWindow_.get(); }
    // The first part of a hint "short|long".
    static std::string GetShortHint(const std::string& hint);

    // The control under the mouse as the last idle pass saw it.
    TControl* MouseControl() const { return mouseControl_; }
    // Mouse enter/leave for the given screen position (the idle pass uses the cursor position).
    void MouseIdleAt(POINT screenPos);

    // Keyboard: shortcuts go to the action lists of the active form, then the main form.
    bool IsShortCut(WORD key, TShiftState shift);
    void RegisterActionList(TActionList* list);
    void UnregisterActionList(TActionList* list);
    void UpdateActions();

    // The end of the Windows session, heard by window. Windows tells every
    // top-level window in no promised order and may end the process as soon as
    // any one of them has answered, so whichever of our windows hears it first
    // calls this and the whole of OnEndSession runs before that window answers;
    // an ending session runs it once, later calls return at once, and the loop
    // is terminated. A session end that was called off is passed on each time.
    void EndSession(HWND window, bool ending);
    // True from the start of an ending session's OnEndSession on: nobody is
    // there to answer a message box any more.
    bool SessionEnding() const { return sessionEnding_; }
    TEndSessionEvent OnEndSession;

    TIdleEvent OnIdle;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;

    // Hooks on the application window: the window's message hooks
    // (TWinControl::AddMessageHook), which see its messages before the
    // application does. They outlive the window (Finalize).
    int HookMainWindow(TWindowHook hook);
    void UnhookMainWindow(int cookie);

    // Bookkeeping, called by controls.
    void ControlDestroyed(TControl* control);
    void FormDestroyed(TForm* form);

private:
    bool ProcessMessage();
    bool IsKeyMsg(MSG& msg);
    bool IsRepeatOrReleaseOfUsedAlt(const MSG& msg);
    // The hidden window, a control whose WndProc is WindowProc.
    class TWindow;
    TWindow& Window();
    void WindowProc(TMessage& m);
    void HintTimerExpired();

    std::string title_;
    TForm* mainForm_ = nullptr;
    bool showMainForm_ = true;
    bool terminated_ = false;
    bool sessionEnding_ = false;
    bool initialized_ = false;
    bool oleInitialized_ = false;
    // A key pressed with Alt held was taken by IsKeyMsg since Alt went down.
    bool altKeyTaken_ = false;
    TColor hintColor_ = clInfoBk;
    bool showHint_ = true;
    int hintPause_ = 500;
    int hintHidePause_ = 2500;
    TControl* mouseControl_ = nullptr;
    TControl* hintControl_ = nullptr;
    std::unique_ptr<THintWindow> hintWindow_;
    std::vector<TActionList*> actionLists_;
    // Last, so that it goes first: its window's last messages still find the rest.
    std::unique_ptr<TWindow> window_;
};

extern TApplication* Application;

// The window that shows hints: a borderless top-most popup with one line or more of text.
class THintWindow : public TCustomControl {
public:
    explicit THintWindow(TComponent* owner);
    // Sizes the window for the text (at most maxWidth wide), places it at a screen point and shows it.
    void ActivateHint(POINT screenPos, const std::string& text, int maxWidth = 300);
    void ReleaseHint();
    bool IsShown();
    RECT CalcHintRect(int maxWidth, const std::string& text);

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint() override;
};
