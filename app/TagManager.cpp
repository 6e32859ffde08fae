// The "Tag Manager" window.
#include "app/TagManager.h"

#include "app/FormBuilding.h"
#include "app/Main.h"
#include "gui/Dialogs.h"
#include "gui/ListBoxes.h"
#include "gui/StdCtrls.h"
#include "gui/ToolBar.h"
#include "store/NotesStore.h"
#include "store/StoreLists.h"

#include <vector>

TfrmTagManager* frmTagManager = nullptr;

TfrmTagManager::TfrmTagManager(TComponent* AOwner) : TForm(AOwner) {
    BuildForm();
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
}

TfrmTagManager::~TfrmTagManager() {
    if (frmTagManager == this) frmTagManager = nullptr;
}

void TfrmTagManager::BuildForm() {
    SetCaption("Tag Manager");
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetPosition(TPosition::poScreenCenter);
    Font().SetName("Tahoma");
    Font().SetHeight(-11);
    SetShowHint(true);
    SetClientSize(249, 305);

    aTagLists = new TActionList(this);
    aNewTag = NewAction(aTagLists, "aNewTag", "&New Tag", 0, "Create a new tag.",
                        [this](TObject* Sender) { aNewTagExecute(Sender); });
    aDeleteTag = NewAction(aTagLists, "aDeleteTag", "&Delete Tag", 0, "Delete the selected tags.",
                           [this](TObject* Sender) { aDeleteTagExecute(Sender); });
    aRenameTag =
        NewAction(aTagLists, "aRenameTag", "&Rename Tag", ShortCut(VK_F2, 0), "Rename the selected tag.",
                  [this](TObject* Sender) { aRenameTagExecute(Sender); });

    auto* Label = new TLabel(this);
    Label->SetParent(this);
    Label->SetBounds(8, 8, 233, 14);
    Label->SetCaption("Manage your available tags");

    // The buttons show their captions: the tag commands have no pictures.
    tbTags = new TToolBar(this);
    tbTags->SetParent(this);
    tbTags->SetBounds(8, 26, 233, 22);
    tbTags->SetFlat(true);
    tbTags->SetAutoSize(true);
    tbTags->SetButtonSize(76, 22);
    tbTags->SetShowHint(true);
    for (TAction* Action : {aNewTag, aDeleteTag, aRenameTag}) {
        auto* Button = new TToolButton(this);
        Button->SetParent(tbTags);
        Button->SetAction(Action);
    }

    lbTags = new TListBox(this);
    lbTags->SetParent(this);
    lbTags->SetBounds(8, 54, 233, 243);
    lbTags->SetSorted(true);
    lbTags->SetMultiSelect(true);
}

void TfrmTagManager::FormShow(TObject*) {
    RefreshTagList();
    for (int I = 0; I < lbTags->Count(); ++I)
        lbTags->SetSelected(I, false);
}

void TfrmTagManager::RefreshTagList() {
    lbTags->Clear();
    if (auto Tags = frmMain->NotesStore()->ListTags())
        for (int I = 0; I < Tags->Count(); ++I) {
            const std::string Title = ListLineTitle(Tags->Get(I));
            if (!Title.empty()) lbTags->Items().Add(Title);
        }
}

void TfrmTagManager::aNewTagExecute(TObject*) {
    const std::string Name = InputBox("New Tag", "Enter the name of the new tag:", "");
    if (!Name.empty()) {
        frmMain->NotesStore()->GetTagID(Name);
        frmMain->CommitStore();
    }
    RefreshTagList();
}

void TfrmTagManager::aDeleteTagExecute(TObject*) {
    std::vector<std::string> Chosen;
    std::string Text;
    for (int I = 0; I < lbTags->Count(); ++I)
        if (lbTags->Selected(I)) {
            Chosen.push_back(lbTags->Items().Get(I));
            Text += Chosen.back() + "\r";
        }
    if (Chosen.empty()) return;
    if (MessageDlg("Are you sure you want to delete these tags?\r\r" + Text, TMsgDlgType::mtConfirmation,
                   mbYes | mbNo) != mrYes)
        return;
    for (const std::string& Tag : Chosen)
        frmMain->NotesStore()->DeleteTag(Tag);
    frmMain->CommitStore();
    RefreshTagList();
}

void TfrmTagManager::aRenameTagExecute(TObject*) {
    std::vector<std::string> Chosen;
    for (int I = 0; I < lbTags->Count(); ++I)
        if (lbTags->Selected(I)) Chosen.push_back(lbTags->Items().Get(I));
    int Asked = 0;
    for (const std::string& Old : Chosen) {
        ++Asked;
        const std::string Name = InputBox("Rename Tag", "Enter a new name for \"" + Old, Old);
        if (Name.empty()) break;
        frmMain->NotesStore()->RenameTag(Old, Name);
    }
    if (Asked > 0) {
        frmMain->CommitStore();
        RefreshTagList();
    } else {
        ShowMessage("You didn't select any tags to rename.");
    }
}
