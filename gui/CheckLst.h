// TCheckListBox: an owner-drawn list box with a check box in front of every item.
#pragma once

#include "gui/ListBoxes.h"
#include "gui/StdCtrls.h"

class TCheckListBox : public TCustomListBox {
public:
    explicit TCheckListBox(TComponent* owner);

    bool Checked(int index) const { return State(index) == TCheckBoxState::cbChecked; }
    void SetChecked(int index, bool value);
    TCheckBoxState State(int index) const;
    void SetState(int index, TCheckBoxState state);
    bool ItemEnabled(int index) const;
    void SetItemEnabled(int index, bool value);
    bool AllowGrayed() const { return allowGrayed_; }
    void SetAllowGrayed(bool value) { allowGrayed_ = value; }
    bool Flat() const { return flat_; }
    void SetFlat(bool value);
    // Width of the check box column in pixels.
    int CheckWidth() const;
    // Moves an item's state on as a click does: unchecked, checked, (grayed,) unchecked.
    void ToggleClickCheck(int index);

    // Fires after a click or the space bar changed an item's check state.
    TNotifyEvent OnClickCheck;
    void WndProc(TMessage& message) override;

protected:
    void DrawItem(int index, RECT rect, TOwnerDrawState state) override;
    virtual void ClickCheck();
    void CreateWnd() override;

private:
    void InvalidateItem(int index);
    bool allowGrayed_ = false;
    bool flat_ = true;
};
