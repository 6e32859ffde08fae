// TfrmFind: the "Find Notes" window. It lists the topics of the namespaces checked
// in one combo that carry the tags checked in the other, as the side panel's list
// of links, and remembers its place and filter in the store's property list.
#pragma once

#include "gui/ActnList.h"
#include "gui/Forms.h"

#include <string>
#include <utility>
#include <vector>

class TMvCheckedComboBox;
class TStrings;
class TNamespaceVisualizer;
class TPanel;
class TLabel;
class TCheckBox;
class TButton;
class TNotesStore;
namespace mv::app {
struct TTopicServices;
}

class TfrmFind : public TForm {
public:
    // Services are the main window's, which outlive this window.
    TfrmFind(TComponent* AOwner, const mv::app::TTopicServices& Services);
    ~TfrmFind() override;

    void WndProc(TMessage& Message) override;

    // The steps of the window, public for the program and its tests.
    // Lists the namespaces anew; the tags only when they were listed before and the store's tags
    // changed since (else their ticks and text are cleared, as listing them anew clears them).
    void FillFilterCombos();
    // The tag combo's items are read from the store when they are first needed: its list drops
    // down, or names are ticked in it. Until then it holds none, and so no ticks either.
    void EnsureTagsListed();
    bool TagsListed() const { return FTagsListed; }
    void CheckItemsFromText(const std::string& NamespaceText, const std::string& TagText);
    void AddNamespaceResults(const std::string& ItemText, const TStrings* Tags);
    // The results of every namespace at once, each under its combo item's text.
    void AddAllNamespaceResults(const TStrings* Tags);
    void ReapplyFilterState();
    void SaveFindState();
    void VisualizerHotSpotClick(TObject* Sender, const std::string& SRC, bool& Handled);

    TPanel* pnlFilter = nullptr;
    TLabel* lblNamespaces = nullptr;
    TLabel* lblTags = nullptr;
    TMvCheckedComboBox* cbNamespaces = nullptr;
    TMvCheckedComboBox* cbTags = nullptr;
    TCheckBox* CheckBox1 = nullptr;
    TCheckBox* CheckBox2 = nullptr;
    TButton* BitBtn1 = nullptr;
    TActionList* alTopicList = nullptr;
    TAction* aFilter = nullptr;
    TAction* aAllNamespaces = nullptr;
    TAction* aAllTags = nullptr;
    TNamespaceVisualizer* Visualizer = nullptr;
    std::string SavedNamespaces;
    std::string SavedTags;

protected:
    void CreateParams(TCreateParams& Params) override;
    void DoClose(TCloseAction& Action) override;

private:
    void FormCreate();
    void FormActivate();
    void FormDeactivate();
    void pnlFilterResize();
    void ComboChange(TMvCheckedComboBox* Combo);
    void aFilterExecute();
    // "All" of one combo switched on or off; Saved holds its text from before.
    void ToggleAll(TAction* Action, TMvCheckedComboBox* Combo, TCheckBox* Box, std::string& Saved,
                   bool ForNamespaces);
    // Checks the items named in Text; a full combo stops the checking (logged).
    void CheckNamed(TMvCheckedComboBox* Combo, const std::string& Text);
    void SyncBox(TCheckBox* Box, TAction* Action);
    // Adds a title found by the search running now.
    void AddResult(std::string ItemText, std::string Title);
    // Shows what the search found in place of what the list showed.
    void ShowFound();
    static bool OwnWindow(HWND Wnd);
    // Whether Wnd is a window this one owns (a combo's drop-down list), not this one itself.
    bool PartOfThisWindow(HWND Wnd);

    void ListTags();
    void LogLine(const std::string& Line);
    // The store while one is open, else nullptr.
    TNotesStore* Store() const;

    const mv::app::TTopicServices& FServices;
    bool FSyncing = false;
    bool FTagsListed = false;
    int64_t FTagsVersion = 0; // the store's TagsVersion when the tags were listed
    // While a search runs: what it found, as namespace items and titles.
    std::vector<std::pair<std::string, std::string>> FFound;
};

extern TfrmFind* frmFind;
