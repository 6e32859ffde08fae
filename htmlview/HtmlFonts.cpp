// Font runs and the indent manager.
#include "htmlview/HtmlFonts.h"

#include <algorithm>

#include "htmlview/HtmlObjects.h"
#include "htmlview/HtmlSections.h"
#include "htmlview/HtmlTextSection.h"

void SetNormalSize(TMyFont& font, const TSectionList& list, int32_t value) {
    font.NormalSize = value;
    font.Size = HtmlMulDiv(list.FontSize, value, 12);
}

void UpdateMyFont(TMyFont& font, const TSectionList& list, TColor color) {
    font.Name = font.Fixed ? list.PreFontName : list.FontName;
    font.Charset = list.CharSet;
    font.Size = HtmlMulDiv(list.FontSize, font.NormalSize, 12);
    font.Color = color | hvPaletteRelative;
}

TFontObj::TFontObj(TSection* section, std::unique_ptr<TMyFont> font, int32_t pos)
    : Section(section), Pos(pos), CurrentFont(std::move(font)) {}

const TFontMetrics& TFontObj::Metrics(ITextMetrics& measure) {
    if (!metricsValid_) {
        metrics_ = measure.Metrics(*CurrentFont);
        metricsValid_ = true;
    }
    return metrics_;
}

void TFontObj::ApplyLinkColor() {
    const TSectionList* list = Section ? Section->ParentSectionList : nullptr;
    if (!list) return;
    TColor c = Hover ? list->OverColor : (Visited ? list->VisitedColor : list->HotSpotColor);
    CurrentFont->Color = c | hvPaletteRelative;
}

void TFontObj::SetVisited(bool value) {
    if (value != Visited) {
        Visited = value;
        ApplyLinkColor();
    }
}

void TFontObj::SetHover(bool value) {
    if (value != Hover) {
        Hover = value;
        ApplyLinkColor();
    }
}

void TFontObj::UpdateFont() {
    const TSectionList* list = Section ? Section->ParentSectionList : nullptr;
    if (!list) return;
    UpdateMyFont(*CurrentFont, *list, UrlTarget.URL.empty() ? list->FontColor : list->HotSpotColor);
    if (SScript != 0) CurrentFont->Size = HtmlMulDiv(CurrentFont->Size, 3, 4);
    FontChanged();
}

void TFontList::UpdateFonts() {
    for (const auto& f : *this)
        f->UpdateFont();
}

TFontObj* TFontList::GetFontObjAt(int32_t posn, int* index) const {
    int n = Count();
    if (n == 0) return nullptr;
    // Runs are in ascending Pos: binary search for the last run at or before posn.
    int lo = 0, hi = n - 1, found = 0;
    while (lo <= hi) {
        int mid = (lo + hi) / 2;
        if ((*this)[mid]->Pos <= posn) {
            found = mid;
            lo = mid + 1;
        } else {
            hi = mid - 1;
        }
    }
    if (index) *index = found;
    return (*this)[found];
}

int32_t TFontList::GetFontCountAt(int32_t posn, int32_t leng) const {
    int i = 0;
    if (!GetFontObjAt(posn, &i)) return leng - posn;
    for (int k = i + 1; k < Count(); ++k)
        if ((*this)[k]->Pos > posn) return (*this)[k]->Pos - posn;
    return leng - posn;
}

int32_t IndentManager::LeftIndent(int32_t y) const {
    int32_t x = 0;
    for (const auto& r : L)
        if (y >= r.StartY && y < r.EndY) x = std::max(x, r.X);
    return LeftEdge + x;
}

int32_t IndentManager::RightSide(int32_t y) const {
    int32_t x = 0;
    for (const auto& r : R)
        if (y >= r.StartY && y < r.EndY) x = std::min(x, r.X);
    return RightEdge + x;
}

int32_t IndentManager::ImageBottom() const {
    int32_t b = 0;
    for (const auto* list : {&L, &R})
        for (const auto& r : *list)
            if (r.ID == 0) b = std::max(b, r.EndY);
    return b;
}

void IndentManager::YBelowFloats(int32_t& cl, int32_t& cr) const {
    cl = cr = 0;
    for (const auto& r : L)
        if (r.ID == 0) cl = std::max(cl, r.EndY + 1);
    for (const auto& r : R)
        if (r.ID == 0) cr = std::max(cr, r.EndY + 1);
}

int32_t IndentManager::NextWiderY(int32_t y) const {
    int32_t x0 = 0;
    for (const auto& r : L)
        if (r.ID == CurrentID && CurrentID > 0 && y >= r.StartY && y < r.EndY) x0 = r.X;
    int32_t result = y;
    for (const auto& r : L)
        if (r.X > x0 && r.EndY < 9999999) result = std::max(result, r.EndY + 1);
    return result;
}

void IndentManager::Update(int32_t y, int32_t width, int align, int32_t height) {
    if (align == 1)
        L.push_back({LeftIndent(y) - LeftEdge + width, y, y + height, 0});
    else if (align == 3)
        R.push_back({RightSide(y) - RightEdge - width, y, y + height, 0});
}

void IndentManager::UpdateFloat(int32_t y, TImageObj& image) {
    int32_t width = image.ImageWidth + image.HSpace;
    int32_t height = image.ImageHeight + 2 * image.VSpace;
    if (image.ImageAlign == 3) {
        image.Indent = LeftIndent(y) - LeftEdge;
        L.push_back({image.Indent + width, y, y + height, 0});
    } else if (image.ImageAlign == 4) {
        IndentRec r{RightSide(y) - RightEdge - width, y, y + height, 0};
        R.push_back(r);
        image.Indent = RightEdge + r.X + image.HSpace - LeftEdge;
    }
}

void IndentManager::SetLevel(int32_t y, int32_t level) {
    if (level > CurrentID) {
        for (int32_t id = CurrentID + 1; id <= level; ++id)
            L.push_back({LeftIndent(y) - LeftEdge + ListStep, y, 9999999, id});
    } else if (level < CurrentID) {
        for (auto& r : L)
            if (r.ID > level) {
                r.ID = 0;
                r.EndY = y - 1;
            }
    }
    CurrentID = level;
}

void IndentManager::SetLevelStep(int32_t y, int32_t level) {
    if (level == CurrentID + 1) {
        L.push_back({LeftIndent(y) - LeftEdge + 15, y, 9999999, level});
        CurrentID = level;
    } else if (level == CurrentID - 1) {
        for (auto& r : L)
            if (r.ID > level) {
                r.ID = 0;
                r.EndY = y - 1;
            }
        CurrentID = level;
    }
}
