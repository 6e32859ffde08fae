// The "Find Notes" window.
#include "app/Find.h"

#include "app/FindRules.h"
#include "app/FormBuilding.h"
#include "app/TopicDocument.h"
#include "app/NamespaceVisualizer.h"
#include "controls/MvCombobox.h"
#include "controls/MvLibException.h"
#include "gui/ExtCtrls.h"
#include "gui/StdCtrls.h"
#include "store/NotesStore.h"
#include "store/StoreLists.h"

#include "base/StrUtils.h"

TfrmFind* frmFind = nullptr;

namespace {

std::vector<std::string> ItemsOf(TMvCheckedComboBox* Combo) {
    std::vector<std::string> Items;
    for (int i = 0; i < Combo->Items().Count(); ++i)
        Items.push_back(Combo->Items().Get(i));
    return Items;
}

std::string DelimitedText(TMvCheckedComboBox* Combo) {
    std::string S;
    for (int i = 0; i < Combo->Items().Count(); ++i) {
        if (i) S += Combo->Delimiter();
        S += Combo->Items().Get(i);
    }
    return S;
}

} // namespace

void TfrmFind::LogLine(const std::string& Line) {
    if (FServices.Log) FServices.Log(Line);
}

TNotesStore* TfrmFind::Store() const {
    return FServices.Store;
}

TfrmFind::TfrmFind(TComponent* AOwner, const mv::app::TTopicServices& Services)
    : TForm(AOwner), FServices(Services) {
    SetCaption("Find Notes");
    SetPosition(TPosition::poDesigned);
    SetBounds(Left(), Top(), 384, 341);

    alTopicList = new TActionList(this);
    aFilter = NewAction(alTopicList, "aFilter", "&Filter", 0, "", [this](TObject*) { aFilterExecute(); });
    aAllNamespaces = NewAction(alTopicList, "aAllNamespaces", "&All", 0, "", [this](TObject*) {
        ToggleAll(aAllNamespaces, cbNamespaces, CheckBox1, SavedNamespaces, true);
    });
    aAllTags = NewAction(alTopicList, "aAllTags", "A&ll", 0, "",
                         [this](TObject*) { ToggleAll(aAllTags, cbTags, CheckBox2, SavedTags, false); });

    pnlFilter = new TPanel(this);
    pnlFilter->SetParent(this);
    pnlFilter->SetAlign(TAlign::alTop);
    pnlFilter->SetHeight(129);
    pnlFilter->SetBorderWidth(1);
    pnlFilter->SetBevelOuter(TBevelCut::bvNone);
    pnlFilter->OnResize = [this](TObject*) { pnlFilterResize(); };

    lblNamespaces = new TLabel(this);
    lblNamespaces->SetParent(pnlFilter);
    lblNamespaces->SetBounds(8, 8, 120, 16);
    lblNamespaces->SetCaption("from namespaces");
    cbNamespaces = new TMvCheckedComboBox(this);
    cbNamespaces->SetName("cbNamespaces");
    cbNamespaces->SetParent(pnlFilter);
    cbNamespaces->SetBounds(8, 26, 280, 24);
    lblTags = new TLabel(this);
    lblTags->SetParent(pnlFilter);
    lblTags->SetBounds(8, 58, 120, 16);
    lblTags->SetCaption("with tags");
    cbTags = new TMvCheckedComboBox(this);
    cbTags->SetName("cbTags");
    cbTags->SetParent(pnlFilter);
    cbTags->SetBounds(8, 76, 280, 24);
    for (TMvCheckedComboBox* Combo : {cbNamespaces, cbTags}) {
        Combo->SetCapSelectAll("&Select all");
        Combo->SetCapDeSelectAll("&Deselect all");
        Combo->SetNoFocusColor(clWindow);
        Combo->OnChange = [this, Combo](TObject*) { ComboChange(Combo); };
    }
    // The tags are listed when the list first drops down (by the button or its key), not before.
    cbTags->OnButtonClick = [this](TObject*) {
        if (!cbTags->PopupVisible()) EnsureTagsListed();
    };

    CheckBox1 = new TCheckBox(this);
    CheckBox1->SetParent(pnlFilter);
    CheckBox1->SetCaption(aAllNamespaces->Caption());
    CheckBox1->OnClick = [this](TObject*) {
        if (!FSyncing) aAllNamespaces->Execute();
    };
    CheckBox2 = new TCheckBox(this);
    CheckBox2->SetParent(pnlFilter);
    CheckBox2->SetCaption(aAllTags->Caption());
    CheckBox2->OnClick = [this](TObject*) {
        if (!FSyncing) aAllTags->Execute();
    };
    BitBtn1 = new TButton(this);
    BitBtn1->SetParent(pnlFilter);
    BitBtn1->SetCaption("&Find");
    BitBtn1->OnClick = [this](TObject*) { aFilter->Execute(); };

    OnResize = [this](TObject*) {
        if (Visualizer) Visualizer->Render();
    };
    FormCreate();
}

