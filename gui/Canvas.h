// TCanvas: drawing on a device context with the canvas's font, brush and pen.
#pragma once

#include "gui/GraphicsObjects.h"

#include <windows.h>

#include <string>

class TGraphic;

// A canvas draws on an HDC. The DC is either attached from outside (SetHandle:
// not owned, the canvas only selects its objects into it and puts the original
// objects back when detached) or made by a descendant's CreateHandle.
class TCanvas : public TObject {
public:
    TCanvas();
    ~TCanvas() override;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    // The DC, created on demand; raises EInvalidOperation when the canvas has none
    // and cannot make one.
    HDC Handle();
    void SetHandle(HDC dc);
    bool HandleAllocated() const { return dc_ != nullptr; }

    TFont& Font() { return font_; }
    TBrush& Brush() { return brush_; }
    TPen& Pen() { return pen_; }

    POINT PenPos() const { return penPos_; }
    void MoveTo(int x, int y);
    void LineTo(int x, int y);

    void TextOut(int x, int y, const std::string& text);
    // Draws text clipped to rect, starting at (x, y); the brush fills rect unless clear.
    void TextRect(const RECT& rect, int x, int y, const std::string& text);
    SIZE TextExtent(const std::string& text);
    int TextWidth(const std::string& text) { return TextExtent(text).cx; }
    int TextHeight(const std::string& text) { return TextExtent(text).cy; }

    // DrawTextA with the canvas's font and brush (DT_CALCRECT measures into rect).
    int DrawText(const std::string& text, RECT& rect, UINT format);
    void FillRect(const RECT& rect);
    void FrameRect(const RECT& rect);
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const RECT& r) { Rectangle(r.left, r.top, r.right, r.bottom); }
    void Ellipse(int x1, int y1, int x2, int y2);
    void Polygon(const POINT* points, int count);
    void Polyline(const POINT* points, int count);
    void DrawFocusRect(const RECT& rect);

    void Draw(int x, int y, TGraphic& graphic);
    void StretchDraw(const RECT& rect, TGraphic& graphic);
    // Copies srcRect of another canvas into destRect with CopyMode.
    void CopyRect(const RECT& destRect, TCanvas& source, const RECT& srcRect);
    DWORD CopyMode() const { return copyMode_; }
    void SetCopyMode(DWORD rop) { copyMode_ = rop; }

    COLORREF Pixel(int x, int y);
    void SetPixel(int x, int y, TColor color);
    RECT ClipRect();

    // Nesting count for code that must not see the DC change under it.
    void Lock() { ++lockCount_; }
    void Unlock() {
        if (lockCount_ > 0) --lockCount_;
    }
    int LockCount() const { return lockCount_; }

    // Deselects the canvas's objects so that they can change or be freed.
    void Refresh();

protected:
    // Makes a DC for a canvas that owns one; the default has none to make.
    virtual void CreateHandle();
    // Detaches the DC after putting back the objects it held before.
    void DeselectHandles();
    void RequireFont();
    void RequireBrush();
    void RequirePen();
    void RequireAll();

private:
    void FontChanged();
    void BrushChanged();
    void PenChanged();

    HDC dc_ = nullptr;
    TFont font_;
    TBrush brush_;
    TPen pen_;
    bool fontSelected_ = false, brushSelected_ = false, penSelected_ = false;
    HGDIOBJ oldFont_ = nullptr, oldBrush_ = nullptr, oldPen_ = nullptr;
    POINT penPos_{0, 0};
    DWORD copyMode_ = SRCCOPY;
    int lockCount_ = 0;
};
