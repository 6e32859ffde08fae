// The visualizer's document kept up to date by the page's edits (TLinkEdit) instead of a new parse
// of the whole page: a new line is parsed from a small page of its box and moved into the box's
// cell, a gone line's section is taken out. Window-free.
#pragma once

#include <cstddef>
#include <vector>

#include "app/NamespaceVisualizerPage.h"
#include "htmlview/HtmlParser.h"
#include "htmlview/HtmlSections.h"

class TNamespaceDocumentEditor {
public:
    // After the page was loaded in full: finds each box's cell of links. False (and nothing to
    // edit) when the document is not shaped like the page of that many boxes.
    bool Attach(TSectionList& Doc, size_t Boxes);
    void Detach();
    bool Attached(const TSectionList& Doc) const { return FDoc == &Doc && !FCells.empty(); }

    // Applies a build's edits to the attached document, which its owner lays out again after.
    // False when the document did not hold what the edits expect: it may then be part-way
    // edited, is detached, and must be loaded again.
    bool Apply(const std::vector<TLinkEdit>& Edits);

private:
    bool ApplyOne(const TLinkEdit& Edit);

    TSectionList* FDoc = nullptr;
    std::vector<TCell*> FCells; // each box's cell of links, in page order
    THtmlParser FParser;
};
