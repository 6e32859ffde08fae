// TControl: a control without a window of its own; its parent paints it and routes mouse input to it.
#pragma once

#include "gui/Component.h"
#include "gui/Graphics.h"
#include "gui/Messages.h"

#include <functional>
#include <memory>
#include <string>

class TWinControl;
class TPopupMenu;
class TForm;

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TMouseButton { mbLeft, mbRight, mbMiddle };

enum TShiftFlag : unsigned {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32,
    ssDouble = 64,
};
using TShiftState = unsigned;

// The shift state from the flags of a mouse message's WParam (plus Alt from the keyboard).
TShiftState MouseShiftState(WPARAM keys);
// The shift state from the key data (LParam) of a keyboard message and the keyboard.
TShiftState KeyDataToShiftState(LPARAM keyData);
// The shift state of the keyboard right now.
TShiftState KeyboardShiftState();

// Cursor identifiers: 0 is the class default; negative values are the system cursors.
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
// The shared system cursor for an identifier (nullptr for crNone).
HCURSOR CursorHandle(TCursor cursor);

enum TControlStyleFlag : unsigned {
    csAcceptsControls = 1u << 0,
    csCaptureMouse = 1u << 1,
    csClickEvents = 1u << 2,
    csFramed = 1u << 3,
    csSetCaption = 1u << 4,
    csOpaque = 1u << 5,
    csDoubleClicks = 1u << 6,
    csFixedWidth = 1u << 7,
    csFixedHeight = 1u << 8,
    csNoStdEvents = 1u << 9,
    csParentBackground = 1u << 10,
};
using TControlStyle = unsigned;

enum TControlStateFlag : unsigned {
    csLButtonDown = 1u << 0,
    csClicked = 1u << 1,
    csFocusing = 1u << 2,
    csCreating = 1u << 3,
    csDestroyingHandle = 1u << 4,
    csRecreating = 1u << 5,
    csAligning = 1u << 6,
    // Painting a copy of itself into someone else's DC (the image under a transparent child).
    csPaintCopy = 1u << 7,
};
using TControlState = unsigned;

using TMouseEvent =
    std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;
using TKeyEvent = std::function<void(TObject* sender, WORD& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TObject* sender, char& key)>;
using TContextPopupEvent = std::function<void(TObject* sender, POINT mousePos, bool& handled)>;

// Dragging between controls: where a drag is over a control, and what the control is told.
enum class TDragState { dsDragEnter, dsDragLeave, dsDragMove };
enum class TDragMessage { dmDragEnter, dmDragLeave, dmDragMove, dmDragDrop };
// What CM_DRAG's LParam points to; Pos is in the target control's client coordinates.
struct TDragRec {
    TDragMessage Message = TDragMessage::dmDragMove;
    TObject* Source = nullptr;
    POINT Pos{0, 0};
};
// Sender is the control under the drag; Accept starts true when the handler is assigned.
using TDragOverEvent =
    std::function<void(TObject* sender, TObject* source, int x, int y, TDragState state, bool& accept)>;
using TDragDropEvent = std::function<void(TObject* sender, TObject* source, int x, int y)>;

class TControl;

