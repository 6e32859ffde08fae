// Pictures in a real document under Wine: the engine's image objects fetch through the shared
// cache, size themselves from the pictures, give their cache uses back when the document is
// cleared, and an animated GIF in the document shows another frame when drawn later.
#include <gtest/gtest.h>

#include <filesystem>

#include "GifTestFiles.h"
#include "HtmlEngineFixture.h"
#include "PictureOracle.h"
#include "htmlview/GifImage.h"
#include "htmlview/HtmlImageCache.h"
#include "htmlview/HtmlObjects.h"
#include "htmlview/HtmlImagePicture.h"

void HtmlImagesStartup();
void HtmlImagesShutdown();

namespace {
// The colour at (x, y) after drawing the picture into a fresh 24-bit DIB of w x h.
COLORREF DrawnColor(const IHtmlPicture& picture, int w, int h, int x, int y) {
    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w, -h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, dib);
    DrawHtmlPicture(dc, picture, 0, 0, w, h);
    const COLORREF color = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(dib);
    return color;
}

int Uses(const std::string& name) {
    const int index = ImageCache().IndexOf(TStringBitmapList::KeyOf(name));
    return index < 0 ? -1 : ImageCache().Item(index).UsageCount;
}
} // namespace

TEST(PicturesInDocuments, ImagesFetchSizeDrawAnimateAndGiveBackTheirUses) {
    HtmlImagesStartup();
    const auto dir =
        std::filesystem::temp_directory_path() / ("mv-docpics-" + std::to_string(GetCurrentProcessId()));
    std::filesystem::create_directories(dir);
    TGifWriter w(6, 4, 2);
    w.GraphicControl(1, 1, -1);
    w.Image(0, 0, 6, 4, std::vector<uint8_t>(24, 1));
    w.GraphicControl(1, 1, -1);
    w.Image(0, 0, 6, 4, std::vector<uint8_t>(24, 2));
    const std::string anim = (dir / "anim.gif").string();
    WriteWholeFile(anim, w.Bytes());
    const std::string jpeg = MV_TESTPICS "/jpeg/testorig.jpg";

    THtmlImageFetcher fetcher;
    {
        TestDoc doc;
        doc.Doc.GetImage = DocumentImageRequest(fetcher);
        doc.Load("<p><img src=\"" + anim + "\"> and <img src=\"" + jpeg + "\"> and <img src=\"" + anim +
                 "\"> and <img src=\"Z:/no/such.bmp\"></p>");
        std::vector<TImageObj*> images;
        for (TSection* s : doc.TextSections())
            for (const auto& image : s->Images) images.push_back(image.get());
        ASSERT_EQ(images.size(), 4u);
        ASSERT_TRUE(images[0]->Image && images[1]->Image && images[2]->Image);
        EXPECT_EQ(images[0]->ObjWidth, 6);
        EXPECT_EQ(images[0]->ObjHeight, 4);
        EXPECT_EQ(images[1]->ObjWidth, 227);
        EXPECT_EQ(images[1]->ObjHeight, 149);
        EXPECT_EQ(images[3]->Image, nullptr);
        EXPECT_EQ(images[3]->Missing, StandIn::Error);
        EXPECT_EQ(Uses(anim), 2); // two image objects, two uses of one entry
        EXPECT_EQ(Uses(jpeg), 1);

        // The animated picture: each image its own clock; drawn again later it shows frame 2.
        const IHtmlPicture& gif = *images[0]->Image;
        ASSERT_TRUE(PictureIsAnimated(gif));
        EXPECT_FALSE(PictureIsAnimated(*images[1]->Image));
        EXPECT_EQ(DrawnColor(gif, 6, 4, 3, 2), 0x07FE01u);
        // The pictures' clock is the test's: the first frame's time passes without waiting.
        DWORD Now = 1000;
        const auto SavedClock = TGIFImage::Clock;
        TGIFImage::Clock = [&Now] { return Now; };
        SetPictureAnimate(gif, true);
        Now += 40;
        CheckPictureTime(gif, nullptr);
        TGIFImage::Clock = SavedClock;
        EXPECT_EQ(DrawnColor(gif, 6, 4, 3, 2), 0x0EFD02u);
        EXPECT_EQ(DrawnColor(*images[2]->Image, 6, 4, 3, 2), 0x07FE01u); // the other copy stays

        doc.Draw();
        int pictures = 0, standIns = 0;
        for (const auto& op : doc.Metrics.Ops) {
            pictures += op.Kind == 'P';
            standIns += op.Kind == 'S';
        }
        EXPECT_EQ(pictures, 3);
        EXPECT_EQ(standIns, 1);
    }
    // The document is gone: every use it took is given back, and ageing can now drop them.
    EXPECT_EQ(Uses(anim), 0);
    EXPECT_EQ(Uses(jpeg), 0);
    ImageCache().SetCacheCount(0);
    ImageCache().MarkUsedAndPurge();
    EXPECT_EQ(ImageCache().Count(), 0);
    HtmlImagesShutdown();
    std::filesystem::remove_all(dir);
}
