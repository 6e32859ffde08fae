// Panels (TCustomPanel, TPanel) and the splitter that resizes the control aligned beside it.
#pragma once

#include "gui/CustomControl.h"

enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
using TBevelWidth = int;

class TCustomPanel : public TCustomControl {
public:
    explicit TCustomPanel(TComponent* owner);

    TBevelCut BevelInner() const { return bevelInner_; }
    void SetBevelInner(TBevelCut value);
    TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TBevelCut value);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int value);
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int value);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    bool FullRepaint() const { return fullRepaint_; }
    void SetFullRepaint(bool value) { fullRepaint_ = value; }
    // Paint the parent's background instead of Color (themed look).
    bool ParentBackground() const { return (ControlStyle() & csParentBackground) != 0; }
    void SetParentBackground(bool value);

    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint() override;
    // Children are laid out inside the bevels and the border.
    void AlignControls(TControl* control, RECT& rect) override;
    int FrameWidth() const;

private:
    TBevelCut bevelInner_ = TBevelCut::bvNone;
    TBevelCut bevelOuter_ = TBevelCut::bvRaised;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    TAlignment alignment_ = TAlignment::taCenter;
    bool fullRepaint_ = true;
};

class TPanel : public TCustomPanel {
public:
    using TCustomPanel::TCustomPanel;
};

enum class TResizeStyle { rsNone, rsLine, rsUpdate };
using TCanResizeEvent = std::function<void(TObject* sender, int& newSize, bool& accept)>;

// A bar between two aligned controls: dragging it changes the size of the
// control aligned on the same side just before it. Its cursor is crHSplit; a
// splitter aligned top or bottom should be given crVSplit.
class TSplitter : public TGraphicControl {
public:
    explicit TSplitter(TComponent* owner);

    int MinSize() const { return minSize_; }
    void SetMinSize(int value) { minSize_ = value; }
    TResizeStyle ResizeStyle() const { return resizeStyle_; }
    void SetResizeStyle(TResizeStyle value) { resizeStyle_ = value; }
    bool Beveled() const { return beveled_; }
    void SetBeveled(bool value);
    // The control the splitter resizes now, or nullptr.
    TControl* FindResizeControl();

    TNotifyEvent OnMoved;
    TCanResizeEvent OnCanResize;

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    bool Horizontal() const;
    void ApplySize(int newSize);

    int minSize_ = 30;
    TResizeStyle resizeStyle_ = TResizeStyle::rsUpdate;
    bool beveled_ = false;
    TControl* target_ = nullptr;
    POINT downPos_{0, 0};
    int startSize_ = 0;
    int lastSize_ = 0;
};
