// TCanvas.
#include "gui/Canvas.h"

#include "gui/GraphicImages.h"

#include "base/Exceptions.h"

TCanvas::TCanvas() {
    font_.OnChange = [this](TObject*) { FontChanged(); };
    brush_.OnChange = [this](TObject*) { BrushChanged(); };
    pen_.OnChange = [this](TObject*) { PenChanged(); };
}

TCanvas::~TCanvas() {
    DeselectHandles();
}

HDC TCanvas::Handle() {
    if (!dc_) CreateHandle();
    if (!dc_) throw EInvalidOperation("Canvas does not allow drawing");
    return dc_;
}

void TCanvas::SetHandle(HDC dc) {
    if (dc == dc_) return;
    DeselectHandles();
    dc_ = dc;
    if (dc_)
        penPos_ = [&] {
            POINT p{};
            GetCurrentPositionEx(dc_, &p);
            return p;
        }();
}

void TCanvas::CreateHandle() {}

void TCanvas::DeselectHandles() {
    if (!dc_) return;
    if (fontSelected_ && oldFont_) SelectObject(dc_, oldFont_);
    if (brushSelected_ && oldBrush_) SelectObject(dc_, oldBrush_);
    if (penSelected_ && oldPen_) SelectObject(dc_, oldPen_);
    fontSelected_ = brushSelected_ = penSelected_ = false;
    oldFont_ = oldBrush_ = oldPen_ = nullptr;
    dc_ = nullptr;
}

void TCanvas::Refresh() {
    if (!dc_) return;
    HDC dc = dc_;
    DeselectHandles();
    dc_ = dc;
}

void TCanvas::RequireFont() {
    HDC dc = Handle();
    HGDIOBJ old = SelectObject(dc, font_.Handle());
    if (!fontSelected_) oldFont_ = old;
    fontSelected_ = true;
    SetTextColor(dc, ColorToRGB(font_.Color()));
}

void TCanvas::RequireBrush() {
    HDC dc = Handle();
    HGDIOBJ old = SelectObject(dc, brush_.Handle());
    if (!brushSelected_) oldBrush_ = old;
    brushSelected_ = true;
    SetBkColor(dc, ColorToRGB(brush_.Color()));
    SetBkMode(dc, brush_.Style() == TBrushStyle::bsSolid ? OPAQUE : TRANSPARENT);
}

void TCanvas::RequirePen() {
    HDC dc = Handle();
    HGDIOBJ old = SelectObject(dc, pen_.Handle());
    if (!penSelected_) oldPen_ = old;
    penSelected_ = true;
    SetROP2(dc, pen_.Rop2());
}

void TCanvas::RequireAll() {
    RequireFont();
    RequireBrush();
    RequirePen();
}

// A change re-selects at once when the object is in the DC, so that the old
// handle (about to be freed by its owner) is never left selected.
void TCanvas::FontChanged() {
    if (dc_ && fontSelected_) RequireFont();
}
void TCanvas::BrushChanged() {
    if (dc_ && brushSelected_) RequireBrush();
}
void TCanvas::PenChanged() {
    if (dc_ && penSelected_) RequirePen();
}

void TCanvas::MoveTo(int x, int y) {
    MoveToEx(Handle(), x, y, nullptr);
    penPos_ = {x, y};
}

void TCanvas::LineTo(int x, int y) {
    RequirePen();
    RequireBrush();
    ::LineTo(dc_, x, y);
    penPos_ = {x, y};
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
    RequireFont();
    RequireBrush();
    ::TextOutA(dc_, x, y, text.data(), static_cast<int>(text.size()));
    penPos_.x = x + TextWidth(text);
    penPos_.y = y;
}

void TCanvas::TextRect(const RECT& rect, int x, int y, const std::string& text) {
    RequireFont();
    RequireBrush();
    UINT options = ETO_CLIPPED;
    if (brush_.Style() != TBrushStyle::bsClear) options |= ETO_OPAQUE;
    ExtTextOutA(dc_, x, y, options, &rect, text.data(), static_cast<UINT>(text.size()), nullptr);
}

SIZE TCanvas::TextExtent(const std::string& text) {
    RequireFont();
    SIZE size{0, 0};
    GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &size);
    return size;
}

int TCanvas::DrawText(const std::string& text, RECT& rect, UINT format) {
    RequireFont();
    RequireBrush();
    return ::DrawTextA(dc_, text.c_str(), static_cast<int>(text.size()), &rect, format);
}

void TCanvas::FillRect(const RECT& rect) {
    HDC dc = Handle();
    if (brush_.Style() == TBrushStyle::bsClear) return;
    ::FillRect(dc, &rect, brush_.Handle());
}

void TCanvas::FrameRect(const RECT& rect) {
    HDC dc = Handle();
    ::FrameRect(dc, &rect, brush_.Handle());
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    RequirePen();
    RequireBrush();
    ::Rectangle(dc_, x1, y1, x2, y2);
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    RequirePen();
    RequireBrush();
    ::Ellipse(dc_, x1, y1, x2, y2);
}

void TCanvas::Polygon(const POINT* points, int count) {
    RequirePen();
    RequireBrush();
    ::Polygon(dc_, points, count);
}

void TCanvas::Polyline(const POINT* points, int count) {
    RequirePen();
    ::Polyline(dc_, points, count);
}

void TCanvas::DrawFocusRect(const RECT& rect) {
    RequireBrush();
    ::DrawFocusRect(dc_, &rect);
}

void TCanvas::Draw(int x, int y, TGraphic& graphic) {
    if (graphic.Empty()) return;
    RECT r{x, y, x + graphic.Width(), y + graphic.Height()};
    graphic.Draw(*this, r);
}

void TCanvas::StretchDraw(const RECT& rect, TGraphic& graphic) {
    if (graphic.Empty()) return;
    graphic.Draw(*this, rect);
}

void TCanvas::CopyRect(const RECT& destRect, TCanvas& source, const RECT& srcRect) {
    HDC dc = Handle();
    HDC src = source.Handle();
    int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, destRect.left, destRect.top, destRect.right - destRect.left,
               destRect.bottom - destRect.top, src, srcRect.left, srcRect.top, srcRect.right - srcRect.left,
               srcRect.bottom - srcRect.top, copyMode_);
    SetStretchBltMode(dc, oldMode);
}

COLORREF TCanvas::Pixel(int x, int y) {
    return GetPixel(Handle(), x, y);
}

void TCanvas::SetPixel(int x, int y, TColor color) {
    ::SetPixel(Handle(), x, y, ColorToRGB(color));
}

RECT TCanvas::ClipRect() {
    RECT r{};
    GetClipBox(Handle(), &r);
    return r;
}
