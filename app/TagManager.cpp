// The "Tag Manager" window.
#include "app/TagManager.h"

#include "app/FormBuilding.h"
#include "app/TopicDocument.h"
#include "app/Note.h"
#include "app/TagEvents.h"
#include "app/TagRewrite.h"
#include "app/TopicViewer.h"
#include "gui/Dialogs.h"
#include "gui/ListBoxes.h"
#include "gui/StdCtrls.h"
#include "gui/ToolBar.h"
#include "richedit/MvRichEditStrings.h"
#include "store/NotesStore.h"
#include "store/StoreLists.h"

#include <memory>
#include <set>
#include <vector>

TfrmTagManager* frmTagManager = nullptr;

namespace {

// Makes the edits in a rich edit control by selection, last first, so the formatting around
// each word stays; the user's selection moves with the text around it.
void EditByPosition(TMvRichEdit& Editor, const std::vector<mv::app::TTextEdit>& Edits) {
    int Start = Editor.SelStart(), Length = Editor.SelLength();
    for (auto E = Edits.rbegin(); E != Edits.rend(); ++E) {
        const int At = static_cast<int>(E->Offset), Gone = static_cast<int>(E->Length);
        const int Shift = static_cast<int>(E->Text.size()) - Gone;
        if (At + Gone <= Start) {
            Start += Shift;
        } else if (At < Start + Length) {
            Length = std::max(0, Length + Shift);
        }
        Editor.SetSelStart(At);
        Editor.SetSelLength(Gone);
        Editor.SetSelText(E->Text);
    }
    Editor.SetSelStart(std::max(0, Start));
    Editor.SetSelLength(Length);
}

} // namespace

TfrmTagManager::TfrmTagManager(TComponent* AOwner, const mv::app::TTopicServices& Services)
    : TForm(AOwner), FServices(Services) {
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
    if (auto Tags = FServices.Store->ListTags())
        for (int I = 0; I < Tags->Count(); ++I) {
            const std::string Title = ListLineTitle(Tags->Get(I));
            if (!Title.empty()) lbTags->Items().Add(Title);
        }
}

void TfrmTagManager::aNewTagExecute(TObject*) {
    const std::string Name = InputBox("New Tag", "Enter the name of the new tag:", "");
    if (!Name.empty()) {
        FServices.Store->GetTagID(Name);
        FServices.Commit();
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
    std::set<TTopicViewer*> Changed;
    for (const std::string& Tag : Chosen) {
        for (TTopicViewer* Editor : RewriteNotes(Tag, ""))
            Changed.insert(Editor);
        FServices.Store->DeleteTag(Tag);
    }
    for (TTopicViewer* Editor : Changed)
        Editor->SaveTopic("*", "*");
    FServices.Commit();
    RefreshTagList();
}

void TfrmTagManager::aRenameTagExecute(TObject*) {
    std::vector<std::string> Chosen;
    for (int I = 0; I < lbTags->Count(); ++I)
        if (lbTags->Selected(I)) Chosen.push_back(lbTags->Items().Get(I));
    int Asked = 0;
    std::set<TTopicViewer*> Changed;
    for (const std::string& Old : Chosen) {
        ++Asked;
        const std::string Name = InputBox("Rename Tag", "Enter a new name for \"" + Old, Old);
        if (Name.empty()) break;
        if (Name == Old) continue;
        for (TTopicViewer* Editor : RewriteNotes(Old, Name))
            Changed.insert(Editor);
        FServices.Store->RenameTag(Old, Name);
    }
    // The open notes are saved after the store's tag changed: their dot-lines then agree with
    // their links, and the save changes no tag.
    for (TTopicViewer* Editor : Changed)
        Editor->SaveTopic("*", "*");
    if (Asked > 0) {
        FServices.Commit();
        RefreshTagList();
    } else {
        ShowMessage("You didn't select any tags to rename.");
    }
}

std::vector<TTopicViewer*> TfrmTagManager::RewriteNotes(const std::string& Old, const std::string& New) {
    TNotesStore* Store = FServices.Store;
    const mv::app::TTagEventTable& Events = *FServices.TagEvents;
    // The open notes: their text is what the next save stores, whatever the store holds now.
    std::vector<TTopicViewer*> Changed;
    std::set<int32_t> Open;
    for (std::size_t I = 0; I < NoteWindowsByNamespace.Count(); ++I) {
        TfrmNote* Window = NoteWindowsByNamespace.WindowAt(I);
        TTopicViewer* Editor = Window ? Window->Editor() : nullptr;
        if (!Editor || !Editor->Valid()) continue;
        Open.insert(Editor->TopicID());
        const auto Edits = mv::app::PlanTagRewrite(Editor->TextInPositions(), Old, New, Events);
        if (Edits.empty()) continue;
        EditByPosition(*Editor, Edits);
        Changed.push_back(Editor);
    }
    // The stored notes that carry the tag, through a hidden editor of their rich text.
    TStringList Tags;
    Tags.Add(Old);
    std::unique_ptr<TMvRichEdit> Hidden;
    for (const TPlacedTopic& Topic : Store->FindTopicsWithNamespaces(&Tags)) {
        if (Open.count(Topic.ID)) continue;
        TTopicRect Rect;
        std::unique_ptr<TStringStream> Content = Store->GetTopic(Topic.ID, Rect);
        if (!Content) continue;
        if (!Hidden) {
            Hidden = std::make_unique<TMvRichEdit>(nullptr);
            Hidden->SetVisible(false);
            Hidden->SetParent(this);
        }
        Content->SetPosition(0);
        Hidden->Lines().LoadFromStream(*Content);
        const auto Edits = mv::app::PlanTagRewrite(Hidden->GetTextRange(0, -1), Old, New, Events);
        if (Edits.empty()) continue;
        EditByPosition(*Hidden, Edits);
        TStringStream Text;
        Hidden->Lines().SaveToStream(Text);
        std::unique_ptr<TStringStream> Meta = Store->GetTopicMeta(Topic.ID);
        TStringStream NoMeta;
        Store->SaveTopic(Topic.ID, Topic.NameSpace, Rect, Text, Topic.Title, Meta ? *Meta : NoMeta);
    }
    return Changed;
}
