// The scanner: character reading, comments and includes, tags, attributes, entities, text.
#include "htmlview/HtmlScanner.h"

#include <cstring>

#include "base/StrUtils.h"

namespace {
constexpr char LF = 10;

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

bool IsUpperLetter(char c) {
    return c >= 'A' && c <= 'Z';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

// Entity names; entry n (1-based) of the Latin-1 part gives character n + 151.
constexpr const char* kFirstEntities[] = {"amp", "lt", "gt", "quot", "rsquo", "ndash", "trade", "hellip"};
constexpr char kFirstEntityChars[] = {'&', '<', '>', '"', '\'', '-', static_cast<char>(153), '.'};
constexpr const char* kLatinEntities[] = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",    "copy",
    "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn", "sup2",   "sup3",
    "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",   "raquo",  "frac14", "frac12",
    "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde", "Auml",   "Aring",  "AElig",  "Ccedil",
    "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave", "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde",
    "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",   "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",
    "Uuml",   "Yacute", "THORN",  "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",
    "aelig",  "ccedil", "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",
    "eth",    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave",
    "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};
static_assert(std::size(kLatinEntities) == 96);

struct ColorName {
    const char* Name;
    TColor Value;
};
constexpr ColorName kColors[] = {
    {"BLACK", 0x000000},  {"MAROON", 0x000080},  {"GREEN", 0x008000}, {"OLIVE", 0x008080},
    {"NAVY", 0x800000},   {"PURPLE", 0x800080},  {"TEAL", 0x808000},  {"GRAY", 0x808080},
    {"SILVER", 0xC0C0C0}, {"RED", 0x0000FF},     {"LIME", 0x00FF00},  {"YELLOW", 0x00FFFF},
    {"BLUE", 0xFF0000},   {"FUCHSIA", 0xFF00FF}, {"AQUA", 0xFFFF00},  {"WHITE", 0xFFFFFF},
};

// Windows-1252 bytes 0x80..0x9F and the UTF-16 units they stand for (0 = unassigned).
constexpr uint16_t kCp1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
} // namespace

int32_t AttributeInteger(std::string_view s) {
    size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    if (i >= s.size()) return 0;
    int64_t v = 0;
    for (; i < s.size(); ++i) {
        if (!IsDigit(s[i])) return 0;
        v = v * 10 + (s[i] - '0');
        if (v > 0x80000000LL) return 0;
    }
    v = negative ? -v : v;
    if (v > 0x7FFFFFFF) return 0;
    return static_cast<int32_t>(v);
}

char UnicodeToAnsi(uint16_t unit) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return static_cast<char>(unit);
    for (int i = 0; i < 32; ++i)
        if (kCp1252High[i] == unit && unit != 0) return static_cast<char>(0x80 + i);
    return '?';
}

void THtmlScanner::BeginScan(std::string_view doc) {
    doc_.assign(doc);
    docPos_ = 0;
    inc_.clear();
    incPos_ = 0;
    source_ = savedSource_ = 0;
    Position = -1;
    LineState = 0;
    InScript = false;
    AfterParagraphSpace = false;
    inComment_ = false;
    Symbol = SymNone;
    TextToken.Clear();
    // Text runs are cut at 100 characters: the token's room is made once, not per run.
    TextToken.S.reserve(128);
    TextToken.I.reserve(128);
}

char THtmlScanner::ReadRaw() {
    if (source_ == 1) {
        if (incPos_ < inc_.size()) return inc_[incPos_++];
        source_ = savedSource_;
        inc_.clear();
        incPos_ = 0;
    }
    if (docPos_ >= doc_.size()) return EofChar;
    ++Position;
    return doc_[docPos_++];
}

char THtmlScanner::PeekRaw() const {
    if (source_ == 1 && incPos_ < inc_.size()) return inc_[incPos_];
    return docPos_ < doc_.size() ? doc_[docPos_] : EofChar;
}

