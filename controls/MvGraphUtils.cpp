// Drawing helpers of the buttons and labels.
#include "controls/MvGraphUtils.h"

#include "gui/CustomControl.h"
#include "gui/GdiGuards.h"
#include "gui/ImgList.h"

#include <commctrl.h>

namespace {

constexpr DWORD kRopDSPDxax = 0x00E20746; // ((D xor P) and S) xor D: P where S is white

// Restores a control's state flags on the way out, also when painting throws.
class TPaintCopyMark {
public:
    explicit TPaintCopyMark(TControl& control) : control_(control), old_(control.ControlState()) {
        control_.SetControlState(old_ | csPaintCopy);
    }
    ~TPaintCopyMark() { control_.SetControlState(old_); }
    TPaintCopyMark(const TPaintCopyMark&) = delete;
    TPaintCopyMark& operator=(const TPaintCopyMark&) = delete;

private:
    TControl& control_;
    TControlState old_;
};

// A monochrome device-dependent bitmap: colour-to-mono blits turn the source DC's
// background colour into 1 (white) and every other colour into 0.
TGdiObject<HBITMAP> MakeMonoBitmap(int width, int height) {
    return TGdiObject<HBITMAP>(CreateBitmap(std::max(width, 1), std::max(height, 1), 1, 1, nullptr));
}

void FillBitmap(TBitmap& bitmap, TColor color) {
    TCanvas& c = bitmap.Canvas();
    c.Brush().SetStyle(TBrushStyle::bsSolid);
    c.Brush().SetColor(color);
    c.FillRect(RECT{0, 0, bitmap.Width(), bitmap.Height()});
}

// Paints a brush through a monochrome mask onto DC at (X, Y): where the mask comes
// out white under the DC's text and background colours the brush shows, elsewhere
// DC stays as it was.
void PaintShape(HDC dc, int x, int y, int width, int height, HDC maskDC, TColor brushColor) {
    TGdiObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(brushColor)));
    TSelectObject selBrush(dc, brush.Get());
    BitBlt(dc, x, y, width, height, maskDC, 0, 0, kRopDSPDxax);
}

} // namespace

TColor PaletteRelativeColor(TColor Color) {
    return static_cast<TColor>(ColorToRGB(Color) | 0x02000000u);
}

void CopyParentImage(TControl* Control, TCanvas& Dest) {
    if (!Control || !Control->Parent()) return;
    TWinControl* parent = Control->Parent();
    const TPaintCopyMark parentMark(*parent);
    HDC dc = Dest.Handle();
    const int dx = -Control->Left(), dy = -Control->Top();
    POINT base{0, 0};
    GetViewportOrgEx(dc, &base);
    {
        const TSavedDC saved(dc);
        SetViewportOrgEx(dc, base.x + dx, base.y + dy, nullptr);
        IntersectClipRect(dc, 0, 0, parent->ClientWidth(), parent->ClientHeight());
        parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        parent->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    }
    const RECT self = Control->BoundsRect();
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* child = parent->Controls(i);
        if (child == Control) break;
        if (!dynamic_cast<TGraphicControl*>(child) || !child->Visible()) continue;
        RECT childRect = child->BoundsRect(), common{};
        if (!IntersectRect(&common, &childRect, &self)) continue;
        const TPaintCopyMark childMark(*child);
        const TSavedDC saved(dc);
        SetViewportOrgEx(dc, base.x + child->Left() + dx, base.y + child->Top() + dy, nullptr);
        IntersectClipRect(dc, 0, 0, child->Width(), child->Height());
        child->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    }
}

