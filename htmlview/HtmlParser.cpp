// The document builder: the element loop and the handlers of every tag it knows.
#include "htmlview/HtmlParser.h"

#include <algorithm>

#include "base/StrUtils.h"
#include "htmlview/HtmlBlocks.h"
#include "htmlview/HtmlForms.h"
#include "htmlview/HtmlObjects.h"
#include "htmlview/HtmlTable.h"
#include "htmlview/HtmlTextSection.h"

namespace {
const SymSet kListEnds = MakeSymSet({SymOLEnd, SymULEnd, SymDIREnd, SymMENUEnd, SymDLEnd, SymBLOCKQUOTEEnd});
const SymSet kTableStops =
    MakeSymSet({SymTABLEEnd, SymTD, SymTDEnd, SymTR, SymTREnd, SymTH, SymTHEnd, SymCAPTION, SymCAPTIONEnd});
const SymSet kStyleTags =
    MakeSymSet({SymB, SymBEnd, SymI, SymIEnd, SymEM, SymEMEnd, SymSTRONG, SymSTRONGEnd, SymU, SymUEnd,
                SymCITE, SymCITEEnd, SymVAR, SymVAREnd, SymS, SymSEnd, SymSTRIKE, SymSTRIKEEnd});
const SymSet kFixedTags = MakeSymSet({SymTT, SymCODE, SymKBD, SymSAMP});
const SymSet kFixedEnds =
    MakeSymSet({SymTTEnd, SymCODEEnd, SymKBDEnd, SymSAMPEnd, SymFONTEnd, SymBIGEnd, SymSMALLEnd});
const SymSet kLoneLI = kStyleTags | kFixedTags |
                       MakeSymSet({SymTTEnd, SymCODEEnd, SymKBDEnd, SymSAMPEnd, SymA, SymAEnd, SymText,
                                   SymFONTEnd, SymSUB, SymSUBEnd, SymSUP, SymSUPEnd, SymBIG, SymBIGEnd,
                                   SymSMALL, SymSMALLEnd, SymNOBR, SymNOBREnd, SymWBR});
const SymSet kCommon =
    kLoneLI |
    MakeSymSet({SymP,           SymPEnd,   SymBR,    SymH,        SymHEnd, SymADDRESS, SymADDRESSEnd,
                SymPRE,         SymIMG,    SymTABLE, SymINPUT,    SymFORM, SymFORMEnd, SymTEXTAREA,
                SymTEXTAREAEnd, SymSELECT, SymFONT,  SymBASEFONT, SymMAP,  SymSCRIPT});

constexpr int32_t kNormalSizes[8] = {0, 8, 10, 12, 14, 18, 24, 36};
constexpr int32_t kPreSizes[8] = {0, 7, 8, 10, 12, 15, 20, 30};
constexpr int kMaxFonts = 25;

std::string AttrText(const TAttributeList& a, int sym) {
    const TAttribute* p = a.Find(sym);
    return p ? p->Name : std::string();
}

struct DepthGuard {
    int& depth;
    explicit DepthGuard(int& d) : depth(d) { ++depth; }
    ~DepthGuard() { --depth; }
};
} // namespace

THtmlParser::THtmlParser() = default;
THtmlParser::~THtmlParser() = default;

// --- frame ---

void THtmlParser::InitBuild(TSectionList& list) {
    Document = &list;
    CurrentCell = &list;
    list.Parser = this;
    InPre = false;
    fontStack_.clear();
    auto base = std::make_unique<TMyFont>();
    base->Name = list.FontName;
    base->Color = list.FontColor | hvPaletteRelative;
    SetNormalSize(*base, list, 12);
    base->Charset = list.CharSet;
    fontStack_.push_back(std::move(base));
    UrlTarget.Clear();
    InLink = false;
    BaseFontSize = 3;
    Title.clear();
    BaseHref.clear();
    BaseTarget.clear();
    Justify = 1;
    StyleBits = 0;
    SubSup = 0;
    CurrentForm = nullptr;
    NoBreak = false;
    Attributes.Clear();
    blockDepth_ = tableDepth_ = 0;
    CurrentSection = std::make_unique<TSection>(Document, 0, Font(), nullptr, Justify);
}

