// The text section: building, line breaking, drawing and hit tests.
#include "htmlview/HtmlTextSection.h"

#include <algorithm>
#include <cstring>
#include <typeinfo>

#include "htmlview/HtmlForms.h"
#include "htmlview/HtmlObjects.h"
#include "htmlview/HtmlParser.h"
#include "htmlview/HtmlSymbols.h"

namespace {
bool IsPicture(char c) {
    return c == PhPicture || c == PhPictureNoBreak;
}
bool IsControl(char c) {
    return c == PhControl || c == PhControlNoBreak;
}
bool IsPlaceholder(char c) {
    return IsPicture(c) || IsControl(c);
}
char FoldAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}
} // namespace

TSection::TSection(TSectionList* list, int32_t level, const TMyFont& font, const TUrlTarget* url,
                   uint8_t justify)
    : TSectionBase(list), Level(level), Justify(justify) {
    TMyFont f = font;
    if (list && list->Parser) {
        f.Style |= list->Parser->StyleBits;
        list->Parser->SubSup = 0;
    }
    auto* run = Fonts.Add(this, TSharedFont(f), 0);
    if (url && !url->URL.empty()) {
        run->UrlTarget = *url;
        if (list) list->LinkList.push_back(run);
    }
    BaseFont = font;
    Indent = level * 35;
}

TSection::~TSection() {
    if (ParentSectionList) {
        auto& links = ParentSectionList->LinkList;
        if (!links.empty())
            links.erase(std::remove_if(links.begin(), links.end(),
                                       [this](TFontObj* f) { return f->Section == this; }),
                        links.end());
        if (ParentSectionList->HoverLink && ParentSectionList->HoverLink->Section == this)
            ParentSectionList->HoverLink = nullptr;
    }
}

void TSection::AppendChar(char c, int32_t sourcePos) {
    // Where the source stops running on one by one, a new index entry starts.
    if (buff_.empty() || sourcePos != lastSourcePos_ + 1) {
        SourceIndexList.push_back({Len, sourcePos});
    }
    buff_ += c;
    lastSourcePos_ = sourcePos;
    memoValid_ = false;
    Len = static_cast<int32_t>(buff_.size());
}

void TSection::AppendRaw(const char* s, const int32_t* positions, int32_t n) {
    buff_.reserve(buff_.size() + static_cast<size_t>(n));
    for (int32_t k = 0; k < n; ++k)
        AppendChar(s[k], positions[k]);
}

bool TSection::OnlyFloatsSoFar() const {
    if (buff_.empty()) return false;
    for (int32_t i = 0; i < Len; ++i) {
        if (!IsPicture(buff_[static_cast<size_t>(i)])) return false;
        TImageObj* img = FindImage(i);
        if (!img || !img->IsFloat()) return false;
    }
    return true;
}

void TSection::AppendToken(const TokenObj& token, bool noBreak) {
    if (token.S.empty()) return;
    char last = buff_.empty() ? 0 : buff_.back();
    if (!noBreak) {
        // White space never doubles across tokens; a space after leading floats is dropped too.
        size_t skip = 0;
        if ((buff_.empty() || last == ' ') && token.S[0] == ' ') skip = 1;
        if (skip < token.S.size() && (token.S[skip] == ' ' || token.S[skip] == NbspChar) && OnlyFloatsSoFar())
            ++skip;
        if (skip < token.S.size())
            AppendRaw(token.S.data() + skip, token.I.data() + skip,
                      static_cast<int32_t>(token.S.size() - skip));
        return;
    }
    // Inside NOBR spaces come as character 5: one of them next to a space (or at the start after
    // a space) goes, the rest become no-break spaces; read straight into the text, no copies.
    const std::string& s = token.S;
    const std::vector<int32_t>& idx = token.I;
    size_t j = ((buff_.empty() || last == PhNoBreakSpace || last == ' ' || last == NbspChar) &&
                s[0] == PhNoBreakSpace)
                   ? 1
                   : 0;
    char prevKept = 0;
    bool havePrev = false, first = true;
    buff_.reserve(buff_.size() + s.size());
    for (; j < s.size(); ++j) {
        char c = s[j];
        if (c == PhNoBreakSpace && ((havePrev && (prevKept == ' ' || prevKept == PhNoBreakSpace)) ||
                                    (j + 1 < s.size() && s[j + 1] == ' ')))
            continue;
        havePrev = true;
        prevKept = c;
        char out = c == PhNoBreakSpace ? NbspChar : c;
        if (first) {
            first = false;
            if ((out == ' ' || out == NbspChar) && OnlyFloatsSoFar()) continue;
        }
        AppendChar(out, idx[j]);
    }
}

void TSection::AddChar(char ch, int32_t sourcePos, bool noBreak) {
    TokenObj t;
    t.AddChar(ch, sourcePos);
    AppendToken(t, noBreak);
}

void TSection::ChangeFont(const TMyFont& font) {
    NewRun(font, true);
}

void TSection::NewRun(const TMyFont& font, bool keepLink) {
    TMyFont f = font;
    uint8_t subSup = 0;
    if (ParentSectionList && ParentSectionList->Parser) {
        f.Style |= ParentSectionList->Parser->StyleBits;
        subSup = ParentSectionList->Parser->SubSup;
    }
    if (subSup != 0) f.Size = HtmlMulDiv(f.Size, 3, 4);
    minMaxLen_ = -1;
    memoValid_ = false;
    TFontObj* lastRun = Fonts.Last();
    if (lastRun && lastRun->Pos == Len) {
        lastRun->Widths.Len = -1;
        lastRun->CurrentFont = f;
        lastRun->SScript = subSup;
        lastRun->FontChanged();
        return;
    }
    auto* run = Fonts.Add(this, TSharedFont(f), Len);
    run->SScript = subSup;
    if (keepLink && lastRun) {
        run->UrlTarget = lastRun->UrlTarget;
        if (!run->UrlTarget.URL().empty() && ParentSectionList) ParentSectionList->LinkList.push_back(run);
    }
}