TfrmFind::~TfrmFind() {
    if (frmFind == this) frmFind = nullptr;
}

void TfrmFind::CreateParams(TCreateParams& Params) {
    TForm::CreateParams(Params);
    Params.ExStyle |= WS_EX_APPWINDOW;
}

void TfrmFind::FormCreate() {
    Visualizer = new TNamespaceVisualizer(this);
    Visualizer->SetParent(this);
    Visualizer->SetAlign(TAlign::alClient);
    Visualizer->ShowRootLinks = false;
    Visualizer->SetColor(clWindow);
    Visualizer->SetScrollBars(THvScrollStyle::ssVertical);
    Visualizer->SetBorderStyle(THTMLBorderStyle::htNone);
    Visualizer->SetDefBackground(clWindow);
    Visualizer->SetDefFontColor(clWindowText);
    Visualizer->OnHotSpotClick = [this](TObject* Sender, const std::string& SRC, bool& Handled) {
        VisualizerHotSpotClick(Sender, SRC, Handled);
    };
    // The page is written in the window's font (the forms' default, as the main window's), and
    // its titles measured in it.
    Visualizer->SetDefFontName(Font().Name());
    Visualizer->SetDefFontSize(Font().Size());
    Visualizer->Font().Assign(Font());

    if (TNotesStore* Store = this->Store()) {
        const auto Apply = [&](const char* Key, auto Setter) {
            if (auto V = FindGeometryValue(Store->Properties().Values(Key))) Setter(*V);
        };
        Apply("list.l", [this](int V) { SetLeft(V); });
        Apply("list.t", [this](int V) { SetTop(V); });
        Apply("list.w", [this](int V) { SetWidth(V); });
        Apply("list.h", [this](int V) { SetHeight(V); });
    }
    FillFilterCombos();
    if (TNotesStore* Store = this->Store()) {
        // The filter of the last run: the names it had checked, and "All" where it was on.
        const THashedStringList& P = Store->Properties();
        CheckItemsFromText(P.Values("list.namespaces"), P.Values("list.tags"));
        if (SameText(P.Values("list.namespaces.all"), "True")) aAllNamespaces->Execute();
        if (SameText(P.Values("list.tags.all"), "True")) aAllTags->Execute();
    }
    pnlFilterResize();
}

void TfrmFind::pnlFilterResize() {
    const int W = pnlFilter->Width();
    // The check boxes and the button keep to the right edge.
    CheckBox1->SetBounds(W - 80, 28, 72, 20);
    CheckBox2->SetBounds(W - 80, 78, 72, 20);
    BitBtn1->SetBounds(W - 80, 102, 72, 24);
    for (TMvCheckedComboBox* Combo : {cbNamespaces, cbTags})
        Combo->SetWidth(std::max(W - Combo->Left() - 5 - 88, 40));
}

void TfrmFind::ComboChange(TMvCheckedComboBox* Combo) {
    // Only the word All itself turns a combo to "All"; a name holding the letters
    // (Wallet, small) stays a name.
    if (FindTextIsAll(Combo->Text()) && Combo->Text() != "All") Combo->SetText("All");
}

