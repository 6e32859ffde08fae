// TStringGrid: a grid of text cells of one size, painted by the control, with
// a current cell chosen by mouse or arrow keys. No fixed rows or columns and no
// scroll bars: the grid shows what fits.
#pragma once

#include "gui/CustomControl.h"

#include <string>
#include <vector>

class TStringGrid : public TCustomControl {
public:
    explicit TStringGrid(TComponent* owner);

    int ColCount() const { return colCount_; }
    void SetColCount(int value);
    int RowCount() const { return rowCount_; }
    void SetRowCount(int value);
    int DefaultColWidth() const { return colWidth_; }
    void SetDefaultColWidth(int value);
    int DefaultRowHeight() const { return rowHeight_; }
    void SetDefaultRowHeight(int value);
    // Width of the lines between cells.
    int GridLineWidth() const { return lineWidth_; }

    const std::string& Cells(int col, int row) const;
    void SetCells(int col, int row, const std::string& text);

    // The current cell.
    int Col() const { return col_; }
    int Row() const { return row_; }
    void SetCurrent(int col, int row);

    // The cell at a client point; false when the point is on no cell.
    bool MouseToCell(int x, int y, int& col, int& row) const;
    RECT CellRect(int col, int row) const;
    // The cell the last button press was on; false when it was on none.
    bool PressedCell(int& col, int& row) const {
        col = pressedCol_;
        row = pressedRow_;
        return pressedCol_ >= 0;
    }

    TNotifyEvent OnSelectCell;
    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    bool DoKeyDown(TMessage& message) override;

private:
    void Resize(int cols, int rows);
    void InvalidateCell(int col, int row);

    int colCount_ = 5, rowCount_ = 5;
    int colWidth_ = 64, rowHeight_ = 24;
    int lineWidth_ = 1;
    int col_ = 0, row_ = 0;
    int pressedCol_ = -1, pressedRow_ = -1;
    std::vector<std::string> cells_;
};
