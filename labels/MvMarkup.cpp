// The markup renderer.
#include "labels/MvMarkup.h"

#include "base/Exceptions.h"
#include "base/StrUtils.h"
#include "base/StringList.h"

#include <algorithm>
#include <cctype>

namespace mv::markup {

namespace {

// Replaces every occurrence of pattern, ignoring the case of ASCII letters.
std::string ReplaceAllNoCase(std::string_view text, std::string_view pattern, std::string_view by) {
    return StringReplace(text, pattern, by, true, true);
}

bool ContainsNoCase(std::string_view text, std::string_view what) {
    return UpperCase(text).find(UpperCase(what)) != std::string::npos;
}

char UpperAt(std::string_view text, size_t i) {
    return i < text.size() ? static_cast<char>(std::toupper(static_cast<unsigned char>(text[i]))) : '\0';
}

struct TColorName {
    const char* Name;
    TMarkupColor Value;
};

constexpr TMarkupColor Sys(int index) {
    return static_cast<TMarkupColor>(0x80000000u | static_cast<unsigned>(index));
}

// The colour names of the GUI class library.
constexpr TColorName kColorNames[] = {
    {"clBlack", 0x000000},        {"clMaroon", 0x000080},
    {"clGreen", 0x008000},        {"clOlive", 0x008080},
    {"clNavy", 0x800000},         {"clPurple", 0x800080},
    {"clTeal", 0x808000},         {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},       {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},         {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},         {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},         {"clWhite", 0xFFFFFF},
    {"clNone", mcNone},           {"clDefault", 0x20000000},
    {"clScrollBar", Sys(0)},      {"clBackground", Sys(1)},
    {"clActiveCaption", Sys(2)},  {"clInactiveCaption", Sys(3)},
    {"clMenu", Sys(4)},           {"clWindow", Sys(5)},
    {"clWindowFrame", Sys(6)},    {"clMenuText", Sys(7)},
    {"clWindowText", Sys(8)},     {"clCaptionText", Sys(9)},
    {"clActiveBorder", Sys(10)},  {"clInactiveBorder", Sys(11)},
    {"clAppWorkSpace", Sys(12)},  {"clHighlight", Sys(13)},
    {"clHighlightText", Sys(14)}, {"clBtnFace", Sys(15)},
    {"clBtnShadow", Sys(16)},     {"clGrayText", Sys(17)},
    {"clBtnText", Sys(18)},       {"clInactiveCaptionText", Sys(19)},
    {"clBtnHighlight", Sys(20)},  {"cl3DDkShadow", Sys(21)},
    {"cl3DLight", Sys(22)},       {"clInfoText", Sys(23)},
    {"clInfoBk", Sys(24)},        {"clHotLight", Sys(26)},
};

// Limits on the numbers a caption gives, so that positions stay far from
// integer overflow: an indent within a million pixels, a font of at most 1638
// points (the largest a font can be), a rule at most 1000 pixels thick.
constexpr int32_t kMaxPosition = 1000000;
constexpr int32_t kMaxFontSize = 1638;
constexpr int32_t kMaxRuleWidth = 1000;

// A tag whose value cannot be read: the renderer shows the tag's own text in
// its place instead of failing the whole paint.
struct TBadTagValue {};

class TRenderer {
public:
    TRenderer(IMarkupCanvas& canvas, TMarkupRect rect, unsigned state, TMarkupCalcType calcType, int mouseX,
              int mouseY)
        : c_(canvas), r_(rect), calcType_(calcType), mouseX_(mouseX), mouseY_(mouseY) {
        selected_ = (state & (odSelected | odDisabled)) != 0;
        disabled_ = (state & odDisabled) != 0;
    }

    int Run(const std::vector<std::string>& lines) {
        const TMarkupFont startFont = c_.Font();
        const TMarkupColor startBrush = c_.BrushColor();
        const bool startClear = c_.BrushClear();
        const int startPen = c_.PenWidth();
        const TMarkupColor startPenColor = c_.PenColor();
        transparent_ = startClear && !selected_;
        restoreFont_ = startFont;
        restoreBrush_ = startBrush;
        struct TRestore {
            TRenderer& r;
            TMarkupFont font;
            TMarkupColor brush;
            bool clear;
            int pen;
            TMarkupColor penColor;
            ~TRestore() {
                r.c_.SetFont(font);
                r.c_.SetBrushColor(brush);
                r.c_.SetBrushClear(clear);
                r.c_.SetPenWidth(pen);
                r.c_.SetPenColor(penColor);
            }
        } restore{*this, startFont, startBrush, startClear, startPen, startPenColor};

        for (size_t i = 0; i < lines.size(); ++i) {
            lastLine_ = i + 1 == lines.size();
            DrawLine(lines[i]);
            NewLine(false);
        }
        if (calcType_ != mkCalcHeight) return std::max(width_, x_);
        // The last line's height is that of the font the text started with.
        c_.SetFont(startFont);
        return c_.LineHeight() + r_.Top;
    }