void THtmlParser::FinishBuild() {
    Attributes.Clear();
    if (!CurrentCell) CurrentCell = Document;
    CloseSection();
    fontStack_.clear();
    UrlTarget.Clear();
    InLink = false;
    InPre = false;
    InScript = false;
    NoBreak = false;
}

void THtmlParser::ParseHtmlText(const std::string& text, TSectionList& list, TStringList* anchorNames,
                                TIncludeType onInclude, TSoundType onSound, TMetaType onMeta) {
    InitBuild(list);
    AnchorNames = anchorNames;
    OnInclude = std::move(onInclude);
    IncludeSender = Viewer;
    onSound_ = std::move(onSound);
    onMeta_ = std::move(onMeta);
    BeginScan(text);
    try {
        Advance();
        Next();
        ParseBody(0, SymSet());
    } catch (const Exception&) {
        // Parsing stops; what was built so far stays.
    }
    FinishBuild();
    OnInclude = nullptr;
}

void THtmlParser::ParseTextAsPreformatted(const std::string& text, TSectionList& list,
                                          TStringList* anchorNames) {
    InitBuild(list);
    AnchorNames = anchorNames;
    OnInclude = nullptr;
    BeginScan(text);
    try {
        Advance();
        ParseTextMode();
    } catch (const Exception&) {
    }
    FinishBuild();
}

// --- helpers ---

void THtmlParser::CloseSection() {
    if (!CurrentSection) return;
    if (CurrentCell) {
        CurrentSection->FinishBuilding();
        // An empty line keeps a small record of its own, unless an anchor names it.
        const bool named = AnchorNames && AnchorNames->Count() > 0 &&
                           AnchorNames->GetObject(AnchorNames->Count() - 1) == CurrentSection.get();
        if (auto line = named ? nullptr : TBreakLine::From(*CurrentSection)) {
            CurrentSection.reset();
            CurrentCell->Add(std::move(line));
            return;
        }
        CurrentCell->Add(std::move(CurrentSection));
        return;
    }
    // Nowhere to put it: nothing may keep pointing at it.
    TSection* s = CurrentSection.get();
    if (AnchorNames)
        for (int i = AnchorNames->Count() - 1; i >= 0; --i)
            if (AnchorNames->GetObject(i) == s) AnchorNames->Delete(i);
    CurrentSection.reset();
}

void THtmlParser::NewSection(uint8_t justify, int level) {
    CloseSection();
    CurrentSection =
        std::make_unique<TSection>(Document, level, Font(), InLink ? &UrlTarget : nullptr, justify);
}

void THtmlParser::EnsureSection(int level) {
    if (!CurrentSection)
        CurrentSection =
            std::make_unique<TSection>(Document, level, Font(), InLink ? &UrlTarget : nullptr, Justify);
}

void THtmlParser::RefreshFont() {
    if (CurrentSection) CurrentSection->ChangeFont(Font());
}

bool THtmlParser::PushFont() {
    if (static_cast<int>(fontStack_.size()) >= kMaxFonts) return false;
    fontStack_.push_back(std::make_unique<TMyFont>(Font()));
    return true;
}

void THtmlParser::PopFont() {
    if (fontStack_.size() > 1) fontStack_.pop_back();
}

void THtmlParser::EndLink() {
    if (!InLink) return;
    UrlTarget.Clear();
    InLink = false;
    PopFont();
    if (CurrentSection) CurrentSection->HRef(false, Font(), UrlTarget);
}

uint8_t THtmlParser::AlignOf(const TAttribute* a, uint8_t dflt) const {
    if (!a) return dflt;
    std::string v = LowerCase(a->Name);
    if (v == "left") return 1;
    if (v == "center") return 2;
    if (v == "right") return 3;
    return dflt;
}

ThtmlForm* THtmlParser::CurrentFormOrNew() {
    if (!CurrentForm)
        CurrentForm = Document->FormList.Add(std::make_unique<ThtmlForm>(Document, TAttributeList()));
    return CurrentForm;
}

