// Small edits of a parsed document that stand for parsing a page again with a few paragraphs more
// or fewer: a text section parsed from a small page is moved into a cell, or a section is taken
// out. The document is then laid out again by its owner; sections that did not change keep their
// lines and only move, so the edit costs the new lines and a walk over the rest, not a new parse.
#pragma once

#include <cstdint>

#include "htmlview/HtmlSections.h"

namespace HtmlEdit {

// Whether a section can move between documents: text with no pictures or form controls in it
// (those are registered with their document's forms and picture requests).
bool Movable(const TSectionBase& section);

// Moves section `from` of `source` (a cell of `sourceDoc`) into `cell` of `doc` before index `at`.
// The section's links leave sourceDoc's link list and join doc's in document order; sourceShift is
// added to its source positions (the offset of its text in doc's page less that in sourceDoc's).
// Shift doc's own positions for the inserted text first: links are placed by their text's place.
// Throws std::logic_error for a section that is not Movable.
void MoveSection(TSectionList& sourceDoc, TCell& source, int from, TSectionList& doc, TCell& cell, int at,
                 int32_t sourceShift);

// Deletes section `at` of `cell` (a cell of doc); its links leave doc's link list. Anchors that
// name the section are the caller's to drop.
void DeleteSection(TSectionList& doc, TCell& cell, int at);

// A cell's paragraphs counted as lines: a run of link lines (TLinkLines) counts each of its lines,
// any other section one.
int LineCount(const TCell& cell);

// Takes line `line` out of `cell` (a cell of doc), as DeleteSection takes out a section; a run of
// link lines gives up the one line. Two runs of one shape that the line stood between become one,
// as a parse of the page without it puts them. False, and nothing changed, when the line is a
// section that is not Movable (pictures, controls). Throws std::out_of_range for no such line.
bool DeleteLine(TSectionList& doc, TCell& cell, int line);

// Moves section `from` of `source` (a cell of sourceDoc; a text section of one line) into `cell` of
// doc as its line `line` (0..LineCount(cell)), as MoveSection moves it. In a document that keeps
// link lines compact (CompactLinkLines), a line of a run's shape goes into the run a parse of the
// new page would put it in, and a line of another shape inside a run splits the run. Throws as
// MoveSection does.
void MoveLine(TSectionList& sourceDoc, TCell& source, int from, TSectionList& doc, TCell& cell, int line,
              int32_t sourceShift);

// Every source position in the cell (tables inside it included) at or after `from` moves by delta:
// delta characters were put into the page at `from` (or taken out, delta < 0).
void ShiftSourcePositions(TCell& cell, int32_t from, int32_t delta);

} // namespace HtmlEdit