void BlitWithTransparentColor(HDC DstDC, int DstX, int DstY, int DstW, int DstH, HDC SrcDC, int SrcX,
                              int SrcY, int SrcW, int SrcH, HPALETTE Palette, TColor TransparentColor) {
    TMemoryDC maskDC(DstDC), invDC(DstDC), workDC(DstDC), copyDC(DstDC);
    TGdiObject<HBITMAP> mask = MakeMonoBitmap(SrcW, SrcH);
    TGdiObject<HBITMAP> inverse = MakeMonoBitmap(SrcW, SrcH);
    TGdiObject<HBITMAP> work(CreateCompatibleBitmap(DstDC, std::max(DstW, 1), std::max(DstH, 1)));
    TGdiObject<HBITMAP> copy(CreateCompatibleBitmap(DstDC, std::max(SrcW, 1), std::max(SrcH, 1)));
    TSelectObject selMask(maskDC.Get(), mask.Get());
    TSelectObject selInv(invDC.Get(), inverse.Get());
    TSelectObject selWork(workDC.Get(), work.Get());
    TSelectObject selCopy(copyDC.Get(), copy.Get());

    TSelectPalette palDst(DstDC, Palette, true);
    TSelectPalette palMask(maskDC.Get(), Palette, true);
    TSelectPalette palInv(invDC.Get(), Palette, true);
    TSelectPalette palWork(workDC.Get(), Palette, true);
    TSelectPalette palCopy(copyDC.Get(), Palette, true);
    const int mapMode = GetMapMode(DstDC);
    const int oldSrcMapMode = SetMapMode(SrcDC, mapMode);
    SetMapMode(copyDC.Get(), mapMode);

    BitBlt(copyDC.Get(), 0, 0, SrcW, SrcH, SrcDC, SrcX, SrcY, SRCCOPY);
    const COLORREF oldBack =
        SetBkColor(copyDC.Get(), static_cast<COLORREF>(PaletteRelativeColor(TransparentColor)));
    BitBlt(maskDC.Get(), 0, 0, SrcW, SrcH, copyDC.Get(), 0, 0, SRCCOPY);
    SetBkColor(copyDC.Get(), oldBack);
    BitBlt(invDC.Get(), 0, 0, SrcW, SrcH, maskDC.Get(), 0, 0, NOTSRCCOPY);

    // Mono-to-colour blits use the target's text (0) and background (1) colours.
    SetBkColor(workDC.Get(), RGB(255, 255, 255));
    SetTextColor(workDC.Get(), RGB(0, 0, 0));
    SetBkColor(copyDC.Get(), RGB(255, 255, 255));
    SetTextColor(copyDC.Get(), RGB(0, 0, 0));
    BitBlt(workDC.Get(), 0, 0, DstW, DstH, DstDC, DstX, DstY, SRCCOPY);
    StretchBlt(workDC.Get(), 0, 0, DstW, DstH, maskDC.Get(), 0, 0, SrcW, SrcH, SRCAND);
    BitBlt(copyDC.Get(), 0, 0, SrcW, SrcH, invDC.Get(), 0, 0, SRCAND);
    StretchBlt(workDC.Get(), 0, 0, DstW, DstH, copyDC.Get(), 0, 0, SrcW, SrcH, SRCPAINT);
    BitBlt(DstDC, DstX, DstY, DstW, DstH, workDC.Get(), 0, 0, SRCCOPY);

    SetMapMode(SrcDC, oldSrcMapMode);
}

void DrawBitmapPartTransparent(TCanvas& Dest, int DstX, int DstY, int DstW, int DstH, int SrcX, int SrcY,
                               int SrcW, int SrcH, TBitmap& Bitmap, TColor TransparentColor) {
    if (Bitmap.Empty()) return;
    if (DstW < 1 || DstH < 1) {
        DstW = Bitmap.Width();
        DstH = Bitmap.Height();
    }
    if (SrcW < 1 || SrcH < 1) {
        SrcX = SrcY = 0;
        SrcW = Bitmap.Width();
        SrcH = Bitmap.Height();
    }
    HDC dst = Dest.Handle();
    const bool mono = Bitmap.PixelFormat() == TPixelFormat::pf1bit;
    if (!mono) SetStretchBltMode(dst, STRETCH_DELETESCANS);
    TCanvas& source = Bitmap.Canvas();
    source.Lock();
    struct Unlock {
        TCanvas& c;
        ~Unlock() { c.Unlock(); }
    } unlock{source};
    HDC src = source.Handle();
    if (TransparentColor == clNone) {
        StretchBlt(dst, DstX, DstY, DstW, DstH, src, SrcX, SrcY, SrcW, SrcH, Dest.CopyMode());
        return;
    }
    TColor transparent = TransparentColor;
    if (transparent == clDefault) transparent = static_cast<TColor>(GetPixel(src, 0, Bitmap.Height() - 1));
    transparent = mono ? static_cast<TColor>(0xFFFFFF) : static_cast<TColor>(ColorToRGB(transparent));
    BlitWithTransparentColor(dst, DstX, DstY, DstW, DstH, src, SrcX, SrcY, SrcW, SrcH, nullptr, transparent);
}

void DrawBitmapWithTransparency(TCanvas& Dest, int X, int Y, TBitmap& Bitmap, TColor TransparentColor) {
    DrawBitmapPartTransparent(Dest, X, Y, Bitmap.Width(), Bitmap.Height(), 0, 0, Bitmap.Width(),
                              Bitmap.Height(), Bitmap, TransparentColor);
}

std::unique_ptr<TBitmap> MakeEmbossedBitmap(TBitmap& Picture, TColor Color) {
    const int w = Picture.Width(), h = Picture.Height();
    auto result = std::make_unique<TBitmap>(w, h);
    FillBitmap(*result, Color);
    TBitmap shape(w, h);
    FillBitmap(shape, clWhite);
    DrawBitmapWithTransparency(shape.Canvas(), 0, 0, Picture, Color);
    TMemoryDC maskDC;
    TGdiObject<HBITMAP> mask = MakeMonoBitmap(w, h);
    TSelectObject selMask(maskDC.Get(), mask.Get());
    HDC shapeDC = shape.Canvas().Handle();
    SetBkColor(shapeDC, RGB(255, 255, 255));
    BitBlt(maskDC.Get(), 0, 0, w, h, shapeDC, 0, 0, SRCCOPY);

    HDC dc = result->Canvas().Handle();
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkColor(dc, RGB(0, 0, 0));
    PaintShape(dc, 1, 1, w, h, maskDC.Get(), clBtnHighlight);
    PaintShape(dc, 0, 0, w, h, maskDC.Get(), clBtnShadow);
    return result;
}

