// The "Rename / Move Note" window.
#include "app/Rename.h"

#include "app/Note.h"
#include "app/TopicAddress.h"
#include "app/TopicDocument.h"
#include "app/TopicViewer.h"
#include "base/StrUtils.h"
#include "gui/Dialogs.h"
#include "gui/ListBoxes.h"
#include "gui/StdCtrls.h"
#include "store/NotesStore.h"
#include "store/StoreLists.h"

using namespace mv::app;

TfrmRename* frmRename = nullptr;

const char* const TfrmRename::ColonRefusal = "A title or a namespace cannot contain ':'.";

TfrmRename::TfrmRename(TComponent* AOwner) : TForm(AOwner) {
    BuildForm();
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
}

TfrmRename::~TfrmRename() {
    if (frmRename == this) frmRename = nullptr;
}

TLabel* TfrmRename::AddLabel(const char* Caption, int Top, int Height) {
    auto* Label = new TLabel(this);
    Label->SetParent(this);
    Label->SetAutoSize(false);
    Label->SetWordWrap(true);
    Label->SetBounds(8, Top, 283, Height);
    Label->SetCaption(Caption);
    return Label;
}

void TfrmRename::BuildForm() {
    SetCaption("Rename / Move Note");
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetBorderIcons(0);
    SetPosition(TPosition::poScreenCenter);
    Font().SetName("Tahoma");
    Font().SetHeight(-11);
    SetClientSize(299, 265);

    AddLabel("This let's you move a note to a different namespace and/or change it's name.", 8, 28);
    AddLabel("If you want to move the note to a new namespace, simply type the new namespace name instead of "
             "selecting one from the drop down.",
             40, 40);
    TLabel* Careful = AddLabel("Be careful when using this function!", 84, 16);
    Careful->Font().SetStyle(fsBold);
    Careful->Font().SetColor(clMaroon);
    AddLabel(
        "By renaming a note, you will invalidate all links to it. Those links are not updated so if you "
        "follow one of the old links later on, an empty note with the old title/namespace will be opened.",
        104, 56);

    AddLabel("Namespace", 166, 14);
    cbNamespace = new TComboBox(this);
    cbNamespace->SetParent(this);
    cbNamespace->SetBounds(8, 181, 283, 21);
    AddLabel("Title", 206, 14);
    eTopicFile = new TEdit(this);
    eTopicFile->SetParent(this);
    eTopicFile->SetBounds(8, 221, 283, 21);

    btnCancel = new TButton(this);
    btnCancel->SetParent(this);
    btnCancel->SetCaption("Cancel");
    btnCancel->SetCancel(true);
    btnCancel->SetModalResult(mrCancel);
    btnCancel->SetBounds(135, 245 - 4, 75, 22);
    btnRegister = new TButton(this);
    btnRegister->SetParent(this);
    btnRegister->SetCaption("Rename");
    btnRegister->SetDefault(true);
    btnRegister->SetModalResult(mrOk);
    btnRegister->SetBounds(216, 245 - 4, 75, 22);
}

void TfrmRename::FormShow(TObject*) {
    const std::string Text = cbNamespace->Text();
    cbNamespace->Items().Clear();
    cbNamespace->SetText("");
    cbNamespace->Items().Add("Default");
    TNotesStore* Store = FServices ? FServices->Store : nullptr;
    if (auto Namespaces = Store ? Store->ListNamespaces() : nullptr)
        for (int I = 0; I < Namespaces->Count(); ++I) {
            const std::string Name = ListLineTitle(Namespaces->Get(I));
            if (!Name.empty()) cbNamespace->Items().Add(Name);
        }
    cbNamespace->SetText(Text);
    // Typing renames: the title takes the focus, all of it selected, once the window is active.
    SetActiveControl(eTopicFile);
    eTopicFile->SelectAll();
}

std::string TfrmRename::RefusalFor(TNotesStore& Store, const std::string& Title, const std::string& Namespace,
                                   int32_t TopicID) {
    if (Title.find(':') != std::string::npos || Namespace.find(':') != std::string::npos) return ColonRefusal;
    if (Trim(Title).empty()) return "Please give the note a title.";
    // A namespace that does not exist yet holds no topic to collide with.
    if (auto Topics = Store.FindTopics(Namespace, nullptr, ""))
        for (int I = 0; I < Topics->Count(); ++I) {
            const std::string Line = Topics->Get(I);
            if (SameText(ListLineTitle(Line), Title) && ListLineID(Line) != TopicID)
                return "There is already a note called \"" + Title + "\" in the namespace \"" +
                       (Namespace.empty() ? std::string("Default") : Namespace) + "\".";
        }
    return "";
}

void TfrmRename::ShowFor(TTopicViewer* Editor) {
    if (!Editor) return;
    if (Editor->Namespace().empty() && UpperCase(Editor->TopicFile()) == "HOME") {
        MessageDlg("You can't rename Home.", TMsgDlgType::mtInformation, mbOK);
        return;
    }
    OldNamespace = Editor->Namespace();
    OldTitle = Editor->TopicFile();
    TopicWindow = Editor->TopicWindow();
    const TTopicServices& Services = Editor->Services();
    cbNamespace->SetText(OldNamespace);
    eTopicFile->SetText(OldTitle);
    FServices = &Services;
    if (ShowModal() != mrOk) return;

    const std::string NewNamespace = NormalizeNamespace(cbNamespace->Text());
    const std::string NewTitle = eTopicFile->Text();
    if (NewTitle == OldTitle && NewNamespace == OldNamespace) return;
    if (const std::string Refusal = RefusalFor(*Services.Store, NewTitle, NewNamespace, Editor->TopicID());
        !Refusal.empty()) {
        MessageDlg(Refusal, TMsgDlgType::mtWarning, mbOK);
        return;
    }

    // The store tells the side panels of the move.
    Editor->SaveTopic(NewTitle, NewNamespace);
    Services.Commit();
    // The old window shows what it showed before; when it has nothing to go
    // back to and the topic moves to another window, it closes instead of
    // keeping a second editor on the same topic.
    auto* OldWindow = dynamic_cast<TfrmNote*>(TopicWindow);
    const bool OtherWindow =
        NoteWindowsByNamespace.Find(NewNamespace) != OldWindow || !SameText(NewNamespace, OldNamespace);
    if (OldWindow && OldWindow->HistoryIndex() == 0 && OtherWindow) {
        OldWindow->CloseWithoutSaving();
    } else if (TopicWindow) {
        TopicWindow->GoBack();
    }
    Services.ShowTopic(NewTitle, NewNamespace);
}
