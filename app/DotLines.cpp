// Dot-line rules of the topic editor.
#include "app/DotLines.h"

#include "app/TagEvents.h"
#include "app/TopicAddress.h"
#include "base/StringList.h"

#include <algorithm>

namespace mv::app {

namespace {

bool ContainsText(const std::vector<std::string>& List, const std::string& Item) {
    return std::any_of(List.begin(), List.end(), [&](const std::string& S) { return SameText(S, Item); });
}

} // namespace

std::vector<std::string> TopicLines(std::string_view Text) {
    TStringList List;
    List.SetText(std::string(Text));
    std::vector<std::string> Lines;
    Lines.reserve(static_cast<std::size_t>(List.Count()));
    for (int I = 0; I < List.Count(); ++I)
        Lines.push_back(List[I]);
    return Lines;
}

std::vector<std::string> DotLinesOf(std::string_view Text) {
    std::vector<std::string> DotLines;
    for (std::string& Line : TopicLines(Text))
        if (!Line.empty() && Line.front() == '.') DotLines.push_back(std::move(Line));
    return DotLines;
}

std::string DotLineWord(std::string_view Line) {
    if (Line.empty()) return {};
    const auto Blank = Line.find(' ');
    const std::string_view Word =
        Line.substr(1, Blank == std::string_view::npos ? std::string_view::npos : Blank - 1);
    return LowerCase(Trim(Word));
}

std::vector<std::string> DotLineTags(std::string_view Line) {
    TStringList Items;
    Items.SetDelimiter('.');
    Items.SetQuoteChar('"');
    Items.SetDelimitedText(std::string(Line));
    std::vector<std::string> Tags;
    for (int I = 1; I < Items.Count(); ++I)
        Tags.push_back(LowerCase(Trim(Items[I])));
    return Tags;
}

std::vector<TTagChange> PlanTagChanges(const std::vector<std::string>& NewTags,
                                       const std::vector<std::string>& OldTags) {
    std::vector<TTagChange> Changes;
    const std::size_t Count = std::max(NewTags.size(), OldTags.size());
    for (std::size_t I = 0; I < Count; ++I) {
        if (I < NewTags.size() && !ContainsText(OldTags, NewTags[I]))
            Changes.push_back({TTagChange::TKind::Attach, NewTags[I]});
        if (I < OldTags.size() && !ContainsText(NewTags, OldTags[I]))
            Changes.push_back({TTagChange::TKind::Detach, OldTags[I]});
    }
    return Changes;
}

void RunDotLines(std::string_view Text, bool Loading, const TTagEventTable& Events, TObject* Sender,
                 ITopicTags* Tags) {
    RunDotLines(
        TopicLines(Text), Loading, Events,
        [Sender](const TDotLineHandlerCall& Call) { Call.Handler(Sender); }, Tags);
}

void RunDotLines(const std::vector<std::string>& Lines, bool Loading, const TTagEventTable& Events,
                 const std::function<void(const TDotLineHandlerCall&)>& Call, ITopicTags* Tags) {
    std::vector<std::string> NewTags;
    for (std::size_t Index = 0; Index < Lines.size(); ++Index) {
        const std::string& Line = Lines[Index];
        if (Line.empty() || Line.front() != '.') continue;
        if (const TTagEvent* Event = Events.Find(DotLineWord(Line))) {
            // Copies: a handler may change the table (a nested navigation that loads a plug-in).
            const TNotifyEvent Handler = Loading ? Event->OnLoadTag : Event->OnSaveTag;
            const std::string PluginName = Loading ? Event->LoadPluginName : Event->SavePluginName;
            if (Handler) Call({Handler, PluginName, Lines, Index});
            continue;
        }
        if (!Loading) {
            std::vector<std::string> LineTags = DotLineTags(Line);
            NewTags.insert(NewTags.end(), LineTags.begin(), LineTags.end());
        }
    }
    if (Loading || Tags == nullptr) return;
    for (const TTagChange& Change : PlanTagChanges(NewTags, Tags->ListTopicTags())) {
        if (Change.Kind == TTagChange::TKind::Attach)
            Tags->AttachTag(Change.Title);
        else
            Tags->DetachTag(Change.Title);
    }
}

} // namespace mv::app