void THtmlParser::StyleSymbol(int sym) {
    switch (sym) {
    case SymB:
    case SymSTRONG:
        StyleBits |= fsBold;
        break;
    case SymBEnd:
    case SymSTRONGEnd:
        StyleBits &= static_cast<uint8_t>(~fsBold);
        break;
    case SymI:
    case SymEM:
    case SymCITE:
    case SymVAR:
        StyleBits |= fsItalic;
        break;
    case SymIEnd:
    case SymEMEnd:
    case SymCITEEnd:
    case SymVAREnd:
        StyleBits &= static_cast<uint8_t>(~fsItalic);
        break;
    case SymU:
        StyleBits |= fsUnderline;
        break;
    case SymUEnd:
        StyleBits &= static_cast<uint8_t>(~fsUnderline);
        break;
    case SymS:
    case SymSTRIKE:
        StyleBits |= fsStrikeOut;
        break;
    case SymSEnd:
    case SymSTRIKEEnd:
        StyleBits &= static_cast<uint8_t>(~fsStrikeOut);
        break;
    default:
        break;
    }
}

// --- the element loop ---

void THtmlParser::ParseBody(int level, const SymSet& closing) {
    while (Symbol != SymEof) {
        int sym = Symbol;
        switch (sym) {
        case SymTITLE:
            Next();
            Title.clear();
            while (Symbol == SymText) {
                Title += TextToken.S;
                Next();
            }
            break;
        case SymBODY:
            DoBody(level);
            break;
        case SymHR:
            CloseSection();
            if (CurrentCell) CurrentCell->Add(std::make_unique<THorzLine>(Document, Attributes));
            Next();
            break;
        case SymBASE:
            if (Attributes.Has(AttrHREF)) BaseHref = AttrText(Attributes, AttrHREF);
            if (Attributes.Has(AttrTARGET)) BaseTarget = AttrText(Attributes, AttrTARGET);
            Next();
            break;
        case SymOL:
        case SymUL:
        case SymDIR:
        case SymMENU:
        case SymDL:
            ParseLists(1, sym, closing);
            Next();
            break;
        case SymBLOCKQUOTE:
            CloseSection();
            ParseLists(1, SymBLOCKQUOTE, closing);
            Next();
            break;
        case SymLI:
            if (level == 0) {
                CloseSection();
                CurrentSection =
                    std::make_unique<TUListItem>(Document, InLink ? &UrlTarget : nullptr, Font(), 1);
                SkipBlanks();
                Next();
                while (kLoneLI[static_cast<size_t>(Symbol)])
                    ParseCommon(1);
                CloseSection();
            } else {
                Next();
            }
            break;
        case SymCENTER:
        case SymDIV: {
            if (blockDepth_ >= MaxBlockDepth) {
                Next();
                break;
            }
            DepthGuard guard(blockDepth_);
            CloseSection();
            uint8_t saved = Justify;
            if (sym == SymCENTER)
                Justify = 2;
            else
                Justify = AlignOf(Attributes.Find(AttrALIGN), Justify);
            NewSection(Justify, level);
            Next();
            ParseBody(level, closing | MakeSymSet({SymCENTEREnd, SymDIVEnd}));
            CloseSection();
            Justify = saved;
            NewSection(Justify, level);
            if (Symbol == SymCENTEREnd || Symbol == SymDIVEnd) Next();
            break;
        }
        case SymBGSOUND:
            if (onSound_ && Attributes.Has(AttrSRC)) {
                const TAttribute* loop = Attributes.Find(AttrLOOP);
                onSound_(Viewer, AttrText(Attributes, AttrSRC), loop ? loop->Value : 1, false);
            }
            Next();
            break;
        case SymMETA:
            DoMeta();
            break;
        default:
            if (kCommon[static_cast<size_t>(sym)]) {
                ParseCommon(level);
            } else {
                if (closing[static_cast<size_t>(sym)]) return;
                Next();
            }
            break;
        }
    }
    Next();
}

