// The note window's command bar (a strip of buttons, each running an action)
// and the divider between its side panel and its editor.
#pragma once

#include "gui/ActnList.h"
#include "gui/CustomControl.h"

#include <utility>
#include <vector>

class TButton;

class TNoteCommandBar : public TCustomControl {
public:
    explicit TNoteCommandBar(TComponent* AOwner);
    // Adds a button at the right end that runs Action and follows its state.
    void AddButton(TAction* Action);
    // Brings every button's caption, hint and enabled state in line with its action.
    void UpdateButtons();

protected:
    void Paint() override;

private:
    std::vector<std::pair<TButton*, TAction*>> FButtons;
};

// A vertical divider that resizes the control at its left when dragged.
class TNoteSplitter : public TCustomControl {
public:
    explicit TNoteSplitter(TComponent* AOwner);
    // The control whose width the divider changes.
    TControl* Sized = nullptr;
    // After a drag ended.
    TNotifyEvent OnMoved;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    bool FDragging = false;
    int FStartX = 0;
    int FStartWidth = 0;
};
