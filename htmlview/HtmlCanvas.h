// The narrow seam between the document engine and the platform: text metrics (used by
// layout), a painter (used by drawing) and the font description both take. GDI implements
// them for the program; FixedMetrics implements them for tests without a window.
#pragma once

#include <cstdint>
#include <string>

#include "base/FontStyle.h"
#include "htmlview/HtmlUtils.h"

struct THvRect {
    int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
};

// A font of the document: what a GDI LOGFONT needs plus the HTML size bookkeeping.
class TMyFont {
public:
    std::string Name;    // face name, at most 31 characters reach the platform
    int32_t Size = 12;   // points
    uint8_t Charset = 0; // Windows font character set
    TColor Color = 0;
    uint8_t Style = 0;       // fsBold | fsItalic | fsUnderline | fsStrikeOut
    int32_t NormalSize = 12; // HTML size on a scale where 12 is the document's default size
    bool Fixed = false;      // uses the document's fixed-pitch font

    bool SameFace(const TMyFont& o) const {
        return Name == o.Name && Size == o.Size && Charset == o.Charset && Style == o.Style;
    }
    bool operator==(const TMyFont& o) const = default;
};

struct TFontMetrics {
    int32_t Height = 0;          // text height (ascent + descent)
    int32_t ExternalLeading = 0; // added to the line height
    int32_t Descent = 0;
    int32_t Overhang = 0;
};

// A decoded picture as the document sees it.
class IHtmlPicture {
public:
    virtual ~IHtmlPicture() = default;
    virtual int32_t Width() const = 0;
    virtual int32_t Height() const = 0;
};

// The two stand-in pictures (16 x 16): not loaded yet, and could not be loaded.
enum class StandIn { None, Pending, Error };
constexpr int32_t StandInSize = 16;

// Text measuring: what line breaking, min/max widths and hit tests need.
class ITextMetrics {
public:
    virtual ~ITextMetrics() = default;
    virtual TFontMetrics Metrics(const TMyFont& font) = 0;
    // Extent of the first n characters (overhang included, as the platform reports it).
    virtual int32_t TextWidth(const TMyFont& font, const char* s, int32_t n) = 0;
    // The most characters of s[0..n) whose extent is at most maxExtent (0 when even one
    // character does not fit).
    virtual int32_t FitChars(const TMyFont& font, const char* s, int32_t n, int32_t maxExtent) = 0;
    // The extent of each prefix: extents[k] is the width of the first k + 1 characters.
    virtual void TextExtents(const TMyFont& font, const char* s, int32_t n, int32_t* extents) {
        for (int32_t k = 0; k < n; ++k)
            extents[k] = TextWidth(font, s, k + 1);
    }
};

// Drawing: what painting the sections needs. Coordinates are on the drawing surface.
class IHtmlPainter : public ITextMetrics {
public:
    // Text with its baseline at y. Opaque fills the text's cell with back first.
    virtual void TextOut(const TMyFont& font, int32_t x, int32_t yBaseline, const char* s, int32_t n,
                         TColor color, bool opaque, TColor back) = 0;
    // The same, clipped to clip.
    virtual void TextOutClipped(const TMyFont& font, int32_t x, int32_t yBaseline, const char* s, int32_t n,
                                TColor color, const THvRect& clip) = 0;
    virtual void FillRect(const THvRect& r, TColor color) = 0;
    virtual void Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor color) = 0;
    // A 5x5-ish circle in r: filled with fill and outlined with outline, or hollow when !filled.
    virtual void Ellipse(const THvRect& r, TColor outline, TColor fill, bool filled) = 0;
    virtual void FrameRect(const THvRect& r, TColor color) = 0;
    // A picture scaled to w x h; masked pictures leave their transparent pixels alone.
    virtual void DrawPicture(const IHtmlPicture& picture, int32_t x, int32_t y, int32_t w, int32_t h) = 0;
    virtual void DrawStandIn(StandIn kind, int32_t x, int32_t y) = 0;
    // One bit per pixel, one plane: the engraved rule is drawn in black.
    virtual bool Monochrome() = 0;
    // The RGB value of a colour, system colours looked up.
    virtual TColor ColorToRGB(TColor c) = 0;
};
