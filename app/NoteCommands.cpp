// The note window's commands: formatting, clipboard, pictures and objects,
// special characters, new, delete and rename of topics, and the tool bar switch.
#include "app/Note.h"

#include "app/CommandImages.h"
#include "app/FormBuilding.h"
#include "app/InsertChar.h"
#include "app/Main.h"
#include "app/NoteBar.h"
#include "app/Rename.h"
#include "app/TopicAddress.h"
#include "app/TopicViewer.h"
#include "app/Utils.h"
#include "base/StrUtils.h"
#include "gui/Application.h"
#include "gui/Dialogs.h"
#include "gui/ToolBar.h"
#include "richedit/MvPictures.h"
#include "store/NotesStore.h"

#include <memory>

using namespace mv::app;

namespace {

constexpr DWORD StyleBold = 1, StyleItalic = 2, StyleUnderline = 4, StyleStrikeout = 8;
constexpr WORD VK_GraveAccent = 0xC0;

} // namespace

void TfrmNote::BuildCommands() {
    auto On = [this](void (TfrmNote::*Handler)(TObject*)) {
        return [this, Handler](TObject* Sender) { (this->*Handler)(Sender); };
    };
    auto Add = [&](TAction*& Field, const char* Name, const char* Caption, TShortCut Key, const char* Hint,
                   void (TfrmNote::*Handler)(TObject*), int Image) {
        Field = NewAction(ActionList1, Name, Caption, Key, Hint, On(Handler));
        Field->SetImageIndex(Image);
    };
    Add(aBold, "aBold", "&Bold", ShortCut('B', ssCtrl), "Make the selection bold.", &TfrmNote::aBoldExecute,
        imgBold);
    Add(aUnderline, "aUnderline", "&Underline", ShortCut('U', ssCtrl), "Make the selection underlined.",
        &TfrmNote::aUnderlineExecute, imgUnderline);
    Add(aItalic, "aItalic", "&Italic", ShortCut('I', ssCtrl), "Make the selection italic.",
        &TfrmNote::aItalicExecute, imgItalic);
    Add(aStrikeout, "aStrikeout", "&Strikeout", 0, "Make the selection struckout.",
        &TfrmNote::aStrikeoutExecute, imgStrikeout);
    Add(aBigger, "aBigger", "&Bigger", ShortCut(VK_UP, ssAlt), "Make the selection bigger.",
        &TfrmNote::aBiggerExecute, imgBigger);
    Add(aSmaller, "aSmaller", "&Smaller", ShortCut(VK_DOWN, ssAlt), "Make the selection smaller.",
        &TfrmNote::aSmallerExecute, imgSmaller);
    Add(aNormal, "aNormal", "&Normal", ShortCut(VK_LEFT, ssAlt), "Make the selection normal size.",
        &TfrmNote::aNormalExecute, imgNormal);
    aNormal->SecondaryShortCuts().push_back(ShortCut(VK_RIGHT, ssAlt));
    Add(aUnlink, "aUnlink", "&Unlink", ShortCut('X', ssAlt), "Remove link formatting from the selection.",
        &TfrmNote::aUnlinkExecute, imgUnlink);
    Add(aBulleted, "aBulleted", "&Bulleted", ShortCut('B', ssAlt), "Set the paragraph to a bulleted list.",
        &TfrmNote::aBulletedExecute, imgBulleted);
    Add(aNumbered, "aNumbered", "&Numbered", ShortCut('N', ssAlt), "Set the paragraph to a numbered list.",
        &TfrmNote::aNumberedExecute, imgNumbered);
    Add(aIndent, "aIndent", "&Increse Indent", ShortCut(VK_OEM_6, ssAlt),
        "Increase indent of the line or selection.", &TfrmNote::aIndentExecute, imgIndent);
    Add(aOutdent, "aOutdent", "&Decrease Indent", ShortCut(VK_OEM_4, ssAlt),
        "Decrease indent of the line or selection.", &TfrmNote::aOutdentExecute, imgOutdent);
    aCut = NewAction(ActionList1, "aCut", "&Cut", ShortCut('X', ssCtrl),
                     "Cut the selection to the clipboard.", [this](TObject*) {
                         if (FEditor) FEditor->CutToClipboard();
                     });
    aCut->SetImageIndex(imgCut);
    aCopy = NewAction(ActionList1, "aCopy", "&Copy", ShortCut('C', ssCtrl),
                      "Copy the selection to the clipboard.", [this](TObject*) {
                          if (FEditor) FEditor->CopyToClipboard();
                      });
    aCopy->SetImageIndex(imgCopy);
    aPaste = NewAction(ActionList1, "aPaste", "&Paste", ShortCut('V', ssCtrl),
                       "Paste the contents of the clipboard.", [this](TObject*) {
                           if (FEditor) FEditor->PasteFromClipboard();
                       });
    aPaste->SetImageIndex(imgPaste);
    Add(aInsertChar, "aInsertChar", "Special &Character...", 0, "", &TfrmNote::aInsertCharExecute,
        imgInsertChar);
    Add(aInsertImage, "aInsertImage", "&Image From File...", 0, "", &TfrmNote::aInsertImageExecute,
        imgInsertImage);
    Add(aInsertSpecial, "aInsertSpecial", "&Object...", ShortCut('T', ssCtrl), "",
        &TfrmNote::aInsertSpecialExecute, imgInsertObject);
    Add(aNewNote, "aNewNote", "&New Note", 0, "Create a new note in this namespace",
        &TfrmNote::aNewNoteExecute, imgNewNote);
    aSave->SetImageIndex(imgSave);
    Add(aNoteDelete, "aNoteDelete", "&Delete", 0, "Delete the open note.", &TfrmNote::aNoteDeleteExecute,
        imgDelete);
    Add(aNoteRename, "aNoteRename", "&Rename / Move", ShortCut(VK_F2, 0), "Rename / move the open note.",
        &TfrmNote::aNoteRenameExecute, imgRename);
    aBackward->SetImageIndex(imgBackward);
    aForward->SetImageIndex(imgForward);
    Add(aCommandBarEdit, "aCommandBarEdit", "&Edit", 0, "", &TfrmNote::aCommandBarEditExecute, imgEditBar);
    Add(aCommandBarFile, "aCommandBarFile", "&File", 0, "", &TfrmNote::aCommandBarFileExecute, imgFileBar);
    aCommandBarEdit->SetGroupIndex(1);
    aCommandBarFile->SetGroupIndex(1);
    aCommandBarEdit->SetChecked(true);
    Add(aCommandBarSwitch, "aCommandBarSwitch", "&Switch", ShortCut(VK_GraveAccent, 0), "",
        &TfrmNote::aCommandBarSwitchExecute, imgSwitch);
    OpenDialog = new TOpenDialog(this);
}

