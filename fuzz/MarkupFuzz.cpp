// The markup renderer on arbitrary captions, in every mode and with a hit test:
// no exception may leave it, and the canvas must be as it was afterwards.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "labels/MvMarkup.h"

using namespace mv::markup;

namespace {

class TCountingCanvas : public IMarkupCanvas {
public:
    TMarkupFont Font() override { return font; }
    void SetFont(const TMarkupFont& f) override { font = f; }
    TMarkupColor BrushColor() override { return brush; }
    void SetBrushColor(TMarkupColor c) override {
        brush = c;
        clear = false;
    }
    bool BrushClear() override { return clear; }
    void SetBrushClear(bool v) override { clear = v; }
    TMarkupColor PenColor() override { return pen; }
    void SetPenColor(TMarkupColor c) override { pen = c; }
    int PenWidth() override { return penWidth; }
    void SetPenWidth(int w) override { penWidth = w; }
    int TextWidth(std::string_view t) override {
        return static_cast<int>(t.size()) * ((font.Style & msBold) ? 7 : 6);
    }
    int LineHeight() override { return font.Size > 0 ? font.Size * 2 : 2; }
    void TextOut(int, int, std::string_view t) override {
        if (t.empty()) std::abort();
    }
    void Line(int, int, int, int) override {}

    TMarkupFont font{0, 0, 8};
    TMarkupColor brush = 0xFFFFFF;
    bool clear = false;
    TMarkupColor pen = 0;
    int penWidth = 1;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    TCountingCanvas c;
    const TMarkupRect rect{0, 0, 300, 200};
    for (TMarkupCalcType mode : {mkShow, mkCalcWidth, mkCalcHeight}) {
        for (unsigned state : {0u, odDisabled}) {
            int width = -1;
            bool onLink = false;
            std::string link;
            DrawMarkupText(c, rect, state, text, width, mode, 12, 5, onLink, link);
            if (width < 0 && mode != mkShow) std::abort();
            if (c.font.Style != 0 || c.font.Size != 8 || c.font.Color != 0 || c.brush != 0xFFFFFF ||
                c.clear || c.penWidth != 1)
                std::abort();
        }
    }
    if (MarkupTextHeight(c, text) < 1) std::abort();
    return 0;
}