void THtmlScanner::BasicRead() {
    char c = ReadRaw();
    if ((c == LF && LineState == 1) || (c == CR && LineState == 2)) c = ReadRaw();
    if (c == LF) {
        LineState = 2;
        c = CR;
    } else if (c == CR) {
        LineState = 1;
    } else {
        LineState = 0;
        if (c == '\t') c = ' ';
    }
    CurrentChar = c;
    UpperChar = AsciiUpper(c);
    if (c == EofChar && inComment_ && docPos_ >= doc_.size()) throw EParseError();
}

void THtmlScanner::SkipToGreater() {
    while (CurrentChar != '>')
        BasicRead();
}

void THtmlScanner::SkipCommentBody() {
    for (;;) {
        if (CurrentChar == '-') {
            BasicRead();
            if (CurrentChar != '-') continue;
            while (CurrentChar == '-')
                BasicRead();
            while (CurrentChar == ' ' || CurrentChar == CR)
                BasicRead();
            if (CurrentChar == '>') return;
            continue;
        }
        BasicRead();
    }
}

void THtmlScanner::RunInclude() {
    // '#' is current.
    BasicRead();
    std::string command;
    while ((CurrentChar >= 'a' && CurrentChar <= 'z') || IsUpperLetter(CurrentChar)) {
        command += CurrentChar;
        BasicRead();
    }
    TStringList params;
    TAttribute attr;
    std::string name;
    while (ScanAttribute(attr, &name))
        params.Add(name + "=\"" + attr.Name + "\"");
    SkipCommentBody();
    std::string text;
    OnInclude(IncludeSender, command, params, text);
    if (!text.empty()) {
        savedSource_ = source_;
        inc_ = std::move(text);
        incPos_ = 0;
        source_ = 1;
    }
}

void THtmlScanner::Advance() {
    for (;;) {
        BasicRead();
        if (UpperChar != '<' || InScript) return;
        if (PeekRaw() != '!') return;
        bool outerComment = inComment_; // an include's attributes may hold a comment
        inComment_ = true;
        BasicRead(); // '!'
        BasicRead();
        if (CurrentChar != '-') {
            SkipToGreater();
        } else {
            BasicRead();
            if (CurrentChar != '-') {
                SkipToGreater();
            } else {
                BasicRead();
                if (OnInclude && CurrentChar == '#' && source_ == 0)
                    RunInclude();
                else
                    SkipCommentBody();
            }
        }
        inComment_ = outerComment;
        // '>' is current: the character after it is read from the top, so a comment that
        // directly follows is skipped too.
    }
}

void THtmlScanner::SkipBlanks() {
    while (CurrentChar == ' ' || CurrentChar == CR)
        Advance();
}

void THtmlScanner::Next() {
    ++SymbolCount;
    TextToken.Clear();
    if (CurrentChar == EofChar) {
        Symbol = SymEof;
    } else if (!ScanTag() && !ScanEntity() && !ScanText()) {
        Symbol = SymOtherChar;
        TextToken.AddChar(CurrentChar, Position);
        Advance();
    }
    if (AfterParagraphSpace) {
        switch (Symbol) {
        case SymBR:
        case SymH:
        case SymHR:
        case SymIMG:
        case SymText:
        case SymTABLE:
        case SymINPUT:
        case SymTEXTAREA:
        case SymSELECT:
            AfterParagraphSpace = false;
            break;
        default:
            break;
        }
    }
}