void TSection::HRef(bool linkStart, const TMyFont& font, const TUrlTarget& url) {
    // The run's link is set just below: a new run starts with none (no copy to throw away).
    NewRun(font, false);
    TFontObj* run = Fonts.Last();
    bool wasLink = !run->UrlTarget.URL().empty();
    run->UrlTarget.Clear();
    if (linkStart) {
        run->UrlTarget = url;
        if (ParentSectionList && !wasLink) ParentSectionList->LinkList.push_back(run);
    } else if (wasLink && ParentSectionList) {
        // The run that stops being a link is almost always the one just registered.
        auto& links = ParentSectionList->LinkList;
        if (!links.empty() && links.back() == run)
            links.pop_back();
        else
            links.erase(std::remove(links.begin(), links.end(), run), links.end());
    }
}

TImageObj* TSection::AddImage(const TAttributeList& attributes, TCell*, bool noBreak, int32_t sourcePos) {
    auto* img = Images.Add(std::make_unique<TImageObj>(ParentSectionList, Len, attributes));
    int32_t p = sourcePos;
    AppendRaw(noBreak ? &PhPictureNoBreak : &PhPicture, &p, 1);
    return img;
}

TFormControlObj* TSection::AddFormControl(int symbol, ThtmlForm* form, bool noBreak, int32_t sourcePos,
                                          TCell* cell, const TAttributeList& attributes) {
    FormControlKind kind = FormControlKind::Edit;
    if (symbol == SymTEXTAREA) {
        kind = FormControlKind::TextArea;
    } else if (symbol == SymSELECT) {
        const TAttribute* size = attributes.Find(AttrSIZE);
        kind = attributes.Has(AttrMULTIPLE) || (size && size->Value >= 2) ? FormControlKind::ListBox
                                                                          : FormControlKind::Combo;
    } else {
        const TAttribute* type = attributes.Find(AttrTYPE);
        std::string t;
        for (char c : type ? type->Name : std::string())
            t += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
        if (t == "password")
            kind = FormControlKind::Password;
        else if (t == "submit")
            kind = FormControlKind::Submit;
        else if (t == "reset")
            kind = FormControlKind::Reset;
        else if (t == "button")
            kind = FormControlKind::Button;
        else if (t == "radio")
            kind = FormControlKind::Radio;
        else if (t == "checkbox")
            kind = FormControlKind::CheckBox;
        else if (t == "hidden")
            kind = FormControlKind::Hidden;
        else if (t == "image")
            kind = FormControlKind::Image;
    }
    if (!form) return nullptr;
    auto ctrl = std::make_unique<TFormControlObj>(ParentSectionList, form, Len, kind, attributes);
    TFormControlObj* c = ctrl.get();
    c->Cell = cell;
    form->InsertControl(std::move(ctrl));
    if (ParentSectionList) ParentSectionList->FormControlList.push_back(c);
    if (kind == FormControlKind::Image) {
        TImageObj* img = AddImage(attributes, nullptr, noBreak, sourcePos);
        img->FormControl = c;
    } else if (kind != FormControlKind::Hidden) {
        FormControls.push_back(c);
        int32_t p = sourcePos;
        AppendRaw(noBreak ? &PhControlNoBreak : &PhControl, &p, 1);
    }
    return c;
}

void TSection::CheckClear(const TAttributeList& attributes) {
    if (const TAttribute* a = attributes.Find(AttrCLEAR)) {
        std::string v;
        for (char c : a->Name)
            v += FoldAscii(c);
        ClearAttr = v == "LEFT" ? 1 : v == "RIGHT" ? 2 : 3;
    }
}

uint8_t TSection::LineBreak(int32_t sourcePos, bool noBreak) {
    if (Len == 0) {
        AddChar('X', sourcePos, noBreak);
        if (!buff_.empty()) buff_.back() = ' ';
    }
    return Justify;
}

void TSection::FinishBuilding() {
    while (Fonts.Count() > 1 && Fonts.Last()->Pos >= Len) {
        TFontObj* run = Fonts.Last();
        if (ParentSectionList) {
            auto& links = ParentSectionList->LinkList;
            if (!links.empty() && links.back() == run)
                links.pop_back();
            else if (!run->UrlTarget.URL().empty())
                links.erase(std::remove(links.begin(), links.end(), run), links.end());
            if (ParentSectionList->HoverLink == run) ParentSectionList->HoverLink = nullptr;
        }
        Fonts.DeleteLast();
    }
    Fonts.ShrinkToFit();
    SourceIndexList.shrink_to_fit();
    if (buff_.capacity() > buff_.size() + 8) buff_.shrink_to_fit();
    memoValid_ = false;
    minMaxLen_ = -1;
}

TImageObj* TSection::FindImage(int32_t pos) const {
    for (const auto& img : Images)
        if (img->Pos == pos) return img.get();
    return nullptr;
}

TFormControlObj* TSection::FindControl(int32_t pos) const {
    for (auto* c : FormControls)
        if (c->Pos == pos) return c;
    return nullptr;
}