    bool MouseOnLink() const { return mouseOnLink_; }
    const std::string& LinkName() const { return linkName_; }

private:
    enum class TAlign { Left, Right, Center };

    void DrawLine(std::string_view line) {
        x_ = AlignOffset(line);
        std::string_view rest = line;
        while (!rest.empty()) {
            const size_t open = rest.find('<');
            DrawPiece(ReplaceLtGt(rest.substr(0, open)));
            if (open == std::string_view::npos) return;
            rest.remove_prefix(open);
            // The tag is what lies between the '<' and the first '>' after it.
            // A '<' that is never closed ends the line.
            const size_t close = rest.find('>', 1);
            if (close == std::string_view::npos) return;
            const std::string_view tag = rest.substr(1, close - 1);
            rest.remove_prefix(close + 1);
            try {
                ActOnTag(tag, rest);
            } catch (const TBadTagValue&) {
                DrawPiece("<" + std::string(tag) + ">");
            }
        }
    }

    static std::string ReplaceLtGt(std::string_view text) {
        if (text.find('&') == std::string_view::npos) return std::string(text);
        return ReplaceAllNoCase(ReplaceAllNoCase(text, "&lt;", "<"), "&gt;", ">");
    }

    void DrawPiece(const std::string& piece) {
        if (piece.empty()) return;
        const int x = r_.Left + x_;
        const int y = r_.Top;
        const int w = c_.TextWidth(piece);
        const int h = c_.LineHeight();
        if (inLink_ && !mouseOnLink_ && r_.Top <= mouseY_ && mouseY_ <= r_.Top + h && x <= mouseX_ &&
            mouseX_ <= x + w) {
            mouseOnLink_ = true;
            SetFontColor(mcRed);
            linkName_ = linkTarget_;
        }
        if (calcType_ == mkShow) {
            if (transparent_) c_.SetBrushClear(true);
            c_.TextOut(x, y, piece);
        }
        x_ += w;
    }

    void NewLine(bool forced) {
        if (!forced && lastLine_) return;
        width_ = std::max(width_, x_);
        x_ = 0;
        r_.Top += c_.LineHeight();
    }

    int AlignOffset(std::string_view rest) {
        if (align_ == TAlign::Left) return 0;
        const int room = r_.Right - r_.Left;
        const int w = MeasureLine(rest);
        const int offset = align_ == TAlign::Right ? room - w : (room - w) / 2;
        return std::max(offset, 0);
    }

    int MeasureLine(std::string_view line) {
        TRenderer measure(c_, r_, selected_ ? odSelected : 0, mkCalcWidth, -1, -1);
        measure.disabled_ = disabled_;
        return measure.Run({std::string(line)});
    }

    void SetFontColor(TMarkupColor color) {
        TMarkupFont f = c_.Font();
        f.Color = color;
        c_.SetFont(f);
    }

    void AddStyle(unsigned style) {
        TMarkupFont f = c_.Font();
        f.Style |= style;
        c_.SetFont(f);
    }

    void RemoveStyle(unsigned style) {
        TMarkupFont f = c_.Font();
        f.Style &= ~style;
        c_.SetFont(f);
    }

    static unsigned StyleOf(char letter) {
        switch (letter) {
        case 'B':
            return msBold;
        case 'I':
            return msItalic;
        case 'U':
            return msUnderline;
        case 'S':
            return msStrikeOut;
        default:
            return 0;
        }
    }

    static TMarkupColor ColorValue(const std::string& value) {
        try {
            return StringToMarkupColor(value);
        } catch (const EConvertError&) {
            throw TBadTagValue{};
        }
    }

