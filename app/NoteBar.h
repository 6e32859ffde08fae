// The note window's command bar: at the left the switch image that chooses
// the tool bar, in the middle the Edit and File tool bars (one shown at a
// time), and at the right the managers' tool bar, with the drop-down menus of
// the buttons. Every button runs one of the window's (or the main window's)
// actions and follows its state.
#pragma once

#include "gui/ExtCtrls.h"

class TfrmNote;
class TToolBar;
class TToolButton;
class TPopupMenu;
class TAction;
class TImageList;

class TNoteCommandBar : public TPanel {
public:
    // Builds the bar from Form's actions (Form's command actions exist).
    explicit TNoteCommandBar(TfrmNote& Form);

    TPanel* pnlToolbarSwitch = nullptr;
    TGraphicControl* imgCommandBarSwitch = nullptr;
    TPanel* pnlToolbars = nullptr;
    TPanel* pnlManagers = nullptr;
    TToolBar* tbEdit = nullptr;
    TToolBar* tbFile = nullptr;
    TToolBar* tbManagers = nullptr;
    TToolButton* tbInsert = nullptr;
    TPopupMenu* popList = nullptr;
    TPopupMenu* popEdit = nullptr;
    TPopupMenu* popInsert = nullptr;
    TPopupMenu* popCommandBarSwitch = nullptr;

    // The button of tool bar Bar that runs Action, or nullptr.
    static TToolButton* ButtonOf(TToolBar& Bar, const TAction* Action);

private:
    TToolBar* NewToolBar(TPanel* Parent, TImageList* Images);
    TToolButton* AddButton(TToolBar* Bar, TAction* Action);
    void AddSeparator(TToolBar* Bar);
    void imgCommandBarSwitchMouseDown(TObject* Sender);
    void tbInsertMouseDown(TObject* Sender);

    TfrmNote& FForm;
};
