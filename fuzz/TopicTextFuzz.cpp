// A topic's text as the topic editor reads it, on arbitrary bytes: its dot-lines,
// their words and tags, the tag links a save makes, and the link a double-click
// follows. Each result must keep the promises the editor relies on.
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/DotLines.h"
#include "app/LinkTarget.h"
#include "app/TopicAddress.h"
#include "base/StrUtils.h"

using namespace mv::app;

namespace {

void Require(bool Condition) {
    if (!Condition) std::abort();
}

bool Trimmed(const std::string& S) {
    return S.empty() ||
           (static_cast<unsigned char>(S.front()) > ' ' && static_cast<unsigned char>(S.back()) > ' ');
}

bool NoUpperCase(const std::string& S) {
    for (char C : S)
        if (C >= 'A' && C <= 'Z') return false;
    return true;
}

bool AllWordChars(std::string_view S) {
    for (char C : S)
        if (!IsWordChar(C)) return false;
    return true;
}

std::string_view WithoutLeadingColon(std::string_view S) {
    return !S.empty() && S.front() == ':' ? S.substr(1) : S;
}

// Tags as the store keeps them: one link per tag, whatever the case.
std::set<std::string> Folded(const std::vector<std::string>& Tags) {
    std::set<std::string> Set;
    for (const std::string& T : Tags)
        Set.insert(LowerCase(T));
    return Set;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 8192) return 0;
    const std::string_view Text(data ? reinterpret_cast<const char*>(data) : "", size);

    // Dot-lines: whole paragraphs beginning with a dot; words and tags trimmed and lower-cased.
    std::vector<std::vector<std::string>> LineTags;
    for (const std::string& Line : DotLinesOf(Text)) {
        Require(!Line.empty() && Line.front() == '.');
        Require(Line.find_first_of("\r\n") == std::string::npos);
        const std::string Word = DotLineWord(Line);
        Require(Trimmed(Word) && NoUpperCase(Word));
        LineTags.push_back(DotLineTags(Line));
        for (const std::string& Tag : LineTags.back())
            Require(Trimmed(Tag) && NoUpperCase(Tag));
    }

    // Saving with the tags of one line over the stored tags of another leaves
    // exactly the new line's tags, whatever their case and repetitions.
    if (LineTags.size() >= 2) {
        const std::vector<std::string>& New = LineTags[0];
        std::vector<std::string> Old = LineTags[1];
        for (std::string& T : Old)
            if (!T.empty()) T[0] = static_cast<char>(UpperCase(T.substr(0, 1))[0]);
        std::set<std::string> Stored = Folded(Old);
        for (const TTagChange& Change : PlanTagChanges(New, Old)) {
            if (Change.Kind == TTagChange::TKind::Attach)
                Stored.insert(LowerCase(Change.Title));
            else
                Stored.erase(LowerCase(Change.Title));
        }
        Require(Stored == Folded(New));
    }

    // A double-click on any range: what is followed lies inside the text, the
    // marked range ends with the title, and title and namespace are link words.
    if (size >= 2) {
        const std::int32_t Length = static_cast<std::int32_t>(size);
        const std::int32_t Start = data[0] % (Length + 1);
        const std::int32_t Count = data[1] % 24;
        const TLinkTarget Link = ResolveLinkTarget(Text, Start, Count, "own");
        Require(Link.SelStart >= 0 && Link.SelLength >= 0 && Link.SelStart + Link.SelLength <= Length);
        if (Link.Follow) {
            const std::string_view Marked = Text.substr(Link.SelStart, Link.SelLength);
            Require(Marked.size() >= Link.Title.size() &&
                    Marked.substr(Marked.size() - Link.Title.size()) == Link.Title);
            // A leading colon (a word after a lone colon) means the default namespace.
            Require(AllWordChars(WithoutLeadingColon(Link.Title)));
            Require(Link.Namespace == "own" || AllWordChars(WithoutLeadingColon(Link.Namespace)));
        }
    }
    return 0;
}
