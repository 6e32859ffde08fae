// Moving parsed sections between documents and taking them out.
#include "htmlview/HtmlDocumentEdit.h"

#include <algorithm>
#include <stdexcept>

#include "htmlview/HtmlLinkLines.h"
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

namespace {

TLinkLines* RunAt(TCell& cell, int at) {
    return at >= 0 && at < cell.Count() ? dynamic_cast<TLinkLines*>(cell.Sections[at]) : nullptr;
}

int LinesOf(const TSectionBase& section) {
    const auto* run = dynamic_cast<const TLinkLines*>(&section);
    return run ? run->LineCount() : 1;
}

// Where line `line` of the cell is: its section and its place in that section (0 for a section
// that is not a run). The line after the last is (Count(), 0).
struct TLinePlace {
    int Section = 0, Line = 0;
};
TLinePlace PlaceOf(const TCell& cell, int line) {
    if (line < 0) throw std::out_of_range("Line index out of range");
    for (int i = 0; i < cell.Count(); ++i) {
        const int n = LinesOf(*cell.Sections[i]);
        if (line < n) return {i, line};
        line -= n;
    }
    if (line > 0) throw std::out_of_range("Line index out of range");
    return {cell.Count(), 0};
}

// Sections at and at + 1 become one run when both are runs of one shape: what a parse gives for
// two runs that nothing stands between any more.
void JoinRuns(TCell& cell, int at) {
    TLinkLines* first = RunAt(cell, at);
    TLinkLines* second = RunAt(cell, at + 1);
    if (!first || !second || !first->Join(*second)) return;
    cell.SectionsChanged(at);
    cell.Sections.Delete(at + 1);
}

} // namespace

int LineCount(const TCell& cell) {
    int n = 0;
    for (int i = 0; i < cell.Count(); ++i)
        n += LinesOf(*cell.Sections[i]);
    return n;
}

bool DeleteLine(TSectionList& doc, TCell& cell, int line) {
    const TLinePlace at = PlaceOf(cell, line);
    if (at.Section >= cell.Count()) throw std::out_of_range("Line index out of range");
    if (TLinkLines* run = RunAt(cell, at.Section)) {
        if (run->ParentSectionList != &doc) throw std::logic_error("Section of another document");
        if (run->LineCount() > 1) {
            run->DeleteLine(at.Line);
            cell.SectionsChanged(at.Section);
            return true;
        }
    } else if (!Movable(*cell.Sections[at.Section])) {
        return false;
    }
    DeleteSection(doc, cell, at.Section);
    JoinRuns(cell, at.Section - 1);
    return true;
}

void MoveLine(TSectionList& sourceDoc, TCell& source, int from, TSectionList& doc, TCell& cell, int line,
              int32_t sourceShift) {
    if (from < 0 || from >= source.Count()) throw std::out_of_range("Section index out of range");
    const TLinePlace at = PlaceOf(cell, line);
    auto* text = dynamic_cast<TSection*>(source.Sections[from]);
    if (!doc.CompactLinkLines || !text || !Movable(*text)) {
        MoveSection(sourceDoc, source, from, doc, cell, at.Section, sourceShift);
        return;
    }
    // The line's positions as they are to stand in doc, for a run that keeps them.
    for (auto& io : text->SourceIndexList)
        io.SourceIndex += sourceShift;
    const auto moveText = [&](int to) { MoveSection(sourceDoc, source, from, doc, cell, to, 0); };
    if (TLinkLines* run = RunAt(cell, at.Section); run && at.Line > 0) {
        // Inside a run: it takes the line, or splits around a line of another shape.
        if (run->InsertLine(at.Line, *text)) {
            cell.SectionsChanged(at.Section, run);
            return;
        }
        std::unique_ptr<TSectionBase> tail = run->SplitOff(at.Line);
        cell.SectionsChanged(at.Section);
        tail->SetParentSectionList(&doc);
        cell.Sections.Insert(at.Section + 1, std::move(tail));
        moveText(at.Section + 1);
        return;
    }
    // Between two sections: the run before takes it as its last line, else the run after as its
    // first; else it starts a run of its own, or stays a section.
    if (TLinkLines* before = RunAt(cell, at.Section - 1);
        before && before->InsertLine(before->LineCount(), *text)) {
        cell.SectionsChanged(at.Section - 1, before);
        return;
    }
    if (TLinkLines* after = RunAt(cell, at.Section); after && after->InsertLine(0, *text)) {
        cell.SectionsChanged(at.Section, after);
        return;
    }
    if (std::unique_ptr<TSectionBase> run = TLinkLines::From(*text)) {
        run->SetParentSectionList(&doc);
        cell.SectionsChanged(at.Section, run.get());
        cell.Sections.Insert(at.Section, std::move(run));
        return;
    }
    moveText(at.Section);
}

void ShiftSourcePositions(TCell& cell, int32_t from, int32_t delta) {
    // Each section moves its own: a virtual call, not a chain of casts, for every section of a
    // long page.
    cell.ShiftSourcePositions(from, delta);
}

} // namespace HtmlEdit