// --- measuring ---

int32_t TSection::FitCount(ITextMetrics& canvas, int32_t width, std::vector<TImageObj*>* floatList,
                           int32_t& floatHt, IndentManager* indents, int32_t y, int32_t numChars,
                           int32_t start) {
    int32_t w = 0, count = 0, i = start;
    bool firstOnLine = true;
    while (count < numChars) {
        char ch = buff_[static_cast<size_t>(i)];
        if (IsPicture(ch)) {
            if (TImageObj* img = FindImage(i)) {
                if (img->IsFloat()) {
                    if (floatList) {
                        if (firstOnLine) {
                            indents->UpdateFloat(y, *img);
                            w += img->ImageWidth + img->HSpace;
                            floatHt = std::max(floatHt, img->ImageHeight + 2 * img->VSpace);
                        } else {
                            floatList->push_back(img);
                        }
                    }
                } else {
                    w += img->ImageWidth + 2 * img->HSpace;
                    firstOnLine = false;
                }
            }
            ++count;
            ++i;
            if (w > width) return count - 1;
            continue;
        }
        if (IsControl(ch)) {
            if (TFormControlObj* c = FindControl(i)) w += c->Width;
            firstOnLine = false;
            ++count;
            ++i;
            if (w > width) return count - 1;
            continue;
        }
        // A stretch of text up to the next font change or object.
        int32_t n = NextPlaceholder(i, i + std::min(Fonts.GetFontCountAt(i, Len), numChars - count)) - i;
        int runIndex = 0;
        TFontObj* font = Fonts.GetFontObjAt(i, &runIndex);
        int32_t overhang = font->Overhang(canvas);
        int32_t fit = StretchFit(canvas, runIndex, i, n, width - w + overhang);
        if (count + fit >= numChars) return numChars;
        if (fit < n) return count + fit;
        w += StretchWidth(canvas, runIndex, i, n) - overhang;
        firstOnLine = false;
        count += n;
        i += n;
    }
    return count;
}

int32_t TSection::NextPlaceholder(int32_t from, int32_t limit) const {
    // Placeholders are where the pictures and controls are: a text without them is not read
    // character by character (a line of a long paragraph would read the rest of it each time).
    int32_t next = limit;
    for (const auto& img : Images)
        if (img->Pos >= from && img->Pos < next) next = img->Pos;
    for (const auto* c : FormControls)
        if (c->Pos >= from && c->Pos < next) next = c->Pos;
    return next;
}

namespace {
// Runs longer than this are measured line by line, not through prefix extents.
constexpr int32_t kLongRun = 2048;
} // namespace

TRunWidths& TSection::RunWidths(ITextMetrics& canvas, int runIndex) {
    if (measuredWith_ != &canvas) {
        for (const auto& f : Fonts)
            f->Widths.Len = -1;
        measuredWith_ = &canvas;
        memoValid_ = false;
    }
    TFontObj* font = Fonts[runIndex];
    TRunWidths& run = font->Widths;
    int32_t start = font->Pos;
    int32_t end = runIndex + 1 < Fonts.Count() ? Fonts[runIndex + 1]->Pos : Len;
    int32_t n = std::max(0, end - start);
    if (run.Len != n) {
        run.Len = n;
        run.Extents.reset();
        run.Width = n > 0 ? canvas.TextWidth(*font->CurrentFont, buff_.data() + start, n) : 0;
    }
    return run;
}

const int32_t* TSection::RunExtents(ITextMetrics& canvas, int runIndex) {
    TRunWidths& run = RunWidths(canvas, runIndex);
    if (!run.Extents && run.Len > 0) {
        run.Extents = std::make_unique<int32_t[]>(static_cast<size_t>(run.Len));
        canvas.TextExtents(*Fonts[runIndex]->CurrentFont, buff_.data() + Fonts[runIndex]->Pos, run.Len,
                           run.Extents.get());
        // One answer for the whole run, however it was asked for.
        run.Extents[static_cast<size_t>(run.Len - 1)] = run.Width;
    }
    return run.Extents.get();
}

int32_t TSection::StretchWidth(ITextMetrics& canvas, int runIndex, int32_t start, int32_t n) {
    if (n <= 0) return 0;
    size_t a = static_cast<size_t>(start - Fonts[runIndex]->Pos);
    size_t b = a + static_cast<size_t>(n);
    const TRunWidths& run = RunWidths(canvas, runIndex);
    if (b > static_cast<size_t>(run.Len)) return 0;
    if (a == 0 && b == static_cast<size_t>(run.Len)) return run.Width;
    if (run.Len > kLongRun) return canvas.TextWidth(*Fonts[runIndex]->CurrentFont, buff_.data() + start, n);
    const int32_t* ext = RunExtents(canvas, runIndex);
    return ext[b - 1] - (a > 0 ? ext[a - 1] : 0);
}

