// The document builder's forms: FORM, the controls INPUT, SELECT and TEXTAREA, the options of a
// SELECT and the raw lines of a TEXTAREA.
#include "base/StrUtils.h"
#include "htmlview/HtmlForms.h"
#include "htmlview/HtmlParser.h"
#include "htmlview/HtmlParserParts.h"
#include "htmlview/HtmlTextSection.h"

using namespace htmlparser;

void THtmlParser::TagForm(int, int) {
    OpenForm();
    Next();
}

void THtmlParser::TagFormEnd(int, int) {
    CurrentForm = nullptr;
    Next();
}

void THtmlParser::TagFormControl(int sym, int level) {
    EnsureSection(level);
    FormControl(sym, NoBreak);
    Next();
}

void THtmlParser::OpenForm() {
    CurrentForm = Document->FormList.Add(std::make_unique<ThtmlForm>(Document, Attributes));
}

// A control outside any FORM belongs to a form of its own, made when the first such control comes.
ThtmlForm* THtmlParser::CurrentFormOrNew() {
    if (!CurrentForm)
        CurrentForm = Document->FormList.Add(std::make_unique<ThtmlForm>(Document, TAttributeList()));
    return CurrentForm;
}

// An INPUT, SELECT or TEXTAREA into the current section; a SELECT reads its options and a
// TEXTAREA its text up to the end tag.
void THtmlParser::FormControl(int sym, bool noBreak) {
    TFormControlObj* ctrl =
        CurrentSection->AddFormControl(sym, CurrentFormOrNew(), noBreak, TagStart, CurrentCell, Attributes);
    if (sym == SymSELECT)
        ParseSelect(ctrl);
    else if (sym == SymTEXTAREA)
        ParseTextArea(ctrl);
}

void THtmlParser::ParseSelect(TFormControlObj* ctrl) {
    bool saved = NoBreak;
    NoBreak = false;
    Next();
    std::string text, value;
    bool inOption = false, selected = false;
    auto pending = [&] {
        std::string t = Trim(text);
        if (inOption && !t.empty() && ctrl) ctrl->AddOption(t, value, selected);
        text.clear();
        inOption = false;
    };
    while (Symbol != SymSELECTEnd && Symbol != SymEof) {
        if (Symbol == SymText) {
            if (inOption && text.size() < 255) text += TextToken.S.substr(0, 255 - text.size());
        } else if (Symbol == SymOPTION || Symbol == SymOPTIONEnd) {
            pending();
            if (Symbol == SymOPTION) {
                inOption = true;
                selected = Attributes.Has(AttrSELECTED);
                value = AttrText(Attributes, AttrVALUE).substr(0, 255);
            }
        }
        Next();
    }
    pending();
    NoBreak = saved;
}

void THtmlParser::ParseTextArea(TFormControlObj* ctrl) {
    std::string line;
    for (;;) {
        char c = CurrentChar;
        if (c == EofChar) break;
        if (c == CR) {
            if (ctrl) ctrl->AddLine(line);
            line.clear();
            Advance();
            continue;
        }
        if (c == '<') {
            std::string s(1, '<');
            Advance();
            while (CurrentChar != ' ' && CurrentChar != CR && CurrentChar != '>' && CurrentChar != EofChar &&
                   s.size() < 256) {
                s += CurrentChar;
                Advance();
            }
            if (LowerCase(s) == "</textarea") {
                while (CurrentChar != '>' && CurrentChar != EofChar)
                    Advance();
                if (CurrentChar == '>') Advance();
                break;
            }
            line += s;
            continue;
        }
        if (c == '&') {
            TextToken.Clear();
            ScanEntity();
            line += TextToken.S;
            TextToken.Clear();
            continue;
        }
        for (int n = 0; n < 100 && CurrentChar != CR && CurrentChar != EofChar && CurrentChar != '&' &&
                        CurrentChar != '<';
             ++n) {
            line += CurrentChar;
            Advance();
        }
    }
    if (!line.empty() && ctrl) ctrl->AddLine(line);
}
