// The document engine on GDI: a document drawn into a bitmap (a few pixels checked, the picture
// saved under screens/), the font cache staying flat over layouts, and pictures shared between
// two documents through the cache with exactly the uses they took.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>

#include "GifTestFiles.h"
#include "DibBitmap.h"
#include "ImageScreens.h"
#include "PictureOracle.h"
#include "htmlview/HtmlDisplayPainter.h"
#include "htmlview/HtmlImageCache.h"
#include "htmlview/HtmlImagePicture.h"
#include "htmlview/HtmlParser.h"
#include "htmlview/HtmlTextSection.h"

void HtmlImagesStartup();
void HtmlImagesShutdown();

namespace {

int32_t LayoutAndDraw(TSectionList& doc, TDibBitmap& bmp) {
    TGdiPainter canvas(bmp.DC);
    doc.SetMeasure(&canvas);
    int32_t curs = 0, maxWidth = 0;
    int32_t h = doc.Layout(canvas, 0, bmp.Width - 20, maxWidth, curs);
    doc.Draw(canvas, {0, 0, bmp.Width, bmp.Height}, 6000, 10, 0);
    doc.SetMeasure(nullptr);
    return h;
}

TEST(HtmlEngineGdi, DocumentDrawnIntoABitmap) {
    HtmlImagesStartup();
    TDibBitmap bmp(320, 240);
    TSectionList doc;
    doc.SetFonts("Arial", "Courier New", false, 0xFFFFFF, 0xFF0000, 0x800080, 0xFF0000, 0, 12);
    THtmlParser parser;
    parser.ParseHtmlText("<h2>Heading</h2><p>Some <b>bold</b> and <a href=x>linked</a> text."
                         "<hr size=6 color=red>"
                         "<table border=1 width=200><tr><td bgcolor=blue>&nbsp;cell&nbsp;<td>two</table>"
                         "<ul><li>item</ul>",
                         doc, nullptr);
    int32_t height = LayoutAndDraw(doc, bmp);
    bmp.Save("htmlengine_document");
    EXPECT_GT(height, 100);
    // The red rule: find its band in the middle column.
    bool red = false, blue = false, dark = false;
    for (int y = 0; y < bmp.Height; ++y) {
        red = red || bmp.Pixel(160, y) == 0x0000FF;
        for (int x = 10; x < 120; ++x) {
            blue = blue || bmp.Pixel(x, y) == 0xFF0000;
            dark = dark || bmp.Pixel(x, y) == 0x000000;
        }
    }
    EXPECT_TRUE(red);
    EXPECT_TRUE(blue);
    EXPECT_TRUE(dark); // text in black
    HtmlImagesShutdown();
}

TEST(HtmlEngineGdi, FontCountStaysFlatOverLayoutsAndLinks) {
    TDibBitmap bmp(400, 300);
    std::string page = "<table><tr><td>";
    for (int i = 0; i < 300; ++i)
        page += "<nobr>&raquo; <a href=\"n:t" + std::to_string(i) + "\">title " + std::to_string(i) +
                "</nobr></a><br>";
    page += "</table>";
    THtmlParser parser;
    const int start = THtmlFontCache::Shared().FontCount();
    int before = -1;
    for (int round = 0; round < 5; ++round) {
        TSectionList doc;
        parser.ParseHtmlText(page, doc, nullptr);
        LayoutAndDraw(doc, bmp);
        if (round == 0) before = THtmlFontCache::Shared().FontCount();
    }
    EXPECT_EQ(THtmlFontCache::Shared().FontCount(), before);
    EXPECT_LE(before - start, 2); // the text font and the link font
}

// The lowest row of a bitmap that holds anything but white.
int LowestInk(TDibBitmap& bmp) {
    for (int y = bmp.Height - 1; y >= 0; --y)
        for (int x = 0; x < bmp.Width; ++x)
            if (bmp.Pixel(x, y) != 0xFFFFFF) return y;
    return -1;
}

// The leftmost column with dark ink in rows [top, bottom), or -1.
int LeftmostInk(TDibBitmap& bmp, int top, int bottom) {
    for (int x = 0; x < bmp.Width; ++x)
        for (int y = std::max(0, top); y < std::min(bottom, bmp.Height); ++y)
            if ((bmp.Pixel(x, y) & 0x808080) == 0) return x;
    return -1;
}

TEST(HtmlEngineGdi, BorderedTableCellsKeepTheirLastWord) {
    // Cells whose text ends in a space draw exactly as tall as the same cells without it: every
    // cell is one line.
    auto tableOf = [](const char* space) {
        std::string cells[] = {"const char*", "Column Declared Type", "More Info", "int", "Rows",
                               "See below"};
        std::string page = "<table border=1 cellpadding=4>";
        for (int i = 0; i < 6; ++i)
            page += std::string(i % 3 == 0 ? "<tr>" : "") + "<td>" + cells[i] + space;
        return page + "</table><p>after the table";
    };
    int bottoms[2] = {0, 0};
    for (int k = 0; k < 2; ++k) {
        TDibBitmap bmp(520, 160);
        TSectionList doc;
        doc.SetFonts("Arial", "Courier New", false, 0xFFFFFF, 0xFF0000, 0x800080, 0xFF0000, 0, 12);
        THtmlParser parser;
        parser.ParseHtmlText(tableOf(k == 0 ? "" : " "), doc, nullptr);
        LayoutAndDraw(doc, bmp);
        if (k == 1) bmp.Save("htmllayout_bordered_table");
        bottoms[k] = LowestInk(bmp);
    }
    EXPECT_GT(bottoms[0], 40);
    EXPECT_EQ(bottoms[1], bottoms[0]);
}

TEST(HtmlEngineGdi, LongListIndentsToItsEnd) {
    std::string page = "<dl>";
    for (int i = 0; i < 3000; ++i)
        page += "<dt>Term " + std::to_string(i) + "<dd>What term " + std::to_string(i) + " means";
    page += "</dl><ul><li>one<ul><li>two<ul><li>three</ul></ul></ul><p>after the list";
    TSectionList doc;
    doc.SetFonts("Arial", "Courier New", false, 0xFFFFFF, 0xFF0000, 0x800080, 0xFF0000, 0, 12);
    THtmlParser parser;
    parser.ParseHtmlText(page, doc, nullptr);
    TDibBitmap bmp(320, 240);
    TGdiPainter canvas(bmp.DC);
    doc.SetMeasure(&canvas);
    int32_t curs = 0, maxWidth = 0;
    doc.Layout(canvas, 0, bmp.Width - 20, maxWidth, curs);
    // The view at the end of the list: the last terms, their meanings, the nested list.
    auto* lastTerm = dynamic_cast<TSection*>(doc.Sections[doc.Count() - 1]);
    for (int i = doc.Count() - 1; i >= 0; --i)
        if (auto* t = dynamic_cast<TSection*>(doc.Sections[i]); t && t->Text().rfind("Term 2998", 0) == 0) {
            lastTerm = t;
            break;
        }
    ASSERT_NE(lastTerm, nullptr);
    doc.SetYOffset(lastTerm->YValue - 4);
    doc.Draw(canvas, {0, 0, bmp.Width, bmp.Height}, 6000, 10, 0);
    doc.SetMeasure(nullptr);
    bmp.Save("htmllayout_long_list");
    int termTop = lastTerm->YValue - doc.ScrollOffset;
    int lineHeight = lastTerm->Lines.at(0).LineHeight;
    int termX = LeftmostInk(bmp, termTop, termTop + lineHeight);
    int meaningX = LeftmostInk(bmp, termTop + lineHeight, termTop + 2 * lineHeight);
    EXPECT_GE(termX, 10);
    EXPECT_LT(termX, 10 + 10);
    EXPECT_GE(meaningX, termX + 30); // the meaning one level in, as at the top of the list
    EXPECT_TRUE(doc.Indents.L.empty());
}

TEST(HtmlEngineGdi, LongFaceNamesAreCut) {
    TMyFont f;
    f.Name = std::string(80, 'Q');
    HFONT h = THtmlFontCache::Shared().Get(f);
    ASSERT_NE(h, nullptr);
    LOGFONTA lf{};
    ASSERT_GT(GetObjectA(h, sizeof lf, &lf), 0);
    EXPECT_EQ(std::string(lf.lfFaceName), std::string(31, 'Q'));
}

TEST(HtmlEngineGdi, TwoDocumentsSharePicturesAndReleaseTheirUses) {
    HtmlImagesStartup();
    TGifWriter w(4, 4, 1);
    w.Image(0, 0, 4, 4, std::vector<uint8_t>(16, 1));
    const std::string path = (std::filesystem::temp_directory_path() / "mv-engine-shared.gif").string();
    WriteWholeFile(path, w.Bytes());
    THtmlImageFetcher fetcher;
    TDibBitmap bmp(200, 100);
    THtmlParser parser;
    std::string html = "<img src=\"" + path + "\"><img src=\"" + path + "\">";
    auto a = std::make_unique<TSectionList>();
    auto b = std::make_unique<TSectionList>();
    a->GetImage = DocumentImageRequest(fetcher);
    b->GetImage = DocumentImageRequest(fetcher);
    parser.ParseHtmlText(html, *a, nullptr);
    parser.ParseHtmlText(html, *b, nullptr);
    LayoutAndDraw(*a, bmp);
    LayoutAndDraw(*b, bmp);
    TStringBitmapList& cache = ImageCache();
    int index = cache.IndexOf(TStringBitmapList::KeyOf(path));
    ASSERT_GE(index, 0);
    EXPECT_EQ(cache.Item(index).UsageCount, 4);
    a.reset();
    EXPECT_EQ(cache.Item(cache.IndexOf(TStringBitmapList::KeyOf(path))).UsageCount, 2);
    for (int i = 0; i < 10; ++i)
        cache.MarkUsedAndPurge(); // in use: not purged
    ASSERT_GE(cache.IndexOf(TStringBitmapList::KeyOf(path)), 0);
    b.reset();
    EXPECT_EQ(cache.Item(cache.IndexOf(TStringBitmapList::KeyOf(path))).UsageCount, 0);
    cache.PurgeCache();
    EXPECT_LT(cache.IndexOf(TStringBitmapList::KeyOf(path)), 0);
    HtmlImagesShutdown();
    std::filesystem::remove(path);
}

} // namespace
