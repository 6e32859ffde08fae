// A TABLE as one section: rows of cells normalised for spans, column widths from the cells'
// minimum/maximum and given widths, row heights, placement (floats included), drawing and
// the routing of queries to the caption and cells.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "base/Exceptions.h"
#include "htmlview/HtmlSections.h"

class EProcessError : public Exception {
public:
    using Exception::Exception;
};

class ThtmlTable : public TSectionBase {
public:
    static constexpr int MaxCols = 200;
    using ColWidths = std::array<int32_t, MaxCols + 1>;

    ThtmlTable(TSectionList* master, const TAttributeList& attributes, uint8_t justify, TCell* ownerCell,
               int32_t level);

    void Initialize();
    void GetMinMax(ITextMetrics& canvas, int32_t& totalMin, int32_t* minWidths, int32_t* maxWidths,
                   int32_t& totalMax);
    void GetMinMaxPercent(ITextMetrics& canvas, int32_t& totalMin, int32_t availableWidth, int32_t* maxWidths,
                          int32_t* minWidths, int32_t& totalMax);
    void FindColWidths(ITextMetrics& canvas, int32_t width, const int32_t* maxWidths,
                       const int32_t* minWidths, bool forceFull);
    void WidthsFromPercents(const int32_t* maxWidths, const int32_t* minWidths, int32_t width);
    int32_t LayoutTable(ITextMetrics& canvas, int32_t y, int32_t& curs, int32_t& maxWidth,
                        IndentManager& indents);

    void CopyToClipboard(ITextSink& sink) override;
    int32_t LayoutParagraph(ITextMetrics& canvas, int32_t y, IndentManager& indents, int32_t& maxWidth,
                            int32_t& curs) override {
        return LayoutTable(canvas, y, curs, maxWidth, indents);
    }
    int32_t Draw(IHtmlPainter& canvas, const THvRect& rect, IndentManager& indents, int32_t x,
                 int32_t y) override;
    bool LinkAtPoint(ITextMetrics& canvas, int32_t x, int32_t y, TUrlTarget& url,
                     TFormControlObj*& control) override;
    bool ObjectAtPoint(int32_t x, int32_t y, TObject*& obj, int32_t& ix, int32_t& iy) override;
    int32_t CharIndexAtPoint(ITextMetrics& canvas, int32_t x, int32_t y, int32_t& xr, int32_t& yr,
                             int32_t& ht, bool& inText) override;
    int32_t FindString(int32_t from, const std::string& toFind, bool matchCase) override;
    int32_t SourcePosOf(int32_t docPos) override;
    int32_t DocPosOf(int32_t sourcePos, bool prev) override;
    bool CharIndexToPoint(ITextMetrics& canvas, int32_t cursor, int32_t& x, int32_t& y) override;
    bool CharAtIndex(int32_t pos, char& ch, TObject*& obj) override;
    void UpdateFonts() override;
    void MinMaxWidth(ITextMetrics& canvas, int32_t& min, int32_t& max) override;
    void Relocate(int32_t dy, int32_t dcurs) override;
    void ShiftSourcePositions(int32_t from, int32_t delta) override;
    void SetLinksVisited(const std::function<bool(std::string_view url)>& match, bool value) override;
    // A floating table is drawn VSpace below its place.
    int32_t DrawReach() const override { return TSectionBase::DrawReach() + (Float ? VSpace : 0); }

    std::vector<std::unique_ptr<TCellList>> Rows;
    // Cells past the column limit: kept (pictures, anchors and controls in them stay valid) but
    // neither laid out nor drawn.
    std::vector<std::unique_ptr<TCellObj>> CutCells;
    std::unique_ptr<TCellObj> Caption;
    bool Initialized = false;
    bool Border = false;
    bool TopCaption = true;
    int32_t TableIndent = 0, Indent = 0;
    uint8_t Justify = 0;
    bool Float = false;
    int ColCount = 0;
    int32_t TableWidth = 0, CaptionWidth = 0, CaptionMinWidth = 0;
    int32_t GivenWidth = 0, GivenHeight = 0;
    bool PercentWidth = false, PercentHeight = false;
    bool HasAbsoluteCellWidth = false;
    int32_t CaptionHeight = 0, TableHeight = 0;
    int32_t CellPadding = 1, CellSpacing = 2;
    ColWidths Widths{};
    ColWidths Percents{};
    int32_t HSpace = 5, VSpace = 0;
    int32_t Level = 0;
    int32_t DrawX = 0, DrawY = 0;
    TColor BgColor = 0;
    bool BgColorGiven = false;
    TColor BorderColor = 0;
    bool BorderColorGiven = false;
    TCell* OwnerCell;

private:
    // The three steps of LayoutTable: column widths, the row pass (heights) and placement.
    void LayoutColumns(ITextMetrics& canvas, int32_t avail);
    bool FitPercentColumns(ColWidths& mins, ColWidths& maxs, int32_t width, int32_t& totalMin,
                           int32_t& totalMax);
    std::vector<int32_t> RowHeights(ITextMetrics& canvas, int32_t y, int32_t curs);
    int32_t PlaceRows(ITextMetrics& canvas, int32_t y, int32_t& curs, std::vector<int32_t>& heights);
    // Cell content x of column c (relative to the grid's left).
    int32_t ColumnX(int c) const;
    TCellObj* CellAtPoint(int32_t x, int32_t y);
    std::vector<int32_t> rowTops_; // document y of each row (from the last layout)
};
