// The document builder's tables: rows, cells and the caption read into a ThtmlTable, which is
// attached where the TABLE stood even when the markup ends inside it.
#include "base/StrUtils.h"
#include "htmlview/HtmlParser.h"
#include "htmlview/HtmlParserParts.h"
#include "htmlview/HtmlTable.h"
#include "htmlview/HtmlTextSection.h"

using namespace htmlparser;

namespace {
const SymSet kTableStops =
    MakeSymSet({SymTABLEEnd, SymTD, SymTDEnd, SymTR, SymTREnd, SymTH, SymTHEnd, SymCAPTION, SymCAPTIONEnd});
} // namespace

void THtmlParser::ParseTable(int level) {
    if (tableDepth_ >= MaxTableDepth) {
        Next();
        return;
    }
    DepthGuard guard(tableDepth_);
    EndLink();
    size_t fontDepth = fontStack_.size();
    TCell* savedCell = CurrentCell;
    uint8_t savedJustify = Justify, savedStyle = StyleBits;
    bool savedNoBreak = NoBreak;
    CloseSection();
    TCell* enclosing = savedCell ? savedCell : Document;
    CurrentCell = nullptr;
    auto table = std::make_unique<ThtmlTable>(Document, Attributes, Justify, enclosing, level);
    std::unique_ptr<TCellList> row;
    std::unique_ptr<TCellObj> cell;
    uint8_t rowAlign = 0;
    int rowVAlign = 1;
    auto popFonts = [&] {
        while (fontStack_.size() > fontDepth)
            fontStack_.pop_back();
    };
    auto finishCell = [&] {
        if (cell) {
            CurrentCell = &cell->Cell;
            CloseSection();
            if (!row) row = std::make_unique<TCellList>();
            row->Cells.push_back(std::move(cell));
        }
        CurrentCell = nullptr;
    };
    auto addRow = [&] {
        if (row) table->Rows.push_back(std::move(row));
    };
    auto attach = [&] {
        EndLink();
        popFonts();
        finishCell();
        addRow();
        CurrentCell = enclosing;
        CurrentCell->Add(std::move(table));
        StyleBits = savedStyle;
        NoBreak = savedNoBreak;
        Justify = savedJustify;
    };
    try {
        Next();
        while (Symbol != SymTABLEEnd && Symbol != SymEof) {
            switch (Symbol) {
            case SymTD:
            case SymTH: {
                EndLink();
                popFonts();
                StyleBits = savedStyle;
                NoBreak = Attributes.Has(AttrNOWRAP) && !Attributes.Has(AttrWIDTH);
                if (!row)
                    row = std::make_unique<TCellList>();
                else
                    finishCell();
                if (Symbol == SymTH) {
                    Justify = rowAlign ? rowAlign : 2;
                    StyleBits |= fsBold;
                } else {
                    Justify = rowAlign ? rowAlign : 1;
                    StyleBits &= static_cast<uint8_t>(~fsBold);
                }
                Justify = AlignOf(Attributes.Find(AttrALIGN), Justify);
                int vAlign = rowVAlign;
                if (const TAttribute* v = Attributes.Find(AttrVALIGN)) {
                    std::string s = LowerCase(v->Name);
                    vAlign = (s == "top" || s == "baseline") ? 0
                             : s == "middle"                 ? 1
                             : s == "bottom"                 ? 2
                                                             : vAlign;
                }
                cell = std::make_unique<TCellObj>(Document, vAlign, Attributes);
                CurrentCell = &cell->Cell;
                SkipBlanks();
                Next();
                AfterParagraphSpace = true;
                ParseBody(0, kTableStops);
                break;
            }
            case SymTDEnd:
            case SymTHEnd:
                finishCell();
                Next();
                break;
            case SymTR: {
                EndLink();
                finishCell();
                addRow();
                row = std::make_unique<TCellList>();
                rowAlign = AlignOf(Attributes.Find(AttrALIGN), 0);
                rowVAlign = 1;
                if (const TAttribute* v = Attributes.Find(AttrVALIGN)) {
                    std::string s = LowerCase(v->Name);
                    rowVAlign = (s == "top" || s == "baseline") ? 0 : s == "bottom" ? 2 : 1;
                }
                row->Initialize(Attributes);
                Next();
                break;
            }
            case SymTREnd:
                EndLink();
                finishCell();
                addRow();
                Next();
                break;
            case SymCAPTION:
                EndLink();
                popFonts();
                StyleBits = savedStyle;
                NoBreak = false;
                finishCell();
                if (LowerCase(AttrText(Attributes, AttrALIGN)) == "bottom") table->TopCaption = false;
                CurrentCell = &table->Caption->Cell;
                Justify = 2;
                Next();
                ParseBody(0, kTableStops);
                CloseSection();
                CurrentCell = nullptr;
                if (Symbol == SymCAPTIONEnd) Next();
                break;
            case SymText:
                if (!cell) {
                    // Text between cells shows above the table.
                    CurrentCell = enclosing;
                    ParseBody(0, kTableStops);
                    CloseSection();
                    CurrentCell = nullptr;
                } else {
                    Next();
                }
                break;
            default:
                Next();
                break;
            }
        }
    } catch (...) {
        // The partial table is attached, so everything its sections registered stays valid.
        attach();
        throw;
    }
    attach();
    Next();
}
