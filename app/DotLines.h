// Dot-lines of a topic's text: the logical lines that begin with ".", their
// first word, the tags they list, and how the stored tag links are brought
// into line with them. Plain C++, no windows.
#pragma once

#include "base/Object.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace mv::app {

class TTagEventTable;

// The lines of a topic's text, split at paragraph breaks (CR LF, CR or LF).
std::vector<std::string> TopicLines(std::string_view Text);

// The dot-lines of a text, first to last. The text is split at paragraph
// breaks (CR LF, CR or LF), whatever the width of the window that shows it: a
// long dot-line is one line however it wraps.
std::vector<std::string> DotLinesOf(std::string_view Text);

// The word of a dot-line: the text after the dot up to the first blank,
// trimmed and lower-cased (ASCII).
std::string DotLineWord(std::string_view Line);

// The tags a dot-line lists. The line is split as delimited text with "." as
// the delimiter and the double quote as the quote character (blanks separate
// items as dots do; a trailing dot gives a final empty item); every item after
// the first (the text before the dot, always empty), trimmed and lower-cased,
// is a tag. ".work plan.home" gives work, plan and home; ".a..b" gives a,
// an empty tag and b.
std::vector<std::string> DotLineTags(std::string_view Line);

struct TTagChange {
    enum class TKind { Attach, Detach };
    TKind Kind;
    std::string Title;
    bool operator==(const TTagChange&) const = default;
};

// The store calls that bring OldTags (the topic's stored tags) into line with
// NewTags (the tags its dot-lines list), in the order they are made: by index,
// an attach of NewTags[i] when it is not among OldTags, then a detach of
// OldTags[i] when it is not among NewTags. Membership ignores ASCII case and
// is tested against the lists as given.
std::vector<TTagChange> PlanTagChanges(const std::vector<std::string>& NewTags,
                                       const std::vector<std::string>& OldTags);

// The tags of one topic as the store keeps them.
class ITopicTags {
public:
    virtual std::vector<std::string> ListTopicTags() = 0;
    virtual void AttachTag(const std::string& Title) = 0;
    virtual void DetachTag(const std::string& Title) = 0;

protected:
    ~ITopicTags() = default;
};

// Runs the dot-lines of a topic's text as it loads (Loading) or saves. A line
// whose word is registered in Events belongs to that registration: its load or
// save handler is called with Sender, and the line is never a tag line. Any
// other dot-line lists tags; on saving, Tags is brought into line with them
// (PlanTagChanges). Loading never touches tags. A handler's exception
// propagates and stops the run.
void RunDotLines(std::string_view Text, bool Loading, const TTagEventTable& Events, TObject* Sender,
                 ITopicTags* Tags);

// One plug-in handler that is due: the dot-line at LineIndex of Lines.
struct TDotLineHandlerCall {
    const TNotifyEvent& Handler;
    const std::string& PluginName;
    const std::vector<std::string>& Lines;
    std::size_t LineIndex;
};

// RunDotLines over Lines (TopicLines of the text), with the handlers run by
// Call, which decides what the handler sees and what its failure costs.
void RunDotLines(const std::vector<std::string>& Lines, bool Loading, const TTagEventTable& Events,
                 const std::function<void(const TDotLineHandlerCall&)>& Call, ITopicTags* Tags);

} // namespace mv::app
