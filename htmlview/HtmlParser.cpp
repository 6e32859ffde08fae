// The document builder: the frame of a parse, the element loop, the table of the tags that
// stand in running text, fonts, script and map. Lists, tables, forms and preformatted text have
// files of their own (HtmlParserLists.cpp, HtmlParserTables.cpp, HtmlParserForms.cpp,
// HtmlParserPre.cpp).
#include "htmlview/HtmlParser.h"

#include <algorithm>

#include "base/StrUtils.h"
#include "htmlview/HtmlBlocks.h"
#include "htmlview/HtmlForms.h"
#include "htmlview/HtmlLinkLines.h"
#include "htmlview/HtmlObjects.h"
#include "htmlview/HtmlParserParts.h"
#include "htmlview/HtmlTextSection.h"

namespace {
const SymSet kFixedEnds =
    MakeSymSet({SymTTEnd, SymCODEEnd, SymKBDEnd, SymSAMPEnd, SymFONTEnd, SymBIGEnd, SymSMALLEnd});

constexpr int32_t kNormalSizes[8] = {0, 8, 10, 12, 14, 18, 24, 36};
constexpr int32_t kPreSizes[8] = {0, 7, 8, 10, 12, 15, 20, 30};
} // namespace

using namespace htmlparser;

THtmlParser::THtmlParser() = default;
THtmlParser::~THtmlParser() = default;

// --- frame ---

void THtmlParser::InitBuild(TSectionList& list) {
    Document = &list;
    CurrentCell = &list;
    list.Parser = this;
    InPre = false;
    fontStack_.clear();
    fontStack_.reserve(kMaxFonts);
    TMyFont& base = fontStack_.emplace_back();
    base.Name = list.FontName;
    base.Color = list.FontColor | hvPaletteRelative;
    SetNormalSize(base, list, 12);
    base.Charset = list.CharSet;
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
    watch_ = TLineWatch();
    pattern_ = TLinkLinePattern();
    absorbed_ = nullptr;
    absorbedBy_ = nullptr;
    LinkLinesReadFast = 0;
    CurrentSection = std::make_unique<TSection>(Document, 0, Font(), nullptr, Justify);
}

void THtmlParser::FinishBuild() {
    Attributes.Clear();
    pattern_ = TLinkLinePattern();
    watch_ = TLineWatch();
    if (!CurrentCell) CurrentCell = Document;
    CloseSection();
    EndScan();
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
    absorbed_ = nullptr;
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
        if (!named && Document && Document->CompactLinkLines) {
            // A link line joins the run of lines before it, or starts one.
            TSectionBase* last =
                CurrentCell->Count() > 0 ? CurrentCell->Sections[CurrentCell->Count() - 1] : nullptr;
            auto* run = dynamic_cast<TLinkLines*>(last);
            if (run && run->Take(*CurrentSection)) {
                absorbed_ = CurrentSection.get();
                absorbedBy_ = run;
                DropAbsorbedSection();
                return;
            }
            if (auto lines = TLinkLines::From(*CurrentSection)) {
                absorbed_ = CurrentSection.get();
                absorbedBy_ = lines.get();
                DropAbsorbedSection();
                CurrentCell->Add(std::move(lines));
                return;
            }
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

void THtmlParser::DropAbsorbedSection() {
    // Its links were the last the document listed: they go from the end, and the section leaves
    // the document before it goes (nothing else of the document refers to it).
    TSection* s = CurrentSection.get();
    auto& links = Document->LinkList;
    int listed = 0, popped = 0;
    for (TFontObj* f : s->Fonts)
        listed += f->UrlTarget.URL().empty() ? 0 : 1;
    while (!links.empty() && links.back()->Section == s) {
        links.pop_back();
        ++popped;
    }
    if (Document->HoverLink && Document->HoverLink->Section == s) Document->HoverLink = nullptr;
    if (popped == listed) s->ParentSectionList = nullptr;
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
    fontStack_.push_back(Font());
    return true;
}

bool THtmlParser::PushFixedFont() {
    if (!PushFont()) return false;
    Font().Name = Document->PreFontName;
    SetNormalSize(Font(), *Document, 10);
    Font().Fixed = true;
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
        if (kListStarts[static_cast<size_t>(sym)]) {
            ParseNestedList(1, sym, closing);
            continue;
        }
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
            AddRule();
            break;
        case SymBASE:
            if (Attributes.Has(AttrHREF)) BaseHref = AttrText(Attributes, AttrHREF);
            if (Attributes.Has(AttrTARGET)) BaseTarget = AttrText(Attributes, AttrTARGET);
            Next();
            break;
        case SymLI:
            if (level == 0)
                ParseLoneItem();
            else
                Next();
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
            if (!ParseTextTag(level, closing)) return;
            break;
        }
    }
    Next();
}