void THtmlParser::DoBody(int level) {
    if (!CurrentCell || CurrentCell->Count() > 0) {
        Next();
        return;
    }
    // The text before BODY is dropped; its anchors move to the new section and its controls
    // leave the document's lists.
    std::unique_ptr<TSection> dropped = std::move(CurrentSection);
    TColor c;
    for (const auto& a : Attributes) {
        switch (a.Which) {
        case AttrTEXT:
            if (ColorFromString(a.Name, c)) {
                Font().Color = c | hvPaletteRelative;
                Document->FontColor = c | hvPaletteRelative;
            }
            break;
        case AttrLINK:
            if (ColorFromString(a.Name, c)) Document->HotSpotColor = c | hvPaletteRelative;
            break;
        case AttrVLINK:
            if (ColorFromString(a.Name, c)) Document->VisitedColor = c | hvPaletteRelative;
            break;
        case AttrOLINK:
            if (ColorFromString(a.Name, c)) {
                Document->OverColor = c | hvPaletteRelative;
                Document->LinksActive = true;
            }
            break;
        case AttrBGCOLOR:
            if (ColorFromString(a.Name, c)) Document->SetBackground(c | hvPaletteRelative);
            break;
        case AttrBACKGROUND:
            Document->SetBackgroundBitmap(a.Name);
            break;
        default:
            break;
        }
    }
    const TAttribute* mw = Attributes.Find(AttrMARGINWIDTH);
    const TAttribute* mh = Attributes.Find(AttrMARGINHEIGHT);
    if ((mw || mh) && Document->Host)
        Document->Host->SetMargins(mw ? ClampInt(mw->Value, 0, 200) : -1,
                                   mh ? ClampInt(mh->Value, 0, 200) : -1);
    NewSection(Justify, level);
    if (dropped) {
        TSection* old = dropped.get();
        if (AnchorNames)
            for (int i = 0; i < AnchorNames->Count(); ++i)
                if (AnchorNames->GetObject(i) == old) AnchorNames->PutObject(i, CurrentSection.get());
        auto& list = Document->FormControlList;
        auto unregister = [&](TFormControlObj* ctrl) {
            list.erase(std::remove(list.begin(), list.end(), ctrl), list.end());
            ThtmlForm* form = ctrl->OwnerForm;
            for (int i = 0; i < form->ControlList.Count(); ++i)
                if (form->ControlList[i] == ctrl) {
                    if (!ctrl->Hidden() || ctrl->Kind == FormControlKind::Image) --form->VisibleControlCount;
                    form->ControlList.Delete(i);
                    break;
                }
        };
        std::vector<TFormControlObj*> controls = old->FormControls;
        for (const auto& img : old->Images)
            if (img->FormControl) controls.push_back(img->FormControl);
        old->FormControls.clear();
        for (auto* ctrl : controls)
            unregister(ctrl);
        dropped.reset(); // unregisters its link runs
    }
    Next();
}

void THtmlParser::DoMeta() {
    std::string httpEq = AttrText(Attributes, AttrHTTPEQUIV);
    std::string name = AttrText(Attributes, AttrNAME);
    std::string content = AttrText(Attributes, AttrCONTENT);
    if (SameText(httpEq, "content-type")) {
        static const struct {
            const char* Key;
            uint8_t Set;
        } kSets[] = {{"1252", 0},     {"8859-1", 0},   {"1253", 161},   {"8859-7", 161}, {"1250", 238},
                     {"8859-2", 238}, {"1251", 204},   {"8859-5", 204}, {"koi8-r", 204}, {"1254", 162},
                     {"8859-3", 162}, {"8859-9", 162}, {"1257", 186},   {"8859-4", 186}};
        std::string lc = LowerCase(content);
        uint8_t set = Document->CharSet;
        for (const auto& s : kSets)
            if (lc.find(s.Key) != std::string::npos) {
                set = s.Set;
                break;
            }
        Font().Charset = set;
    }
    if (onMeta_) onMeta_(Viewer, httpEq, name, content);
    Next();
}