int32_t TSection::StretchFit(ITextMetrics& canvas, int runIndex, int32_t start, int32_t n,
                             int32_t maxExtent) {
    if (n <= 0 || maxExtent < 0) return 0;
    size_t a = static_cast<size_t>(start - Fonts[runIndex]->Pos);
    const TRunWidths& run = RunWidths(canvas, runIndex);
    if (a + static_cast<size_t>(n) > static_cast<size_t>(run.Len)) return 0;
    // A whole run that fits needs no prefix extents: most runs of a page never have to be cut.
    if (a == 0 && n == run.Len && run.Width <= maxExtent) return n;
    if (run.Len > kLongRun) {
        // A long run (a paragraph in one font) keeps no prefix extents, four bytes a character:
        // each line is fitted from its start, over no more characters than pixels (a character
        // is at least one pixel wide; where all of those fit, the extents decide after all).
        int32_t window = static_cast<int32_t>(std::min<int64_t>(n, int64_t{maxExtent} + 1));
        int32_t fit = canvas.FitChars(*Fonts[runIndex]->CurrentFont, buff_.data() + start, window, maxExtent);
        if (fit < window || window == n) return fit;
    }
    const int32_t* ext = RunExtents(canvas, runIndex);
    int32_t base = a > 0 ? ext[a - 1] : 0;
    // Extents grow with each character: the first that passes the limit ends the fit.
    const int32_t* first = ext + a;
    const int32_t* past = std::upper_bound(first, first + n, base + maxExtent);
    return static_cast<int32_t>(past - first);
}

bool TSection::FitsWhole(ITextMetrics& canvas, int32_t width) {
    // Runs only: pictures and controls take FitCount's way.
    if (!Images.Empty() || !FormControls.empty()) return false;
    int32_t w = 0;
    for (int k = 0; k < Fonts.Count(); ++k) {
        const TRunWidths& run = RunWidths(canvas, k);
        if (run.Len == 0) continue;
        // As FitCount counts: every run's end within the width.
        w += run.Width - Fonts[k]->Overhang(canvas);
        if (w > width) return false;
    }
    return true;
}

int32_t TSection::FindTextWidth(ITextMetrics& canvas, int32_t start, int32_t n, bool removeSpaces) {
    if (removeSpaces)
        while (n > 1 && buff_[static_cast<size_t>(start + n - 1)] == ' ')
            --n;
    int32_t w = 0, i = start, end = start + n;
    while (i < end) {
        char ch = buff_[static_cast<size_t>(i)];
        if (IsPicture(ch)) {
            if (TImageObj* img = FindImage(i); img && !img->IsFloat()) w += img->ImageWidth + 2 * img->HSpace;
            ++i;
            continue;
        }
        if (IsControl(ch)) {
            if (TFormControlObj* c = FindControl(i)) w += c->Width;
            ++i;
            continue;
        }
        int32_t k = std::min(Fonts.GetFontCountAt(i, Len), end - i);
        int32_t m = 0;
        while (m < k && !IsPlaceholder(buff_[static_cast<size_t>(i + m)]))
            ++m;
        int runIndex = 0;
        TFontObj* font = Fonts.GetFontObjAt(i, &runIndex);
        w += StretchWidth(canvas, runIndex, i, m) - font->Overhang(canvas);
        i += m;
    }
    return w;
}

int32_t TSection::ClearHeight(const IndentManager& indents, int32_t y) const {
    if (ClearAttr == 0) return 0;
    int32_t cl = 0, cr = 0;
    indents.YBelowFloats(cl, cr);
    int32_t left = std::max(0, cl - y - 1), right = std::max(0, cr - y - 1);
    switch (ClearAttr) {
    case 1:
        return left;
    case 2:
        return right;
    default:
        return std::max(left, right);
    }
}

// --- layout ---

void TSection::CompleteLine(ITextMetrics& canvas, IndentManager& indents, int32_t& y, int32_t p, int32_t nn,
                            int32_t floatHt, std::vector<TImageObj*>& floatList) {
    LineRec lr;
    lr.Start = p;
    lr.Ln = nn;
    bool onlyPlaceholders = true;
    for (int32_t i = p; i < p + nn && onlyPlaceholders; ++i)
        if (!IsPlaceholder(buff_[static_cast<size_t>(i)])) onlyPlaceholders = false;
    if (!onlyPlaceholders) {
        int first = 0;
        Fonts.GetFontObjAt(p, &first);
        for (int k = first; k < Fonts.Count() && Fonts[k]->Pos < p + nn; ++k) {
            TFontObj* f = Fonts[k];
            lr.LineHeight = std::max(lr.LineHeight, f->LineHeight(canvas));
            lr.Descent = std::max(lr.Descent, f->Descent(canvas));
        }
    }
    for (const auto& img : Images) {
        if (img->Pos < p || img->Pos >= p + nn || img->IsFloat()) continue;
        int32_t h = img->ImageHeight;
        switch (img->ImageAlign) {
        case 0:
            lr.SpaceAfter = std::max(lr.SpaceAfter, h - lr.LineHeight);
            break;
        case 1: {
            int32_t extra = h - lr.LineHeight;
            lr.SpaceAfter = std::max(lr.SpaceAfter, extra / 2);
            lr.SpaceBefore = std::max(lr.SpaceBefore, extra - extra / 2);
            break;
        }
        default:
            lr.SpaceBefore = std::max(lr.SpaceBefore, h + lr.Descent - lr.LineHeight);
            break;
        }
    }
    for (auto* c : FormControls) {
        if (c->Pos < p || c->Pos >= p + nn) continue;
        int32_t need = c->OnBaseline() ? c->Height - (lr.LineHeight - lr.Descent) : c->Height - lr.LineHeight;
        lr.SpaceBefore = std::max(lr.SpaceBefore, need);
        c->YValue = y;
    }
    int32_t left = indents.LeftIndent(y), right = Preformatted ? left + 32000 : indents.RightSide(y);
    if (Justify == 1 || Preformatted) {
        lr.LineIndent = left; // the line's width does not matter
    } else {
        int32_t w = FindTextWidth(canvas, p, nn, true);
        lr.LineIndent = Justify == 2 ? std::max(left, (right + left - w) / 2) : right - w - 1;
    }
    lr.LineIndent -= indents.LeftEdge;
    int32_t full = lr.FullHeight();
    SectionHeight += full;
    y += full;
    lr.LineImgHt = std::max(full, floatHt);
    for (TImageObj* img : floatList) {
        indents.UpdateFloat(y, *img);
        lr.LineImgHt = std::max(lr.LineImgHt, full + img->ImageHeight + 2 * img->VSpace);
    }
    floatList.clear();
    Lines.push_back(lr);
}

