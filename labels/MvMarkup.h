// The markup renderer: draws, measures and hit-tests the small HTML-like mark-up
// of the markup label (bold, italic, underline, strikeout, fonts and colours,
// links, alignment, indents, rules, line breaks) through a canvas interface, so
// that it runs and is tested without a window.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mv::markup {

using TMarkupColor = int32_t;

// Colour values shared with the GUI class library (plain $00BBGGRR values, and
// the system colours as 0x80000000 | index).
constexpr TMarkupColor mcNone = 0x1FFFFFFF;
constexpr TMarkupColor mcRed = 0x0000FF;
constexpr TMarkupColor mcBlue = 0xFF0000;

enum TMarkupCalcType { mkShow = 0, mkCalcWidth = 1, mkCalcHeight = 2 };

// Bits of the owner-draw state that the renderer looks at.
constexpr unsigned odSelected = 1u << 0;
constexpr unsigned odDisabled = 1u << 2;

// Font style bits (the same values as the GUI class library's).
constexpr unsigned msBold = 1, msItalic = 2, msUnderline = 4, msStrikeOut = 8;

struct TMarkupRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

// What of the canvas font the mark-up changes.
struct TMarkupFont {
    unsigned Style = 0;
    TMarkupColor Color = 0;
    int Size = 8;
};

// The canvas the renderer draws on and measures with. TextWidth and LineHeight
// use the current font; TextOut fills the text's background with the brush
// unless the brush is clear.
class IMarkupCanvas {
public:
    virtual ~IMarkupCanvas() = default;
    virtual TMarkupFont Font() = 0;
    virtual void SetFont(const TMarkupFont& font) = 0;
    virtual TMarkupColor BrushColor() = 0;
    // Setting a colour makes the brush solid.
    virtual void SetBrushColor(TMarkupColor color) = 0;
    virtual bool BrushClear() = 0;
    virtual void SetBrushClear(bool clear) = 0;
    virtual TMarkupColor PenColor() = 0;
    virtual void SetPenColor(TMarkupColor color) = 0;
    virtual int PenWidth() = 0;
    virtual void SetPenWidth(int width) = 0;
    virtual int TextWidth(std::string_view text) = 0;
    // The height of a line in the current font (tmHeight).
    virtual int LineHeight() = 0;
    virtual void TextOut(int x, int y, std::string_view text) = 0;
    virtual void Line(int x1, int y1, int x2, int y2) = 0;
};

// Entities to Windows-1252 characters, CR LF pairs removed, <BR> to CR LF, a
// line break after every <HR>; the result split into lines.
std::vector<std::string> PrepareMarkupText(std::string_view text);

// The value of an attribute of a tag's text ("" when the tag lacks it).
std::string MarkupAttribute(std::string_view tag, std::string_view name);

// A colour name of the GUI class library ("clRed", "clBtnFace") or a number
// ("$0000FF", "255"); raises EConvertError for anything else.
TMarkupColor StringToMarkupColor(std::string_view text);

// The renderer. Width receives the widest line (mkShow, mkCalcWidth) or the
// height (mkCalcHeight); MouseOnLink and LinkName the link under (MouseX,
// MouseY). The canvas's font, brush and pen are as they were afterwards.
void DrawMarkupText(IMarkupCanvas& Canvas, TMarkupRect Rect, unsigned State, std::string_view Text,
                    int& Width, TMarkupCalcType CalcType, int MouseX, int MouseY, bool& MouseOnLink,
                    std::string& LinkName);

// Draws with the mouse nowhere, so that no link is drawn as hovered.
void DrawMarkup(IMarkupCanvas& Canvas, TMarkupRect Rect, unsigned State, std::string_view Text);
int MarkupTextWidth(IMarkupCanvas& Canvas, TMarkupRect Rect, unsigned State, std::string_view Text);
// The height of the text plus 1 (at least one line).
int MarkupTextHeight(IMarkupCanvas& Canvas, std::string_view Text);
// Draws the text with the link under the mouse hovered; true when there is one.
bool IsMouseOnMarkupLink(IMarkupCanvas& Canvas, TMarkupRect Rect, std::string_view Text, int MouseX,
                         int MouseY, std::string& LinkName);

} // namespace mv::markup