void THtmlParser::ParseCommon(int level) {
    int sym = Symbol;
    if (kStyleTags[static_cast<size_t>(sym)]) {
        StyleSymbol(sym);
        RefreshFont();
        Next();
        return;
    }
    if (kFixedTags[static_cast<size_t>(sym)]) {
        if (PushFont()) {
            Font().Name = Document->PreFontName;
            SetNormalSize(Font(), *Document, 10);
            Font().Fixed = true;
        }
        RefreshFont();
        Next();
        return;
    }
    if (kFixedEnds[static_cast<size_t>(sym)]) {
        PopFont();
        RefreshFont();
        Next();
        return;
    }
    switch (sym) {
    case SymP:
    case SymPEnd: {
        CloseSection();
        if (!AfterParagraphSpace && CurrentCell)
            CurrentCell->Add(std::make_unique<TParagraphSpace>(Document));
        SkipBlanks();
        uint8_t align = sym == SymP ? AlignOf(Attributes.Find(AttrALIGN), Justify) : Justify;
        AfterParagraphSpace = true;
        Next();
        while (Symbol == SymP || Symbol == SymPEnd) {
            align = Symbol == SymP ? AlignOf(Attributes.Find(AttrALIGN), Justify) : Justify;
            SkipBlanks();
            AfterParagraphSpace = true;
            Next();
        }
        NewSection(align, level);
        return;
    }
    case SymSUB:
    case SymSUP:
        EnsureSection(level);
        SubSup = sym == SymSUB ? 1 : 2;
        RefreshFont();
        Next();
        return;
    case SymSUBEnd:
    case SymSUPEnd:
        SubSup = 0;
        RefreshFont();
        Next();
        return;
    case SymBR: {
        uint8_t align = CurrentSection ? CurrentSection->LineBreak(TagStart, NoBreak) : Justify;
        NewSection(align, level);
        CurrentSection->CheckClear(Attributes);
        Next();
        return;
    }
    case SymH:
        if (static_cast<int>(fontStack_.size()) < kMaxFonts) {
            CloseSection();
            PushFont();
            static constexpr int32_t kHeading[] = {12, 24, 18, 14, 12, 10, 8};
            SetNormalSize(Font(), *Document, kHeading[HeadingLevel]);
            if (HeadingLevel >= 1) Font().Style |= fsBold;
            if (CurrentCell) CurrentCell->Add(std::make_unique<THeadingSpace>(Document, HeadingLevel));
            NewSection(AlignOf(Attributes.Find(AttrALIGN), Justify), level);
        }
        Next();
        return;
    case SymHEnd:
        if (fontStack_.size() > 1) {
            CloseSection();
            if (CurrentCell) CurrentCell->Add(std::make_unique<THeadingSpace>(Document, HeadingLevel));
            PopFont();
        }
        Next();
        return;
    case SymADDRESS:
        CloseSection();
        if (PushFont()) Font().Style |= fsItalic;
        NewSection(Justify, level);
        Next();
        return;
    case SymADDRESSEnd:
        CloseSection();
        PopFont();
        Next();
        return;
    case SymPRE:
        ParsePre(level);
        return;
    case SymIMG:
        EnsureSection(level);
        CurrentSection->AddImage(Attributes, CurrentCell, NoBreak, TagStart);
        Next();
        return;
    case SymA:
        for (const auto& a : Attributes) {
            if (a.Which == AttrHREF) {
                EndLink();
                if (!a.Name.empty()) {
                    UrlTarget.Assign(a.Name, AttrText(Attributes, AttrTARGET));
                    InLink = true;
                    if (PushFont()) {
                        Font().Style |= Document->LinkStyle;
                        Font().Color = Document->HotSpotColor | hvPaletteRelative;
                    }
                    if (CurrentSection) CurrentSection->HRef(true, Font(), UrlTarget);
                }
            } else if (a.Which == AttrNAME && !a.Name.empty()) {
                EnsureSection(level);
                std::string name = UpperCase(a.Name);
                if (!name.empty() && name[0] == '#') name.erase(0, 1);
                if (AnchorNames) AnchorNames->AddObject(name, CurrentSection.get());
            }
        }
        Next();
        return;
    case SymAEnd:
        EndLink();
        Next();
        return;
    case SymText:
        EnsureSection(level);
        CurrentSection->AppendToken(TextToken, NoBreak);
        Next();
        return;
    case SymTABLE:
        ParseTable(level);
        return;
    case SymINPUT:
    case SymSELECT: {
        EnsureSection(level);
        TFormControlObj* ctrl = CurrentSection->AddFormControl(sym, CurrentFormOrNew(), NoBreak, TagStart,
                                                               CurrentCell, Attributes);
        if (sym == SymSELECT) ParseSelect(ctrl);
        Next();
        return;
    }
    case SymFORM:
        CurrentForm = Document->FormList.Add(std::make_unique<ThtmlForm>(Document, Attributes));
        Next();
        return;
    case SymFORMEnd:
        CurrentForm = nullptr;
        Next();
        return;
    case SymTEXTAREA: {
        EnsureSection(level);
        TFormControlObj* ctrl = CurrentSection->AddFormControl(sym, CurrentFormOrNew(), NoBreak, TagStart,
                                                               CurrentCell, Attributes);
        ParseTextArea(ctrl);
        Next();
        return;
    }
    case SymTEXTAREAEnd:
        Next();
        return;
    case SymFONT:
    case SymBASEFONT:
        if (ParseFont(sym, false)) RefreshFont();
        Next();
        return;
    case SymBIG:
    case SymSMALL:
        if (ParseBigSmall(sym, false)) RefreshFont();
        Next();
        return;
    case SymMAP:
        ParseMap();
        return;
    case SymSCRIPT:
        ParseScript();
        Next();
        return;
    case SymNOBR:
    case SymNOBREnd:
        NoBreak = sym == SymNOBR;
        Next();
        return;
    case SymWBR:
        if (NoBreak && CurrentSection) CurrentSection->AddChar(' ', TagStart, false);
        Next();
        return;
    default:
        Next();
        return;
    }
}

