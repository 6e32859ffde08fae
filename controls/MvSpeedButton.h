// TMvCustomSpeedButton: a button without a window of its own. It can be flat, stay
// down as one of a group, repeat its click while held, drop a popup menu down and
// follow visual themes. TMvImageSpeedButton takes its glyphs from an image list.
#pragma once

#include "controls/MvButtonGlyph.h"
#include "controls/MvGraphUtils.h"
#include "gui/ActnList.h"
#include "gui/ImgList.h"
#include "gui/Forms.h"
#include "controls/MvGraphicControl.h"

#include <memory>

class TPopupMenu;
class TTimer;
class TImageList;

enum class TButtonStyle { bsAutoDetect, bsWin31, bsNew };
enum class TMvDropDownMenuPos { dmpBottom, dmpRight };

// The group message: a button going down tells the others of its group.
constexpr UINT CM_MVBUTTONPRESSED = 0xB051;

// The filled hot look.
class TMvSpeedButtonHotTrackOptions {
public:
    bool Enabled = false;
    TColor Color = 13811126;     // 0xD2BDB6
    TColor FrameColor = 6956042; // 0x6A240A
    void Assign(const TMvSpeedButtonHotTrackOptions& Source) { *this = Source; }
};

class TMvCustomSpeedButton : public TMvGraphicControl {
public:
    explicit TMvCustomSpeedButton(TComponent* AOwner);
    ~TMvCustomSpeedButton() override;

