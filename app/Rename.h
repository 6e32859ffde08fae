// TfrmRename: the "Rename / Move Note" window. It gives the topic of a note
// window a new title, a new namespace or both; the stored topic keeps its id,
// so its text, meta lines and tags go with it.
#pragma once

#include "gui/Forms.h"

#include <string>

class TTopicViewer;
class ITopicWindow;
class TComboBox;
class TEdit;
class TButton;
class TLabel;
class TNotesStore;
namespace mv::app {
struct TTopicServices;
}

class TfrmRename : public TForm {
public:
    explicit TfrmRename(TComponent* AOwner);
    ~TfrmRename() override;

    // The whole operation for the topic Editor shows.
    void ShowFor(TTopicViewer* Editor);

    // Why the address Title in Namespace cannot be taken by the topic TopicID
    // of Store, or "" when it can: titles and namespaces hold no ':', a title
    // is not empty, and no other topic has that address (the same topic in
    // another case is fine).
    static std::string RefusalFor(TNotesStore& Store, const std::string& Title, const std::string& Namespace,
                                  int32_t TopicID);
    // The refusal of a title or namespace holding ':' (an address splits at it), wherever one
    // is named.
    static const char* const ColonRefusal;

    std::string OldNamespace;
    std::string OldTitle;
    ITopicWindow* TopicWindow = nullptr;

    TComboBox* cbNamespace = nullptr;
    TEdit* eTopicFile = nullptr;
    TButton* btnCancel = nullptr;
    TButton* btnRegister = nullptr;

private:
    void BuildForm();
    void FormShow(TObject* Sender);
    TLabel* AddLabel(const char* Caption, int Top, int Height);

    // The services of the editor renamed last (the main window's, which outlive this window).
    const mv::app::TTopicServices* FServices = nullptr;
};

extern TfrmRename* frmRename;
