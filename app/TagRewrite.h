// A tag renamed, merged or deleted in the tag manager, carried into the text of a note: the
// edits of its tag dot-lines. Only whole tag words on dot-lines change; lines whose word a
// plug-in registered are not tag lines. Plain C++, no windows.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace mv::app {

class TTagEventTable;

// Replace Length bytes at Offset with Text.
struct TTextEdit {
    std::size_t Offset = 0;
    std::size_t Length = 0;
    std::string Text;
    bool operator==(const TTextEdit&) const = default;
};

// The edits, in text order and not overlapping, that turn every tag Old (ASCII case ignored) on
// the tag dot-lines of Text (paragraphs end at CR LF, CR or LF) into New:
// - New not empty: the tag word becomes New (quoted when it holds a blank, a dot or a quote).
//   When the note's tag lines list New already (a merge), each Old goes instead, so the note
//   lists the word once.
// - New empty: the tag goes with the separator before it (after it, for a line's first tag);
//   a line left without tags goes with its paragraph break.
std::vector<TTextEdit> PlanTagRewrite(std::string_view Text, std::string_view Old, std::string_view New,
                                      const TTagEventTable& Events);

// Text with Edits (as PlanTagRewrite gives them) made.
std::string ApplyTextEdits(std::string_view Text, const std::vector<TTextEdit>& Edits);

} // namespace mv::app