std::unique_ptr<TBitmap> MakeDisabledBitmapEx(TBitmap& Picture, TColor OutlineColor, TColor BackColor,
                                              TColor HighlightColor, TColor ShadowColor, bool DrawHighlight) {
    const int w = Picture.Width(), h = Picture.Height();
    auto result = std::make_unique<TBitmap>(w, h);
    FillBitmap(*result, BackColor);
    // A colour copy first, also of a monochrome picture, so that the outline colour
    // can be told apart by the background rule of colour-to-mono blits.
    TBitmap copy(w, h);
    BitBlt(copy.Canvas().Handle(), 0, 0, w, h, Picture.Canvas().Handle(), 0, 0, SRCCOPY);
    TMemoryDC maskDC;
    TGdiObject<HBITMAP> mask = MakeMonoBitmap(w, h);
    TSelectObject selMask(maskDC.Get(), mask.Get());
    HDC copyDC = copy.Canvas().Handle();
    SetBkColor(copyDC, ColorToRGB(OutlineColor));
    BitBlt(maskDC.Get(), 0, 0, w, h, copyDC, 0, 0, SRCCOPY);

    HDC dc = result->Canvas().Handle();
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    // Here the outline pixels are the mask's 1 bits; with black text and a white
    // background they come out white, which is where the raster operation paints.
    if (DrawHighlight) PaintShape(dc, 1, 1, w, h, maskDC.Get(), HighlightColor);
    PaintShape(dc, 0, 0, w, h, maskDC.Get(), ShadowColor);
    return result;
}

std::unique_ptr<TBitmap> MakeDisabledBitmap(TBitmap& Picture, TColor OutlineColor) {
    return MakeDisabledBitmapEx(Picture, OutlineColor, clBtnFace, clBtnHighlight, clBtnShadow, true);
}

void DrawImageListItemDisabled(TImageList& Images, TCanvas& Canvas, int X, int Y, int Index,
                               TColor HighlightColor, TColor GrayColor, bool DrawHighlight) {
    const int w = Images.Width(), h = Images.Height();
    TMemoryDC maskDC;
    TGdiObject<HBITMAP> mask = MakeMonoBitmap(w, h);
    TSelectObject selMask(maskDC.Get(), mask.Get());
    PatBlt(maskDC.Get(), 0, 0, w, h, WHITENESS);
    ImageList_Draw(Images.Handle(), Index, maskDC.Get(), 0, 0, ILD_MASK);

    const TColor brushColor = Canvas.Brush().Color();
    HDC dc = Canvas.Handle();
    const COLORREF oldText = SetTextColor(dc, RGB(255, 255, 255));
    const COLORREF oldBack = SetBkColor(dc, RGB(0, 0, 0));
    if (DrawHighlight) PaintShape(dc, X + 1, Y + 1, w, h, maskDC.Get(), HighlightColor);
    PaintShape(dc, X, Y, w, h, maskDC.Get(), GrayColor);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
    Canvas.Brush().SetColor(brushColor);
}

std::unique_ptr<TBitmap> MakeCheckerPatternBitmap(TColor Color1, TColor Color2) {
    auto result = std::make_unique<TBitmap>(8, 8);
    FillBitmap(*result, Color1);
    TCanvas& c = result->Canvas();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            if ((x % 2) == (y % 2)) c.SetPixel(x, y, Color2);
    return result;
}

namespace {

BOOL CALLBACK MatchWindow(HWND wnd, LPARAM param) {
    auto* target = reinterpret_cast<HWND*>(param);
    if (wnd != *target) return TRUE;
    *target = nullptr; // found: stop and report it through the cleared slot
    return FALSE;
}

} // namespace

bool ActiveWindowInThisThread() {
    HWND active = GetActiveWindow();
    if (!active) return false;
    HWND slot = active;
    EnumThreadWindows(GetCurrentThreadId(), MatchWindow, reinterpret_cast<LPARAM>(&slot));
    return slot == nullptr;
}

void CopyFontUnlessPreserved(TFont& Dest, const TFont& Source, TMvTrackFontOptions Options) {
    if (!(Options & hoFollowFont)) return;
    if (!(Options & hoPreserveCharSet)) Dest.SetCharset(Source.Charset());
    if (!(Options & hoPreserveColor)) Dest.SetColor(Source.Color());
    if (!(Options & hoPreserveHeight)) Dest.SetHeight(Source.Height());
    if (!(Options & hoPreserveName)) Dest.SetName(Source.Name());
    if (!(Options & hoPreservePitch)) Dest.SetPitch(Source.Pitch());
    if (!(Options & hoPreserveStyle)) Dest.SetStyle(Source.Style());
}

int CanvasLineHeight(TCanvas& Canvas) {
    HDC dc = Canvas.Handle();
    TSelectObject sel(dc, Canvas.Font().Handle());
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    return tm.tmHeight;
}