int32_t TSection::LayoutParagraph(ITextMetrics& canvas, int32_t y, IndentManager& indents, int32_t& maxWidth,
                                  int32_t& curs) {
    return DoLayout(canvas, y, indents, maxWidth, curs, Preformatted);
}

bool TSection::LaysOutAtEdgesOnly() const {
    // Lists and preformatted text lay out otherwise; pictures and controls take room beside it.
    return typeid(*this) == typeid(TSection) && !Preformatted && Level == 0 && ClearAttr == 0 &&
           Images.Empty() && FormControls.empty();
}

bool TSection::ReuseLayout(ITextMetrics& canvas, int32_t y, const IndentManager& indents, int32_t& maxWidth,
                           int32_t& curs, bool noWrap) {
    // Text is only ever appended and fonts only changed by UpdateFonts: the same length and runs
    // are the same text.
    if (!memoValid_ || measuredWith_ != &canvas || layoutMemo_.LeftEdge != indents.LeftEdge ||
        layoutMemo_.RightEdge != indents.RightEdge || memoNoWrap_ != noWrap || !indents.L.empty() ||
        !indents.R.empty() || indents.CurrentID != 0)
        return false;
    YValue = y;
    StartCurs = curs;
    DrawHeight = std::max(SectionHeight, indents.ImageBottom() - YValue);
    maxWidth = layoutMemo_.MaxWidth;
    curs = StartCurs + Len;
    return true;
}

int32_t TSection::DoLayout(ITextMetrics& canvas, int32_t y, IndentManager& indents, int32_t& maxWidth,
                           int32_t& curs, bool noWrap) {
    if (ReuseLayout(canvas, y, indents, maxWidth, curs, noWrap)) return SectionHeight;
    memoValid_ = false;
    // Only the edges matter to this layout when nothing floats or indents beside the section.
    const bool edgesOnly = Level == 0 && ClearAttr == 0 && Images.Empty() && FormControls.empty() &&
                           indents.L.empty() && indents.R.empty() && indents.CurrentID == 0;
    YValue = y;
    StartCurs = curs;
    SectionHeight = 0;
    Lines.clear();
    indents.SetLevel(y, Level);
    if (Len == 0) {
        SectionHeight = DrawHeight = ClearHeight(indents, y);
        maxWidth = 0;
        curs = StartCurs + Len;
        return SectionHeight;
    }
    FirstLineIndent = indents.LeftIndent(y);
    maxWidth = indents.Width();
    int32_t avail = indents.RightSide(y) - indents.LeftIndent(y);
    for (const auto& img : Images) {
        img->LayoutImage(canvas, Fonts.GetFontObjAt(img->Pos), avail);
        maxWidth = std::max(maxWidth, img->ImageWidth + Indent);
    }
    for (auto* c : FormControls)
        maxWidth = std::max(maxWidth, c->Width + Indent);

    std::vector<TImageObj*> floatList;
    int32_t p = 0, numChars = Len;
    bool first = true;
    while (numChars > 0) {
        if (first) {
            first = false;
            int32_t ch = ClearHeight(indents, y);
            if (ch > 0) {
                LineRec lr;
                lr.Start = 0;
                lr.LineHeight = ch;
                lr.LineImgHt = ch;
                Lines.push_back(lr);
                y += ch;
                SectionHeight += ch;
            }
        }
        int32_t width = noWrap ? 32000 : indents.RightSide(y) - indents.LeftIndent(y);
        int32_t floatHt = 0;
        int32_t n = p == 0 && FitsWhole(canvas, width)
                        ? numChars
                        : std::max(1, FitCount(canvas, width, &floatList, floatHt, &indents, y, numChars, p));
        int32_t nn;
        auto at = [&](int32_t i) { return buff_[static_cast<size_t>(i)]; };
        if (n >= numChars) {
            nn = numChars;
        } else if (at(p + n - 1) == ' ') {
            nn = n;
            while (p + nn < Len && at(p + nn) == ' ')
                ++nn;
        } else if (at(p + n) == PhControl || at(p + n) == PhPicture) {
            nn = n;
        } else {
            int32_t j = p + n - 1;
            while (j >= p && at(j) != ' ' && at(j) != PhControl && at(j) != PhPicture)
                --j;
            if (j >= p) {
                nn = j - p + 1;
            } else {
                // A word wider than the line stays whole and overflows.
                j = p + n;
                while (j < Len && at(j) != ' ' && at(j) != PhControl && at(j) != PhPicture)
                    ++j;
                while (j < Len && at(j) == ' ')
                    ++j;
                nn = j - p;
                maxWidth = std::max(maxWidth, FindTextWidth(canvas, p, nn, true) + indents.LeftIndent(y) -
                                                  indents.LeftEdge);
            }
        }
        CompleteLine(canvas, indents, y, p, nn, floatHt, floatList);
        p += nn;
        numChars -= nn;
    }
    curs = StartCurs + Len;
    if (Level > 0) {
        int32_t wider = indents.NextWiderY(y);
        SectionHeight = std::max(SectionHeight, wider - YValue);
    }
    DrawHeight = std::max(SectionHeight, indents.ImageBottom() - YValue);
    if (edgesOnly && measuredWith_ == &canvas) {
        layoutMemo_ = TLayoutMemo{indents.LeftEdge, indents.RightEdge, maxWidth};
        memoValid_ = true;
        memoNoWrap_ = noWrap;
    }
    return SectionHeight;
}

