// Link lines read straight from the source. A long list of links ("» title" lines, each a NOBR,
// a mark, a link and a BR) costs a whole text section per line when built tag by tag, only for
// the run to read it and let it go. Once one line has been built and taken into a run, the lines
// after it that are written exactly like it, the title aside, are appended to the run directly,
// leaving the parser as building them would have. Anything else is built as before.
#include <cstring>

#include "htmlview/HtmlLinkLines.h"
#include "htmlview/HtmlParser.h"
#include "htmlview/HtmlParserParts.h"
#include "htmlview/HtmlTextSection.h"

using htmlparser::kMaxFonts;

namespace {
// A title character the scanner passes on unchanged, inside a quoted value and in text alike
// (a space is taken as well; where it stands is checked apart).
bool TitleChar(unsigned char c) {
    return c >= ' ' && c != '&' && c != '<' && c != 127;
}

// Whether the title as written (raw) is read as the text `shown` holds: inside NOBR a single
// space becomes a no-break space; none at the start, none doubled, none after a no-break space
// written as such (the scanner would drop it, or drop it only where its text runs are cut).
bool TitleReadsAs(std::string_view raw, std::string_view shown, char quote) {
    if (raw.empty() || raw.size() != shown.size()) return false;
    for (size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (!TitleChar(static_cast<unsigned char>(c)) || c == quote) return false;
        if (c == ' ') {
            if (i == 0 || raw[i - 1] == ' ' || raw[i - 1] == NbspChar || shown[i] != NbspChar) return false;
        } else if (shown[i] != c) {
            return false;
        }
    }
    return true;
}

bool Matches(std::string_view doc, size_t at, const std::string& part) {
    return doc.size() - at >= part.size() && std::memcmp(doc.data() + at, part.data(), part.size()) == 0;
}
} // namespace

void THtmlParser::WatchLine(int sym) {
    TLineWatch& w = watch_;
    if (w.Step < 0) return;
    if (SymbolCount != w.NextSymbol) {
        w.Step = -1; // something else came between
        return;
    }
    ++w.NextSymbol;
    switch (w.Step) {
    case 0:
        w.Step = sym == SymNOBR ? 1 : -1;
        break;
    case 1: // the mark
        w.Step = sym == SymText ? 2 : -1;
        break;
    case 2:
        if (sym == SymText) break;
        w.Step = -1;
        if (sym == SymA && HrefPlain) {
            // A link and nothing else: one HREF, no NAME.
            int hrefs = 0;
            for (const auto& a : Attributes) {
                if (a.Which == AttrNAME) return;
                hrefs += a.Which == AttrHREF ? 1 : 0;
            }
            if (hrefs != 1) return;
            w.HrefStart = HrefStart;
            w.HrefEnd = HrefEnd;
            w.Step = 3;
        }
        break;
    case 3: // the title
        w.Step = sym == SymText ? 4 : -1;
        break;
    case 4:
        if (sym == SymText) break;
        w.Step = sym == SymNOBREnd ? 5 : sym == SymAEnd ? 6 : -1;
        break;
    case 5:
        w.Step = sym == SymAEnd ? 7 : -1;
        break;
    case 6:
        w.Step = sym == SymNOBREnd ? 7 : -1;
        break;
    case 7:
        w.Step = sym == SymBR ? 8 : -1;
        break;
    default:
        w.Step = -1;
        break;
    }
}

void THtmlParser::StartWatchingLine() {
    watch_.Step = -1;
    if (!FastLinkLines || !Document || !Document->CompactLinkLines || OnInclude || InScript || InPre ||
        InLink || fontStack_.size() >= kMaxFonts || !CurrentSection || !AtSourceChar())
        return;
    watch_.Step = 0;
    watch_.NextSymbol = SymbolCount + 1;
    watch_.Start = Position;
    watch_.Section = CurrentSection.get();
    watch_.FontDepth = fontStack_.size();
}