// ---- character formatting ---------------------------------------------------------

// The style buttons show the style of the selection; strikeout shows only
// what its own command last did.
void TfrmNote::EditorSelectionChange(TObject*) {
    if (!FEditor) return;
    const TFontStyles Style = FEditor->SelAttributes().Style();
    aBold->SetChecked((Style & fsBold) != 0);
    aUnderline->SetChecked((Style & fsUnderline) != 0);
    aItalic->SetChecked((Style & fsItalic) != 0);
}

void TfrmNote::aBoldExecute(TObject*) {
    if (!FEditor) return;
    aBold->SetChecked(!aBold->Checked());
    FEditor->SelAttributes().SetEffect(StyleBold, aBold->Checked());
}

void TfrmNote::aUnderlineExecute(TObject*) {
    if (!FEditor) return;
    aUnderline->SetChecked(!aUnderline->Checked());
    FEditor->SelAttributes().SetEffect(StyleUnderline, aUnderline->Checked());
    if (FEditor->SelAttributes().Style() & fsUnderline) FEditor->SelAttributes().SetUnderlineType(1);
}

void TfrmNote::aItalicExecute(TObject*) {
    if (!FEditor) return;
    aItalic->SetChecked(!aItalic->Checked());
    FEditor->SelAttributes().SetEffect(StyleItalic, aItalic->Checked());
}

void TfrmNote::aStrikeoutExecute(TObject*) {
    if (!FEditor) return;
    aStrikeout->SetChecked(!aStrikeout->Checked());
    FEditor->SelAttributes().SetEffect(StyleStrikeout, aStrikeout->Checked());
}

void TfrmNote::aBiggerExecute(TObject*) {
    if (FEditor) FEditor->SelAttributes().SetSize(FEditor->SelAttributes().Size() + 1);
}

// Never below one point: a size of 0 or less would be taken as "no size".
void TfrmNote::aSmallerExecute(TObject*) {
    if (FEditor) FEditor->SelAttributes().SetSize(std::max(1, FEditor->SelAttributes().Size() - 1));
}

void TfrmNote::aNormalExecute(TObject*) {
    if (FEditor) FEditor->SelAttributes().SetSize(8);
}

void TfrmNote::aUnlinkExecute(TObject*) {
    if (!FEditor) return;
    FEditor->SelAttributes().SetColor(0);
    FEditor->SelAttributes().SetEffect(StyleUnderline, false);
}

// ---- paragraph formatting -------------------------------------------------------------

void TfrmNote::aBulletedExecute(TObject*) {
    if (!FEditor) return;
    TMvParaAttributes& Para = FEditor->Paragraph();
    Para.SetNumbering(Para.Numbering() == 1 ? 0 : 1);
}

void TfrmNote::aNumberedExecute(TObject*) {
    if (!FEditor) return;
    TMvParaAttributes& Para = FEditor->Paragraph();
    if (Para.Numbering() == 2) {
        Para.SetNumbering(0);
        return;
    }
    Para.SetNumberingStart(1);
    Para.SetNumbering(2);
    Para.SetNumberingStyle(1);
}

void TfrmNote::aIndentExecute(TObject*) {
    if (FEditor) FEditor->Paragraph().SetFirstIndent(FEditor->Paragraph().FirstIndent() + 10);
}