// --- fonts ---

bool THtmlParser::ParseFont(int sym, bool inPre) {
    int index = 0;
    TColor color = 0;
    bool colorGiven = false;
    std::string face;
    for (const auto& a : Attributes) {
        if (a.Which == AttrSIZE) {
            int32_t v = ClampInt(a.Value, -1000, 1000);
            if (a.Name.size() >= 2 && (a.Name[0] == '+' || a.Name[0] == '-')) v += BaseFontSize;
            index = ClampInt(v, 1, 7);
        } else if (a.Which == AttrCOLOR && sym == SymFONT) {
            colorGiven = ColorFromString(a.Name, color) || colorGiven;
        } else if (a.Which == AttrFACE && sym == SymFONT) {
            std::string f = a.Name.substr(0, 50);
            size_t comma = f.find(',');
            if (comma != std::string::npos) f.erase(comma);
            face = Trim(f);
        }
    }
    if (sym == SymBASEFONT) {
        if (index > 0) BaseFontSize = index;
        if (CurrentCell != Document || CurrentCell->Count() > 0) return false;
    }
    if (!PushFont()) return false;
    if (index == 0 && !colorGiven && face.empty()) return false;
    if (colorGiven) Font().Color = color | hvPaletteRelative;
    if (index > 0) SetNormalSize(Font(), *Document, inPre ? kPreSizes[index] : kNormalSizes[index]);
    if (!face.empty()) {
        Font().Name = face;
        Font().Fixed = false;
    }
    return true;
}

bool THtmlParser::ParseBigSmall(int sym, bool inPre) {
    int index = 0;
    for (int i = 1; i <= 7 && index == 0; ++i)
        if ((inPre && Font().NormalSize == kPreSizes[i]) || Font().NormalSize == kNormalSizes[i]) index = i;
    if (!PushFont()) return false;
    if (index == 0) return true; // a size outside the table stays as it is
    if (sym == SymSMALL && index >= 2)
        --index;
    else if (sym == SymBIG && index <= 6)
        ++index;
    const int32_t* table = inPre && Font().NormalSize == kPreSizes[index] ? kPreSizes : kNormalSizes;
    SetNormalSize(Font(), *Document, table[index]);
    return true;
}

// --- lists ---

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
        case SymOL:
        case SymUL:
        case SymDIR:
        case SymMENU:
        case SymDL:
            ParseLists(level + 1, Symbol, closing);
            Next();
            break;
        case SymBLOCKQUOTE:
            CloseSection();
            ParseLists(level + 1, SymBLOCKQUOTE, closing);
            Next();
            break;
        case SymHR:
            CloseSection();
            if (CurrentCell) CurrentCell->Add(std::make_unique<THorzLine>(Document, Attributes));
            Next();
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
            if (kCommon[static_cast<size_t>(Symbol)]) {
                ParseCommon(contentLevel);
            } else {
                if (closing[static_cast<size_t>(Symbol)]) return;
                Next();
            }
            break;
        }
    }
    CloseSection();
}

// --- tables ---

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

// --- preformatted text and text mode ---