// The line just closed was read as a link line and taken into a run: it becomes the pattern
// when its source shows where the title stands in the link and in the text.
bool THtmlParser::LearnLinkLine() {
    pattern_.Run = nullptr;
    TLinkLines* run = absorbedBy_;
    if (!CurrentCell || CurrentCell->Count() == 0 || CurrentCell->Sections[CurrentCell->Count() - 1] != run ||
        !run || run->LineCount() == 0 || TagEnd < 0)
        return false;
    // The parser is as it was when the line began, the next line's section as fresh.
    if (InLink || NoBreak || fontStack_.size() != watch_.FontDepth || CurrentSection->Len != 0 ||
        CurrentSection->ClearAttr != 0 || CurrentSection->Level != 0 || CurrentSection->Justify != 1)
        return false;
    const int n = run->LineCount() - 1;
    const std::string_view title = run->Title(n);
    const std::string url = run->Url(n);
    const std::string_view doc = Source();
    const size_t len = title.size();
    const int32_t start = watch_.Start, markSource = run->MarkSource(n), titleSource = run->TitleSource(n);
    const int32_t hrefStart = watch_.HrefStart, hrefEnd = watch_.HrefEnd;
    const int32_t uStart = hrefEnd - static_cast<int32_t>(len);
    const int32_t titleEnd = titleSource + static_cast<int32_t>(len);
    if (len == 0 || url.size() < len || hrefEnd - hrefStart != static_cast<int32_t>(url.size()) ||
        hrefStart <= start || uStart < hrefStart || markSource < start || markSource >= hrefStart ||
        hrefEnd >= titleSource || titleEnd > TagStart || TagStart >= TagEnd ||
        static_cast<size_t>(TagEnd) + 1 >= doc.size())
        return false;
    const char quote = doc[static_cast<size_t>(hrefEnd)];
    if ((quote != '"' && quote != '\'') || doc.substr(static_cast<size_t>(hrefStart), url.size()) != url)
        return false;
    // The title as written in the link and in the text, each followed by a character that ends it.
    const std::string_view inLink = doc.substr(static_cast<size_t>(uStart), len);
    const std::string_view inText = doc.substr(static_cast<size_t>(titleSource), len);
    const unsigned char after = static_cast<unsigned char>(doc[static_cast<size_t>(titleEnd)]);
    if (inLink != inText || !TitleReadsAs(inText, title, quote) || TitleChar(after)) return false;
    TLinkLinePattern& p = pattern_;
    p.Head.assign(doc.substr(static_cast<size_t>(start), static_cast<size_t>(uStart - start)));
    p.Mid.assign(doc.substr(static_cast<size_t>(hrefEnd), static_cast<size_t>(titleSource - hrefEnd)));
    p.Tail.assign(doc.substr(static_cast<size_t>(titleEnd), static_cast<size_t>(TagEnd + 1 - titleEnd)));
    p.UrlPrefix.assign(url, 0, url.size() - len);
    p.Quote = quote;
    p.MarkOffset = markSource - start;
    p.BreakOffset = TagEnd - TagStart;
    p.Cell = CurrentCell;
    p.Run = run;
    return true;
}

// The line at the scanner's place, when it follows the pattern, goes into the run; the scanner
// reads on after its BR and the parser is left as the line's tags would have left it.
bool THtmlParser::ReadLinkLine() {
    const TLinkLinePattern& p = pattern_;
    if (!p.Run || CurrentCell != p.Cell || CurrentCell->Count() == 0 ||
        CurrentCell->Sections[CurrentCell->Count() - 1] != p.Run || !AtSourceChar())
        return false;
    const std::string_view doc = Source();
    const size_t start = static_cast<size_t>(Position);
    if (!Matches(doc, start, p.Head)) return false;
    // The title in the link: up to the quote, its spaces where TitleReadsAs allows them.
    const size_t u = start + p.Head.size();
    size_t e = u;
    char before = 0;
    for (; e < doc.size(); ++e) {
        const char c = doc[e];
        if (!TitleChar(static_cast<unsigned char>(c)) || c == p.Quote) break;
        if (c == ' ' && (e == u || before == ' ' || before == NbspChar)) return false;
        before = c;
    }
    const size_t len = e - u;
    if (len == 0 || !Matches(doc, e, p.Mid)) return false;
    const size_t t = e + p.Mid.size();
    if (doc.size() - t < len || std::memcmp(doc.data() + u, doc.data() + t, len) != 0 ||
        !Matches(doc, t + len, p.Tail))
        return false;
    const size_t gt = t + len + p.Tail.size() - 1;
    if (gt + 1 >= doc.size() || gt > 0x7FFFFFFF) return false;
    // The title as the text holds it: no-break spaces for spaces.
    lineTitle_.assign(doc.data() + u, len);
    for (char& c : lineTitle_)
        if (c == ' ') c = NbspChar;
    lineUrl_.assign(p.UrlPrefix);
    lineUrl_.append(doc.data() + u, len);
    if (!p.Run->AppendLine(lineTitle_, lineUrl_, static_cast<int32_t>(start) + p.MarkOffset,
                           static_cast<int32_t>(t)))
        return false;
    // As the line's last tag, BR, leaves the scanner; NOBR was closed and the link ended.
    Symbol = SymBR;
    TagStart = static_cast<int32_t>(gt) - p.BreakOffset;
    TagEnd = static_cast<int32_t>(gt);
    HrefPlain = false;
    HeadingLevel = 0;
    TextToken.Clear();
    AfterParagraphSpace = false;
    NoBreak = false;
    ResumeAfter(static_cast<int32_t>(gt));
    ++LinkLinesReadFast;
    return true;
}