bool THtmlScanner::ScanTag() {
    if (UpperChar != '<') return false;
    TagStart = Position;
    TagEnd = -1;
    HrefPlain = false;
    Advance();
    if (CurrentChar != '/' && !IsUpperLetter(UpperChar)) {
        Symbol = SymText;
        TextToken.AddChar('<', TagStart);
        return true;
    }
    bool isEnd = false;
    if (CurrentChar == '/') {
        isEnd = true;
        Advance();
    }
    Symbol = SymUnknownTag;
    std::string name;
    while (IsUpperLetter(UpperChar)) {
        if (name.size() < 255) name += UpperChar;
        Advance();
    }
    TagLookup tag = LookupTag(name);
    if (tag.Start != SymUnknownTag) Symbol = isEnd ? tag.End : tag.Start;
    while (CurrentChar == ' ' || CurrentChar == CR)
        Advance();
    HeadingLevel = 0;
    if ((Symbol == SymH || Symbol == SymHEnd) && UpperChar >= '1' && UpperChar <= '6') {
        HeadingLevel = UpperChar - '0';
        Advance();
    }
    bool keeps = tag.KeepsAttributes && !isEnd;
    if (keeps) Attributes.Clear();
    TAttribute attr;
    while (ScanAttribute(attr))
        if (keeps) Attributes.Add(std::move(attr));
    while (CurrentChar != '>' && CurrentChar != EofChar)
        Advance();
    if (CurrentChar == '>') TagEnd = Position;
    if (CurrentChar == '>' && AtDocumentEnd() && (Symbol == SymPEnd || Symbol == SymBR)) {
        CurrentChar = UpperChar = ' ';
    } else {
        Advance();
    }
    return true;
}

bool THtmlScanner::ScanAttribute(TAttribute& attr, std::string* scannedName) {
    attr.Which = SymUnknownAttr;
    while (CurrentChar == ' ' || CurrentChar == CR)
        Advance();
    if (!IsUpperLetter(UpperChar)) return false;
    std::string name;
    while (IsUpperLetter(UpperChar) || UpperChar == '-') {
        if (name.size() < 255) name += UpperChar;
        Advance();
    }
    attr.Which = LookupAttribute(name);
    if (scannedName) *scannedName = name;
    while (CurrentChar == ' ' || CurrentChar == CR)
        Advance();
    attr.Value = attr.Which == AttrBORDER ? 1 : 0;
    attr.Name.clear();
    if (UpperChar != '=') return true;
    Advance();
    while (CurrentChar == ' ' || CurrentChar == CR)
        Advance();
    if (CurrentChar == '"' || CurrentChar == '\'') {
        int savedSymbol = Symbol;
        char quote = CurrentChar;
        Advance();
        const int32_t valueStart = Position;
        bool plain = source_ == 0;
        while (CurrentChar != quote && CurrentChar != EofChar) {
            if (CurrentChar == CR) {
                plain = false;
                Advance();
            } else if (CurrentChar == '&') {
                plain = false;
                TextToken.Clear();
                ScanEntity();
                attr.Name += TextToken.S;
                TextToken.Clear();
            } else {
                attr.Name += CurrentChar;
                Advance();
            }
        }
        if (attr.Which == AttrHREF) {
            HrefPlain = plain && CurrentChar == quote && source_ == 0;
            HrefStart = valueStart;
            HrefEnd = Position;
        }
        if (CurrentChar == quote) Advance();
        Symbol = savedSymbol;
        // The number of a quoted value: blanks around it and a percent sign after it left out.
        std::string_view t = attr.Name;
        while (!t.empty() && IsBlank(t.front()))
            t.remove_prefix(1);
        while (!t.empty() && IsBlank(t.back()))
            t.remove_suffix(1);
        if (!t.empty() && t.back() == '%') t.remove_suffix(1);
        attr.Value = AttributeInteger(t);
    } else if (CurrentChar == '+' || CurrentChar == '-' || IsDigit(CurrentChar)) {
        while (CurrentChar != CR && CurrentChar != EofChar && CurrentChar != ' ' && CurrentChar != '%' &&
               CurrentChar != '>') {
            attr.Name += CurrentChar;
            Advance();
        }
        while (CurrentChar == ' ' || CurrentChar == CR)
            Advance();
        attr.Value = AttributeInteger(attr.Name);
        if (CurrentChar == '%') {
            attr.Name += '%';
            Advance();
        }
    } else {
        while (CurrentChar != CR && CurrentChar != EofChar && CurrentChar != ' ' && CurrentChar != '>') {
            attr.Name += CurrentChar;
            Advance();
        }
    }
    return true;
}