    void WndProc(TMessage& Message) override;
    void Click() override;
    void Loaded() override;

    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value);
    bool AllowTimer() const { return FAllowTimer; }
    void SetAllowTimer(bool Value);
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    bool Dragging() const { return FDragging; }
    TPopupMenu* DropDownMenu() const { return FDropDownMenu; }
    void SetDropDownMenu(TPopupMenu* Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool Value) { FHotTrack = Value; }
    TFont& HotTrackFont() { return *FHotTrackFont; }
    TMvTrackFontOptions HotTrackFontOptions() const { return FHotTrackFontOptions; }
    void SetHotTrackFontOptions(TMvTrackFontOptions Value);
    TMvSpeedButtonHotTrackOptions& HotTrackOptions() { return FHotTrackOptions; }
    bool GrayedInactive() const { return FGrayedInactive; }
    void SetGrayedInactive(bool Value);
    unsigned InitPause() const { return FInitPause; }
    void SetInitPause(unsigned Value) { FInitPause = Value; }
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    bool MarkDropDown() const { return FMarkDropDown; }
    void SetMarkDropDown(bool Value);
    TMvDropDownMenuPos MenuPosition() const { return FMenuPosition; }
    void SetMenuPosition(TMvDropDownMenuPos Value) { FMenuPosition = Value; }
    bool MenuTracking() const { return FMenuTracking; }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    unsigned RepeatInterval() const { return FRepeatInterval; }
    void SetRepeatInterval(unsigned Value) { FRepeatInterval = Value; }
    TTimer* RepeatTimer() const { return FRepeatTimer; }
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    TButtonStyle Style() const { return FStyle; }
    void SetStyle(TButtonStyle Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool DoubleBuffered() const { return FDoubleBuffered; }
    void SetDoubleBuffered(bool Value) { FDoubleBuffered = Value; }
    TMvButtonState State() const { return FState; }
    TMvxButtonGlyph& ButtonGlyph() { return *FButtonGlyph; }
    TAlignment Alignment() const { return FButtonGlyph->Alignment(); }
    void SetAlignment(TAlignment Value);
    bool WordWrap() const { return FButtonGlyph->WordWrap(); }
    void SetWordWrap(bool Value);
    bool GrayNewStyle() const { return FButtonGlyph->GrayNewStyle(); }
    void SetGrayNewStyle(bool Value);

    // Where the drop-down menu appears, in button coordinates.
    POINT DropDownPoint() const;
    // The drawing state Paint would use now.
    TMvButtonState DrawingState() const;
    // Looks where the mouse is and sends mouse enter or leave when that changed.
    void UpdateTracking();

protected:
    void Paint() override;
    virtual void PaintImage(TCanvas& Canvas, const RECT& ARect, POINT Offset, TMvButtonState AState,
                            bool DrawMark) = 0;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void TextChanged() override { Invalidate(); }
    bool WantKey(int Key, TShiftState Shift, const std::string& KeyText) override;
    void EnabledChanged() override;
    void FontChanged() override;
    void VisibleChanged() override;
    void MouseEnter(TControl* Control) override;
    void MouseLeave(TControl* Control) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool IsHot() const { return MouseOver() || FDragging; }
    bool Inside(int X, int Y) const { return X >= 0 && X < Width() && Y >= 0 && Y < Height(); }

private:
    void Release(TMouseButton Button, int X, int Y);
    void RepeatTick();
    void StopRepeat();
    void SendGroupMessage();
    void ButtonPressed(TMessage& Message);
    void PaintDoubleBuffered(TMessage& Message);
    void DrawFrame(TCanvas& Canvas, RECT& R, bool Pressed);
    void PrepareStateImage();

    bool FAllowAllUp = false;
    bool FAllowTimer = false;
    bool FDown = false;
    bool FDragging = false;
    TPopupMenu* FDropDownMenu = nullptr;
    bool FFlat = false;
    std::unique_ptr<TMvxButtonGlyph> FButtonGlyph;
    int FGroupIndex = 0;
    bool FHotTrack = false;
    std::unique_ptr<TFont> FHotTrackFont;
    TMvTrackFontOptions FHotTrackFontOptions = hoFollowFont | hoPreserveColor | hoPreserveStyle;
    bool FGrayedInactive = true;
    unsigned FInitPause = 500;
    TButtonLayout FLayout = TButtonLayout::blGlyphTop;
    int FMargin = -1;
    bool FMarkDropDown = true;
    TMvDropDownMenuPos FMenuPosition = TMvDropDownMenuPos::dmpBottom;
    bool FMenuTracking = false;
    TModalResult FModalResult = mrNone;
    unsigned FRepeatInterval = 100;
    TTimer* FRepeatTimer = nullptr; // owned by the button (component owner)
    int FSpacing = 1;
    TButtonStyle FStyle = TButtonStyle::bsAutoDetect;
    bool FTransparent = false;
    bool FDoubleBuffered = true;
    TMvSpeedButtonHotTrackOptions FHotTrackOptions;
    TMvButtonState FState = rbsUp;
};

class TMvImageSpeedButton : public TMvCustomSpeedButton {
public:
    explicit TMvImageSpeedButton(TComponent* AOwner);
    ~TMvImageSpeedButton() override;

    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    int HotTrackImageIndex() const { return FHotTrackImageIndex; }
    void SetHotTrackImageIndex(int Value);
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value);

    // An action the button shows and runs: caption, enabled state, hint and visibility
    // follow it; Checked, GroupIndex and ImageIndex follow it while the button's own value
    // still equals the action's previous one (a value set on the button stays); the
    // action list's images are taken when the button has none. A click runs the action.
    TAction* Action() const { return FAction; }
    void SetAction(TAction* Value);
    void Click() override;

protected:
    void PaintImage(TCanvas& Canvas, const RECT& ARect, POINT Offset, TMvButtonState AState,
                    bool DrawMark) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    bool ShowingHotImage() const;
    int FImageIndex = -1;
    int FHotTrackImageIndex = 0;
    TImageList* FImages = nullptr;
    TChangeLink FImageChangeLink; // registered with FImages: a change repaints

    // The action's linked values as last seen, to tell whether the button still agrees.
    struct TActionValues {
        bool Checked = false;
        int GroupIndex = 0;
        int ImageIndex = -1;
    };
    void ActionChanged(bool CheckDefaults);
    TAction* FAction = nullptr; // not owned: free notification clears it
    TActionValues FActionSeen;
};
