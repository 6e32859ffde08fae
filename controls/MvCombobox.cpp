// TMvCustomCheckedComboBox.
#include "controls/MvCombobox.h"

#include "controls/MvCheckedText.h"
#include "gui/Menus.h"

#include <algorithm>

TMvCustomCheckedComboBox::TMvCustomCheckedComboBox(TComponent* AOwner)
    : TMvCustomComboEdit(AOwner), FItems(std::make_unique<TStringList>()) {
    FItems->OnChange = [this](TObject*) { ItemsChanged(); };
    SetText("");
    SetBounds(Left(), Top(), 121, 24);
    SetColor(clWindow);
    SetEditReadOnly(true);
    SetButtonVisible(true);
    SetGlyphKind(gkDropDown);
    SetAlwaysEnableButton(true);
    SetAlwaysShowPopup(true);

    FPrivForm = new TMvPrivForm(this);
    FPrivForm->SetClickActivates(true);
    FPrivForm->OnCloseUp = [this](TObject* Sender, bool Accept) { ClosePopup(Sender, Accept); };
    SetPopupWindow(FPrivForm);

    FListBox = new TMvCheckListBox(FPrivForm);
    FListBox->SetParent(FPrivForm);
    FListBox->SetCtl3D(false);
    FListBox->SetAlign(TAlign::alClient);
    FListBox->OnClickCheck = [this](TObject*) { CheckClick(); };
    FListBox->OnKeyDown = [this](TObject*, WORD& Key, TShiftState Shift) { ListKeyDown(Key, Shift); };
    FListBox->OnContextPopup = [this](TObject*, POINT P, bool& Handled) { ListContextPopup(P, Handled); };
    FPrivForm->SetActiveControl(FListBox);

    FMenu = new TPopupMenu(FPrivForm);
    FSelectAllItem = new TMenuItem(FMenu);
    FSelectAllItem->SetCaption(FCapSelectAll);
    FSelectAllItem->OnClick = [this](TObject*) { SelectAllClick(); };
    FDeselectAllItem = new TMenuItem(FMenu);
    FDeselectAllItem->SetCaption(FCapDeSelectAll);
    FDeselectAllItem->OnClick = [this](TObject*) { DeselectAllClick(); };
    FMenu->Items().Add(FSelectAllItem);
    FMenu->Items().Add(FDeselectAllItem);
    FListBox->SetPopupMenu(FMenu);
}

TMvCustomCheckedComboBox::~TMvCustomCheckedComboBox() {
    FItems->OnChange = nullptr;
}

// ---- items and marks ----

bool TMvCustomCheckedComboBox::IsItemChecked(int Index) {
    if (Index < 0 || Index >= FItems->Count() || Index >= FListBox->Count()) return false;
    return FListBox->Checked(Index);
}

void TMvCustomCheckedComboBox::StoreText(const std::string& Value) {
    SetText(Value);
    // Straight to the edit's own change handling: the drop-down may be open.
    DoChange();
}

void TMvCustomCheckedComboBox::SetItemChecked(int Index, bool Checked) {
    if (Index < 0 || Index >= FItems->Count() || Index >= FListBox->Count()) return;
    std::string S = Text();
    const std::string Item = FItems->Get(Index);
    bool Changed = false;
    if (!FListBox->Checked(Index) && Checked) {
        Changed = CheckedTextAdd(Item, S, FDelimiter);
        if (Changed) ++FCheckedCount;
    } else if (FListBox->Checked(Index) && !Checked) {
        Changed = CheckedTextRemove(Item, S, FDelimiter);
        if (Changed) --FCheckedCount;
    }
    if (!Changed) return;
    FListBox->SetChecked(Index, Checked);
    StoreText(S);
}

void TMvCustomCheckedComboBox::CheckClick() {
    const int Index = FListBox->ItemIndex();
    if (Index < 0 || Index >= FListBox->Count()) return;
    std::string S = Text();
    const std::string Item = FListBox->Items().Get(Index);
    if (FListBox->Checked(Index)) {
        try {
            if (CheckedTextAdd(Item, S, FDelimiter)) ++FCheckedCount;
        } catch (...) {
            // The text is full: the mark goes back to what the text says.
            FListBox->SetChecked(Index, false);
            throw;
        }
    } else {
        if (CheckedTextRemove(Item, S, FDelimiter)) --FCheckedCount;
    }
    StoreText(S);
}

std::string TMvCustomCheckedComboBox::JoinChecked() {
    std::vector<std::string> Checked;
    for (int i = 0; i < FListBox->Count(); ++i)
        if (FListBox->Checked(i)) Checked.push_back(FListBox->Items().Get(i));
    return CheckedTextJoin(Checked, FDelimiter);
}

