// The document builder's lists: OL, UL, DIR, MENU, DL and BLOCKQUOTE with their items, nested
// to a capped depth, and an LI that stands outside any list.
#include "htmlview/HtmlBlocks.h"
#include "htmlview/HtmlParser.h"
#include "htmlview/HtmlParserParts.h"
#include "htmlview/HtmlTextSection.h"

using namespace htmlparser;

namespace {
const SymSet kListEnds = MakeSymSet({SymOLEnd, SymULEnd, SymDIREnd, SymMENUEnd, SymDLEnd, SymBLOCKQUOTEEnd});
// What an LI outside any list takes in: running text and its inline tags.
const SymSet kLoneLI = kStyleTags | kFixedTags |
                       MakeSymSet({SymTTEnd, SymCODEEnd, SymKBDEnd, SymSAMPEnd, SymA, SymAEnd, SymText,
                                   SymFONTEnd, SymSUB, SymSUBEnd, SymSUP, SymSUPEnd, SymBIG, SymBIGEnd,
                                   SymSMALL, SymSMALLEnd, SymNOBR, SymNOBREnd, SymWBR});
} // namespace

void THtmlParser::ParseLists(int level, int sym, const SymSet& closing) {
    if (blockDepth_ >= MaxBlockDepth) return;
    DepthGuard guard(blockDepth_);
    int32_t counter = 1;
    char numType = '1';
    bool plain = false;
    if (sym == SymOL) {
        if (const TAttribute* a = Attributes.Find(AttrSTART); a && a->Value >= 0) counter = a->Value;
        if (const TAttribute* a = Attributes.Find(AttrTYPE); a && !a->Name.empty()) numType = a->Name[0];
    } else if (sym == SymUL) {
        plain = Attributes.Has(AttrPLAIN);
    }
    CloseSection();
    Next();
    if (kListEnds[static_cast<size_t>(Symbol)]) return;
    int contentLevel = level;
    const SymSet bodyClosing = closing | kListEnds | MakeSymSet({SymEof});
    while (Symbol != SymEof && !kListEnds[static_cast<size_t>(Symbol)]) {
        if (kListStarts[static_cast<size_t>(Symbol)]) {
            ParseNestedList(level + 1, Symbol, closing);
            continue;
        }
        switch (Symbol) {
        case SymLI:
            CloseSection();
            if (sym == SymOL) {
                CurrentSection = std::make_unique<TOListItem>(Document, InLink ? &UrlTarget : nullptr, Font(),
                                                              numType, counter, level);
                if (counter < 0x7FFFFFFF) ++counter;
            } else {
                auto item =
                    std::make_unique<TUListItem>(Document, InLink ? &UrlTarget : nullptr, Font(), level);
                item->Plain = plain;
                CurrentSection = std::move(item);
            }
            contentLevel = level;
            SkipBlanks();
            Next();
            if (Symbol == SymP) Next();
            break;
        case SymDD:
        case SymDT:
            CloseSection();
            contentLevel = Symbol == SymDD ? level : level - 1;
            CurrentSection =
                std::make_unique<TDListItem>(Document, InLink ? &UrlTarget : nullptr, Font(), contentLevel);
            Next();
            break;
        case SymHR:
            AddRule();
            break;
        case SymCENTER:
        case SymDIV:
            ParseBody(contentLevel, bodyClosing);
            break;
        case SymTABLE:
            if (CurrentSection) CurrentSection->LineBreak(TagStart, NoBreak);
            ParseTable(contentLevel);
            break;
        default:
            if (!ParseTextTag(contentLevel, closing)) return;
            break;
        }
    }
    CloseSection();
}

void THtmlParser::ParseNestedList(int level, int sym, const SymSet& closing) {
    if (sym == SymBLOCKQUOTE) CloseSection();
    ParseLists(level, sym, closing);
    Next();
}

void THtmlParser::ParseLoneItem() {
    CloseSection();
    CurrentSection = std::make_unique<TUListItem>(Document, InLink ? &UrlTarget : nullptr, Font(), 1);
    SkipBlanks();
    Next();
    while (kLoneLI[static_cast<size_t>(Symbol)])
        ParseCommon(1);
    CloseSection();
}
