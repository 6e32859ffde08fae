// The fixed tables of tag and attribute names.
#include "htmlview/HtmlSymbols.h"

#include <array>
#include <string>
#include <unordered_map>

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
    static const std::unordered_map<std::string_view, TagLookup> table = [] {
        std::unordered_map<std::string_view, TagLookup> t;
        for (const auto& tag : kTags) {
            TagLookup r;
            r.Start = tag.Start;
            r.End = tag.End;
            for (int k : kKeeping)
                if (k == tag.Start) r.KeepsAttributes = true;
            t.emplace(tag.Name, r);
        }
        return t;
    }();
    auto it = table.find(upperName);
    return it == table.end() ? TagLookup() : it->second;
}

int LookupAttribute(std::string_view upperName) {
    static const std::unordered_map<std::string_view, int> table = [] {
        std::unordered_map<std::string_view, int> t;
        for (const auto& a : kAttrs)
            t.emplace(a.Name, a.Sym);
        return t;
    }();
    auto it = table.find(upperName);
    return it == table.end() ? SymUnknownAttr : it->second;
}

std::string_view SymbolName(int sym) {
    for (const auto& t : kTags)
        if (t.Start == sym || t.End == sym) return t.Name;
    return {};
}