void TfrmFind::FillFilterCombos() {
    TNotesStore* Store = this->Store();
    cbNamespaces->Clear();
    cbNamespaces->Items().BeginUpdate();
    cbNamespaces->Items().Add(kFindDefaultNamespace);
    if (Store)
        if (auto Namespaces = Store->ListNamespaces())
            for (int i = 0; i < Namespaces->Count(); ++i) {
                const std::string Name = ListLineTitle(Namespaces->Get(i));
                if (!Name.empty()) cbNamespaces->Items().Add(Name);
            }
    cbNamespaces->Items().EndUpdate();
    LogLine("ListOptions " + DelimitedText(cbNamespaces));
    if (FTagsListed && (!Store || Store->TagsVersion() != FTagsVersion)) {
        ListTags();
    } else {
        // The same tags again: the ticks and the text go, as they go when the items are listed
        // anew, and the items stay. Tags never listed have neither.
        cbTags->Items().BeginUpdate();
        cbTags->Items().EndUpdate();
    }
}

void TfrmFind::EnsureTagsListed() {
    if (!FTagsListed) ListTags();
}

void TfrmFind::ListTags() {
    TNotesStore* Store = this->Store();
    // Listing clears the text and the ticks. The first listing puts the text back: until then it
    // could only be empty or "All" (the combo is off then), and nothing was ticked.
    const std::string Text = cbTags->Text();
    cbTags->Clear();
    cbTags->Items().BeginUpdate();
    if (Store)
        if (auto Tags = Store->ListTags())
            for (int i = 0; i < Tags->Count(); ++i)
                cbTags->Items().Add(ListLineTitle(Tags->Get(i)));
    cbTags->Items().EndUpdate();
    if (!FTagsListed) cbTags->SetText(Text);
    FTagsListed = Store != nullptr;
    FTagsVersion = Store ? Store->TagsVersion() : 0;
    LogLine("ListTags " + DelimitedText(cbTags));
}

void TfrmFind::CheckNamed(TMvCheckedComboBox* Combo, const std::string& Text) {
    if (Text.empty()) return;
    if (Combo == cbTags) EnsureTagsListed();
    try {
        for (int Index : FindItemsNamed(ItemsOf(Combo), Text, Combo->Delimiter()))
            Combo->SetItemChecked(Index, true);
    } catch (const EMvLibException& E) {
        // A combo that is full keeps what it has; the rest of the names stay unchecked.
        LogLine(std::string("CheckOptions stopped: ") + E.what());
    }
}

void TfrmFind::CheckItemsFromText(const std::string& NamespaceText, const std::string& TagText) {
    LogLine("CheckOptions " + UpperCase(NamespaceText) + " // " + UpperCase(TagText));
    CheckNamed(cbNamespaces, NamespaceText);
    CheckNamed(cbTags, TagText);
}

void TfrmFind::SyncBox(TCheckBox* Box, TAction* Action) {
    FSyncing = true;
    Box->SetChecked(Action->Checked());
    FSyncing = false;
}

void TfrmFind::ToggleAll(TAction* Action, TMvCheckedComboBox* Combo, TCheckBox* Box, std::string& Saved,
                         bool ForNamespaces) {
    Action->SetChecked(!Action->Checked());
    Combo->SetEnabled(!Action->Checked());
    SyncBox(Box, Action);
    if (Action->Checked()) {
        Saved = Combo->Text();
        Combo->SetText("All");
        return;
    }
    Combo->SetText("");
    if (ForNamespaces)
        CheckItemsFromText(Saved, "");
    else
        CheckItemsFromText("", Saved);
    Combo->SetText(Saved);
}