// Never left of the margin.
void TfrmNote::aOutdentExecute(TObject*) {
    if (FEditor) FEditor->Paragraph().SetFirstIndent(std::max(0, FEditor->Paragraph().FirstIndent() - 10));
}

// ---- inserting ------------------------------------------------------------------------

void TfrmNote::aInsertCharExecute(TObject*) {
    struct TRefocus {
        TfrmNote* Form;
        ~TRefocus() {
            if (Form->HandleAllocated()) SetForegroundWindow(Form->Handle());
        }
    } Refocus{this};
    char Chosen = 0;
    // An OK without a chosen character inserts nothing (never a NUL into the text).
    if (PickSpecialCharacter(Chosen) && Chosen != 0 && FEditor) FEditor->SetSelText(std::string(1, Chosen));
}

// The file is read whole before anything is inserted: a picture that cannot
// be read leaves the topic as it was and says why.
void TfrmNote::aInsertImageExecute(TObject*) {
    if (!FEditor) return;
    OpenDialog->SetFilter("Images (*.bmp, *.jpg)|*.bmp;*.jpg|All Files (*.*)|*.*");
    if (!OpenDialog->Execute()) return;
    const std::string FileName = OpenDialog->FileName();
    std::unique_ptr<TGraphic> Picture;
    if (SameText(ExtractFileExt(FileName), ".bmp")) {
        auto Bitmap = std::make_unique<TBitmap>();
        LoadBitmapFile(*Bitmap, FileName);
        Picture = std::move(Bitmap);
    } else {
        auto Jpeg = std::make_unique<TJPEGImage>();
        Jpeg->LoadFromFile(FileName);
        Picture = std::move(Jpeg);
    }
    FEditor->InsertGraphic(*Picture, true);
}

void TfrmNote::aInsertSpecialExecute(TObject*) {
    if (FEditor) FEditor->InsertObjectDialog();
}

// ---- topics ---------------------------------------------------------------------------

void TfrmNote::aNewNoteExecute(TObject*) {
    const std::string N = FNamespace.empty() ? "Default" : FNamespace;
    const std::string Name = Trim(InputBox("New Topic", "Name of new topic in " + N + ":", ""));
    if (Name.empty()) return;
    if (!IsValidName(Name)) {
        ShowMessage("Sorry, that name contains invalid characters. Only letters and numbers are allowed.");
        return;
    }
    FServices.ShowTopic(Name, N);
}

void TfrmNote::CloseWithoutSaving() {
    delete FEditor;
    FEditor = nullptr;
    Close();
}

void TfrmNote::aNoteDeleteExecute(TObject*) {
    if (!FEditor) return;
    if (FEditor->Namespace().empty() && UpperCase(FEditor->TopicFile()) == "HOME") {
        ShowMessage("You can't delete the Home topic.");
        return;
    }
    if (MessageDlg("Are you sure you want to delete " + FEditor->TopicFile() + "?\r\nThis cannot be undone.",
                   TMsgDlgType::mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    const int32_t TopicID = FEditor->TopicID();
    // Earlier entries that name the same topic (in another case, say) are no
    // place to go back to: the topic is about to go.
    while (FHistory.CanGoBack() && FEditor && FEditor->TopicID() == TopicID) {
        const int32_t Before = FHistory.Index();
        aBackward->Execute();
        if (FHistory.Index() == Before) break; // the step failed; its error was shown
    }
    TNotesStore* Store = FServices.Store;
    if (!FEditor || FEditor->TopicID() == TopicID) {
        Store->DeleteTopic(TopicID);
        FServices.Commit();
        CloseWithoutSaving();
        return;
    }
    Store->DeleteTopic(TopicID);
    FServices.Commit();
    FHistory.DisableForward();
    aForward->SetEnabled(false);
}

void TfrmNote::aNoteRenameExecute(TObject*) {
    if (!FEditor) return;
    // The program makes the window at its start; a host that did not gets it now.
    if (!frmRename) frmRename = new TfrmRename(Application);
    frmRename->ShowFor(FEditor);
}

// ---- the tool bars ----------------------------------------------------------------------

void TfrmNote::aCommandBarEditExecute(TObject*) {
    aCommandBarEdit->SetChecked(true);
    aCommandBarFile->SetChecked(false);
    pnlCommandBar->tbFile->SetVisible(false);
    pnlCommandBar->tbEdit->SetVisible(true);
}

void TfrmNote::aCommandBarFileExecute(TObject*) {
    aCommandBarFile->SetChecked(true);
    aCommandBarEdit->SetChecked(false);
    pnlCommandBar->tbFile->SetVisible(true);
    pnlCommandBar->tbEdit->SetVisible(false);
}

void TfrmNote::aCommandBarSwitchExecute(TObject*) {
    const bool FileShown = pnlCommandBar->tbFile->Visible();
    pnlCommandBar->tbEdit->SetVisible(FileShown);
    pnlCommandBar->tbFile->SetVisible(!FileShown);
    aCommandBarEdit->SetChecked(pnlCommandBar->tbEdit->Visible());
    aCommandBarFile->SetChecked(pnlCommandBar->tbFile->Visible());
}
