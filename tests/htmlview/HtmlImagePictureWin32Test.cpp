// The document engine's image request over the fetcher: pictures it can size and draw.
#include <gtest/gtest.h>

#include <filesystem>

#include "GifTestFiles.h"
#include "PictureOracle.h"
#include "htmlview/HtmlImageCache.h"
#include "htmlview/HtmlImagePicture.h"

void HtmlImagesStartup();
void HtmlImagesShutdown();

TEST(DocumentImageRequest, WrapsFetchedPicturesForTheEngine) {
    HtmlImagesStartup();
    TGifWriter w(5, 3, 1);
    w.Image(0, 0, 5, 3, std::vector<uint8_t>(15, 1));
    w.Image(0, 0, 5, 3, std::vector<uint8_t>(15, 0));
    const std::string path = (std::filesystem::temp_directory_path() / "mv-request.gif").string();
    WriteWholeFile(path, w.Bytes());
    THtmlImageFetcher fetcher;
    auto request = DocumentImageRequest(fetcher);
    uint8_t transparent = 0;
    bool delayed = true;
    std::shared_ptr<IHtmlPicture> picture = request(path, transparent, delayed);
    ASSERT_TRUE(picture);
    EXPECT_FALSE(delayed);
    EXPECT_EQ(picture->Width(), 5);
    EXPECT_EQ(picture->Height(), 3);
    const auto* ours = dynamic_cast<const THtmlPicture*>(picture.get());
    ASSERT_TRUE(ours && ours->Animated());
    // The viewer's painter draws it through IGdiPicture: frame 1 is colour 1 (1, 254, 7).
    const auto* gdi = dynamic_cast<const IGdiPicture*>(picture.get());
    ASSERT_NE(gdi, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 5, -3, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, dib);
    gdi->DrawOn(dc, 0, 0, 5, 3);
    EXPECT_EQ(GetPixel(dc, 2, 1), 0x07FE01u);
    SelectObject(dc, old);
    DeleteObject(dib);
    DeleteDC(dc);
    EXPECT_EQ(request("Z:\\no\\such.bmp", transparent, delayed), nullptr);
    picture.reset();
    EXPECT_EQ(ImageCache().Item(0).UsageCount, 0);
    HtmlImagesShutdown();
    std::filesystem::remove(path);
}