void TfrmFind::aFilterExecute() {
    FFound.clear();
    if (Trim(cbTags->Text()).empty() && !aAllTags->Checked()) aAllTags->Execute();
    if (Trim(cbNamespaces->Text()).empty() && !aAllNamespaces->Checked()) aAllNamespaces->Execute();
    std::unique_ptr<TStringList> Tags;
    if (!aAllTags->Checked()) {
        Tags = std::make_unique<TStringList>();
        for (int i = 0; i < cbTags->Items().Count(); ++i)
            if (cbTags->IsItemChecked(i)) Tags->Add(cbTags->Items().Get(i));
    }
    if (aAllNamespaces->Checked())
        AddAllNamespaceResults(Tags.get());
    else
        for (int i = 0; i < cbNamespaces->Items().Count(); ++i)
            if (cbNamespaces->IsItemChecked(i)) AddNamespaceResults(cbNamespaces->Items().Get(i), Tags.get());
    ShowFound();
}

// The search replaces the list, but titles found again stay where they are: the boxes that keep
// their titles keep their part of the page, and a search that finds what is shown (every
// activation searches again) changes nothing on screen. When more lines go than the page takes
// out one by one, it is written anew whatever happens, so the list starts again from empty.
void TfrmFind::ShowFound() {
    // More shown than found by more than the page takes out one by one: at least that many go,
    // and none needs looking up (nor the shown titles copied).
    const size_t ShownCount = Visualizer->TitleCount();
    bool StartEmpty = ShownCount > FFound.size() + TNamespacePage::MaxEdits;
    std::vector<std::pair<std::string, std::vector<std::string>>> Shown;
    if (!StartEmpty)
        for (std::string& Namespace : Visualizer->Namespaces()) {
            std::vector<std::string> Titles = Visualizer->Titles(Namespace);
            Shown.emplace_back(std::move(Namespace), std::move(Titles));
        }
    // Otherwise the entries shown and not found, looked up in a set of the smaller side.
    std::vector<std::pair<const std::string*, const std::string*>> Gone;
    if (!StartEmpty && ShownCount > 0) {
        TFindEntrySet Kept;
        if (FFound.size() <= ShownCount) {
            for (const auto& [Item, Title] : FFound)
                Kept.Insert(Item, Title);
        } else {
            // Many found, few shown: the shown ones that were found.
            TFindEntrySet ShownSet;
            for (const auto& [Namespace, Titles] : Shown)
                for (const std::string& Title : Titles)
                    ShownSet.Insert(Namespace, Title);
            for (const auto& [Item, Title] : FFound)
                if (ShownSet.Contains(Item, Title)) Kept.Insert(Item, Title);
        }
        for (const auto& [Namespace, Titles] : Shown)
            for (const std::string& Title : Titles)
                if (!Kept.Contains(Namespace, Title)) Gone.emplace_back(&Namespace, &Title);
        StartEmpty = Gone.size() > TNamespacePage::MaxEdits;
    }
    if (StartEmpty) {
        Visualizer->Clear();
    } else {
        for (const auto& [Namespace, Title] : Gone)
            Visualizer->RemoveEntry(*Namespace, *Title);
    }
    for (const auto& [Item, Title] : FFound)
        Visualizer->AddEntry(Item, Title);
    FFound.clear();
    Visualizer->Render();
}

void TfrmFind::AddResult(std::string ItemText, std::string Title) {
    FFound.emplace_back(std::move(ItemText), std::move(Title));
}

void TfrmFind::AddAllNamespaceResults(const TStrings* Tags) {
    TNotesStore* Store = this->Store();
    if (!Store) return;
    // One query for every namespace: asking once per namespace costs a query for each of
    // hundreds of namespaces, most of which hold none of the tags.
    for (TPlacedTopic& Topic : Store->FindTopicsWithNamespaces(Tags))
        AddResult(FindItemOfNamespace(Topic.NameSpace), std::move(Topic.Title));
}

void TfrmFind::AddNamespaceResults(const std::string& ItemText, const TStrings* Tags) {
    TNotesStore* Store = this->Store();
    if (!Store) return;
    const std::string Namespace = FindNamespaceOfItem(ItemText);
    if (!Tags || Tags->Count() == 0) {
        for (std::string& Title : Store->FindTopicTitles(Namespace))
            AddResult(ItemText, std::move(Title));
        return;
    }
    std::unique_ptr<TStringList> Result = Store->FindTopics(Namespace, Tags, "");
    if (!Result) return;
    for (int i = 0; i < Result->Count(); ++i)
        AddResult(ItemText, ListLineTitle(Result->Get(i)));
}

