// A document parsed and laid out with fixed-width metrics (8 pixels a character; a 12-point
// font is 16 pixels high with 4 below the baseline), and helpers to read its lines.
#pragma once

#include <string>
#include <vector>

#include "htmlview/FixedMetrics.h"
#include "htmlview/HtmlBlocks.h"
#include "htmlview/HtmlParser.h"
#include "htmlview/HtmlTable.h"
#include "htmlview/HtmlTextSection.h"

struct TestDoc {
    TFixedMetrics Metrics{8};
    TSectionList Doc;
    THtmlParser Parser;
    TStringList Anchors;
    int32_t Height = 0, MaxWidth = 0;

    TestDoc() { Doc.SetMeasure(&Metrics); }
    explicit TestDoc(const std::string& html, int32_t width = 400) : TestDoc() { Load(html, width); }

    void Load(const std::string& html, int32_t width = 400) {
        Doc.Clear();
        Parser.ParseHtmlText(html, Doc, &Anchors);
        Layout(width);
    }
    void Layout(int32_t width) {
        int32_t curs = 0;
        Height = Doc.Layout(Metrics, 0, width, MaxWidth, curs);
    }
    // Every text section's lines as text, in document order (tables: cells in order).
    static void CollectLines(TCell& cell, std::vector<std::string>& out) {
        for (const auto& s : cell.Sections) {
            if (auto* t = dynamic_cast<TSection*>(s.get())) {
                for (const auto& l : t->Lines)
                    out.push_back(t->Text().substr(static_cast<size_t>(l.Start), static_cast<size_t>(l.Ln)));
            } else if (dynamic_cast<TBreakLine*>(s.get())) {
                out.push_back(" ");
            } else if (auto* tb = dynamic_cast<ThtmlTable*>(s.get())) {
                if (tb->TopCaption) CollectLines(tb->Caption->Cell, out);
                for (auto& row : tb->Rows)
                    for (auto& c : row->Cells)
                        if (c && !c->Dummy) CollectLines(c->Cell, out);
                if (!tb->TopCaption) CollectLines(tb->Caption->Cell, out);
            }
        }
    }
    std::vector<std::string> Lines() {
        std::vector<std::string> out;
        CollectLines(Doc, out);
        return out;
    }
    std::vector<TSection*> TextSections() {
        std::vector<TSection*> out;
        for (const auto& s : Doc.Sections)
            if (auto* t = dynamic_cast<TSection*>(s.get()); t && t->Len > 0) out.push_back(t);
        return out;
    }
    template <typename T> std::vector<T*> All() {
        std::vector<T*> out;
        for (const auto& s : Doc.Sections)
            if (auto* t = dynamic_cast<T*>(s.get())) out.push_back(t);
        return out;
    }
    // Draws everything into the recording painter.
    void Draw(int32_t top = 0, int32_t bottom = 100000) {
        Metrics.Ops.clear();
        Doc.Draw(Metrics, {0, top, 100000, bottom}, 6000, 0, 0);
    }
};