void TSection::MinMaxWidth(ITextMetrics& canvas, int32_t& min, int32_t& max) {
    if (Images.Empty() && minMaxLen_ == Len && measuredWith_ == &canvas) {
        min = cachedMin_;
        max = cachedMax_;
        return;
    }
    int32_t floats = 0, imgMin = 0;
    for (const auto& img : Images) {
        if (img->PercentWidth) continue;
        img->LayoutImage(canvas, Fonts.GetFontObjAt(img->Pos), 0);
        if (img->IsFloat())
            floats += img->ImageWidth + img->HSpace;
        else
            imgMin = std::max(imgMin, img->ImageWidth);
    }
    if (Len == 0) {
        min = max = 0;
        return;
    }
    // Spaces at the end count: a line takes a word only when the space after it fits too, so
    // the text is one line exactly at this width (a cell as wide as its text keeps it whole).
    max = FindTextWidth(canvas, 0, Len, false) + floats + Indent;
    int32_t widest = 0, i = 0;
    while (i < Len) {
        while (i < Len && (buff_[static_cast<size_t>(i)] == ' ' || IsPicture(buff_[static_cast<size_t>(i)])))
            ++i;
        int32_t j = i;
        while (j < Len && buff_[static_cast<size_t>(j)] != ' ' && !IsPicture(buff_[static_cast<size_t>(j)]))
            ++j;
        if (j > i) widest = std::max(widest, FindTextWidth(canvas, i, j - i, false));
        i = j;
    }
    min = std::max(widest, imgMin) + floats + Indent;
    max = std::max(max, min);
    if (measuredWith_ == &canvas) {
        minMaxLen_ = Len;
        cachedMin_ = min;
        cachedMax_ = max;
    }
}

// --- drawing ---

void TSection::DrawItemMarker(IHtmlPainter&, int32_t, int32_t, int32_t) {}

int32_t TSection::Draw(IHtmlPainter& canvas, const THvRect& rect, IndentManager& indents, int32_t x,
                       int32_t y) {
    int32_t result = y + SectionHeight;
    TSectionList& doc = *ParentSectionList;
    int32_t screenTop = y - doc.ScrollOffset;
    if (Len == 0 || screenTop + DrawHeight <= rect.Top || screenTop >= rect.Bottom) return result;
    bool firstLine = true;
    for (auto& lr : Lines) {
        int32_t lineTop = y - doc.ScrollOffset;
        if (lineTop + lr.LineImgHt <= rect.Top || lineTop >= rect.Bottom) {
            y += lr.FullHeight();
            firstLine = false;
            continue;
        }
        int32_t top = y;
        y += lr.SpaceBefore + lr.LineHeight;
        int32_t baseline = y - lr.Descent - doc.ScrollOffset;
        int32_t cx = x + lr.LineIndent;
        lr.DrawX = cx;
        if (firstLine && ListType != 0) DrawItemMarker(canvas, cx, baseline, lr.LineHeight);
        firstLine = false;
        int32_t i = lr.Start, end = lr.Start + lr.Ln;
        int32_t selFrom = doc.SelFrom - StartCurs, selTo = doc.SelTo - StartCurs;
        while (i < end) {
            char ch = buff_[static_cast<size_t>(i)];
            if (IsPicture(ch)) {
                if (TImageObj* img = FindImage(i)) {
                    TFontObj* f = Fonts.GetFontObjAt(i);
                    if (img->IsFloat()) {
                        img->Draw(canvas, indents.LeftEdge + img->Indent, top - doc.ScrollOffset, baseline,
                                  f);
                    } else {
                        img->Draw(canvas, cx + img->HSpace, top + lr.SpaceBefore - doc.ScrollOffset, baseline,
                                  f);
                        cx += img->ImageWidth + 2 * img->HSpace;
                    }
                }
                ++i;
                continue;
            }
            if (IsControl(ch)) {
                if (TFormControlObj* c = FindControl(i)) {
                    c->ShowAt(cx, c->OnBaseline() ? baseline - c->Height : baseline + lr.Descent - c->Height);
                    cx += c->Width;
                }
                ++i;
                continue;
            }
            int32_t n = std::min(Fonts.GetFontCountAt(i, Len), end - i);
            int32_t k = 0;
            while (k < n && !IsPlaceholder(buff_[static_cast<size_t>(i + k)]))
                ++k;
            n = k;
            bool selected = false;
            if (selFrom < selTo) {
                if (i < selFrom)
                    n = std::min(n, selFrom - i);
                else if (i < selTo) {
                    n = std::min(n, selTo - i);
                    selected = true;
                }
            }
            TFontObj* f = Fonts.GetFontObjAt(i);
            std::string text(buff_, static_cast<size_t>(i), static_cast<size_t>(n));
            for (char& c : text)
                if (c == NbspChar) c = ' ';
            int32_t overhang = f->Overhang(canvas);
            int32_t by = baseline;
            if (f->SScript == 1)
                by += lr.Descent / 2 + 1;
            else if (f->SScript == 2)
                by -= lr.LineHeight / 3;
            TColor color = f->CurrentFont->Color;
            if (Preformatted) {
                THvRect clip{indents.LeftEdge, top - doc.ScrollOffset, indents.LeftEdge + indents.ClipWidth,
                             top + lr.FullHeight() - doc.ScrollOffset};
                canvas.TextOutClipped(*f->CurrentFont, cx - overhang / 2, by, text.data(), n, color, clip);
            } else {
                canvas.TextOut(*f->CurrentFont, cx - overhang / 2, by, text.data(), n,
                               selected ? doc.Background : color, selected, color);
            }
            cx += canvas.TextWidth(*f->CurrentFont, text.data(), n) - overhang;
            i += n;
            // Past the right edge nothing more of the line shows (a float further on would be
            // drawn at its edge, so a section with pictures draws on).
            if (cx >= rect.Right && Images.Empty()) break;
        }
        y += lr.SpaceAfter;
    }
    YValue = result - SectionHeight;
    return result;
}