    void ActOnTag(std::string_view tag, std::string_view rest) {
        const char first = UpperAt(tag, 0);
        const char second = UpperAt(tag, 1);
        switch (first) {
        case 'A':
            if (second == 'L') {
                const std::string upper = UpperCase(tag);
                align_ = upper.find("CENTER") != std::string::npos  ? TAlign::Center
                         : upper.find("RIGHT") != std::string::npos ? TAlign::Right
                                                                    : TAlign::Left;
                x_ = calcType_ == mkShow ? AlignOffset(rest) : 0;
            } else if (ContainsNoCase(tag, "HREF")) {
                inLink_ = true;
                linkFont_ = c_.Font();
                linkFontSaved_ = true;
                if (!selected_) SetFontColor(mcBlue);
                linkTarget_ = MarkupAttribute(tag, "HREF");
            }
            return;
        case 'B':
        case 'U':
        case 'S':
            AddStyle(StyleOf(first));
            return;
        case 'I':
            if (second == 'N') {
                int32_t value = 0;
                if (!TryStrToInt(MarkupAttribute(tag, "IND"), value)) throw TBadTagValue{};
                x_ = std::clamp(value, -kMaxPosition, kMaxPosition);
            } else {
                AddStyle(msItalic);
            }
            return;
        case 'H':
            if (second == 'R') Rule(tag, !rest.empty());
            return;
        case 'F':
            FontTag(tag);
            return;
        case '/':
            if (second == 'A') {
                inLink_ = false;
                if (linkFontSaved_) c_.SetFont(linkFont_);
                linkFontSaved_ = false;
            } else if (second == 'F') {
                if (selected_) return;
                TMarkupFont f = c_.Font();
                f.Color = restoreFont_.Color;
                f.Size = restoreFont_.Size;
                c_.SetFont(f);
                c_.SetBrushColor(restoreBrush_);
                transparent_ = true;
            } else if (unsigned style = StyleOf(second)) {
                RemoveStyle(style);
            }
            return;
        default:
            return;
        }
    }

    void FontTag(std::string_view tag) {
        if (selected_) return;
        TMarkupFont f = c_.Font();
        // Read every value first, so that a bad one changes nothing.
        const std::string color = MarkupAttribute(tag, "COLOR");
        const std::string bgColor = MarkupAttribute(tag, "BGCOLOR");
        const std::string size = MarkupAttribute(tag, "SIZE");
        const TMarkupColor fontColor = color.empty() ? f.Color : ColorValue(color);
        const bool clearBack = UpperCase(bgColor) == "CLNONE";
        const TMarkupColor backColor = bgColor.empty() || clearBack ? 0 : ColorValue(bgColor);

        restoreFont_.Color = f.Color;
        restoreBrush_ = c_.BrushColor();
        f.Color = fontColor;
        int32_t points = 0;
        if (!size.empty() && TryStrToInt(size, points))
            f.Size = std::clamp(points, -kMaxFontSize, kMaxFontSize);
        c_.SetFont(f);
        if (clearBack) {
            transparent_ = true;
        } else if (!bgColor.empty()) {
            c_.SetBrushColor(backColor);
            transparent_ = false;
        }
    }

    void Rule(std::string_view tag, bool textFollows) {
        const int oldWidth = c_.PenWidth();
        if (disabled_) c_.SetPenColor(c_.Font().Color);
        int32_t width = 1;
        if (!TryStrToInt(MarkupAttribute(tag, "SIZE"), width)) width = 1;
        width = std::clamp(width, 0, kMaxRuleWidth);
        c_.SetPenWidth(width);
        if (calcType_ == mkShow) {
            const int y = r_.Top + c_.LineHeight();
            c_.Line(r_.Left, y, r_.Right, y);
        }
        r_.Top += width + 1;
        c_.SetPenWidth(oldWidth);
        NewLine(textFollows);
    }

