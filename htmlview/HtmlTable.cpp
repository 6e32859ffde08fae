// Table layout: span normalisation, column widths, row heights, placement, drawing, queries.
#include "htmlview/HtmlTable.h"

#include <algorithm>
#include <numeric>

#include "base/StrUtils.h"
#include "htmlview/HtmlObjects.h"
#include "htmlview/HtmlScanner.h"
#include "htmlview/HtmlSymbols.h"

namespace {
const char* const kTooManyColumns = "Table has too many Columns";

using Cols = ThtmlTable::ColWidths;

// Fills what of area no hole covers, band by band: the holes' top and bottom edges cut the area
// into horizontal bands, each hole covers a band wholly or not at all, and the gaps between the
// holes of a band are filled. Only the parts the holes leave are painted, so whatever was drawn
// below a hole (the document's background picture, say) stays.
void FillAround(IHtmlPainter& canvas, const THvRect& area, std::vector<THvRect>& holes, TColor color) {
    if (area.Left >= area.Right || area.Top >= area.Bottom) return;
    std::vector<int32_t> edges{area.Top, area.Bottom};
    for (const auto& h : holes) {
        if (h.Top < area.Bottom && h.Top > area.Top) edges.push_back(h.Top);
        if (h.Bottom < area.Bottom && h.Bottom > area.Top) edges.push_back(h.Bottom);
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    std::sort(holes.begin(), holes.end(), [](const THvRect& a, const THvRect& b) { return a.Top < b.Top; });
    std::vector<const THvRect*> active;
    std::vector<std::pair<int32_t, int32_t>> spans;
    size_t next = 0;
    for (size_t b = 0; b + 1 < edges.size(); ++b) {
        int32_t y0 = edges[b], y1 = edges[b + 1];
        while (next < holes.size() && holes[next].Top <= y0)
            active.push_back(&holes[next++]);
        std::erase_if(active, [y0](const THvRect* h) { return h->Bottom <= y0; });
        spans.clear();
        for (const THvRect* h : active)
            if (h->Left < h->Right) spans.emplace_back(h->Left, h->Right);
        std::sort(spans.begin(), spans.end());
        int32_t x = area.Left;
        for (const auto& [l, r] : spans) {
            if (l > x) canvas.FillRect({x, y0, std::min(l, area.Right), y1}, color);
            x = std::max(x, r);
            if (x >= area.Right) break;
        }
        if (x < area.Right) canvas.FillRect({x, y0, area.Right, y1}, color);
    }
}
} // namespace

ThtmlTable::ThtmlTable(TSectionList* master, const TAttributeList& attributes, uint8_t justify,
                       TCell* ownerCell, int32_t level)
    : TSectionBase(master), Caption(std::make_unique<TCellObj>(master, 1, TAttributeList())),
      Justify(justify), Level(level), OwnerCell(ownerCell) {
    for (const auto& a : attributes) {
        bool percent = a.Name.find('%') != std::string::npos;
        switch (a.Which) {
        case AttrALIGN: {
            std::string v = UpperCase(a.Name);
            if (v == "CENTER") {
                Justify = 2;
            } else if (v == "LEFT") {
                Justify = 1;
                Float = true;
            } else if (v == "RIGHT") {
                Justify = 3;
                Float = true;
            }
            break;
        }
        case AttrBORDER:
            Border = a.Value > 0;
            break;
        case AttrCELLPADDING:
            if (a.Value >= 0) CellPadding = std::min(a.Value, 50);
            break;
        case AttrCELLSPACING:
            if (a.Value >= 0) CellSpacing = std::min(a.Value, 40);
            break;
        case AttrWIDTH:
            if (percent) {
                PercentWidth = true;
                if (a.Value >= 1 && a.Value <= 100) GivenWidth = a.Value * 10;
            } else {
                GivenWidth = ClampInt(a.Value, 0, hvMaxPixels);
            }
            break;
        case AttrHEIGHT:
            if (percent && ownerCell == master) {
                if (a.Value >= 1 && a.Value <= 110) {
                    GivenHeight = a.Value * 10;
                    PercentHeight = true;
                }
            } else {
                GivenHeight = ClampInt(a.Value, 0, hvMaxPixels);
            }
            break;
        case AttrHSPACE:
            HSpace = std::min(std::abs(ClampInt(a.Value, -1000, 1000)), 40);
            break;
        case AttrVSPACE:
            VSpace = std::min(std::abs(ClampInt(a.Value, -1000, 1000)), 200);
            break;
        case AttrBGCOLOR:
            BgColorGiven = THtmlScanner::ColorFromString(a.Name, BgColor);
            if (BgColorGiven) BgColor |= hvPaletteRelative;
            break;
        case AttrBORDERCOLOR:
            BorderColorGiven = THtmlScanner::ColorFromString(a.Name, BorderColor);
            if (BorderColorGiven) BorderColor |= hvPaletteRelative;
            break;
        default:
            break;
        }
    }
    if (Border) CellSpacing += 2;
}

void ThtmlTable::Initialize() {
    if (Initialized) return;
    if (!BgColorGiven && OwnerCell && OwnerCell != ParentSectionList && OwnerCell->HasBackground) {
        BgColor = OwnerCell->BackgroundColor;
        BgColorGiven = true;
    }
    for (auto& row : Rows) {
        row->PropagateColor();
        for (auto& c : row->Cells)
            if (c && BgColorGiven && !c->Cell.HasBackground) {
                c->Cell.HasBackground = true;
                c->Cell.BackgroundColor = BgColor;
            }
    }
    for (auto& row : Rows)
        for (auto& c : row->Cells)
            if (c && !c->AsPercent && c->GivenWidth > 0) HasAbsoluteCellWidth = true;
    auto dummy = [&](int32_t rowSpan) {
        auto d = std::make_unique<TCellObj>(ParentSectionList, 1, TAttributeList());
        d->ColSpan = 0;
        d->RowSpan = rowSpan;
        d->Dummy = true;
        return d;
    };
    // Column spans: room after each spanning cell. A row wider than the column limit is cut to
    // it: spans end at the last column, cells past it are kept aside.
    bool cut = false;
    auto cutAside = [&](std::unique_ptr<TCellObj>& c) {
        if (c && !c->Dummy) CutCells.push_back(std::move(c));
        cut = true;
    };
    for (auto& row : Rows) {
        std::vector<std::unique_ptr<TCellObj>> grid;
        for (auto& cell : row->Cells) {
            if (grid.size() >= MaxCols) {
                cutAside(cell);
                continue;
            }
            TCellObj* c = cell.get();
            grid.push_back(std::move(cell));
            if (!c || c->Dummy || c->ColSpan <= 1) continue;
            int room = MaxCols - static_cast<int>(grid.size());
            if (c->ColSpan - 1 > room) {
                c->ColSpan = room + 1;
                cut = true;
            }
            for (int k = 1; k < c->ColSpan; ++k)
                grid.push_back(c->RowSpan > 1 ? dummy(c->RowSpan) : nullptr);
        }
        row->Cells = std::move(grid);
    }
    int rowCount = static_cast<int>(Rows.size());
    size_t longest = 0;
    for (auto& row : Rows)
        longest = std::max(longest, row->Cells.size());
    ColCount = static_cast<int>(longest);
    // Row spans: room below each spanning cell; what that pushes past the last column is cut.
    for (int c = 0; c < ColCount; ++c)
        for (int r = 0; r < rowCount; ++r) {
            auto& cells = Rows[static_cast<size_t>(r)]->Cells;
            if (c >= static_cast<int>(cells.size()) || !cells[static_cast<size_t>(c)]) continue;
            TCellObj* cell = cells[static_cast<size_t>(c)].get();
            cell->RowSpan = std::min(cell->RowSpan, rowCount - r);
            for (int k = 1; k < cell->RowSpan; ++k) {
                auto& below = Rows[static_cast<size_t>(r + k)]->Cells;
                while (static_cast<int>(below.size()) < c)
                    below.push_back(dummy(0));
                below.insert(below.begin() + c, dummy(0));
                if (below.size() > MaxCols) {
                    cutAside(below.back());
                    below.pop_back();
                }
            }
        }
    if (cut) {
        for (auto& row : Rows)
            for (size_t i = 0; i < row->Cells.size(); ++i)
                if (TCellObj* c = row->Cells[i].get(); c && !c->Dummy)
                    c->ColSpan = std::min(c->ColSpan, MaxCols - static_cast<int>(i));
        if (ParentSectionList && ParentSectionList->OnLayoutError)
            ParentSectionList->OnLayoutError(kTooManyColumns);
    }
    longest = 0;
    for (auto& row : Rows)
        longest = std::max(longest, row->Cells.size());
    ColCount = static_cast<int>(longest);
    Initialized = true;
}

namespace {
// The content's minimum and maximum width, measured once per document layout.
void CellMinMax(TCellObj& c, ITextMetrics& canvas, uint32_t generation, int32_t& mn, int32_t& mx) {
    if (c.MinMaxGeneration != generation) {
        c.Cell.MinMaxWidth(canvas, c.MinW, c.MaxW);
        c.MinMaxGeneration = generation;
    }
    mn = c.MinW;
    mx = c.MaxW;
}

// The widest span a real cell of the grid has along one axis (&TCellObj::ColSpan or RowSpan).
int MaxSpan(const std::vector<std::unique_ptr<TCellList>>& rows, int TCellObj::*span) {
    int widest = 1;
    for (const auto& row : rows)
        for (const auto& cell : row->Cells)
            if (cell && !cell->Dummy) widest = std::max(widest, (*cell).*span);
    return widest;
}

// The span walk: f(cell, column, span) for every real cell, those spanning one column first,
// then two, and so on, so that a spanning cell meets its columns with what the narrower cells
// under it already need.
template <typename F> void ForCellsByColSpan(std::vector<std::unique_ptr<TCellList>>& rows, F f) {
    const int widest = MaxSpan(rows, &TCellObj::ColSpan);
    for (int n = 1; n <= widest; ++n)
        for (auto& row : rows)
            for (int c = 0; c < static_cast<int>(row->Cells.size()); ++c)
                if (TCellObj* cell = row->Cells[static_cast<size_t>(c)].get();
                    cell && !cell->Dummy && cell->ColSpan == n)
                    f(*cell, c, n);
}

// The sum of v[from] to v[to - 1].
template <typename V> int32_t SpanSum(const V& v, int from, int to) {
    int32_t sum = 0;
    for (int k = from; k < to; ++k)
        sum += v[static_cast<size_t>(k)];
    return sum;
}
} // namespace

void ThtmlTable::GetMinMax(ITextMetrics& canvas, int32_t& totalMin, int32_t* minWidths, int32_t* maxWidths,
                           int32_t& totalMax) {
    std::fill(minWidths, minWidths + MaxCols + 1, 0);
    std::fill(maxWidths, maxWidths + MaxCols + 1, 0);
    int32_t pad = CellPadding * 2 + CellSpacing;
    ForCellsByColSpan(Rows, [&](TCellObj& cell, int c, int n) {
        int32_t mn, mx;
        CellMinMax(cell, canvas, ParentSectionList->LayoutGeneration, mn, mx);
        mn += pad;
        mx += pad;
        if (!cell.AsPercent && cell.GivenWidth > 0) {
            mn = std::max(mn, cell.GivenWidth + pad);
            mx = mn;
        }
        int last = std::min(c + n, ColCount);
        if (n == 1) {
            minWidths[c] = std::max(minWidths[c], mn);
            maxWidths[c] = std::max(maxWidths[c], mx);
            return;
        }
        for (int32_t* w : {minWidths, maxWidths}) {
            int32_t need = w == minWidths ? mn : mx;
            int32_t sum = SpanSum(w, c, last);
            if (sum >= need) continue;
            if (sum == 0) {
                w[c] += need;
            } else {
                int32_t extra = need - sum;
                for (int k = c; k < last; ++k)
                    w[k] += HtmlMulDiv(w[k], extra, sum);
            }
        }
    });
    totalMin = SpanSum(minWidths, 0, ColCount);
    totalMax = SpanSum(maxWidths, 0, ColCount);
}

void ThtmlTable::GetMinMaxPercent(ITextMetrics& canvas, int32_t& totalMin, int32_t availableWidth,
                                  int32_t* maxWidths, int32_t* minWidths, int32_t& totalMax) {
    std::fill(minWidths, minWidths + MaxCols + 1, 0);
    std::fill(maxWidths, maxWidths + MaxCols + 1, 0);
    Percents.fill(0);
    int32_t pad = CellPadding * 2 + CellSpacing;
    ForCellsByColSpan(Rows, [&](TCellObj& cell, int c, int n) {
        int32_t p = 0;
        if (cell.AsPercent)
            p = cell.GivenWidth;
        else if (cell.GivenWidth > 0 && availableWidth > 0)
            p = std::min(1000, HtmlMulDiv(cell.GivenWidth, 1000, availableWidth));
        int32_t mn, mx;
        CellMinMax(cell, canvas, ParentSectionList->LayoutGeneration, mn, mx);
        mn += pad;
        mx += pad;
        if (n == 1) {
            maxWidths[c] = std::max(maxWidths[c], mx);
            minWidths[c] = std::max(minWidths[c], mn);
            Percents[static_cast<size_t>(c)] = std::max(Percents[static_cast<size_t>(c)], p);
            return;
        }
        int last = std::min(c + n, ColCount);
        int span = last - c;
        if (span <= 0) return;
        int32_t sumMin = 0, sumMax = 0, sumP = 0, freeCount = 0, freeMaxSum = 0;
        std::vector<bool> isFree(static_cast<size_t>(span));
        for (int k = c; k < last; ++k) {
            sumMin += minWidths[k];
            sumMax += maxWidths[k];
            sumP += Percents[static_cast<size_t>(k)];
            if (Percents[static_cast<size_t>(k)] == 0) {
                ++freeCount;
                freeMaxSum += maxWidths[k];
                isFree[static_cast<size_t>(k - c)] = true;
            }
        }
        int32_t excessMin = mn - sumMin, excessMax = mx - sumMax;
        if (p < 1 && sumP < 1) {
            if (excessMin > 0)
                for (int k = c; k < last; ++k)
                    minWidths[k] = sumMin > 0 ? HtmlMulDiv(mn, minWidths[k], sumMin) : mn / span;
            if (excessMax >= 1)
                for (int k = c; k < last; ++k)
                    maxWidths[k] = sumMax > 0 ? HtmlMulDiv(mx, maxWidths[k], sumMax) : mx / span;
            return;
        }
        int32_t share = freeCount > 0 ? std::max(0, (p - sumP) / freeCount) : 0;
        if (freeCount == 0 && p > sumP) {
            for (int k = c; k < last; ++k)
                Percents[static_cast<size_t>(k)] = HtmlMulDiv(Percents[static_cast<size_t>(k)], p, sumP);
        } else if (share > 0) {
            for (int k = c; k < last; ++k)
                if (isFree[static_cast<size_t>(k - c)]) Percents[static_cast<size_t>(k)] = share;
        }
        int32_t pMax = std::max(sumP, p);
        if (excessMin > 0) {
            if (freeCount < 1) {
                for (int k = c; k < last; ++k)
                    minWidths[k] =
                        std::max(minWidths[k], HtmlMulDiv(mn, Percents[static_cast<size_t>(k)], pMax));
            } else {
                for (int k = c; k < last; ++k)
                    if (isFree[static_cast<size_t>(k - c)])
                        minWidths[k] += freeMaxSum > 0 ? HtmlMulDiv(excessMin, maxWidths[k], freeMaxSum)
                                                       : excessMin / freeCount;
            }
        }
        if (excessMax >= 1) {
            if (freeCount < 1) {
                for (int k = c; k < last; ++k)
                    maxWidths[k] =
                        std::max(maxWidths[k], HtmlMulDiv(mx, Percents[static_cast<size_t>(k)], pMax));
            } else {
                for (int k = c; k < last; ++k)
                    if (isFree[static_cast<size_t>(k - c)]) maxWidths[k] += excessMax / freeCount;
            }
        }
    });
    totalMin = SpanSum(minWidths, 0, ColCount);
    totalMax = SpanSum(maxWidths, 0, ColCount);
}

void ThtmlTable::FindColWidths(ITextMetrics& canvas, int32_t width, const int32_t*, const int32_t*,
                               bool forceFull) {
    Cols mins{}, maxs{};
    int32_t totalMin = 0, totalMax = 0;
    GetMinMax(canvas, totalMin, mins.data(), maxs.data(), totalMax);
    for (int c = 0; c < ColCount; ++c) {
        size_t i = static_cast<size_t>(c);
        if (totalMin >= width) {
            Widths[i] = mins[i];
        } else if (totalMax <= width && !forceFull) {
            Widths[i] = maxs[i];
        } else {
            int32_t extra = width - totalMin, range = totalMax - totalMin;
            if (range >= 1)
                Widths[i] = mins[i] + HtmlMulDiv(maxs[i] - mins[i], extra, range);
            else if (totalMin > 0)
                Widths[i] = mins[i] + HtmlMulDiv(mins[i], extra, totalMin);
            else
                Widths[i] = extra / ColCount;
        }
    }
}

void ThtmlTable::WidthsFromPercents(const int32_t* maxWidths, const int32_t* minWidths, int32_t width) {
    std::array<bool, MaxCols + 1> fixed{};
    int32_t pTotal = 0, freeCount = 0, slack = 0;
    for (int c = 0; c < ColCount; ++c) {
        size_t i = static_cast<size_t>(c);
        if (Percents[i] > 0) {
            int32_t w = HtmlMulDiv(width, Percents[i], 1000);
            if (w <= minWidths[c]) {
                Widths[i] = minWidths[c];
                fixed[i] = true;
            } else {
                Widths[i] = w;
                pTotal += Percents[i];
            }
        } else {
            Widths[i] = minWidths[c];
            ++freeCount;
            slack += maxWidths[c] - minWidths[c];
        }
    }
    auto sum = [&] { return std::accumulate(Widths.begin(), Widths.begin() + ColCount, 0); };
    int32_t excess = sum() - width;
    if (excess > 0) {
        for (int pass = 0; pass < 4 && pTotal > 0; ++pass) {
            bool changed = false;
            for (int c = 0; c < ColCount; ++c) {
                size_t i = static_cast<size_t>(c);
                if (Percents[i] == 0 || fixed[i] || pTotal <= 0) continue;
                if (Widths[i] - HtmlMulDiv(excess, Percents[i], pTotal) < minWidths[c]) {
                    excess -= Widths[i] - minWidths[c];
                    Widths[i] = minWidths[c];
                    fixed[i] = true;
                    pTotal -= Percents[i];
                    changed = true;
                }
            }
            if (!changed) break;
        }
        if (pTotal > 0)
            for (int c = 0; c < ColCount; ++c) {
                size_t i = static_cast<size_t>(c);
                if (Percents[i] > 0 && !fixed[i]) Widths[i] -= HtmlMulDiv(excess, Percents[i], pTotal);
            }
    } else if (excess < 0) {
        int32_t room = -excess;
        if (freeCount < 1) {
            if (pTotal > 0)
                for (int c = 0; c < ColCount; ++c) {
                    size_t i = static_cast<size_t>(c);
                    if (Percents[i] > 0 && !fixed[i]) Widths[i] += HtmlMulDiv(room, Percents[i], pTotal);
                }
        } else if (slack > 0 && room / 2 <= slack) {
            for (int c = 0; c < ColCount; ++c)
                if (Percents[static_cast<size_t>(c)] == 0)
                    Widths[static_cast<size_t>(c)] += HtmlMulDiv(room, maxWidths[c] - minWidths[c], slack);
        } else {
            for (int c = 0; c < ColCount; ++c)
                if (Percents[static_cast<size_t>(c)] == 0) Widths[static_cast<size_t>(c)] += room / freeCount;
        }
    }
    if (ColCount == 0) return;
    int32_t total = sum();
    if (total <= width) {
        Widths[0] += width - total;
    } else {
        for (int c = 0; c < ColCount; ++c)
            if (!fixed[static_cast<size_t>(c)]) {
                Widths[static_cast<size_t>(c)] -= total - width;
                break;
            }
    }
}

int32_t ThtmlTable::ColumnX(int c) const {
    int32_t x = 0;
    for (int k = 0; k < c && k < ColCount; ++k)
        x += Widths[static_cast<size_t>(k)];
    return x;
}

int32_t ThtmlTable::LayoutTable(ITextMetrics& canvas, int32_t y, int32_t& curs, int32_t& maxWidth,
                                IndentManager& indents) {
    YValue = y;
    StartCurs = curs;
    indents.SetLevel(y, Level);
    int32_t avail = indents.RightSide(y) - indents.LeftIndent(y);
    Initialize();
    LayoutColumns(canvas, avail);
    std::vector<int32_t> heights = RowHeights(canvas, y, curs);
    int32_t sectionHeight = PlaceRows(canvas, y, curs, heights);
    Indent = 0;
    if (CaptionWidth < avail) {
        if (Justify == 2)
            Indent = (avail - CaptionWidth) / 2;
        else if (Justify == 3)
            Indent = avail - CaptionWidth;
    }
    Indent += indents.LeftIndent(YValue) - indents.LeftEdge;
    TableIndent = (CaptionWidth - TableWidth) / 2 + Indent;
    Len = curs - StartCurs;
    maxWidth = CaptionWidth;
    if (!Float) {
        SectionHeight = DrawHeight = sectionHeight;
        return SectionHeight;
    }
    sectionHeight += 2 * VSpace;
    indents.Update(YValue, CaptionWidth + HSpace + 1, Justify, sectionHeight);
    DrawHeight = sectionHeight;
    SectionHeight = 0;
    return 0;
}

// Column widths for the room the table has: its given width, or what its cells' minimum and
// maximum widths and their percentages ask for within avail. Sets Widths, TableWidth and
// CaptionWidth.
void ThtmlTable::LayoutColumns(ITextMetrics& canvas, int32_t avail) {
    bool specified = GivenWidth >= 1;
    int32_t newWidth = !specified ? avail : PercentWidth ? HtmlMulDiv(avail, GivenWidth, 1000) : GivenWidth;
    newWidth = std::max(newWidth - CellSpacing, 20);
    Cols mins{}, maxs{};
    int32_t totalMin = 0, totalMax = 0;
    if (HasAbsoluteCellWidth && !specified) {
        FindColWidths(canvas, newWidth, maxs.data(), mins.data(), false);
    } else {
        GetMinMaxPercent(canvas, totalMin, newWidth, maxs.data(), mins.data(), totalMax);
        if (totalMin >= newWidth) {
            std::copy(mins.begin(), mins.end(), Widths.begin());
        } else if (specified) {
            WidthsFromPercents(maxs.data(), mins.data(), newWidth);
        } else if (!FitPercentColumns(mins, maxs, newWidth, totalMin, totalMax)) {
            for (int c = 0; c < ColCount; ++c) {
                size_t i = static_cast<size_t>(c);
                if (totalMax > newWidth && totalMax != totalMin)
                    Widths[i] =
                        mins[i] + HtmlMulDiv(maxs[i] - mins[i], newWidth - totalMin, totalMax - totalMin);
                else
                    Widths[i] = maxs[i];
            }
        }
    }
    TableWidth = CellSpacing + SpanSum(Widths, 0, ColCount);
    int32_t capMax = 0;
    Caption->Cell.MinMaxWidth(canvas, CaptionMinWidth, capMax);
    CaptionWidth = std::max(TableWidth, CaptionMinWidth);
}

// Columns with percentages in a table of no given width: at the width where every column gets
// its percentage and its maximum when that fits (true); otherwise percentages that do not fit
// are dropped or scaled down and mins and maxs are set for the columns still holding one.
bool ThtmlTable::FitPercentColumns(ColWidths& mins, ColWidths& maxs, int32_t newWidth, int32_t& totalMin,
                                   int32_t& totalMax) {
    int32_t pSum = SpanSum(Percents, 0, ColCount);
    if (pSum < 1 || pSum > 1000) return false;
    int32_t need1 = 0, otherMax = 0;
    for (int c = 0; c < ColCount; ++c) {
        size_t i = static_cast<size_t>(c);
        if (Percents[i] > 0)
            need1 = std::max(need1, HtmlMulDiv(maxs[i], 1000, Percents[i]));
        else
            otherMax += maxs[i];
    }
    int32_t need2 = pSum < 1000 ? HtmlMulDiv(otherMax, 1000, 1000 - pSum) : (otherMax < 1 ? 0 : 30000);
    int32_t natural = std::max(need1, need2);
    if (natural <= newWidth) {
        int32_t rest = HtmlMulDiv(natural, 1000 - pSum, 1000);
        for (int c = 0; c < ColCount; ++c) {
            size_t i = static_cast<size_t>(c);
            if (Percents[i] > 0)
                Widths[i] = HtmlMulDiv(natural, Percents[i], 1000);
            else
                Widths[i] = otherMax < 1 ? 0 : HtmlMulDiv(rest, maxs[i], otherMax);
        }
        return true;
    }
    for (int round = 0; round < 50; ++round) {
        int32_t sumWp = 0, otherMin = 0;
        bool anyPercent = false;
        for (int c = 0; c < ColCount; ++c) {
            size_t i = static_cast<size_t>(c);
            if (Percents[i] > 0) {
                int32_t wp = HtmlMulDiv(newWidth, Percents[i], 1000) - 1;
                if (mins[i] > wp) {
                    Percents[i] = 0;
                    otherMin += mins[i];
                } else {
                    sumWp += wp;
                    anyPercent = true;
                }
            } else {
                otherMin += mins[i];
            }
        }
        if (!anyPercent) break;
        if (sumWp + otherMin <= newWidth) {
            totalMin = totalMax = 0;
            for (int c = 0; c < ColCount; ++c) {
                size_t i = static_cast<size_t>(c);
                if (Percents[i] > 0) mins[i] = maxs[i] = HtmlMulDiv(newWidth, Percents[i], 1000);
                totalMin += mins[i];
                totalMax += maxs[i];
            }
            break;
        }
        if (sumWp <= 0) break;
        for (int c = 0; c < ColCount; ++c) {
            size_t i = static_cast<size_t>(c);
            if (Percents[i] > 0)
                Percents[i] =
                    static_cast<int32_t>(static_cast<int64_t>(Percents[i]) * (newWidth - otherMin) / sumWp);
        }
    }
    return false;
}

// The rows' heights: each row's cells are laid out at their columns' width, those spanning one
// row first; a cell spanning n rows then shares what its rows lack out evenly among them.
std::vector<int32_t> ThtmlTable::RowHeights(ITextMetrics& canvas, int32_t y, int32_t curs) {
    int rowCount = static_cast<int>(Rows.size());
    std::vector<int32_t> heights(static_cast<size_t>(rowCount), 0);
    const int tallest = MaxSpan(Rows, &TCellObj::RowSpan);
    for (int n = 1; n <= tallest; ++n)
        for (int r = 0; r + n <= rowCount; ++r) {
            int32_t passHeight = Rows[static_cast<size_t>(r)]->RowLayoutPass(*this, canvas, n, y, curs);
            if (n == 1) {
                heights[static_cast<size_t>(r)] = passHeight;
            } else {
                int32_t sum = SpanSum(heights, r, r + n);
                if (passHeight > sum) {
                    int32_t each = (passHeight - sum) / n;
                    for (int k = r; k < r + n; ++k)
                        heights[static_cast<size_t>(k)] += each;
                    heights[static_cast<size_t>(r + n - 1)] += (passHeight - sum) - each * n;
                }
            }
        }
    return heights;
}

// The caption above, the grid's rows at their tops (stretched to a given height) and the caption
// below; returns the table's height with its captions.
int32_t ThtmlTable::PlaceRows(ITextMetrics& canvas, int32_t y, int32_t& curs, std::vector<int32_t>& heights) {
    int rowCount = static_cast<int>(Rows.size());
    int32_t sectionHeight = 0;
    CaptionHeight = 0;
    if (TopCaption && Caption->Cell.Count() > 0) {
        int32_t mw = 0;
        CaptionHeight = Caption->Cell.Layout(canvas, y, CaptionWidth, mw, curs);
        sectionHeight = CaptionHeight;
    }
    int32_t gy = y + sectionHeight;
    if (GivenHeight > 0 && rowCount > 0) {
        int32_t target = GivenHeight;
        if (PercentHeight) {
            int32_t client = ParentSectionList->Host ? ParentSectionList->Host->ClientHeight() : 0;
            int32_t margin = ParentSectionList->Host ? ParentSectionList->Host->MarginHeight() : 0;
            target = HtmlMulDiv(client - 2 * margin - CellSpacing - 3, GivenHeight, 1000);
        }
        int32_t sum = std::accumulate(heights.begin(), heights.end(), 0);
        if (sum < target) {
            int32_t each = (target - sum) / rowCount, others = 0;
            for (int r = 0; r + 1 < rowCount; ++r) {
                heights[static_cast<size_t>(r)] += each;
                others += heights[static_cast<size_t>(r)];
            }
            heights[static_cast<size_t>(rowCount - 1)] = target - others;
        }
    }
    rowTops_.assign(static_cast<size_t>(rowCount), 0);
    for (int r = 0; r < rowCount; ++r) {
        auto& row = *Rows[static_cast<size_t>(r)];
        rowTops_[static_cast<size_t>(r)] = gy;
        row.RowHeight = heights[static_cast<size_t>(r)];
        row.RowSpanHeight = 0;
        for (auto& cell : row.Cells) {
            if (!cell || cell->Dummy) continue;
            cell->Ht = SpanSum(heights, r, std::min(r + cell->RowSpan, rowCount));
            row.RowSpanHeight = std::max(row.RowSpanHeight, cell->Ht);
        }
        row.RowPlaceCells(*this, gy, curs);
        gy += row.RowHeight;
    }
    sectionHeight = gy - y + CellSpacing;
    TableHeight = sectionHeight - CaptionHeight;
    if (!TopCaption && Caption->Cell.Count() > 0) {
        int32_t mw = 0;
        CaptionHeight = Caption->Cell.Layout(canvas, YValue + TableHeight, CaptionWidth, mw, curs);
        sectionHeight += CaptionHeight;
    }
    return sectionHeight;
}

void ThtmlTable::MinMaxWidth(ITextMetrics& canvas, int32_t& min, int32_t& max) {
    Initialize();
    Cols mins{}, maxs{};
    if (HasAbsoluteCellWidth && GivenWidth < 1)
        GetMinMax(canvas, min, mins.data(), maxs.data(), max);
    else if (PercentWidth)
        GetMinMaxPercent(canvas, min, 0, maxs.data(), mins.data(), max);
    else
        GetMinMaxPercent(canvas, min, GivenWidth, maxs.data(), mins.data(), max);
    min += CellSpacing;
    max += CellSpacing;
    if (!PercentWidth) {
        min = std::max(min, GivenWidth);
        max = std::max(max, GivenWidth);
    }
    int32_t cmin = 0, cmax = 0;
    Caption->Cell.MinMaxWidth(canvas, cmin, cmax);
    min = std::max(min, cmin);
    max = std::max(max, cmin);
}

int32_t ThtmlTable::Draw(IHtmlPainter& canvas, const THvRect& rect, IndentManager& indents, int32_t x,
                         int32_t y) {
    int32_t result = y + SectionHeight;
    int32_t topY = y + (Float ? VSpace : 0);
    int32_t scroll = ParentSectionList->ScrollOffset;
    if (topY - scroll + DrawHeight < rect.Top || topY - scroll >= rect.Bottom) return result;
    int32_t left = x; // the cell's edge
    DrawX = left + TableIndent;
    DrawY = topY;
    int32_t clip = indents.ClipWidth;
    if (TopCaption && Caption->Cell.Count() > 0) Caption->Cell.Draw(canvas, rect, clip, left + Indent, topY);
    int32_t gridTop = topY + (TopCaption ? CaptionHeight : 0);
    // The border colour shows in the spacing between the cells: the cells drawn below are
    // holes in the grid's band (one pixel larger with a border, so their frames stay).
    std::vector<THvRect> holes;
    int32_t rowTop = gridTop;
    for (auto& row : Rows) {
        int32_t screenTop = rowTop - scroll;
        if (screenTop + row->RowSpanHeight >= rect.Top && screenTop < rect.Bottom)
            row->RowDraw(*this, canvas, rect, clip, rowTop, holes);
        rowTop += row->RowHeight;
    }
    if (BorderColorGiven)
        FillAround(canvas,
                   {DrawX, std::max(rect.Top - 1, gridTop - scroll), DrawX + TableWidth,
                    std::min(rect.Bottom, gridTop + TableHeight - scroll)},
                   holes, BorderColor);
    if (Border)
        Draw3DFrame(canvas, *ParentSectionList, DrawX, gridTop - scroll, DrawX + TableWidth - 1,
                    rowTop + CellSpacing - 1 - scroll, true);
    if (!TopCaption && Caption->Cell.Count() > 0)
        Caption->Cell.Draw(canvas, rect, clip, left + Indent, topY + TableHeight);
    return result;
}

TCellObj* ThtmlTable::CellAtPoint(int32_t x, int32_t y) {
    // The caption answers only within its own box: beside a narrow caption lies nothing.
    int32_t captionLeft = DrawX - TableIndent + Indent;
    if (Caption->Cell.Count() > 0 && y >= Caption->Cell.YValue && y < Caption->Cell.YValue + CaptionHeight)
        return x >= captionLeft && x < captionLeft + CaptionWidth ? Caption.get() : nullptr;
    for (size_t r = 0; r < Rows.size() && r < rowTops_.size(); ++r) {
        auto& row = *Rows[r];
        for (int c = 0; c < static_cast<int>(row.Cells.size()) && c < ColCount; ++c) {
            TCellObj* cell = row.Cells[static_cast<size_t>(c)].get();
            if (!cell || cell->Dummy) continue;
            int32_t cx = DrawX + ColumnX(c);
            if (x >= cx && x < cx + cell->Wd && y >= rowTops_[r] && y < rowTops_[r] + cell->Ht) return cell;
        }
    }
    return nullptr;
}

bool ThtmlTable::LinkAtPoint(ITextMetrics& canvas, int32_t x, int32_t y, TUrlTarget& url,
                             TFormControlObj*& control) {
    TCellObj* cell = CellAtPoint(x, y);
    return cell && cell->Cell.LinkAtPoint(canvas, x, y, url, control);
}

bool ThtmlTable::ObjectAtPoint(int32_t x, int32_t y, TObject*& obj, int32_t& ix, int32_t& iy) {
    TCellObj* cell = CellAtPoint(x, y);
    return cell && cell->Cell.ObjectAtPoint(x, y, obj, ix, iy);
}

int32_t ThtmlTable::CharIndexAtPoint(ITextMetrics& canvas, int32_t x, int32_t y, int32_t& xr, int32_t& yr,
                                     int32_t& ht, bool& inText) {
    TCellObj* cell = CellAtPoint(x, y);
    return cell ? cell->Cell.CharIndexAtPoint(canvas, x, y, xr, yr, ht, inText) : -1;
}

namespace {
// Caption and cells in document order: a top caption first, a bottom caption last.
template <typename F> bool ForCellsInOrder(ThtmlTable& t, F f) {
    if (t.TopCaption && f(t.Caption->Cell)) return true;
    for (auto& row : t.Rows)
        for (auto& cell : row->Cells)
            if (cell && !cell->Dummy && f(cell->Cell)) return true;
    return !t.TopCaption && f(t.Caption->Cell);
}
} // namespace

int32_t ThtmlTable::FindString(int32_t from, const std::string& toFind, bool matchCase) {
    int32_t result = -1;
    ForCellsInOrder(*this, [&](TCell& c) { return (result = c.FindString(from, toFind, matchCase)) >= 0; });
    return result;
}

int32_t ThtmlTable::SourcePosOf(int32_t docPos) {
    if (docPos < StartCurs || docPos >= StartCurs + Len) return -1;
    int32_t result = -1;
    ForCellsInOrder(*this, [&](TCell& c) { return (result = c.SourcePosOf(docPos)) >= 0; });
    return result;
}

int32_t ThtmlTable::DocPosOf(int32_t sourcePos, bool prev) {
    int32_t result = -1;
    if (!prev) {
        ForCellsInOrder(*this, [&](TCell& c) { return (result = c.DocPosOf(sourcePos, prev)) >= 0; });
        return result;
    }
    for (auto r = Rows.rbegin(); r != Rows.rend(); ++r)
        for (auto c = (*r)->Cells.rbegin(); c != (*r)->Cells.rend(); ++c)
            if (*c && !(*c)->Dummy && (result = (*c)->Cell.DocPosOf(sourcePos, prev)) >= 0) return result;
    return Caption->Cell.DocPosOf(sourcePos, prev);
}

bool ThtmlTable::CharIndexToPoint(ITextMetrics& canvas, int32_t cursor, int32_t& x, int32_t& y) {
    if (cursor < StartCurs || cursor >= StartCurs + Len) return false;
    return ForCellsInOrder(*this, [&](TCell& c) { return c.CharIndexToPoint(canvas, cursor, x, y); });
}

bool ThtmlTable::CharAtIndex(int32_t pos, char& ch, TObject*& obj) {
    if (pos < StartCurs || pos >= StartCurs + Len) return false;
    if (Caption->Cell.CharAtIndex(pos, ch, obj)) return true;
    for (auto& row : Rows)
        for (auto& cell : row->Cells)
            if (cell && !cell->Dummy && cell->Cell.CharAtIndex(pos, ch, obj)) return true;
    return false;
}

void ThtmlTable::CopyToClipboard(ITextSink& sink) {
    ForCellsInOrder(*this, [&](TCell& c) {
        c.CopyToClipboard(sink);
        return false;
    });
}

void ThtmlTable::ShiftSourcePositions(int32_t from, int32_t delta) {
    if (Caption) Caption->Cell.ShiftSourcePositions(from, delta);
    for (auto& row : Rows)
        for (auto& cell : row->Cells)
            if (cell && !cell->Dummy) cell->Cell.ShiftSourcePositions(from, delta);
}

void ThtmlTable::SetLinksVisited(const std::function<bool(std::string_view url)>& match, bool value) {
    if (Caption) Caption->Cell.SetLinksVisited(match, value);
    for (auto& row : Rows)
        for (auto& cell : row->Cells)
            if (cell && !cell->Dummy) cell->Cell.SetLinksVisited(match, value);
}

void ThtmlTable::Relocate(int32_t dy, int32_t dcurs) {
    TSectionBase::Relocate(dy, dcurs);
    DrawY += dy;
    for (auto& t : rowTops_)
        t += dy;
    Caption->Cell.Relocate(dy, dcurs);
    for (auto& row : Rows)
        for (auto& cell : row->Cells)
            if (cell && !cell->Dummy) cell->Cell.Relocate(dy, dcurs);
}

void ThtmlTable::UpdateFonts() {
    for (auto& row : Rows)
        row->UpdateFonts();
    Caption->UpdateFonts();
}

int32_t TCellList::RowLayoutPass(ThtmlTable& table, ITextMetrics& canvas, int span, int32_t y, int32_t curs) {
    int32_t pad2 = 2 * table.CellPadding;
    int32_t passHeight = 0;
    for (int c = 0; c < static_cast<int>(Cells.size()); ++c) {
        TCellObj* cell = Cells[static_cast<size_t>(c)].get();
        if (!cell || cell->Dummy) continue;
        cell->Wd = SpanSum(table.Widths, c, std::min(c + std::max(1, cell->ColSpan), table.ColCount));
        if (cell->RowSpan != span) continue;
        int32_t mw = 0, scratch = curs;
        int32_t h =
            cell->Cell.Layout(canvas, y, std::max(0, cell->Wd - pad2 - table.CellSpacing), mw, scratch);
        cell->ContentHt = h;
        passHeight = std::max(passHeight, std::max(h, cell->GivenHeight - pad2));
    }
    return passHeight + pad2 + table.CellSpacing;
}

void TCellList::RowPlaceCells(ThtmlTable& table, int32_t rowTop, int32_t& curs) {
    int32_t pad = 2 * table.CellPadding + table.CellSpacing;
    for (auto& cell : Cells) {
        if (!cell || cell->Dummy) continue;
        int32_t slack = cell->Ht - cell->ContentHt - pad;
        cell->YIndent = cell->VAlign == 0 ? 0 : cell->VAlign == 1 ? slack / 2 : slack;
        if (cell->Cell.Count() > 0) {
            // Laid out once at this width in the height pass: moved into place, not laid out
            // again, so nested tables cost linear time, not time exponential in the depth.
            cell->Cell.Relocate(rowTop + table.CellSpacing + table.CellPadding + cell->YIndent -
                                    cell->Cell.YValue,
                                curs - cell->Cell.StartCurs);
            curs += cell->Cell.Len;
        }
    }
}

void TCellList::RowDraw(ThtmlTable& table, IHtmlPainter& canvas, const THvRect& rect, int32_t clipWidth,
                        int32_t rowTop, std::vector<THvRect>& holes) {
    TSectionList& doc = *table.ParentSectionList;
    int32_t screenTop = rowTop - doc.ScrollOffset;
    int32_t spacing = table.CellSpacing, padding = table.CellPadding;
    int32_t cx = table.DrawX;
    for (int c = 0; c < static_cast<int>(Cells.size()) && c < table.ColCount; ++c) {
        int32_t colX = cx;
        cx += table.Widths[static_cast<size_t>(c)];
        TCellObj* cell = Cells[static_cast<size_t>(c)].get();
        if (!cell || cell->Dummy || cell->Cell.Count() == 0) continue;
        int32_t top = std::clamp(screenTop + spacing, -200, 3000);
        int32_t bottom = std::clamp(screenTop + cell->Ht, -200, 3000);
        if (cell->Cell.HasBackground)
            canvas.FillRect({colX + spacing, top, colX + cell->Wd, bottom}, cell->Cell.BackgroundColor);
        cell->Cell.Draw(canvas, rect, clipWidth, colX + spacing + padding,
                        rowTop + spacing + padding + cell->YIndent);
        if (table.Border)
            Draw3DFrame(canvas, doc, colX + spacing - 1, screenTop + spacing - 1, colX + cell->Wd,
                        screenTop + cell->Ht, false);
        int32_t more = table.Border ? 1 : 0;
        holes.push_back({colX + spacing - more, screenTop + spacing - more, colX + cell->Wd + more,
                         screenTop + cell->Ht + more});
    }
}
