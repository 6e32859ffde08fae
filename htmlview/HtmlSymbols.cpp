// The fixed tables of tag and attribute names.
#include "htmlview/HtmlSymbols.h"

#include <array>
#include <string>

namespace {
struct TagEntry {
    const char* Name;
    int Start;
    int End;
};

constexpr TagEntry kTags[] = {
#define HV_WITH(n) {#n, Sym##n, Sym##n##End},
    HV_TAGS_WITH_END(HV_WITH)
#undef HV_WITH
#define HV_WITHOUT(n) {#n, Sym##n, SymUnknownTag},
        HV_TAGS_WITHOUT_END(HV_WITHOUT)
#undef HV_WITHOUT
            {"SELECTED", SymSELECTED, SymUnknownTag},
    {"WRAP", SymWRAP, SymUnknownTag},
};

// Tags whose attributes are kept in the attribute list.
constexpr int kKeeping[] = {SymBODY,     SymP,     SymBR,   SymH,        SymHR,     SymBASE,   SymOL,
                            SymUL,       SymIMG,   SymA,    SymTABLE,    SymTD,     SymTR,     SymTH,
                            SymCAPTION,  SymINPUT, SymFORM, SymTEXTAREA, SymSELECT, SymOPTION, SymFONT,
                            SymBASEFONT, SymMAP,   SymAREA, SymFRAMESET, SymFRAME,  SymSCRIPT, SymDIV,
                            SymBGSOUND,  SymWRAP,  SymMETA};

struct AttrEntry {
    const char* Name;
    int Sym;
};

constexpr AttrEntry kAttrs[] = {
    {"HREF", AttrHREF},
    {"NAME", AttrNAME},
    {"SRC", AttrSRC},
    {"ALT", AttrALT},
    {"ALIGN", AttrALIGN},
    {"TEXT", AttrTEXT},
    {"BGCOLOR", AttrBGCOLOR},
    {"LINK", AttrLINK},
    {"BACKGROUND", AttrBACKGROUND},
    {"COLSPAN", AttrCOLSPAN},
    {"ROWSPAN", AttrROWSPAN},
    {"BORDER", AttrBORDER},
    {"CELLPADDING", AttrCELLPADDING},
    {"CELLSPACING", AttrCELLSPACING},
    {"VALIGN", AttrVALIGN},
    {"WIDTH", AttrWIDTH},
    {"START", AttrSTART},
    {"VALUE", AttrVALUE},
    {"TYPE", AttrTYPE},
    {"CHECKBOX", AttrCHECKBOX},
    {"RADIO", AttrRADIO},
    {"METHOD", AttrMETHOD},
    {"ACTION", AttrACTION},
    {"CHECKED", AttrCHECKED},
    {"SIZE", AttrSIZE},
    {"MAXLENGTH", AttrMAXLENGTH},
    {"COLS", AttrCOLS},
    {"ROWS", AttrROWS},
    {"MULTIPLE", AttrMULTIPLE},
    {"VALUE", AttrVALUE},
    {"SELECTED", AttrSELECTED},
    {"FACE", AttrFACE},
    {"COLOR", AttrCOLOR},
    {"TRANSP", AttrTRANSP},
    {"CLEAR", AttrCLEAR},
    {"ISMAP", AttrISMAP},
    {"BORDERCOLOR", AttrBORDERCOLOR},
    {"USEMAP", AttrUSEMAP},
    {"SHAPE", AttrSHAPE},
    {"COORDS", AttrCOORDS},
    {"NOHREF", AttrNOHREF},
    {"HEIGHT", AttrHEIGHT},
    {"PLAIN", AttrPLAIN},
    {"TARGET", AttrTARGET},
    {"NORESIZE", AttrNORESIZE},
    {"SCROLLING", AttrSCROLLING},
    {"HSPACE", AttrHSPACE},
    {"LANGUAGE", AttrLANGUAGE},
    {"FRAMEBORDER", AttrFRAMEBORDER},
    {"MARGINWIDTH", AttrMARGINWIDTH},
    {"MARGINHEIGHT", AttrMARGINHEIGHT},
    {"LOOP", AttrLOOP},
    {"ONCLICK", AttrONCLICK},
    {"WRAP", AttrWRAP},
    {"NOSHADE", AttrNOSHADE},
    {"HTTP-EQUIV", AttrHTTPEQUIV},
    {"CONTENT", AttrCONTENT},
    {"ENCTYPE", AttrENCTYPE},
    {"VLINK", AttrVLINK},
    {"OLINK", AttrOLINK},
    {"ACTIVE", AttrACTIVE},
    {"VSPACE", AttrVSPACE},
    {"NOWRAP", AttrNOWRAP},
};
static_assert(std::size(kAttrs) == 63);
static_assert(std::size(kTags) == 66);
} // namespace

SymSet MakeSymSet(std::initializer_list<int> syms) {
    SymSet s;
    for (int sym : syms)
        s.set(static_cast<size_t>(sym));
    return s;
}

TagLookup LookupTag(std::string_view upperName) {
    for (const auto& t : kTags)
        if (upperName == t.Name) {
            TagLookup r;
            r.Start = t.Start;
            r.End = t.End;
            for (int k : kKeeping)
                if (k == t.Start) r.KeepsAttributes = true;
            return r;
        }
    return {};
}

int LookupAttribute(std::string_view upperName) {
    for (const auto& a : kAttrs)
        if (upperName == a.Name) return a.Sym;
    return SymUnknownAttr;
}

std::string_view SymbolName(int sym) {
    for (const auto& t : kTags)
        if (t.Start == sym || t.End == sym) return t.Name;
    return {};
}
