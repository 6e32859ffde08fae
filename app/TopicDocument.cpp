// Loading and saving the topic of a topic editor.
#include "app/TopicDocument.h"

#include "app/DotLines.h"
#include "app/TagEvents.h"
#include "base/Exceptions.h"

namespace mv::app {

namespace {

// The tag links of one topic through the store.
class TStoreTopicTags : public ITopicTags {
public:
    TStoreTopicTags(TNotesStore& Store, int32_t TopicID) : FStore(Store), FTopicID(TopicID) {}
    std::vector<std::string> ListTopicTags() override {
        std::vector<std::string> Tags;
        if (auto List = FStore.ListTopicTags(FTopicID))
            for (int I = 0; I < List->Count(); ++I)
                Tags.push_back(List->Get(I));
        return Tags;
    }
    void AttachTag(const std::string& Title) override { FStore.AttachTag(FTopicID, Title); }
    void DetachTag(const std::string& Title) override { FStore.DetachTag(FTopicID, Title); }

private:
    TNotesStore& FStore;
    int32_t FTopicID;
};

// Text for a message: at most Limit characters, the cut marked.
std::string Cut(const std::string& Text, std::size_t Limit) {
    return Text.size() <= Limit ? Text : Text.substr(0, Limit) + "...";
}

const TTagEventTable& NoTagEvents() {
    static const TTagEventTable Empty;
    return Empty;
}

} // namespace

TTopicDocument::TTopicDocument(ITopicText& Text, const TTopicServices& Services, TObject* Sender)
    : FText(Text), FServices(Services), FSender(Sender) {}

TNotesStore& TTopicDocument::Store() const {
    if (FServices.Store == nullptr) throw EInvalidOperation("The notes store is not open");
    return *FServices.Store;
}

void TTopicDocument::LoadTopic(const std::string& Title, const std::string& Namespace) {
    TNotesStore& S = Store();
    bool Created = true;
    const int32_t ID = S.FindTopic(Namespace, Title, Created);
    if (ID < 0) throw EInvalidOperation("The topic " + Namespace + ":" + Title + " could not be created");
    // Everything is read before the shown topic changes: a read that fails (a
    // locked or damaged file) leaves the document on the topic it shows, so its
    // next save writes that topic's text under that topic's id.
    TTopicRect Rect = WindowRect;
    std::unique_ptr<TStringStream> Content;
    std::unique_ptr<TStringStream> MetaStream;
    if (!Created) {
        Content = S.GetTopic(ID, Rect);
        MetaStream = S.GetTopicMeta(ID);
    }
    // While the editor takes the new text the document shows no topic: if that
    // fails, neither topic's id may be saved with what the editor holds.
    FValid = false;
    if (Created)
        FText.ClearContent();
    else if (Content)
        FText.LoadContent(*Content);
    WindowRect = Rect;
    if (MetaStream) {
        Meta.Clear();
        Meta.LoadFromStream(*MetaStream);
    }
    FTopicFile = Title;
    FNamespace = Namespace;
    FTopicID = ID;
    // Before the load handlers: what they change is written when the topic is left.
    KeepAsStored(FText.PlainText());
    FStored = !Created;
    FWriteMark = 0;
    ProcessDotLines(true);
    FValid = true;
}

void TTopicDocument::KeepAsStored(std::string PlainText) {
    FText.SetModified(false);
    FStoredText = std::move(PlainText);
    FStoredMeta = Meta.Text();
    FStoredRect = WindowRect;
    FStored = true;
}

bool TTopicDocument::Changed() {
    if (FWriteMark != 0 && FServices.Store && FServices.Store->WriteLost(FWriteMark)) return true;
    return !FStored || FText.Modified() || Meta.Text() != FStoredMeta || WindowRect.X != FStoredRect.X ||
           WindowRect.Y != FStoredRect.Y || WindowRect.W != FStoredRect.W || WindowRect.H != FStoredRect.H ||
           FText.PlainText() != FStoredText;
}

bool TTopicDocument::Unsaved() {
    if (!FValid || FTopicID < 0) return false;
    if (Changed()) return true;
    return FWriteMark != 0 && FServices.Store && !FServices.Store->WriteCommitted(FWriteMark);
}

void TTopicDocument::SaveTopic(const std::string& Title, const std::string& Namespace) {
    if (!FValid || FTopicID < 0) return;
    const std::string NewTitle = Title == "*" ? FTopicFile : Title;
    const std::string NewNamespace = Namespace == "*" ? FNamespace : Namespace;
    TNotesStore& S = Store();
    RunDotLines(false, NewTitle, NewNamespace);
    // Leaving a topic as it was loaded writes nothing (a picture's RTF is megabytes).
    if (NewTitle == FTopicFile && NewNamespace == FNamespace && !Changed()) return;
    if (FServices.Log) FServices.Log("Save note: " + NewNamespace + " " + NewTitle);
    {
        TStringStream Content;
        FText.SaveContent(Content);
        Content.SetPosition(0);
        TStringStream MetaStream;
        Meta.SaveToStream(MetaStream);
        MetaStream.SetPosition(0);
        S.SaveTopic(FTopicID, NewNamespace, WindowRect, Content, NewTitle, MetaStream);
    }
    FNamespace = NewNamespace;
    FTopicFile = NewTitle;
    KeepAsStored(FText.PlainText());
    // Stored only for now: the commit that follows may still fail and take it back.
    FWriteMark = S.WriteMark();
}

void TTopicDocument::ProcessDotLines(bool Loading) {
    RunDotLines(Loading, FTopicFile, FNamespace);
}

void TTopicDocument::RunDotLines(bool Loading, const std::string& Title, const std::string& Namespace) {
    const TTagEventTable& Events = FServices.TagEvents ? *FServices.TagEvents : NoTagEvents();
    TMvPluginTopicView View;
    View.Title = Title;
    View.Namespace = Namespace;
    View.Lines = TopicLines(FText.PlainText());
    auto Call = [&](const TDotLineHandlerCall& Due) {
        // A handler may open another topic (and run that topic's handlers) before it returns.
        const TMvPluginTopicView* Outer = FHandlerTopic;
        View.DotLineIndex = static_cast<int>(Due.LineIndex);
        FHandlerTopic = &View;
        std::string Failure;
        try {
            Due.Handler(FSender);
        } catch (const std::exception& E) {
            Failure = E.what();
            if (Failure.empty()) Failure = "an error without a text";
        } catch (...) {
            Failure = "an unknown error";
        }
        FHandlerTopic = Outer;
        if (!Failure.empty())
            ReportHandlerFailure(Due.PluginName, View.Namespace + ":" + View.Title, Due.Lines[Due.LineIndex],
                                 Failure);
    };
    if (Loading) {
        mv::app::RunDotLines(View.Lines, true, Events, Call, nullptr);
        return;
    }
    TStoreTopicTags Tags(Store(), FTopicID);
    mv::app::RunDotLines(View.Lines, false, Events, Call, &Tags);
}

void TTopicDocument::ReportHandlerFailure(const std::string& PluginName, const std::string& Address,
                                          const std::string& Line, const std::string& Reason) {
    // Module failures already say "Plugin <name>: <reason>"; say it once.
    std::string Why = Reason;
    const std::string Prefix = "Plugin " + PluginName + ": ";
    if (!PluginName.empty() && Why.compare(0, Prefix.size(), Prefix) == 0) Why.erase(0, Prefix.size());
    const std::string Who = PluginName.empty() ? std::string("A plugin") : "The plugin " + PluginName;
    const std::string Text = Who + " failed on the line \"" + Cut(Line, 200) + "\" of " + Address + ": " +
                             Cut(Why, 1000) + "\rThe line was skipped.";
    try {
        if (FServices.ReportPluginFailure)
            FServices.ReportPluginFailure(Text);
        else if (FServices.Log)
            FServices.Log(Text);
    } catch (...) {
        // The report is a courtesy: the load or save it interrupts must go on.
    }
}

void TTopicDocument::AttachTag(const std::string& TagTitle) {
    Store().AttachTag(FTopicID, TagTitle);
}

void TTopicDocument::DetachTag(const std::string& TagTitle) {
    Store().DetachTag(FTopicID, TagTitle);
}

std::unique_ptr<TStringList> TTopicDocument::ListTags() {
    return Store().ListTopicTags(FTopicID);
}

} // namespace mv::app
