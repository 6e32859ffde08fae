// TToolBar and TToolButton: a flat bar of picture buttons laid out left to
// right, each running an action (and following its state) or its own OnClick;
// a drop-down button also offers a menu from an arrow at its right edge.
#pragma once

#include "gui/ActnList.h"
#include "gui/CustomControl.h"

#include <vector>

class TImageList;
class TPopupMenu;
class TToolBar;

enum class TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator };

class TToolButton : public TGraphicControl {
public:
    explicit TToolButton(TComponent* owner);
    ~TToolButton() override;

    // Joins a tool bar (at its end) or leaves it.
    void SetParent(TWinControl* parent) override;
    TToolBar* ToolBar() const { return toolBar_; }

    TToolButtonStyle Style() const { return style_; }
    void SetStyle(TToolButtonStyle style);
    // With an action the button shows the action's caption, hint, image,
    // enabled, checked (as Down) and visible state, and a click runs it.
    TAction* Action() const { return action_; }
    void SetAction(TAction* action);
    TPopupMenu* DropdownMenu() const { return dropdownMenu_; }
    void SetDropdownMenu(TPopupMenu* menu);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);
    bool Down() const { return down_; }
    void SetDown(bool value);
    void SetVisible(bool value) override;

    // Runs the action (or OnClick).
    void Click() override;
    // Shows the drop-down menu under the button; false when it has none.
    bool CheckMenuDropdown();
    // The width of the arrow part of a drop-down button.
    static constexpr int DropDownWidth = 12;

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void Notification(TComponent* component, TOperation operation) override;
    void WndProc(TMessage& message) override;

private:
    void ActionChanged();
    int IdealWidth() const;
    // No picture to show: the caption is drawn instead.
    bool ShowsCaption() const;

    TToolBar* toolBar_ = nullptr;
    TToolButtonStyle style_ = TToolButtonStyle::tbsButton;
    TAction* action_ = nullptr;
    TPopupMenu* dropdownMenu_ = nullptr;
    int imageIndex_ = -1;
    bool down_ = false;
    bool hot_ = false;
    bool pressed_ = false;
    friend class TToolBar;
};

class TToolBar : public TCustomControl {
public:
    explicit TToolBar(TComponent* owner);
    ~TToolBar() override;

    int ButtonCount() const { return static_cast<int>(buttons_.size()); }
    TToolButton* Buttons(int index) const { return buttons_.at(static_cast<size_t>(index)); }

    TImageList* Images() const { return images_; }
    void SetImages(TImageList* images);
    int ButtonWidth() const { return buttonWidth_; }
    int ButtonHeight() const { return buttonHeight_; }
    void SetButtonSize(int width, int height);
    bool Flat() const { return flat_; }
    void SetFlat(bool value);
    // The bar's width follows its buttons.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);

    // Places the visible buttons from the left, one after another (the bar never wraps).
    void ArrangeButtons();

protected:
    void Paint() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    void InsertButton(TToolButton* button);
    void RemoveButton(TToolButton* button);

    std::vector<TToolButton*> buttons_;
    TImageList* images_ = nullptr;
    int buttonWidth_ = 23, buttonHeight_ = 22;
    bool flat_ = true;
    bool autoSize_ = false;
    bool arranging_ = false;
    friend class TToolButton;
};
