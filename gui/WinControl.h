// TWinControl: a control with its own window: creation parameters, child controls, alignment, focus.
#pragma once

#include "gui/Control.h"

#include <functional>
#include <utility>
#include <vector>

// What CreateWindowEx gets. CreateParams fills it; a descendant changes what it
// needs and calls CreateSubClass to build on a system window class.
struct TCreateParams {
    std::string Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    void* Param = nullptr;
    WNDCLASSA WindowClass{};
    // The class registered for this control. A system class name (see
    // CreateSubClass) is used as it is, with MvWndProc put in place of its
    // window procedure (gui/WndProcThunk.h).
    std::string WinClassName;
    bool SystemClass = false;
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    // The window handle, created on demand together with the parent's.
    HWND Handle();
    bool HandleAllocated() const { return handle_ != nullptr; }
    void HandleNeeded();
    // Destroys and re-creates the window; descendants keep their state across
    // through DestroyWnd / CreateWnd.
    void RecreateWnd();
    // Destroys the window (and the children's first) through DestroyWnd.
    void DestroyHandle();
    // A foreign window to be the parent of a control that has no Parent.
    HWND ParentWindow() const { return parentWindow_; }
    void SetParentWindow(HWND wnd);
    // True when the window is of a system class whose procedure MvWndProc
    // stands in for (DefaultHandler then calls the class's own).
    bool Subclassed() const { return subclassed_; }

    // A hook sees every message of this control's window before WndProc does,
    // on the same path; it returns true when it handled the message (with its
    // Result set) and WndProc is not to see it. For components that need their
    // owner's messages (the tray icon), instead of a second window procedure.
    using TMessageHook = std::function<bool(TMessage& message)>;
    int AddMessageHook(TMessageHook hook);
    // Removing a hook that is gone (or 0) does nothing.
    void RemoveMessageHook(int cookie);
    // Runs the hooks in the order they were added; true when one handled it.
    bool RunMessageHooks(TMessage& message);
    bool HasMessageHooks() const { return !messageHooks_.empty(); }

    void WndProc(TMessage& message) override;
    void DefaultHandler(TMessage& message) override;

    int ControlCount() const { return static_cast<int>(controls_.size()); }
    TControl* Controls(int index) const { return controls_.at(static_cast<size_t>(index)); }
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    bool ContainsControl(TControl* control) const;
    // The topmost visible windowless child at a client point, or nullptr.
    TControl* ControlAtPos(POINT p, bool allowDisabled = false);
    // Sends a message to every child control (windowed or not).
    void Broadcast(TMessage& message);
    void NotifyControls(UINT msg);

    void SetBounds(int left, int top, int width, int height) override;
    RECT ClientRect() override;
    POINT ClientOrigin() override;
    void SetClientSize(int width, int height) override;
    void SetVisible(bool value) override;
    bool Showing() const override;
    void SetEnabled(bool value) override;
    void Invalidate() override;
    void Update() override;
    void Realign();
    void DisableAlign() { ++alignDisabled_; }
    void EnableAlign();

    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool value);
    int TabOrder() const;
    virtual bool CanFocus();
    bool Focused();
    virtual void SetFocus();
    // The windowed children that take focus with Tab, in order.
    void GetTabOrderList(std::vector<TWinControl*>& list);
    // Moves the focus to the next (or previous) tab stop after `current`.
    TWinControl* FindNextControl(TWinControl* current, bool forward, bool checkTabStop);

    TBrush& Brush() { return brush_; }
    bool DoubleBuffered() const { return doubleBuffered_; }
    void SetDoubleBuffered(bool value) { doubleBuffered_ = value; }

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;

    virtual void DoEnter();
    virtual void DoExit();

protected:
    virtual void CreateParams(TCreateParams& params);
    // Uses a system window class (EDIT, LISTBOX, RichEdit20A...) for this control.
    void CreateSubClass(TCreateParams& params, const char* className);
    virtual void CreateWindowHandle(const TCreateParams& params);
    // Creates the window and then sets it up (font, text); descendants extend it.
    virtual void CreateWnd();
    // Runs before the window goes away; descendants save what lives in the window.
    virtual void DestroyWnd();
    virtual void DestroyWindowHandle();
    // Paints own-class windows: PaintWindow, then the windowless children.
    void PaintHandler(TMessage& message);
    virtual void PaintWindow(HDC dc);
    void PaintControls(HDC dc, TControl* first);
    virtual void AlignControls(TControl* control, RECT& rect);
    std::string GetText() const override;
    void SetTextValue(const std::string& text) override;
    void BoundsChanged(bool sizeChanged) override;

    virtual bool DoKeyDown(TMessage& message);
    virtual bool DoKeyUp(TMessage& message);
    virtual bool DoKeyPress(TMessage& message);

    // The window procedure's side (gui/WndProcThunk.cpp) binds the window and runs its messages.
    friend LRESULT DispatchToControl(TWinControl*, HWND, UINT, WPARAM, LPARAM);
    friend void AttachWindow(TWinControl*, HWND, bool);
    friend void DetachWindow(TWinControl*);
    friend HWND CreateControlWindow(TWinControl*, const TCreateParams&);
    void UpdateBoundsFromWindow();
    friend class TControl;

private:
    bool IsControlMouseMsg(TMessage& message);
    bool ReflectToChild(TMessage& message);
    void CreateHandle();
    void EraseBackground(TMessage& message);
    bool HandleSetCursor(TMessage& message);
    void HandleContextMenu(TMessage& message);

    HWND handle_ = nullptr;
    HWND parentWindow_ = nullptr;
    bool subclassed_ = false;
    WNDPROC systemProc_ = nullptr; // the system class's procedure, when subclassed_
    UINT childId_ = 0;             // the id its child window took from the pool, 0 for none
    std::vector<std::pair<int, TMessageHook>> messageHooks_;
    int nextMessageHook_ = 1;
    std::vector<TControl*> controls_;
    bool tabStop_ = false;
    int alignDisabled_ = 0;
    bool alignPending_ = false;
    TBrush brush_;
    bool doubleBuffered_ = false;
};
