// The note window's command bar.
#include "app/NoteBar.h"

#include "app/CommandImages.h"
#include "app/Main.h"
#include "app/Note.h"
#include "gui/ImgList.h"
#include "gui/Menus.h"
#include "gui/ToolBar.h"

namespace {

// The switch image: one picture of the image list, centred.
class TSwitchImage : public TGraphicControl {
public:
    TSwitchImage(TComponent* AOwner, TImageList* Images) : TGraphicControl(AOwner), FImages(Images) {}

protected:
    void Paint() override {
        if (!FImages) return;
        FImages->Draw(Canvas(), (Width() - FImages->Width()) / 2, (Height() - FImages->Height()) / 2,
                      mv::app::imgSwitch);
    }

private:
    TImageList* FImages;
};

TPopupMenu* NewMenu(TComponent* Owner, std::initializer_list<TAction*> Actions) {
    auto* Menu = new TPopupMenu(Owner);
    for (TAction* Action : Actions) {
        auto* Item = new TMenuItem(Menu);
        Item->SetAction(Action);
        Menu->Items().Add(Item);
    }
    return Menu;
}

} // namespace

TNoteCommandBar::TNoteCommandBar(TfrmNote& Form) : TPanel(&Form), FForm(Form) {
    SetBevelOuter(TBevelCut::bvNone);
    TImageList* Images = Form.ActionList1->Images();

    popList = NewMenu(this, {Form.aBulleted, Form.aNumbered});
    popEdit = NewMenu(this, {Form.aCut, Form.aCopy, Form.aPaste});
    popInsert = NewMenu(this, {Form.aInsertChar, Form.aInsertImage, Form.aInsertSpecial});
    popCommandBarSwitch = NewMenu(this, {Form.aCommandBarEdit, Form.aCommandBarFile});

    // From the left: the switch, the two tool bars, the managers.
    pnlToolbarSwitch = new TPanel(this);
    pnlToolbarSwitch->SetBevelOuter(TBevelCut::bvNone);
    pnlToolbarSwitch->SetParent(this);
    pnlToolbarSwitch->SetAlign(TAlign::alLeft);
    pnlToolbarSwitch->SetWidth(20);
    imgCommandBarSwitch = new TSwitchImage(this, Images);
    imgCommandBarSwitch->SetParent(pnlToolbarSwitch);
    imgCommandBarSwitch->SetBounds(0, 2, 20, 22);
    imgCommandBarSwitch->SetHint("Switch the active toolbar. (`)");
    imgCommandBarSwitch->OnMouseDown = [this](TObject* Sender, TMouseButton, TShiftState, int, int) {
        imgCommandBarSwitchMouseDown(Sender);
    };

    pnlManagers = new TPanel(this);
    pnlManagers->SetBevelOuter(TBevelCut::bvNone);
    pnlManagers->SetParent(this);
    pnlManagers->SetAlign(TAlign::alRight);
    pnlManagers->SetWidth(149);

    pnlToolbars = new TPanel(this);
    pnlToolbars->SetBevelOuter(TBevelCut::bvNone);
    pnlToolbars->SetParent(this);
    pnlToolbars->SetAlign(TAlign::alClient);

    tbEdit = NewToolBar(pnlToolbars, Images);
    tbEdit->SetCaption("Edit");
    for (TAction* Action : {Form.aBold, Form.aUnderline, Form.aItalic, Form.aStrikeout})
        AddButton(tbEdit, Action);
    AddSeparator(tbEdit);
    AddButton(tbEdit, Form.aBulleted)->SetDropdownMenu(popList);
    AddSeparator(tbEdit);
    for (TAction* Action : {Form.aBigger, Form.aNormal, Form.aSmaller})
        AddButton(tbEdit, Action);
    AddSeparator(tbEdit);
    AddButton(tbEdit, Form.aIndent);
    AddButton(tbEdit, Form.aOutdent);
    AddSeparator(tbEdit);
    tbInsert = AddButton(tbEdit, nullptr);
    tbInsert->SetCaption("Insert");
    tbInsert->SetHint("Insert...");
    tbInsert->SetImageIndex(mv::app::imgInsert);
    tbInsert->OnMouseDown = [this](TObject* Sender, TMouseButton, TShiftState, int, int) {
        tbInsertMouseDown(Sender);
    };
    AddButton(tbEdit, Form.aCut)->SetDropdownMenu(popEdit);
    AddButton(tbEdit, Form.aUnlink);
    for (TToolButton* Button : {ButtonOf(*tbEdit, Form.aBulleted), ButtonOf(*tbEdit, Form.aCut)})
        Button->SetStyle(TToolButtonStyle::tbsDropDown);

    tbFile = NewToolBar(pnlToolbars, Images);
    tbFile->SetCaption("File");
    for (TAction* Action : {Form.aNewNote, Form.aSave, Form.aNoteDelete, Form.aNoteRename})
        AddButton(tbFile, Action);
    tbFile->SetVisible(false);

    tbManagers = NewToolBar(pnlManagers, Images);
    tbManagers->SetAlign(TAlign::alRight);
    TfrmMain* Main = Form.MainWindow();
    if (Main) AddButton(tbManagers, Main->aFind);
    AddSeparator(tbManagers);
    AddButton(tbManagers, Form.aBackward);
    AddButton(tbManagers, Form.aForward);
    AddSeparator(tbManagers);
    if (Main) {
        AddButton(tbManagers, Main->aPlugins);
        AddButton(tbManagers, Main->aAbout);
    }
}

TToolBar* TNoteCommandBar::NewToolBar(TPanel* Parent, TImageList* Images) {
    auto* Bar = new TToolBar(this);
    Bar->SetParent(Parent);
    Bar->SetTop(2);
    Bar->SetHeight(22);
    Bar->SetAlign(TAlign::alLeft);
    Bar->SetFlat(true);
    Bar->SetAutoSize(true);
    Bar->SetImages(Images);
    Bar->SetShowHint(true);
    return Bar;
}

TToolButton* TNoteCommandBar::AddButton(TToolBar* Bar, TAction* Action) {
    auto* Button = new TToolButton(this);
    Button->SetParent(Bar);
    if (Action) Button->SetAction(Action);
    return Button;
}

void TNoteCommandBar::AddSeparator(TToolBar* Bar) {
    auto* Button = new TToolButton(this);
    Button->SetStyle(TToolButtonStyle::tbsSeparator);
    Button->SetParent(Bar);
}

TToolButton* TNoteCommandBar::ButtonOf(TToolBar& Bar, const TAction* Action) {
    for (int I = 0; I < Bar.ButtonCount(); ++I)
        if (Bar.Buttons(I)->Action() == Action) return Bar.Buttons(I);
    return nullptr;
}

// The menu opens under the image, at its bottom-left corner.
void TNoteCommandBar::imgCommandBarSwitchMouseDown(TObject*) {
    const POINT At = imgCommandBarSwitch->Parent()->ClientToScreen(
        POINT{imgCommandBarSwitch->Left(), imgCommandBarSwitch->Top() + imgCommandBarSwitch->Height()});
    popCommandBarSwitch->Popup(At.x, At.y);
}

// The menu opens just under the Insert button.
void TNoteCommandBar::tbInsertMouseDown(TObject*) {
    const POINT At = tbInsert->Parent()->ClientToScreen(
        POINT{tbInsert->Left() + 2, tbInsert->Top() + tbInsert->Height() + 2});
    popInsert->Popup(At.x, At.y);
}
