// Where text ink lands under GDI: each character where the layout measured it (the platform draws
// some faces at some sizes narrower or wider than it measures them), a side panel link's underline
// ending at its last character, and a list number in the item's text colour.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "DibBitmap.h"
#include "htmlview/HtmlBlocks.h"
#include "htmlview/HtmlDisplayPainter.h"
#include "htmlview/HtmlParser.h"

namespace {

// The columns of one colour in a band of rows: the leftmost and one past the rightmost.
struct TInk {
    int Left = -1, Right = -1;
    bool Empty() const { return Right < 0; }
};

TInk InkOf(TDibBitmap& bmp, int top, int bottom, uint32_t color) {
    TInk ink;
    for (int y = std::max(top, 0); y < std::min(bottom, bmp.Height); ++y)
        for (int x = 0; x < bmp.Width; ++x)
            if (bmp.Pixel(x, y) == color) {
                if (ink.Left < 0 || x < ink.Left) ink.Left = x;
                ink.Right = std::max(ink.Right, x + 1);
            }
    return ink;
}

struct TGdiPage {
    TGdiPage(int w, int h) : Bitmap(w, h), Canvas(Bitmap.DC) {}
    ~TGdiPage() { Doc.SetMeasure(nullptr); }
    void Load(const std::string& html, bool compact = false) {
        Doc.CompactLinkLines = compact;
        Doc.SetMeasure(&Canvas);
        Parser.ParseHtmlText(html, Doc, nullptr);
        int32_t curs = 0, maxWidth = 0;
        Doc.Layout(Canvas, 0, Bitmap.Width - 20, maxWidth, curs);
        Bitmap.Clear();
        Doc.Draw(Canvas, {0, 0, Bitmap.Width, Bitmap.Height}, 6000, 10, 0);
    }
    TDibBitmap Bitmap;
    TGdiPainter Canvas;
    TSectionList Doc;
    THtmlParser Parser;
};

constexpr uint32_t kLinkBlue = 0xC00000; // 0x00BBGGRR, and the DIB's pixels read the same way

} // namespace

// A text drawn in one call has exactly the pixels of its characters drawn one by one at the
// layout's prefix extents, in the faces pages use, at every size from 8 to 48 pixels: no gap
// before the next run ("hhhh<b>word</b>"), no italic running into the next word.
TEST(GdiPainter, DrawsEachCharacterWhereTheLayoutMeasuredIt) {
    const std::string text = "hhhhhhhhhh matrix:context Wim, 1234 \xBB mm";
    const int32_t n = static_cast<int32_t>(text.size());
    THtmlFontCache fonts;
    TDibBitmap whole(1400, 90), apart(1400, 90);
    TGdiPainter onWhole(whole.DC, fonts), onApart(apart.DC, fonts);
    int differ = 0;
    for (const char* face : {"Times New Roman", "Arial", "Tahoma", "Courier New"})
        for (int32_t points = 6; points <= 36; ++points) // 8 to 48 pixels
            for (uint8_t style : {uint8_t(0), uint8_t(fsBold), uint8_t(fsItalic)}) {
                TMyFont font;
                font.Name = face;
                font.Size = points;
                font.Style = style;
                whole.Clear();
                apart.Clear();
                onWhole.TextOut(font, 10, 60, text.data(), n, 0, false, 0);
                std::vector<int32_t> extents(static_cast<size_t>(n));
                onApart.TextExtents(font, text.data(), n, extents.data());
                for (int32_t k = 0; k < n; ++k)
                    onApart.TextOut(font, 10 + (k ? extents[static_cast<size_t>(k - 1)] : 0), 60, &text[k], 1,
                                    0, false, 0);
                if (whole.Pixels() != apart.Pixels()) {
                    const TInk a = InkOf(whole, 0, whole.Height, 0), b = InkOf(apart, 0, apart.Height, 0);
                    ++differ;
                    ADD_FAILURE() << face << " " << points << " pt style " << int(style) << ": ink to "
                                  << a.Right << ", measured characters' ink to " << b.Right
                                  << ", measured width " << extents.back();
                }
                if (points == 12 && style == 0 && face[0] == 'T' && face[1] == 'i')
                    whole.Save("htmlengine_placed_text");
            }
    EXPECT_EQ(differ, 0);
}