void TMvCustomCheckedComboBox::SelectAllClick() {
    std::vector<std::string> All;
    for (int i = 0; i < FListBox->Count(); ++i) {
        if (!FListBox->Checked(i)) FListBox->SetChecked(i, true);
        All.push_back(FListBox->Items().Get(i));
    }
    FCheckedCount = FListBox->Count();
    SetText(CheckedTextJoin(All, FDelimiter));
    Invalidate();
    DoChange();
}

void TMvCustomCheckedComboBox::DeselectAllClick() {
    FCheckedCount = 0;
    for (int i = 0; i < FListBox->Count(); ++i)
        FListBox->SetChecked(i, false);
    StoreText("");
}

void TMvCustomCheckedComboBox::CheckAllItems() {
    SelectAllClick();
}

void TMvCustomCheckedComboBox::UncheckAllItems() {
    DeselectAllClick();
}

void TMvCustomCheckedComboBox::Clear() {
    FItems->Clear();
    FListBox->Items().Clear();
    TMvCustomComboEdit::Clear();
}

void TMvCustomCheckedComboBox::ItemsChanged() {
    FListBox->Items().Clear();
    SetText("");
    FListBox->Items().Assign(*FItems);
}

void TMvCustomCheckedComboBox::SetItems(const TStrings& Value) {
    FItems->Assign(Value);
}

// ---- properties ----

void TMvCustomCheckedComboBox::SetNoFocusColor(TColor Value) {
    if (Value == FNoFocusColor) return;
    FNoFocusColor = Value;
    SetColor(Value);
}

void TMvCustomCheckedComboBox::SetSorted(bool Value) {
    if (Value == FSorted) return;
    FSorted = Value;
    FItems->SetSorted(Value);
}

void TMvCustomCheckedComboBox::SetColumns(int Value) {
    if (Value == FColumns) return;
    FColumns = Value;
    FListBox->SetColumns(Value);
}

void TMvCustomCheckedComboBox::SetDropDownLines(int Value) {
    if (Value == FDropDownLines || Value < 6 || Value > 10) return;
    FDropDownLines = Value;
}

void TMvCustomCheckedComboBox::SetDelimiter(char Value) {
    if (Value == FDelimiter) return;
    FDelimiter = Value;
    SetText("");
    SetText(JoinChecked());
}

// ---- the drop-down ----

void TMvCustomCheckedComboBox::PrepareDropDown() {
    if (FColumns > 1) FDropDownLines = FItems->Count() / FColumns + 1;
    FDropDownLines = std::clamp(FDropDownLines, 6, 10);
    FSelectAllItem->SetCaption(FCapSelectAll);
    FDeselectAllItem->SetCaption(FCapDeSelectAll);
    FPrivForm->Font().Assign(Font());
    FListBox->Font().Assign(Font());
    int ItemHeight = FListBox->ItemHeight();
    if (FListBox->HandleAllocated())
        ItemHeight = static_cast<int>(SendMessageA(FListBox->Handle(), LB_GETITEMHEIGHT, 0, 0));
    FPrivForm->SetBounds(FPrivForm->Left(), FPrivForm->Top(), Width(), ItemHeight * FDropDownLines + 4);
}

void TMvCustomCheckedComboBox::ListKeyDown(WORD& Key, TShiftState Shift) {
    if (Key == VK_ESCAPE && !(Shift & (ssShift | ssAlt | ssCtrl))) {
        ClosePopup(FPrivForm, false);
        Key = 0;
    }
}

void TMvCustomCheckedComboBox::ListContextPopup(POINT MousePos, bool& Handled) {
    if (!FMenu->AutoPopup()) return;
    FMenu->SetPopupComponent(FListBox);
    POINT P = MousePos;
    if (P.x == -1 && P.y == -1) {
        P.x = FListBox->Width() / 2;
        const int Index = FListBox->ItemIndex();
        P.y = Index < 0 ? FListBox->Height() / 2 : (Index + 1) * FListBox->ItemHeight();
    }
    P = FListBox->ClientToScreen(P);
    FMenu->Popup(P.x, P.y);
    Handled = true;
}

void TMvCustomCheckedComboBox::DoEnter() {
    SetColor(clWindow);
    TMvCustomComboEdit::DoEnter();
}

void TMvCustomCheckedComboBox::DoExit() {
    SetColor(FNoFocusColor);
    TMvCustomComboEdit::DoExit();
}