// --- hit tests ---

int32_t TSection::LineAt(int32_t y, int32_t& top) const {
    top = YValue;
    for (size_t k = 0; k < Lines.size(); ++k) {
        int32_t h = Lines[k].FullHeight();
        if (y >= top && y < top + h) return static_cast<int32_t>(k);
        top += h;
    }
    return -1;
}

int32_t TSection::CharIndexAtPoint(ITextMetrics& canvas, int32_t x, int32_t y, int32_t& xr, int32_t& yr,
                                   int32_t& ht, bool& inText) {
    int32_t top = 0;
    int32_t k = LineAt(y, top);
    if (k < 0) return -1;
    const LineRec& lr = Lines[static_cast<size_t>(k)];
    inText = true;
    ht = lr.LineHeight;
    yr = top + lr.SpaceBefore;
    int32_t count = 0;
    if (x < lr.DrawX) {
        xr = lr.DrawX;
        inText = false;
    } else {
        int32_t floatHt = 0;
        count = FitCount(canvas, x - lr.DrawX, nullptr, floatHt, nullptr, 0, lr.Ln, lr.Start);
        xr = lr.DrawX + FindTextWidth(canvas, lr.Start, count, false);
        if (count < lr.Ln) {
            int32_t w = FindTextWidth(canvas, lr.Start + count, 1, false);
            if (xr + w / 2 < x) {
                ++count;
                xr += w;
            }
        }
        if (count >= lr.Ln) inText = false;
    }
    return StartCurs + lr.Start + count;
}

bool TSection::ObjectAtPoint(int32_t x, int32_t y, TObject*& obj, int32_t& ix, int32_t& iy) {
    for (const auto& img : Images)
        if (img->Contains(x, y, ix, iy)) {
            obj = img.get();
            return true;
        }
    return false;
}

bool TSection::LinkAtPoint(ITextMetrics& canvas, int32_t x, int32_t y, TUrlTarget& url,
                           TFormControlObj*& control) {
    control = nullptr;
    for (const auto& img : Images) {
        int32_t ix = 0, iy = 0;
        if (!img->Contains(x, y, ix, iy)) continue;
        if (img->FormControl) {
            // The click point is stored only by a click (TFormControlObj::Click), never by hovering.
            control = img->FormControl;
            return true;
        }
        if (img->UseMap) {
            for (const auto& m : ParentSectionList->MapList)
                if (m->MapName == img->MapName) return m->LinkAtPoint(ix, iy, url);
            return false;
        }
        TFontObj* f = Fonts.GetFontObjAt(img->Pos);
        if (!f || f->UrlTarget.URL().empty()) return false;
        url = f->UrlTarget.Get();
        if (img->IsMap) {
            url.URL += '?';
            url.URL += std::to_string(ix);
            url.URL += ',';
            url.URL += std::to_string(iy);
        }
        return true;
    }
    int32_t xr, yr, ht;
    bool inText = false;
    int32_t pos = CharIndexAtPoint(canvas, x, y, xr, yr, ht, inText);
    if (pos < 0 || !inText) return false;
    int32_t i = pos - StartCurs;
    // The character under the point is the one whose cell holds x.
    if (xr > x && i > 0) --i;
    if (i < 0 || i >= Len || IsPlaceholder(buff_[static_cast<size_t>(i)])) return false;
    TFontObj* f = Fonts.GetFontObjAt(i);
    if (!f || f->UrlTarget.URL().empty()) return false;
    url = f->UrlTarget.Get();
    ParentSectionList->HoverLink = f;
    return true;
}

bool TSection::CharAtIndex(int32_t pos, char& ch, TObject*& obj) {
    if (pos < StartCurs || pos >= StartCurs + Len) return false;
    ch = buff_[static_cast<size_t>(pos - StartCurs)];
    obj = this;
    return true;
}

bool TSection::CharIndexToPoint(ITextMetrics& canvas, int32_t cursor, int32_t& x, int32_t& y) {
    if (Len == 0 || cursor > StartCurs + Len || cursor < StartCurs) return false;
    int32_t top = YValue;
    for (const auto& lr : Lines) {
        int32_t rel = cursor - StartCurs;
        if (rel >= lr.Start && rel < lr.Start + lr.Ln) {
            y = top;
            x = lr.DrawX + FindTextWidth(canvas, lr.Start, rel - lr.Start, false);
            return true;
        }
        top += lr.FullHeight();
    }
    return false;
}