// The record a CM_HINTSHOW message points to: what the hint will show and how.
struct THintInfo {
    TControl* HintControl = nullptr;
    POINT HintPos{0, 0}; // screen position of the hint window
    int HintMaxWidth = 0;
    TColor HintColor = clInfoBk;
    RECT CursorRect{0, 0, 0, 0}; // in HintControl's client coordinates
    POINT CursorPos{0, 0};       // in HintControl's client coordinates
    int ReshowTimeout = 0;
    int HideTimeout = 0;
    std::string HintStr;
};

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    // Sends a message straight to the control's WndProc and returns its Result.
    LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    // The message dispatch: each class handles its numbers and passes the rest on
    // to its base class; what nobody handles reaches DefaultHandler.
    virtual void WndProc(TMessage& message);
    virtual void DefaultHandler(TMessage& message);

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* parent);

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
    virtual void SetBounds(int left, int top, int width, int height);
    RECT BoundsRect() const { return RECT{left_, top_, left_ + width_, top_ + height_}; }
    virtual RECT ClientRect();
    int ClientWidth() { return ClientRect().right; }
    int ClientHeight() { return ClientRect().bottom; }
    virtual void SetClientSize(int width, int height);
    // Screen position of the client area's top-left corner.
    virtual POINT ClientOrigin();
    POINT ClientToScreen(POINT p);
    POINT ScreenToClient(POINT p);

    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);

    bool Visible() const { return visible_; }
    virtual void SetVisible(bool value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, and so is every parent up to a shown top-level window.
    virtual bool Showing() const;

    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool value);

    std::string Caption() const { return GetText(); }
    void SetCaption(const std::string& text) { SetText(text); }
    std::string Text() const { return GetText(); }
    void SetText(const std::string& text);

    TFont& Font() { return *font_; }
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool value);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool value);

    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint) { hint_ = hint; }
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool value);
    bool ParentShowHint() const { return parentShowHint_; }
    void SetParentShowHint(bool value);

    TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* menu);

    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor cursor);

    TControlStyle ControlStyle() const { return controlStyle_; }
    void SetControlStyle(TControlStyle style) { controlStyle_ = style; }
    TControlState ControlState() const { return controlState_; }
    void SetControlState(TControlState state) { controlState_ = state; }

    virtual void Invalidate();
    virtual void Update();
    virtual void Repaint();
    void Refresh() { Repaint(); }
    void BringToFront();
    void SendToBack();

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TContextPopupEvent OnContextPopup;
    TNotifyEvent OnResize;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;

    virtual void Click();
    virtual void DblClick();

protected:
    virtual std::string GetText() const { return text_; }
    virtual void SetTextValue(const std::string& text);
    virtual TPopupMenu* GetPopupMenu();
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void Resize();
    // A drag is over the control / was dropped on it (from CM_DRAG); they fire the events.
    virtual void DragOver(TObject* source, int x, int y, TDragState state, bool& accept);
    virtual void DragDrop(TObject* source, int x, int y);
    // Called after the window-independent bounds changed (both kinds of control).
    virtual void BoundsChanged(bool sizeChanged);
    void Notification(TComponent* component, TOperation operation) override;
    // Shows the popup menu (if any) for a context-menu request at a screen point;
    // true when a menu was shown or OnContextPopup handled it.
    bool DoContextPopup(POINT screenPos);
    // Stores the bounds without touching any window.
    void SetBoundsFields(int left, int top, int width, int height);
    std::string& TextField() { return text_; }
    friend class TWinControl;

private:
    void HandleMouseDown(TMessage& m, TMouseButton button, bool dbl);
    void HandleMouseUp(TMessage& m, TMouseButton button);
    void FontChanged();

    TWinControl* parent_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    TAlign align_ = TAlign::alNone;
    bool visible_ = true;
    bool enabled_ = true;
    std::string text_;
    std::unique_ptr<TFont> font_;
    bool parentFont_ = true;
    TColor color_ = clWindow;
    bool parentColor_ = false;
    std::string hint_;
    bool showHint_ = false;
    bool parentShowHint_ = true;
    TPopupMenu* popupMenu_ = nullptr;
    TCursor cursor_ = crDefault;
    TControlStyle controlStyle_ = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
    TControlState controlState_ = 0;
};

// The control that receives mouse input regardless of position (windowless
// controls get it through their parent's window capture).
TControl* GetCaptureControl();
void SetCaptureControl(TControl* control);

// True when caption marks `key` as its accelerator ("&Save" for 's'; "&&" is a plain '&').
bool IsAccel(unsigned key, const std::string& caption);

// The form a control sits on, or nullptr.
TForm* GetParentForm(TControl* control);