void TfrmFind::ReapplyFilterState() {
    // "All" stands for every item only while its box is on; otherwise the text names
    // items (a namespace may well be called All).
    const bool AllNamespaces = aAllNamespaces->Checked() && FindTextIsAll(cbNamespaces->Text());
    const bool AllTags = aAllTags->Checked() && FindTextIsAll(cbTags->Text());
    const std::string Namespaces = UpperCase(cbNamespaces->Text());
    const std::string Tags = UpperCase(cbTags->Text());
    FillFilterCombos();
    if (AllNamespaces) cbNamespaces->SetText("All");
    if (AllTags) cbTags->SetText("All");
    CheckItemsFromText(AllNamespaces ? std::string() : Namespaces, AllTags ? std::string() : Tags);
    aFilter->Execute();
}

void TfrmFind::SaveFindState() {
    TNotesStore* Store = this->Store();
    if (!Store) return;
    THashedStringList& P = Store->Properties();
    P.SetValue("list.l", std::to_string(Left()));
    P.SetValue("list.t", std::to_string(Top()));
    P.SetValue("list.w", std::to_string(Width()));
    P.SetValue("list.h", std::to_string(Height()));
    P.SetValue("list.namespaces.all", aAllNamespaces->Checked() ? "True" : "False");
    if (aAllNamespaces->Checked()) aAllNamespaces->Execute();
    P.SetValue("list.namespaces", cbNamespaces->Text());
    P.SetValue("list.tags.all", aAllTags->Checked() ? "True" : "False");
    if (aAllTags->Checked()) aAllTags->Execute();
    P.SetValue("list.tags", cbTags->Text());
    P.SetValue("list.visible", Visible() ? "True" : "False");
}

void TfrmFind::VisualizerHotSpotClick(TObject*, const std::string& SRC, bool& Handled) {
    if (SRC.empty() || !FServices.ShowTopic) return;
    // The main window reads the address ("default:" names the default namespace).
    FServices.ShowTopic(SRC, "");
    Handled = true;
}

bool TfrmFind::OwnWindow(HWND Wnd) {
    DWORD Process = 0;
    return Wnd && GetWindowThreadProcessId(Wnd, &Process) && Process == GetCurrentProcessId();
}

bool TfrmFind::PartOfThisWindow(HWND Wnd) {
    if (!Wnd || !HandleAllocated()) return false;
    for (HWND W = GetAncestor(Wnd, GA_ROOT); W; W = GetWindow(W, GW_OWNER))
        if (W == Handle()) return W != Wnd;
    return false;
}

void TfrmFind::FormActivate() {
    ReapplyFilterState();
}

void TfrmFind::FormDeactivate() {
    SaveFindState();
}

void TfrmFind::WndProc(TMessage& Message) {
    if (Message.Msg == WM_ACTIVATE) {
        TForm::WndProc(Message);
        // Only a move between the program's own windows counts: switching to another
        // program and back changes nothing the finder shows or keeps.
        HWND Other = reinterpret_cast<HWND>(Message.LParam);
        const bool Ours = OwnWindow(Other);
        // A combo's drop-down list is part of this window: the activation going to it, or
        // coming back from it, is no move to or from another window.
        if (PartOfThisWindow(Other)) return;
        try {
            if (LOWORD(Message.WParam) != WA_INACTIVE) {
                if (Ours || !Other) FormActivate();
            } else if (Ours) {
                FormDeactivate();
            }
        } catch (const std::exception& E) {
            LogLine(std::string("Find: ") + E.what());
        }
        return;
    }
    TForm::WndProc(Message);
}

void TfrmFind::DoClose(TCloseAction& Action) {
    SaveFindState();
    TForm::DoClose(Action);
}
