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
    FTopicFile = Title;
    FNamespace = Namespace;
    FTopicID = ID;
    if (Created) {
        FText.ClearContent();
    } else {
        if (auto Content = S.GetTopic(ID, WindowRect)) FText.LoadContent(*Content);
        if (auto MetaStream = S.GetTopicMeta(ID)) {
            Meta.Clear();
            Meta.LoadFromStream(*MetaStream);
        }
    }
    ProcessDotLines(true);
    FValid = true;
}

void TTopicDocument::SaveTopic(const std::string& Title, const std::string& Namespace) {
    if (!FValid || FTopicID < 0) return;
    const std::string NewTitle = Title == "*" ? FTopicFile : Title;
    const std::string NewNamespace = Namespace == "*" ? FNamespace : Namespace;
    if (FServices.Log) FServices.Log("Save note: " + NewNamespace + " " + NewTitle);
    TNotesStore& S = Store();
    ProcessDotLines(false);
    {
        TStringStream Content;
        FText.SaveContent(Content);
        Content.SetPosition(0);
        S.SaveTopic(FTopicID, NewNamespace, WindowRect, Content, NewTitle);
    }
    {
        // Saving the content cleared the stored meta lines: write them right after.
        TStringStream MetaStream;
        Meta.SaveToStream(MetaStream);
        MetaStream.SetPosition(0);
        S.SetTopicMeta(FTopicID, MetaStream);
    }
    FNamespace = NewNamespace;
    FTopicFile = NewTitle;
}

void TTopicDocument::ProcessDotLines(bool Loading) {
    const TTagEventTable& Events = FServices.TagEvents ? *FServices.TagEvents : NoTagEvents();
    if (Loading) {
        RunDotLines(FText.PlainText(), true, Events, FSender, nullptr);
        return;
    }
    TStoreTopicTags Tags(Store(), FTopicID);
    RunDotLines(FText.PlainText(), false, Events, FSender, &Tags);
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