bool THtmlScanner::ScanEntity() {
    if (UpperChar != '&') return false;
    Symbol = SymText;
    int32_t start = Position;
    TokenObj raw;
    raw.AddChar('&', start);
    Advance();
    bool isRaw = false;
    int decoded = -1; // a character, or 256 for the three full stops
    if (CurrentChar == '#') {
        raw.AddChar('#', Position);
        Advance();
        int digits = 0;
        int32_t v = 0;
        while (IsDigit(CurrentChar)) {
            raw.AddChar(CurrentChar, Position);
            if (++digits > 5) {
                isRaw = true;
                Advance();
                break;
            }
            v = v * 10 + (CurrentChar - '0');
            Advance();
        }
        if (!isRaw) {
            if (CurrentChar == ';') {
                raw.AddChar(';', Position);
                Advance();
            }
            if (digits == 0)
                isRaw = true;
            else if (v == 9 || v == 10 || v == 13 || v == 127)
                decoded = ' '; // white space, never a control character's glyph
            else if (v >= 32 && v <= 255)
                decoded = v;
            else if (v < 32)
                isRaw = true;
            else
                decoded = static_cast<unsigned char>(UnicodeToAnsi(static_cast<uint16_t>(v & 0xFFFF)));
        }
    } else {
        std::string name;
        while (IsUpperLetter(UpperChar) || IsDigit(CurrentChar)) {
            raw.AddChar(CurrentChar, Position);
            if (name.size() == 6) {
                isRaw = true;
                Advance();
                break;
            }
            name += CurrentChar;
            Advance();
        }
        if (!isRaw) {
            if (CurrentChar == ';') {
                raw.AddChar(';', Position);
                Advance();
            }
            isRaw = true;
            for (size_t i = 0; i < std::size(kFirstEntities); ++i)
                if (name == kFirstEntities[i]) {
                    decoded = i == 7 ? 256 : static_cast<unsigned char>(kFirstEntityChars[i]);
                    isRaw = false;
                }
            for (size_t i = 0; isRaw && i < std::size(kLatinEntities); ++i)
                if (name == kLatinEntities[i]) {
                    decoded = static_cast<int>(160 + i);
                    isRaw = false;
                }
        }
    }
    if (isRaw) {
        TextToken.AddTokenObj(raw);
    } else if (decoded == 256) {
        for (int i = 0; i < 3; ++i)
            TextToken.AddChar('.', start + i);
    } else {
        TextToken.AddChar(static_cast<char>(decoded), start);
    }
    return true;
}

bool THtmlScanner::ScanText() {
    TextToken.Clear();
    for (;;) {
        if (TextToken.Leng() >= 100) {
            Symbol = SymText;
            return true;
        }
        unsigned char c = static_cast<unsigned char>(CurrentChar);
        if (c == '&' || c == '<' || c == static_cast<unsigned char>(EofChar) || (c < 32 && c != CR)) {
            if (TextToken.Leng() == 0) return false;
            Symbol = SymText;
            return true;
        }
        if (!InPre && (c == ' ' || c == CR)) {
            TextToken.AddChar(NoBreak ? '\5' : ' ', Position);
            do
                Advance();
            while (CurrentChar == ' ' || CurrentChar == CR);
            continue;
        }
        TextToken.AddChar(CurrentChar, Position);
        Advance();
    }
}

bool THtmlScanner::ColorFromString(std::string_view s, TColor& color) {
    if (s.empty()) return false;
    std::string u = UpperCase(s);
    std::string head = u.substr(0, 10);
    for (const auto& c : kColors)
        if (head == c.Name) {
            color = c.Value;
            return true;
        }
    size_t hash = u.find('#');
    if (hash != std::string::npos) u.erase(hash, 1);
    while (u.size() < 6)
        u += '0';
    if (u.size() > 8) return false;
    uint32_t n = 0;
    for (char c : u) {
        int d = (c >= '0' && c <= '9') ? c - '0' : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : -1;
        if (d < 0) return false;
        n = n * 16 + static_cast<uint32_t>(d);
    }
    color = static_cast<TColor>((n & 0xFF00) + ((n & 0xFF) << 16) + ((n & 0xFF0000) >> 16));
    return true;
}
