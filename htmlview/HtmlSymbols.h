// The parser's symbols: one start symbol per known tag, an end symbol for the first 49
// tags, one symbol per attribute name, and the text/end-of-input symbols. The numbering is
// internal; only identities and groups matter.
#pragma once

#include <bitset>
#include <string_view>

// Tags with an end symbol, in table order.
#define HV_TAGS_WITH_END(X)                                                                                  \
    X(HTML)                                                                                                  \
    X(TITLE)                                                                                                 \
    X(BODY)                                                                                                  \
    X(HEAD)                                                                                                  \
    X(B) X(I) X(H) X(EM) X(STRONG) X(U) X(CITE) X(VAR) X(TT) X(CODE) X(KBD) X(SAMP) X(OL) X(UL) X(DIR)       \
        X(MENU) X(DL) X(A) X(ADDRESS) X(BLOCKQUOTE) X(PRE) X(CENTER) X(TABLE) X(TD) X(TH) X(CAPTION) X(FORM) \
            X(TEXTAREA) X(SELECT) X(OPTION) X(FONT) X(SUB) X(SUP) X(BIG) X(SMALL) X(P) X(MAP) X(FRAMESET)    \
                X(NOFRAMES) X(SCRIPT) X(DIV) X(S) X(STRIKE) X(TR) X(NOBR)
// Tags without an end symbol (their end tags are unknown tags). SELECTED and WRAP use the
// attribute symbols of the same names.
#define HV_TAGS_WITHOUT_END(X)                                                                               \
    X(LI)                                                                                                    \
    X(BR)                                                                                                    \
    X(HR) X(DD) X(DT) X(IMG) X(BASE) X(BUTTON) X(INPUT) X(BASEFONT) X(AREA) X(FRAME) X(BGSOUND) X(META) X(WBR)

enum HtmlSymbol : int {
    SymNone = 0,
    SymText,
    SymOtherChar,
    SymUnknownTag,
    SymEof,
    SymUnknownAttr,
    SymEol,
#define HV_START(n) Sym##n,
    HV_TAGS_WITH_END(HV_START) HV_TAGS_WITHOUT_END(HV_START)
#undef HV_START
#define HV_END(n) Sym##n##End,
        HV_TAGS_WITH_END(HV_END)
#undef HV_END
    // Attributes.
    AttrHREF,
    AttrNAME,
    AttrSRC,
    AttrALT,
    AttrALIGN,
    AttrTEXT,
    AttrBGCOLOR,
    AttrLINK,
    AttrBACKGROUND,
    AttrCOLSPAN,
    AttrROWSPAN,
    AttrBORDER,
    AttrCELLPADDING,
    AttrCELLSPACING,
    AttrVALIGN,
    AttrWIDTH,
    AttrSTART,
    AttrVALUE,
    AttrTYPE,
    AttrCHECKBOX,
    AttrRADIO,
    AttrMETHOD,
    AttrACTION,
    AttrCHECKED,
    AttrSIZE,
    AttrMAXLENGTH,
    AttrCOLS,
    AttrROWS,
    AttrMULTIPLE,
    AttrSELECTED,
    AttrFACE,
    AttrCOLOR,
    AttrTRANSP,
    AttrCLEAR,
    AttrISMAP,
    AttrBORDERCOLOR,
    AttrUSEMAP,
    AttrSHAPE,
    AttrCOORDS,
    AttrNOHREF,
    AttrHEIGHT,
    AttrPLAIN,
    AttrTARGET,
    AttrNORESIZE,
    AttrSCROLLING,
    AttrHSPACE,
    AttrLANGUAGE,
    AttrFRAMEBORDER,
    AttrMARGINWIDTH,
    AttrMARGINHEIGHT,
    AttrLOOP,
    AttrONCLICK,
    AttrWRAP,
    AttrNOSHADE,
    AttrHTTPEQUIV,
    AttrCONTENT,
    AttrENCTYPE,
    AttrVLINK,
    AttrOLINK,
    AttrACTIVE,
    AttrVSPACE,
    AttrNOWRAP,
    SymCount
};

// The two tags that share their attribute's symbol.
constexpr int SymSELECTED = AttrSELECTED;
constexpr int SymWRAP = AttrWRAP;

using SymSet = std::bitset<SymCount>;
SymSet MakeSymSet(std::initializer_list<int> syms);

// Table lookups (names upper case); SymUnknownTag / SymUnknownAttr when absent.
struct TagLookup {
    int Start = SymUnknownTag;
    int End = SymUnknownTag; // SymUnknownTag for tags without an end symbol
    bool KeepsAttributes = false;
};
TagLookup LookupTag(std::string_view upperName);
int LookupAttribute(std::string_view upperName);
// The tag name of a start or end symbol ("" for others); used in messages and tests.
std::string_view SymbolName(int sym);
