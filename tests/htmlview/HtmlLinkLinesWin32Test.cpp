// Link lines kept as runs, drawn by GDI: every pixel as the page parsed with a section per line,
// at several scroll positions, with a hovered line and visited links.
#include <gtest/gtest.h>

#include <windows.h>

#include "DibBitmap.h"
#include "ImageScreens.h"
#include "LinkLinesPage.h"
#include "htmlview/HtmlDisplayPainter.h"
#include "htmlview/HtmlParser.h"

namespace {

struct TGdiDoc {
    explicit TGdiDoc(bool Compact) : Bitmap(700, 360), Canvas(Bitmap.DC) {
        Doc.SetFonts("Arial", "Courier New", true, 0xFFFFFF, 0x00AA00, 0x800080, 0xFF0000, 0, 12);
        Doc.CompactLinkLines = Compact;
        Doc.SetMeasure(&Canvas);
    }
    ~TGdiDoc() { Doc.SetMeasure(nullptr); }
    void Load(const std::string& Html) {
        Parser.ParseHtmlText(Html, Doc, nullptr);
        int32_t Curs = 0, MaxWidth = 0;
        Height = Doc.Layout(Canvas, 0, Bitmap.Width, MaxWidth, Curs);
    }
    std::vector<uint8_t> Draw(int32_t Scroll) {
        Bitmap.Clear();
        Doc.SetYOffset(Scroll);
        Doc.Draw(Canvas, {0, 0, Bitmap.Width, Bitmap.Height}, 6000, 0, 0);
        return Bitmap.Pixels();
    }
    TDibBitmap Bitmap;
    TGdiPainter Canvas;
    TSectionList Doc;
    THtmlParser Parser;
    int32_t Height = 0;
};

} // namespace

TEST(HtmlLinkLinesGdi, RunsDrawEveryPixelAsTheirSections) {
    const std::string Page = LinkLinesPage(PanelBoxes(600));
    TGdiDoc A(false), B(true);
    A.Load(Page);
    B.Load(Page);
    ASSERT_EQ(A.Height, B.Height);
    auto Visited = [](std::string_view Url) { return Url == "Big:topic 1004" || Url == "Alpha:first one"; };
    A.Doc.SetVisitedLinks(Visited, true);
    B.Doc.SetVisitedLinks(Visited, true);
    for (bool Hover : {false, true}) {
        if (Hover) {
            // The mouse over a title of the long box, found where the plain document drew it.
            A.Draw(0);
            B.Draw(0);
            const int32_t C = A.Doc.FindString(0,
                                               "topic\xA0"
                                               "1007",
                                               true);
            int32_t X = 0, Y = 0;
            ASSERT_TRUE(A.Doc.CharIndexToPoint(A.Canvas, C + 2, X, Y));
            TUrlTarget UA, UB;
            TFormControlObj *FA = nullptr, *FB = nullptr;
            ASSERT_TRUE(A.Doc.LinkAtPoint(A.Canvas, X, Y + 3, UA, FA));
            ASSERT_TRUE(B.Doc.LinkAtPoint(B.Canvas, X, Y + 3, UB, FB));
            EXPECT_EQ(UA.URL, "Big:topic 1007");
            EXPECT_EQ(UB.URL, UA.URL);
        }
        for (int32_t Scroll : {0, 45, A.Height / 2 - 170, A.Height - 350}) {
            SCOPED_TRACE(std::to_string(Scroll) + (Hover ? " hovered" : ""));
            const auto PA = A.Draw(Scroll);
            const auto PB = B.Draw(Scroll);
            if (Scroll == 0 && Hover) B.Bitmap.Save("htmlengine_link_lines");
            size_t Differ = 0;
            for (size_t i = 0; i < PA.size(); ++i)
                Differ += PA[i] != PB[i];
            EXPECT_EQ(Differ, 0u);
            EXPECT_TRUE(
                std::any_of(PA.begin(), PA.end(), [](uint8_t V) { return V < 128; })); // something drawn
        }
    }
}
