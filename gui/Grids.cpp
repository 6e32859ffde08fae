// The string grid.
#include "gui/Grids.h"

#include <algorithm>

TStringGrid::TStringGrid(TComponent* owner) : TCustomControl(owner) {
    SetControlStyle(ControlStyle() | csOpaque | csDoubleClicks);
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 320, 120);
    cells_.resize(static_cast<size_t>(colCount_ * rowCount_));
}

void TStringGrid::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.WinClassName = "MvStringGrid";
}

void TStringGrid::Resize(int cols, int rows) {
    cols = std::max(cols, 1);
    rows = std::max(rows, 1);
    std::vector<std::string> cells(static_cast<size_t>(cols * rows));
    for (int r = 0; r < std::min(rows, rowCount_); ++r)
        for (int c = 0; c < std::min(cols, colCount_); ++c)
            cells[static_cast<size_t>(r * cols + c)] =
                std::move(cells_[static_cast<size_t>(r * colCount_ + c)]);
    cells_ = std::move(cells);
    colCount_ = cols;
    rowCount_ = rows;
    col_ = std::min(col_, cols - 1);
    row_ = std::min(row_, rows - 1);
    Invalidate();
}

void TStringGrid::SetColCount(int value) {
    Resize(value, rowCount_);
}

void TStringGrid::SetRowCount(int value) {
    Resize(colCount_, value);
}

void TStringGrid::SetDefaultColWidth(int value) {
    colWidth_ = std::max(value, 1);
    Invalidate();
}

void TStringGrid::SetDefaultRowHeight(int value) {
    rowHeight_ = std::max(value, 1);
    Invalidate();
}

const std::string& TStringGrid::Cells(int col, int row) const {
    static const std::string none;
    if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_) return none;
    return cells_[static_cast<size_t>(row * colCount_ + col)];
}

void TStringGrid::SetCells(int col, int row, const std::string& text) {
    if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_) return;
    cells_[static_cast<size_t>(row * colCount_ + col)] = text;
    InvalidateCell(col, row);
}

RECT TStringGrid::CellRect(int col, int row) const {
    const int left = col * (colWidth_ + lineWidth_);
    const int top = row * (rowHeight_ + lineWidth_);
    return RECT{left, top, left + colWidth_, top + rowHeight_};
}

bool TStringGrid::MouseToCell(int x, int y, int& col, int& row) const {
    if (x < 0 || y < 0) return false;
    const int c = x / (colWidth_ + lineWidth_);
    const int r = y / (rowHeight_ + lineWidth_);
    if (c >= colCount_ || r >= rowCount_) return false;
    const RECT cell = CellRect(c, r);
    // The lines between cells belong to no cell.
    if (x >= cell.right || y >= cell.bottom) return false;
    col = c;
    row = r;
    return true;
}

void TStringGrid::InvalidateCell(int col, int row) {
    if (!HandleAllocated()) return;
    RECT r = CellRect(col, row);
    InvalidateRect(Handle(), &r, FALSE);
}

void TStringGrid::SetCurrent(int col, int row) {
    col = std::clamp(col, 0, colCount_ - 1);
    row = std::clamp(row, 0, rowCount_ - 1);
    if (col == col_ && row == row_) return;
    InvalidateCell(col_, row_);
    col_ = col;
    row_ = row;
    InvalidateCell(col_, row_);
    if (OnSelectCell) OnSelectCell(this);
}

void TStringGrid::Paint() {
    TCanvas& c = Canvas();
    const RECT client = ClientRect();
    c.Brush().SetStyle(TBrushStyle::bsSolid);
    c.Brush().SetColor(clBtnFace);
    c.FillRect(client);
    c.Font().Assign(Font());
    for (int r = 0; r < rowCount_; ++r) {
        for (int k = 0; k < colCount_; ++k) {
            RECT cell = CellRect(k, r);
            if (cell.left >= client.right || cell.top >= client.bottom) continue;
            const bool current = k == col_ && r == row_;
            c.Brush().SetColor(current ? clHighlight : Color());
            c.Font().SetColor(current ? clHighlightText : Font().Color());
            c.FillRect(cell);
            c.Brush().SetStyle(TBrushStyle::bsClear);
            c.DrawText(Cells(k, r), cell, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
            c.Brush().SetStyle(TBrushStyle::bsSolid);
            if (current && Focused()) c.DrawFocusRect(cell);
        }
    }
}

void TStringGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (CanFocus() && !Focused()) SetFocus();
    int col = 0, row = 0;
    if (button == TMouseButton::mbLeft && MouseToCell(x, y, col, row)) SetCurrent(col, row);
    TCustomControl::MouseDown(button, shift, x, y);
}

bool TStringGrid::DoKeyDown(TMessage& m) {
    if (TCustomControl::DoKeyDown(m)) return true;
    switch (m.WParam) {
    case VK_LEFT:
        SetCurrent(col_ - 1, row_);
        return true;
    case VK_RIGHT:
        SetCurrent(col_ + 1, row_);
        return true;
    case VK_UP:
        SetCurrent(col_, row_ - 1);
        return true;
    case VK_DOWN:
        SetCurrent(col_, row_ + 1);
        return true;
    case VK_HOME:
        SetCurrent(0, row_);
        return true;
    case VK_END:
        SetCurrent(colCount_ - 1, row_);
        return true;
    default:
        return false;
    }
}

void TStringGrid::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_GETDLGCODE:
        m.Result = DLGC_WANTARROWS;
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN: {
        // Noted before the events run: a double click reports the cell it hit.
        int col = 0, row = 0;
        const bool onCell = MouseToCell(MessageX(m.LParam), MessageY(m.LParam), col, row);
        pressedCol_ = onCell ? col : -1;
        pressedRow_ = onCell ? row : -1;
        TCustomControl::WndProc(m);
        return;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        TCustomControl::WndProc(m);
        InvalidateCell(col_, row_);
        return;
    default:
        TCustomControl::WndProc(m);
    }
}
