// TMvPanel: the library panel with a hot colour while the mouse is over it, an
// optional flat border, transparency without visual themes, a multi-line
// caption, a size grip, moving by dragging its inside, size-change events and
// the arrangement of its windowed children in rows (TMvArrangeSettings).
#pragma once

#include "controls/MvExControls.h"
#include "controls/MvExExtCtrls.h"

#include <functional>
#include <memory>

class TMvPanel;

enum class TMvAutoSizePanel { asNone, asWidth, asHeight, asBoth };

using TMvPanelResizeParentEvent =
    std::function<void(TObject* Sender, int nLeft, int nTop, int nWidth, int nHeight)>;
using TMvPanelChangedSizeEvent = std::function<void(TObject* Sender, int ChangedSize)>;
using TMvPanelMoveEvent = std::function<void(TObject* Sender, int X, int Y, bool& Allow)>;

// How a panel arranges its windowed children. Every setter that changes a
// value re-arranges the panel (when AutoArrange is on).
class TMvArrangeSettings {
public:
    explicit TMvArrangeSettings(TMvPanel* Control) : FControl(Control) {}

    void Assign(const TMvArrangeSettings& Source);
    void RearrangeChildren();

    TMvPanel* Control() const { return FControl; }
    bool AutoArrange() const { return FAutoArrange; }
    void SetAutoArrange(bool Value);
    TMvAutoSizePanel AutoSize() const { return FAutoSize; }
    void SetAutoSize(TMvAutoSizePanel Value);
    bool WrapControls() const { return FWrapControls; }
    void SetWrapControls(bool Value) { Store(FWrapControls, Value); }
    int BorderLeft() const { return FBorderLeft; }
    void SetBorderLeft(int Value) { Store(FBorderLeft, Value); }
    int BorderTop() const { return FBorderTop; }
    void SetBorderTop(int Value) { Store(FBorderTop, Value); }
    int DistanceVertical() const { return FDistanceVertical; }
    void SetDistanceVertical(int Value) { Store(FDistanceVertical, Value); }
    int DistanceHorizontal() const { return FDistanceHorizontal; }
    void SetDistanceHorizontal(int Value) { Store(FDistanceHorizontal, Value); }
    bool ShowNotVisibleAtDesignTime() const { return FShowNotVisibleAtDesignTime; }
    void SetShowNotVisibleAtDesignTime(bool Value) { Store(FShowNotVisibleAtDesignTime, Value); }
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int Value) { Store(FMaxWidth, Value); }

private:
    template <class T> void Store(T& Field, T Value) {
        if (Field == Value) return;
        Field = Value;
        RearrangeChildren();
    }

    TMvPanel* FControl;
    bool FAutoArrange = false;
    TMvAutoSizePanel FAutoSize = TMvAutoSizePanel::asNone;
    bool FWrapControls = true;
    int FBorderLeft = 0;
    int FBorderTop = 0;
    int FDistanceVertical = 0;
    int FDistanceHorizontal = 0;
    bool FShowNotVisibleAtDesignTime = true;
    int FMaxWidth = 0;
};

class TMvCustomPanel : public TMvExCustomPanel {
public:
    using TMvExCustomPanel::TMvExCustomPanel;
};

class TMvPanel : public TMvCustomPanel, public IExQueryMarker {
public:
    explicit TMvPanel(TComponent* AOwner);
    ~TMvPanel() override;

    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool FlatBorder() const { return FFlatBorder; }
    void SetFlatBorder(bool Value);
    TColor FlatBorderColor() const { return FFlatBorderColor; }
    void SetFlatBorderColor(TColor Value);
    bool MultiLine() const { return FMultiLine; }
    void SetMultiLine(bool Value);
    TColor HotColor() const { return FHotColor; }
    void SetHotColor(TColor Value);
    bool Sizeable() const { return FSizeable; }
    void SetSizeable(bool Value);
    bool Sizing() const { return FSizing; }
    bool Movable() const { return FMovable; }
    void SetMovable(bool Value) { FMovable = Value; }
    bool Moving() const { return FMoving; }
    TMvArrangeSettings& ArrangeSettings() { return *FArrangeSettings; }
    void SetArrangeSettings(const TMvArrangeSettings* Value);

    // Width and height through these fire the size events.
    void SetWidth(int Value);
    void SetHeight(int Value);
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    // Places the windowed children in rows, in tab order.
    void ArrangeChildren();
    bool Arranging() const { return FArranging; }

    void WndProc(TMessage& Message) override;

    TMvPanelResizeParentEvent OnResizeParent;
    TMvPanelChangedSizeEvent OnChangedWidth;
    TMvPanelChangedSizeEvent OnChangedHeight;
    TNotifyEvent OnPaint;
    TNotifyEvent OnAfterMove;
    TMvPanelMoveEvent OnBeforeMove;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    bool DoEraseBackground(TCanvas& Canvas, LPARAM Param) override;
    void TextChanged() override;
    void ParentColorChanged() override;
    void MouseEnter(TControl* Control) override;
    void MouseLeave(TControl* Control) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Loaded() override;
    void AlignControls(TControl* Control, RECT& Rect) override;
    void Resize() override;
    virtual bool DoBeforeMove(int X, int Y);
    virtual void DoAfterMove();
    // Draws the size grip in the bottom-right corner.
    void DrawSizeGrip(const RECT& Client);

private:
    bool TransparentWithoutThemes() const;
    void ApplyWidth(int Value, bool Notify);
    void ApplyHeight(int Value, bool Notify);
    void SizeChangedBy(bool WidthChanged, bool HeightChanged);

    bool FTransparent = false;
    bool FFlatBorder = false;
    TColor FFlatBorderColor = clBtnShadow;
    bool FMultiLine = false;
    TColor FOldColor = clBtnFace;
    TColor FHotColor = clBtnFace;
    bool FSizeable = false;
    bool FSizing = false;
    POINT FSizeStart{0, 0};
    std::unique_ptr<TMvArrangeSettings> FArrangeSettings;
    bool FArranging = false;
    bool FMovable = false;
    bool FMoving = false;
};

// Whether the sizing grip may use the "Marlett" font: true when it is installed.
// Tests force either answer.
bool SizeGripMarlettAvailable();
void SetSizeGripMarlettOverride(int Value); // -1: ask the system, 0: no, 1: yes
