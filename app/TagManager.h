// TfrmTagManager: the "Tag Manager" window. It lists every tag of the store
// and creates, deletes and renames them; tags reach topics only through the
// dot-lines of their text, so a rename or delete changes the word on the
// dot-lines of every note that carries it too (stored and open), and the
// store's tag with it, in one commit.
#pragma once

#include "gui/Forms.h"

#include <string>
#include <vector>

class TListBox;
class TActionList;
class TAction;
class TToolBar;
class TTopicViewer;
namespace mv::app {
struct TTopicServices;
}

class TfrmTagManager : public TForm {
public:
    // Services are the main window's, which outlive this window.
    TfrmTagManager(TComponent* AOwner, const mv::app::TTopicServices& Services);
    ~TfrmTagManager() override;

    // Fills the list with the store's tags (those with a title), sorted.
    void RefreshTagList();

    TListBox* lbTags = nullptr;
    TActionList* aTagLists = nullptr;
    TAction* aNewTag = nullptr;
    TAction* aDeleteTag = nullptr;
    TAction* aRenameTag = nullptr;
    TToolBar* tbTags = nullptr;

private:
    void BuildForm();
    void FormShow(TObject* Sender);
    void aNewTagExecute(TObject* Sender);
    void aDeleteTagExecute(TObject* Sender);
    void aRenameTagExecute(TObject* Sender);
    // Turns the tag word Old into New (New "" takes it out) on the dot-lines of the open notes
    // and of the stored notes that carry it; returns the open editors changed, to be saved once
    // the store's tag has changed.
    std::vector<TTopicViewer*> RewriteNotes(const std::string& Old, const std::string& New);

    const mv::app::TTopicServices& FServices;
};

extern TfrmTagManager* frmTagManager;
