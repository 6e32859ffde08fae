// TfrmTagManager: the "Tag Manager" window. It lists every tag of the store
// and creates, deletes and renames them; tags reach topics only through the
// dot-lines of their text.
#pragma once

#include "gui/Forms.h"

class TListBox;
class TActionList;
class TAction;
class TToolBar;

class TfrmTagManager : public TForm {
public:
    explicit TfrmTagManager(TComponent* AOwner);
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
};

extern TfrmTagManager* frmTagManager;
