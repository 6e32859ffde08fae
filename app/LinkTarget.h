// Works out which topic a double-clicked word links to, from the editor's text
// and the selection the control made. Plain C++, no windows: the topic editor
// applies the result to the control.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mv::app {

struct TLinkTarget {
    // False when the double-click names no topic: nothing is marked or opened.
    bool Follow = false;
    // The selection to mark as a link, in the control's character positions.
    std::int32_t SelStart = 0;
    std::int32_t SelLength = 0;
    // What to hand to the main window's ShowTopic. Title may still begin with
    // ":" (a word after a lone colon), which ShowTopic reads as the default
    // namespace.
    std::string Title;
    std::string Namespace;
};

// Text holds the control's whole text, one char per character position;
// [SelStart, SelStart + SelLength) is the selection the double-click made.
// OwnNamespace is the namespace of the topic being edited: a bare word links
// there, a word after a colon links to the default namespace, and ns:title to
// namespace ns, whichever half was clicked.
TLinkTarget ResolveLinkTarget(std::string_view Text, std::int32_t SelStart, std::int32_t SelLength,
                              std::string_view OwnNamespace);

// The same for the word at character position Pos (where a double-click fell),
// whatever the control selected: the run of word characters Pos is in, or the
// one that ends right before it (the right half of a word's last character, or
// past the end of its line); else a colon at or right before Pos.
TLinkTarget ResolveLinkAt(std::string_view Text, std::int32_t Pos, std::string_view OwnNamespace);

} // namespace mv::app
