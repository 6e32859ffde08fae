// The document builder's preformatted text: PRE, read character by character with the tags it
// allows inside, and a whole text shown as preformatted (ParseTextAsPreformatted).
#include "htmlview/HtmlBlocks.h"
#include "htmlview/HtmlParser.h"
#include "htmlview/HtmlParserParts.h"
#include "htmlview/HtmlTextSection.h"

using namespace htmlparser;

namespace {
// Raw placeholder bytes would be read as pictures or controls.
char PreChar(char c) {
    return c == 0 || c == PhControl || (c >= PhPicture && c <= PhPictureNoBreak) ? ' ' : c;
}
} // namespace

void THtmlParser::ParsePre(int level) {
    CloseSection();
    size_t fontDepth = fontStack_.size();
    PushFixedFont();
    auto newPre = [&] {
        CurrentSection =
            std::make_unique<TPreFormated>(Document, level, Font(), InLink ? &UrlTarget : nullptr, 1);
    };
    newPre();
    TokenObj tok;
    InPre = true;
    auto flush = [&] {
        if (tok.Leng() > 0) {
            if (!CurrentSection) newPre();
            CurrentSection->AppendToken(tok, false);
            tok.Clear();
        }
    };
    auto newLine = [&] {
        flush();
        CloseSection();
        newPre();
    };
    bool done = false;
    while (!done) {
        char c = CurrentChar;
        if (c == CR) {
            newLine();
            Advance();
        } else if (c == '&') {
            Next();
            tok.AddTokenObj(TextToken);
        } else if (c == '<') {
            Next();
            int sym = Symbol;
            if (sym == SymPREEnd || sym == SymTDEnd || sym == SymTHEnd || sym == SymEof) {
                done = true;
            } else if (sym == SymBR || sym == SymP || sym == SymPEnd) {
                newLine();
                if (CurrentChar == CR) Advance();
            } else if (kStyleTags[static_cast<size_t>(sym)]) {
                flush();
                StyleSymbol(sym);
                RefreshFont();
            } else if (sym == SymFONT || sym == SymBASEFONT) {
                flush();
                if (ParseFont(sym, true)) RefreshFont();
            } else if (sym == SymFONTEnd) {
                if (fontStack_.size() > fontDepth + 1) {
                    PopFont();
                    flush();
                    RefreshFont();
                }
            } else if (sym == SymA || sym == SymAEnd || sym == SymFORM || sym == SymFORMEnd) {
                flush();
                if (!CurrentSection) newPre();
                // The handlers read on by one symbol; in here the loop reads characters instead.
                if (sym == SymA)
                    Anchor(level);
                else if (sym == SymAEnd)
                    EndLink();
                else if (sym == SymFORM)
                    OpenForm();
                else
                    CurrentForm = nullptr;
            } else if (sym == SymIMG) {
                flush();
                if (!CurrentSection) newPre();
                CurrentSection->AddImage(Attributes, CurrentCell, false, TagStart);
            } else if (sym == SymINPUT || sym == SymSELECT || sym == SymTEXTAREA) {
                flush();
                if (!CurrentSection) newPre();
                FormControl(sym, false);
            } else if (sym == SymSCRIPT) {
                ParseScript();
            } else if (sym == SymText) {
                tok.AddTokenObj(TextToken); // a '<' that starts no tag
            }
        } else if (c == EofChar) {
            done = true;
        } else {
            tok.AddChar(PreChar(c), Position);
            if (tok.Leng() > 200) flush();
            Advance();
        }
    }
    flush();
    CloseSection();
    InPre = false;
    while (fontStack_.size() > fontDepth && fontStack_.size() > 1)
        fontStack_.pop_back();
    Next();
}

void THtmlParser::ParseTextMode() {
    CloseSection();
    PushFixedFont();
    CurrentSection = std::make_unique<TPreFormated>(Document, 0, Font(), nullptr, 1);
    InPre = true;
    TokenObj tok;
    auto flush = [&] {
        if (tok.Leng() > 0) {
            CurrentSection->AppendToken(tok, false);
            tok.Clear();
        }
    };
    for (;;) {
        char c = CurrentChar;
        if (c == EofChar) break;
        if (c == CR) {
            flush();
            CloseSection();
            CurrentSection = std::make_unique<TPreFormated>(Document, 0, Font(), nullptr, 1);
        } else {
            tok.AddChar(PreChar(c), Position);
            if (tok.Leng() > 200) flush();
        }
        Advance();
    }
    flush();
    CloseSection();
    InPre = false;
    PopFont();
}