int32_t FindInSectionText(const std::string& text, int32_t start, const std::string& toFind, bool matchCase) {
    if (matchCase) {
        size_t p = text.find(toFind, static_cast<size_t>(start));
        return p == std::string::npos ? -1 : static_cast<int32_t>(p);
    }
    size_t n = std::min<size_t>(toFind.size(), 255);
    for (size_t i = static_cast<size_t>(start); i + n <= text.size(); ++i) {
        size_t k = 0;
        while (k < n && FoldAscii(text[i + k]) == FoldAscii(toFind[k]))
            ++k;
        if (k == n) return static_cast<int32_t>(i);
    }
    return -1;
}

int32_t TSection::FindString(int32_t from, const std::string& toFind, bool matchCase) {
    if (Len == 0 || from >= StartCurs + Len || toFind.empty()) return -1;
    const int32_t hit = FindInSectionText(buff_, std::max(0, from - StartCurs), toFind, matchCase);
    return hit < 0 ? -1 : StartCurs + hit;
}

int32_t TSection::SourcePosOf(int32_t docPos) {
    if (docPos < StartCurs || docPos >= StartCurs + Len || SourceIndexList.empty()) return -1;
    int32_t rel = docPos - StartCurs;
    const IndexObj* best = &SourceIndexList.front();
    for (const auto& io : SourceIndexList)
        if (io.PosIndex <= rel) best = &io;
    return best->SourceIndex + (rel - best->PosIndex);
}

int32_t TSection::DocPosOf(int32_t sourcePos, bool prev) {
    // Source positions inside markup have no character: forwards the next character after
    // them is meant, backwards the one before. Runs are in source order.
    if (SourceIndexList.empty() || Len == 0) return -1;
    if (prev) {
        for (size_t k = SourceIndexList.size(); k-- > 0;) {
            const IndexObj& io = SourceIndexList[k];
            if (sourcePos < io.SourceIndex) continue;
            int32_t runLen =
                (k + 1 < SourceIndexList.size() ? SourceIndexList[k + 1].PosIndex : Len) - io.PosIndex;
            return StartCurs + io.PosIndex + std::min(sourcePos - io.SourceIndex, runLen - 1);
        }
        return -1;
    }
    for (size_t k = 0; k < SourceIndexList.size(); ++k) {
        const IndexObj& io = SourceIndexList[k];
        int32_t runLen =
            (k + 1 < SourceIndexList.size() ? SourceIndexList[k + 1].PosIndex : Len) - io.PosIndex;
        if (sourcePos < io.SourceIndex) return StartCurs + io.PosIndex;
        if (sourcePos < io.SourceIndex + runLen)
            return StartCurs + io.PosIndex + (sourcePos - io.SourceIndex);
    }
    return -1;
}

void TSection::UpdateFonts() {
    for (const auto& f : Fonts)
        f->Widths.Len = -1;
    minMaxLen_ = -1;
    Fonts.UpdateFonts();
    if (ParentSectionList) {
        TMyFont base = *BaseFont;
        UpdateMyFont(base, *ParentSectionList, ParentSectionList->FontColor);
        BaseFont = base;
    }
    TSectionBase::UpdateFonts();
    memoValid_ = false;
}

void TSection::CopyToClipboard(ITextSink& sink) {
    int32_t selFrom = ParentSectionList->SelFrom - StartCurs, selTo = ParentSectionList->SelTo - StartCurs;
    for (const auto& lr : Lines) {
        int32_t ls = lr.Start, le = lr.Start + lr.Ln;
        if (le <= selFrom || ls >= selTo) continue;
        if (selFrom <= ls)
            for (int32_t k = 0; k < lr.LineIndent / 35; ++k)
                sink.Write("   ", 3);
        int32_t a = std::max(ls, selFrom), b = std::min(le, selTo);
        std::string text;
        for (int32_t i = a; i < b; ++i) {
            char c = buff_[static_cast<size_t>(i)];
            if (IsPlaceholder(c)) continue;
            text += c == NbspChar ? ' ' : c;
        }
        sink.Write(text.data(), static_cast<int32_t>(text.size()));
        if (selTo >= le) sink.Write("\r\n", 2);
    }
}

void TSection::ShiftSourcePositions(int32_t from, int32_t delta) {
    // A run of characters whose source runs on across `from` splits there: its part from `from`
    // on moves, the part before stays.
    const uint32_t n = SourceIndexList.size();
    bool split = false;
    for (uint32_t k = 0; k < n; ++k) {
        IndexObj& io = SourceIndexList[k];
        if (io.SourceIndex >= from) {
            io.SourceIndex += delta;
        } else if (!split) {
            const int32_t runEnd = k + 1 < n ? SourceIndexList[k + 1].PosIndex : Len;
            split = from < io.SourceIndex + (runEnd - io.PosIndex);
        }
    }
    if (!split) return;
    TSmallVector<IndexObj, 2> parts;
    for (uint32_t k = 0; k < n; ++k) {
        const IndexObj io = SourceIndexList[k];
        parts.push_back(io);
        const int32_t runEnd = k + 1 < n ? SourceIndexList[k + 1].PosIndex : Len;
        if (io.SourceIndex < from && from < io.SourceIndex + (runEnd - io.PosIndex))
            parts.push_back({io.PosIndex + (from - io.SourceIndex), from + delta});
    }
    parts.shrink_to_fit();
    SourceIndexList = parts;
}

void TSection::Relocate(int32_t dy, int32_t dcurs) {
    TSectionBase::Relocate(dy, dcurs);
    for (auto* c : FormControls)
        c->YValue += dy;
}