void THtmlParser::ParsePre(int level) {
    CloseSection();
    size_t fontDepth = fontStack_.size();
    if (PushFont()) {
        Font().Name = Document->PreFontName;
        SetNormalSize(Font(), *Document, 10);
        Font().Fixed = true;
    }
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
                if (sym == SymA) {
                    for (const auto& a : Attributes)
                        if (a.Which == AttrHREF) {
                            EndLink();
                            if (!a.Name.empty()) {
                                UrlTarget.Assign(a.Name, AttrText(Attributes, AttrTARGET));
                                InLink = true;
                                if (PushFont()) {
                                    Font().Style |= Document->LinkStyle;
                                    Font().Color = Document->HotSpotColor | hvPaletteRelative;
                                }
                                CurrentSection->HRef(true, Font(), UrlTarget);
                            }
                        } else if (a.Which == AttrNAME && !a.Name.empty() && AnchorNames) {
                            std::string name = UpperCase(a.Name);
                            if (name[0] == '#') name.erase(0, 1);
                            AnchorNames->AddObject(name, CurrentSection.get());
                        }
                } else if (sym == SymAEnd) {
                    EndLink();
                } else if (sym == SymFORM) {
                    CurrentForm = Document->FormList.Add(std::make_unique<ThtmlForm>(Document, Attributes));
                } else {
                    CurrentForm = nullptr;
                }
            } else if (sym == SymIMG) {
                flush();
                if (!CurrentSection) newPre();
                CurrentSection->AddImage(Attributes, CurrentCell, false, TagStart);
            } else if (sym == SymINPUT || sym == SymSELECT || sym == SymTEXTAREA) {
                flush();
                if (!CurrentSection) newPre();
                TFormControlObj* ctrl = CurrentSection->AddFormControl(sym, CurrentFormOrNew(), false,
                                                                       TagStart, CurrentCell, Attributes);
                if (sym == SymSELECT)
                    ParseSelect(ctrl);
                else if (sym == SymTEXTAREA)
                    ParseTextArea(ctrl);
            } else if (sym == SymSCRIPT) {
                ParseScript();
            } else if (sym == SymText) {
                tok.AddTokenObj(TextToken); // a '<' that starts no tag
            }
        } else if (c == EofChar) {
            done = true;
        } else {
            // Raw placeholder bytes would be read as pictures or controls.
            if (c == 0 || c == PhControl || (c >= PhPicture && c <= PhPictureNoBreak)) c = ' ';
            tok.AddChar(c, Position);
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
    PushFont();
    Font().Name = Document->PreFontName;
    SetNormalSize(Font(), *Document, 10);
    Font().Fixed = true;
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
            if (c == 0 || c == PhControl || (c >= PhPicture && c <= PhPictureNoBreak)) c = ' ';
            tok.AddChar(c, Position);
            if (tok.Leng() > 200) flush();
        }
        Advance();
    }
    flush();
    CloseSection();
    InPre = false;
    PopFont();
}

// --- forms ---

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

// --- script and map ---

void THtmlParser::ParseScript() {
    std::string name = AttrText(Attributes, AttrNAME), language = AttrText(Attributes, AttrLANGUAGE);
    struct ScriptGuard {
        bool& flag;
        explicit ScriptGuard(bool& f) : flag(f) { flag = true; }
        ~ScriptGuard() { flag = false; }
    } guard(InScript);
    std::string buffer;
    for (;;) {
        char c = CurrentChar;
        if (c == EofChar) break;
        if (c == CR) {
            buffer += "\r\n";
            Advance();
            continue;
        }
        if (c == '<') {
            std::string s(1, '<');
            Advance();
            for (int n = 0; n < 7 && (CurrentChar == '/' || (UpperChar >= 'A' && UpperChar <= 'Z')); ++n) {
                s += CurrentChar;
                Advance();
            }
            if (CurrentChar == '>') {
                s += '>';
                Advance();
            }
            if (LowerCase(s) == "</script>") break;
            buffer += s;
            continue;
        }
        for (int n = 0; n < 100 && CurrentChar != CR && CurrentChar != EofChar && CurrentChar != '<'; ++n) {
            buffer += CurrentChar;
            Advance();
        }
    }
    if (OnScript) OnScript(Viewer, name, language, buffer);
}

void THtmlParser::ParseMap() {
    auto map = std::make_unique<TMapItem>();
    map->MapName = UpperCase(AttrText(Attributes, AttrNAME));
    Next();
    int stray = 0;
    while (Symbol != SymMAPEnd && Symbol != SymEof && stray < 3) {
        if (Symbol == SymAREA)
            map->AddArea(Attributes);
        else if (Symbol != SymText)
            ++stray;
        Next();
    }
    if (Symbol == SymMAPEnd) Document->MapList.Add(std::move(map));
    Next();
}