// A tag of running text is handled; any other tag is skipped unless it closes the block being
// read, which ends the block (false).
bool THtmlParser::ParseTextTag(int level, const SymSet& closing) {
    if (TextTags()[static_cast<size_t>(Symbol)]) {
        ParseCommon(level);
        return true;
    }
    if (closing[static_cast<size_t>(Symbol)]) return false;
    Next();
    return true;
}

void THtmlParser::AddRule() {
    CloseSection();
    if (CurrentCell) CurrentCell->Add(std::make_unique<THorzLine>(Document, Attributes));
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

// --- the tags of running text ---

const std::array<THtmlParser::TagHandler, SymCount>& THtmlParser::TextTags() {
    static const std::array<TagHandler, SymCount> table = [] {
        std::array<TagHandler, SymCount> t{};
        auto set = [&t](std::initializer_list<int> syms, TagHandler h) {
            for (int sym : syms)
                t[static_cast<size_t>(sym)] = h;
        };
        for (size_t sym = 0; sym < t.size(); ++sym) {
            if (kStyleTags[sym]) t[sym] = &THtmlParser::TagStyle;
            if (kFixedTags[sym]) t[sym] = &THtmlParser::TagFixed;
            if (kFixedEnds[sym]) t[sym] = &THtmlParser::TagFixedEnd;
        }
        set({SymP, SymPEnd}, &THtmlParser::TagParagraph);
        set({SymSUB, SymSUP}, &THtmlParser::TagSubSup);
        set({SymSUBEnd, SymSUPEnd}, &THtmlParser::TagSubSupEnd);
        set({SymBR}, &THtmlParser::TagBreak);
        set({SymH}, &THtmlParser::TagHeading);
        set({SymHEnd}, &THtmlParser::TagHeadingEnd);
        set({SymADDRESS}, &THtmlParser::TagAddress);
        set({SymADDRESSEnd}, &THtmlParser::TagAddressEnd);
        set({SymPRE}, &THtmlParser::TagPre);
        set({SymIMG}, &THtmlParser::TagImage);
        set({SymA}, &THtmlParser::TagAnchor);
        set({SymAEnd}, &THtmlParser::TagAnchorEnd);
        set({SymText}, &THtmlParser::TagText);
        set({SymTABLE}, &THtmlParser::TagTable);
        set({SymINPUT, SymSELECT, SymTEXTAREA}, &THtmlParser::TagFormControl);
        set({SymFORM}, &THtmlParser::TagForm);
        set({SymFORMEnd}, &THtmlParser::TagFormEnd);
        set({SymTEXTAREAEnd}, &THtmlParser::TagIgnored);
        set({SymFONT, SymBASEFONT}, &THtmlParser::TagFont);
        set({SymBIG, SymSMALL}, &THtmlParser::TagBigSmall);
        set({SymMAP}, &THtmlParser::TagMap);
        set({SymSCRIPT}, &THtmlParser::TagScript);
        set({SymNOBR, SymNOBREnd}, &THtmlParser::TagNoBreak);
        set({SymWBR}, &THtmlParser::TagWordBreak);
        return t;
    }();
    return table;
}

void THtmlParser::ParseCommon(int level) {
    const int sym = Symbol;
    if (TagHandler handler = TextTags()[static_cast<size_t>(sym)])
        (this->*handler)(sym, level);
    else
        Next();
}

void THtmlParser::TagStyle(int sym, int) {
    StyleSymbol(sym);
    RefreshFont();
    Next();
}

void THtmlParser::TagFixed(int, int) {
    PushFixedFont();
    RefreshFont();
    Next();
}

void THtmlParser::TagFixedEnd(int, int) {
    PopFont();
    RefreshFont();
    Next();
}

void THtmlParser::TagParagraph(int sym, int level) {
    CloseSection();
    if (!AfterParagraphSpace && CurrentCell) CurrentCell->Add(std::make_unique<TParagraphSpace>(Document));
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
}

void THtmlParser::TagSubSup(int sym, int level) {
    EnsureSection(level);
    SubSup = sym == SymSUB ? 1 : 2;
    RefreshFont();
    Next();
}

void THtmlParser::TagSubSupEnd(int, int) {
    SubSup = 0;
    RefreshFont();
    Next();
}

void THtmlParser::TagBreak(int sym, int level) {
    WatchLine(sym);
    const bool lineRead = watch_.Step == 8 && CurrentSection.get() == watch_.Section;
    uint8_t align = CurrentSection ? CurrentSection->LineBreak(TagStart, NoBreak) : Justify;
    NewSection(align, level);
    CurrentSection->CheckClear(Attributes);
    if (lineRead && absorbed_ == watch_.Section && LearnLinkLine())
        while (ReadLinkLine()) {
        }
    StartWatchingLine();
    Next();
}

void THtmlParser::TagHeading(int, int level) {
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
}

void THtmlParser::TagHeadingEnd(int, int) {
    if (fontStack_.size() > 1) {
        CloseSection();
        if (CurrentCell) CurrentCell->Add(std::make_unique<THeadingSpace>(Document, HeadingLevel));
        PopFont();
    }
    Next();
}

void THtmlParser::TagAddress(int, int level) {
    CloseSection();
    if (PushFont()) Font().Style |= fsItalic;
    NewSection(Justify, level);
    Next();
}

void THtmlParser::TagAddressEnd(int, int) {
    CloseSection();
    PopFont();
    Next();
}

void THtmlParser::TagPre(int, int level) {
    ParsePre(level);
}

void THtmlParser::TagImage(int, int level) {
    EnsureSection(level);
    CurrentSection->AddImage(Attributes, CurrentCell, NoBreak, TagStart);
    Next();
}

void THtmlParser::TagAnchor(int sym, int level) {
    WatchLine(sym);
    Anchor(level);
    Next();
}

void THtmlParser::TagAnchorEnd(int sym, int) {
    WatchLine(sym);
    EndLink();
    Next();
}

void THtmlParser::TagText(int sym, int level) {
    WatchLine(sym);
    EnsureSection(level);
    CurrentSection->AppendToken(TextToken, NoBreak);
    Next();
}

void THtmlParser::TagTable(int, int level) {
    ParseTable(level);
}

void THtmlParser::TagIgnored(int, int) {
    Next();
}

void THtmlParser::TagFont(int sym, int) {
    if (ParseFont(sym, false)) RefreshFont();
    Next();
}

void THtmlParser::TagBigSmall(int sym, int) {
    if (ParseBigSmall(sym, false)) RefreshFont();
    Next();
}

void THtmlParser::TagMap(int, int) {
    ParseMap();
}

void THtmlParser::TagScript(int, int) {
    ParseScript();
    Next();
}

void THtmlParser::TagNoBreak(int sym, int) {
    WatchLine(sym);
    NoBreak = sym == SymNOBR;
    Next();
}

void THtmlParser::TagWordBreak(int, int) {
    if (NoBreak && CurrentSection) CurrentSection->AddChar(' ', TagStart, false);
    Next();
}

// An A starts a link (HREF) or names its place (NAME); the caller reads on.
void THtmlParser::Anchor(int level) {
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
