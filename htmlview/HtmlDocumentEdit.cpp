// Moving parsed sections between documents and taking them out.
#include "htmlview/HtmlDocumentEdit.h"

#include <algorithm>
#include <stdexcept>

#include "htmlview/HtmlTextSection.h"

namespace HtmlEdit {

namespace {

// Where a section's text starts in its page, or -1 for a section with no text.
int32_t SourceStart(const TSection* s) {
    return s && !s->SourceIndexList.empty() ? s->SourceIndexList.front().SourceIndex : -1;
}

// A link list holds its runs in the order the parser met them, which is the order of their text
// in the page: the moved section's links go after the last link whose text comes before theirs.
size_t LinkPlace(const std::vector<TFontObj*>& links, int32_t start) {
    for (size_t i = links.size(); i > 0; --i) {
        const int32_t s = SourceStart(links[i - 1]->Section);
        if (s >= 0 && s < start) return i;
    }
    return 0;
}

} // namespace

bool Movable(const TSectionBase& section) {
    const auto* text = dynamic_cast<const TSection*>(&section);
    return text && text->Images.Empty() && text->FormControls.empty();
}

void MoveSection(TSectionList& sourceDoc, TCell& source, int from, TSectionList& doc, TCell& cell, int at,
                 int32_t sourceShift) {
    if (from < 0 || from >= source.Count() || at < 0 || at > cell.Count())
        throw std::out_of_range("Section index out of range");
    if (!Movable(*source.Sections[from])) throw std::logic_error("Only text sections can move");
    auto* text = static_cast<TSection*>(source.Sections[from]);

    // Its links, in order, out of the source document's list.
    std::vector<TFontObj*> moved;
    auto& old = sourceDoc.LinkList;
    for (TFontObj* f : old)
        if (f->Section == text) moved.push_back(f);
    old.erase(std::remove_if(old.begin(), old.end(), [text](TFontObj* f) { return f->Section == text; }),
              old.end());
    if (sourceDoc.HoverLink && sourceDoc.HoverLink->Section == text) sourceDoc.HoverLink = nullptr;

    source.SectionsChanged(from);
    std::unique_ptr<TSectionBase> section = source.Sections.Extract(from);
    for (auto& io : text->SourceIndexList)
        io.SourceIndex += sourceShift;
    section->SetParentSectionList(&doc);
    cell.SectionsChanged(at, section.get());
    cell.Sections.Insert(at, std::move(section));

    auto& links = doc.LinkList;
    links.insert(links.begin() + static_cast<std::ptrdiff_t>(LinkPlace(links, SourceStart(text))),
                 moved.begin(), moved.end());
}

void DeleteSection(TSectionList& doc, TCell& cell, int at) {
    if (at < 0 || at >= cell.Count()) throw std::out_of_range("Section index out of range");
    if (cell.Sections[at]->ParentSectionList != &doc) throw std::logic_error("Section of another document");
    // A text section takes its links out of the document's list as it goes.
    cell.SectionsChanged(at);
    cell.Sections.Delete(at);
}

void ShiftSourcePositions(TCell& cell, int32_t from, int32_t delta) {
    // Each section moves its own: a virtual call, not a chain of casts, for every section of a
    // long page.
    cell.ShiftSourcePositions(from, delta);
}

} // namespace HtmlEdit