    IMarkupCanvas& c_;
    TMarkupRect r_;
    TMarkupCalcType calcType_;
    int mouseX_, mouseY_;
    bool selected_ = false;
    bool disabled_ = false;
    bool transparent_ = false;
    bool lastLine_ = false;
    int x_ = 0;
    int width_ = 0;
    TAlign align_ = TAlign::Left;
    bool inLink_ = false;
    std::string linkTarget_;
    TMarkupFont linkFont_;
    bool linkFontSaved_ = false;
    TMarkupFont restoreFont_;
    TMarkupColor restoreBrush_ = 0;
    bool mouseOnLink_ = false;
    std::string linkName_;
};

} // namespace

std::vector<std::string> PrepareMarkupText(std::string_view text) {
    static constexpr std::pair<const char*, const char*> kEntities[] = {
        {"&amp;", "\x26"},   {"&quot;", "\x22"}, {"&reg;", "\xAE"},  {"&copy;", "\xA9"},
        {"&trade;", "\x99"}, {"&euro;", "\x80"}, {"&nbsp;", "\x20"},
    };
    std::string s(text);
    for (const auto& [entity, character] : kEntities)
        s = ReplaceAllNoCase(s, entity, character);
    s = StringReplace(s, "\r\n", "", true, false);
    s = ReplaceAllNoCase(s, "<BR>", "\r\n");
    // Keep each rule tag as written and break the line after it.
    std::string out;
    out.reserve(s.size());
    const std::string upper = UpperCase(s);
    size_t from = 0;
    for (size_t at = upper.find("<HR>"); at != std::string::npos; at = upper.find("<HR>", at + 4)) {
        out.append(s, from, at + 4 - from);
        out += "\r\n";
        from = at + 4;
    }
    out.append(s, from, std::string::npos);
    TStringList lines;
    lines.SetText(out);
    std::vector<std::string> result;
    result.reserve(static_cast<size_t>(lines.Count()));
    for (int i = 0; i < lines.Count(); ++i)
        result.push_back(lines[i]);
    return result;
}

std::string MarkupAttribute(std::string_view tag, std::string_view name) {
    const size_t at = UpperCase(tag).find(UpperCase(name));
    if (at == std::string::npos) return {};
    std::string_view after = tag.substr(at + name.size());
    for (char quote : {'"', '\''}) {
        const size_t open = after.find(quote);
        if (open == std::string_view::npos) continue;
        const size_t close = after.find(quote, open + 1);
        return std::string(
            after.substr(open + 1, close == std::string_view::npos ? close : close - open - 1));
    }
    std::string value = Trim(after);
    if (!value.empty()) value.erase(0, 1);
    value = Trim(value);
    return value.substr(0, value.find(' '));
}

TMarkupColor StringToMarkupColor(std::string_view text) {
    for (const TColorName& entry : kColorNames)
        if (SameText(entry.Name, text)) return entry.Value;
    int32_t value = 0;
    if (TryStrToInt(text, value)) return value;
    throw EConvertError("'" + std::string(text) + "' is not a valid colour value");
}

void DrawMarkupText(IMarkupCanvas& Canvas, TMarkupRect Rect, unsigned State, std::string_view Text,
                    int& Width, TMarkupCalcType CalcType, int MouseX, int MouseY, bool& MouseOnLink,
                    std::string& LinkName) {
    TRenderer renderer(Canvas, Rect, State, CalcType, MouseX, MouseY);
    Width = renderer.Run(PrepareMarkupText(Text));
    MouseOnLink = renderer.MouseOnLink();
    LinkName = renderer.LinkName();
}

void DrawMarkup(IMarkupCanvas& Canvas, TMarkupRect Rect, unsigned State, std::string_view Text) {
    int width = 0;
    bool onLink = false;
    std::string link;
    DrawMarkupText(Canvas, Rect, State, Text, width, mkShow, -1, -1, onLink, link);
}

int MarkupTextWidth(IMarkupCanvas& Canvas, TMarkupRect Rect, unsigned State, std::string_view Text) {
    int width = 0;
    bool onLink = false;
    std::string link;
    DrawMarkupText(Canvas, Rect, State, Text, width, mkCalcWidth, -1, -1, onLink, link);
    return width;
}

int MarkupTextHeight(IMarkupCanvas& Canvas, std::string_view Text) {
    int height = 0;
    bool onLink = false;
    std::string link;
    DrawMarkupText(Canvas, TMarkupRect{}, 0, Text, height, mkCalcHeight, -1, -1, onLink, link);
    if (height == 0) height = Canvas.LineHeight();
    return height + 1;
}

bool IsMouseOnMarkupLink(IMarkupCanvas& Canvas, TMarkupRect Rect, std::string_view Text, int MouseX,
                         int MouseY, std::string& LinkName) {
    int width = 0;
    bool onLink = false;
    DrawMarkupText(Canvas, Rect, 0, Text, width, mkShow, MouseX, MouseY, onLink, LinkName);
    return onLink;
}

} // namespace mv::markup