// The side panel's link line ("» title", the title underlined) kept as a run: the underline ends
// where the title's last character ends, not a space or more past it, in the page's default face
// and in the panel's small dialog face.
TEST(HtmlLinkLinesGdi, UnderlineEndsAtTheLastCharacter) {
    // No descenders: the rows below an underline belong to the next line.
    const char* const titles[] = {"Total number 1234", "matrix:context", "Home", "Minimum width",
                                  "the lambs"};
    for (const char* face : {"Times New Roman", "Tahoma"})
        for (int32_t size : {8, 12}) {
            SCOPED_TRACE(std::string(face) + " " + std::to_string(size));
            TGdiPage page(400, 200);
            page.Doc.SetFonts(face, "Courier New", true, 0xFFFFFF, 0x00AA00, 0x800080, kLinkBlue, 0, size);
            std::string html = "<html><body><nobr><b>Box</b><br>";
            for (const char* t : titles)
                html += std::string("<nobr>\xBB <a href=\"Box:") + t + "\">" + t + "</nobr></a><br>";
            page.Load(html + "</nobr></body></html>", true);
            if (size == 12 && face[0] == 'T' && face[1] == 'i')
                page.Bitmap.Save("htmlengine_link_underlines");
            // Each line: the underline is the row (or rows) of blue without a gap; the glyphs are the
            // blue above it, down to the previous underline.
            int lines = 0, glyphTop = 0;
            for (int y = 0; y < page.Bitmap.Height; ++y) {
                const TInk row = InkOf(page.Bitmap, y, y + 1, kLinkBlue);
                bool solid = !row.Empty() && row.Right - row.Left > 20;
                for (int x = row.Left; solid && x < row.Right; ++x)
                    solid = page.Bitmap.Pixel(x, y) == kLinkBlue;
                if (!solid) continue;
                const TInk glyphs = InkOf(page.Bitmap, glyphTop, y, kLinkBlue);
                if (!glyphs.Empty()) {
                    EXPECT_LE(row.Right - glyphs.Right, 2) << "underline to " << row.Right << ", ink to "
                                                           << glyphs.Right << ": " << titles[lines];
                    EXPECT_GE(row.Right - glyphs.Right, 0) << titles[lines];
                    ++lines;
                }
                glyphTop = y + 1;
            }
            EXPECT_EQ(lines, static_cast<int>(std::size(titles)));
        }
}

// An item that starts with a link numbers itself in the text's colour, not underlined in the
// link's blue; the bullet of a bulleted one keeps its colour by level.
TEST(HtmlEngineGdi, ListNumberTakesTheItemsTextColour) {
    TGdiPage page(300, 120);
    page.Doc.SetFonts("Arial", "Courier New", true, 0xFFFFFF, 0x00AA00, 0x800080, kLinkBlue, 0x008000, 12);
    page.Load(
        "<ol><li><a href=\"x\">Linked</a> item<li>Plain item</ol><ul><li><a href=\"y\">Linked</a></ul>");
    page.Bitmap.Save("htmlengine_list_numbers");
    const TOListItem* first = nullptr;
    for (const auto& s : page.Doc.Sections)
        if (!first) first = dynamic_cast<const TOListItem*>(s.get());
    ASSERT_NE(first, nullptr);
    ASSERT_FALSE(first->Lines.empty());
    const int lineStart = first->Lines[0].DrawX;
    const int top = first->YValue, bottom = top + first->Lines[0].FullHeight();
    // Left of the line: the number "1." in the text's green, nothing in the link's blue.
    TDibBitmap& bmp = page.Bitmap;
    int green = 0, blue = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < lineStart; ++x) {
            green += bmp.Pixel(x, y) == 0x008000;
            blue += bmp.Pixel(x, y) == kLinkBlue;
        }
    EXPECT_GT(green, 5);
    EXPECT_EQ(blue, 0);
    // The link itself is still blue.
    EXPECT_FALSE(InkOf(bmp, top, bottom, kLinkBlue).Empty());
}
