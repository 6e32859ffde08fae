// Pictures in the HTML viewer under Wine: files found beside the page, an animated GIF that
// moves on screen, pictures the application hands over later (images and a tiled background
// that follows scrolling), picture clicks after scrolling, and the cache's size and ageing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "GifTestFiles.h"
#include "gui/Application.h"
#include "gui/Forms.h"
#include "htmlview/HtmlDisplay.h"
#include "htmlview/HtmlImageCache.h"
#include "htmlview/HtmlImageDisplay.h"
#include "htmlview/HtmlObjects.h"
#include "htmlview/HtmlTextSection.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScreenWait.h"
#include "tests/support/Screens.h"

namespace {

// A 24-bit BMP file of w x h pixels coloured by color(x, y) (0x00RRGGBB).
template <typename F> std::string BmpBytes(int w, int h, F color) {
    const int row = (w * 3 + 3) / 4 * 4;
    const int size = 54 + row * h;
    std::string b(static_cast<size_t>(size), '\0');
    auto put32 = [&](int at, int v) {
        for (int k = 0; k < 4; ++k)
            b[static_cast<size_t>(at + k)] = static_cast<char>((v >> (8 * k)) & 0xFF);
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, size);
    put32(10, 54);
    put32(14, 40);
    put32(18, w);
    put32(22, h);
    b[26] = 1;
    b[28] = 24;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t c = color(x, y);
            const size_t at = 54 + static_cast<size_t>((h - 1 - y) * row + x * 3);
            b[at] = static_cast<char>(c & 0xFF);
            b[at + 1] = static_cast<char>((c >> 8) & 0xFF);
            b[at + 2] = static_cast<char>((c >> 16) & 0xFF);
        }
    return b;
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// The palette colour i of TGifWriter's global table, as GetPixel reports it.
COLORREF GifColor(int i) {
    return RGB(i, 255 - i, (i * 7) & 0xFF);
}

class HtmlDisplayPicturesTest : public ::testing::Test {
protected:
    void SetUp() override {
        Application->Initialize();
        Dir =
            std::filesystem::temp_directory_path() / ("mv-viewpics-" + std::to_string(GetCurrentProcessId()));
        std::filesystem::create_directories(Dir);
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(40, 40, 420, 320);
        Viewer = new THtmlDisplay(Form.get());
        Viewer->SetParent(Form.get());
        Viewer->SetBounds(0, 0, 400, 280);
        Viewer->SetDefBackground(0xFFFFFF);
        Viewer->SetDefFontName("Arial");
        Viewer->SetDefFontSize(10);
    }
    void TearDown() override {
        SetCursorPos(1200, 1000);
        Form.reset();
        SetDisplayColors(24, {}); // the screen of the tests, whatever a test made of it
        std::error_code ec;
        std::filesystem::remove_all(Dir, ec);
    }
    void ShowAndPaint() {
        Form->Show();
        SetForegroundWindow(Form->Handle());
        UpdateWindow(Form->Handle());
        ASSERT_TRUE(mv::test::WaitUntilShown(Form->Handle()));
    }
    HWND Panel() { return Viewer->PaintPanel().Handle(); }
    COLORREF PanelPixel(int x, int y) {
        UpdateWindow(Panel());
        TBitmap shot;
        CaptureWindow(Panel(), shot);
        return shot.Canvas().Pixel(x, y);
    }
    std::vector<TImageObj*> Images() {
        std::vector<TImageObj*> out;
        for (const auto& s : Viewer->SectionList().Sections)
            if (auto* t = dynamic_cast<TSection*>(s.get()))
                for (const auto& image : t->Images)
                    out.push_back(image.get());
        return out;
    }
    // Where the picture's middle is on the panel.
    POINT Middle(TImageObj* image) {
        return POINT{image->DrawX + image->ObjWidth / 2,
                     image->DrawY - Viewer->SectionList().ScrollOffset + image->ObjHeight / 2};
    }

    std::filesystem::path Dir;
    std::unique_ptr<TForm> Form;
    THtmlDisplay* Viewer = nullptr;
};

} // namespace

TEST_F(HtmlDisplayPicturesTest, AnAnimatedGifBesideThePageMovesOnScreen) {
    // Three frames of 100 ms, for ever: colour 10, colour 200, colour 90.
    TGifWriter gif(40, 30, 8);
    gif.Netscape(0);
    for (int colour : {10, 200, 90}) {
        gif.GraphicControl(1, 10, -1);
        gif.Image(0, 0, 40, 30, std::vector<uint8_t>(40 * 30, static_cast<uint8_t>(colour)));
    }
    gif.Trailer();
    WriteFile(Dir / "anim.gif", gif.Bytes());
    WriteFile(Dir / "still.bmp", BmpBytes(12, 8, [](int, int) { return 0xC00000u; }));
    WriteFile(Dir / "page.htm",
              "<body bgcolor=\"#FFFFFF\"><p><img src=\"anim.gif\"> <img src=\"still.bmp\"></p>"
              "<p><img src=\"missing.gif\" alt=\"gone\"></p></body>");
    Viewer->LoadDocumentFile((Dir / "page.htm").string(), 0);
    ShowAndPaint();

    auto images = Images();
    ASSERT_EQ(images.size(), 3u);
    ASSERT_TRUE(images[0]->Image) << "found beside the page";
    ASSERT_TRUE(images[1]->Image);
    EXPECT_EQ(images[0]->ObjWidth, 40);
    EXPECT_EQ(images[1]->ObjWidth, 12);
    EXPECT_EQ(images[2]->Missing, StandIn::Error);
    ASSERT_EQ(Viewer->SectionList().AnimatedImages.size(), 1u);
    EXPECT_TRUE(Viewer->AnimationTimerRunning());
    const POINT still = Middle(images[1]);
    EXPECT_EQ(PanelPixel(still.x, still.y), RGB(192, 0, 0));

    // The frames follow one another on screen: the same point shows each colour in turn.
    const POINT p = Middle(images[0]);
    std::vector<COLORREF> seen;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 1500 && seen.size() < 4) {
        const COLORREF c = PanelPixel(p.x, p.y);
        if (seen.empty() || seen.back() != c) {
            seen.push_back(c);
            SaveScreen(Form->Handle(), "html-display-gif-frame" + std::to_string(seen.size()));
        }
        // Time must pass here: the picture animates on screen at its own pace.
        PumpFor(15);
    }
    ASSERT_GE(seen.size(), 3u) << "the picture did not move";
    const std::vector<COLORREF> frames{GifColor(10), GifColor(200), GifColor(90)};
    for (size_t k = 0; k + 1 < seen.size(); ++k) {
        const auto at = std::find(frames.begin(), frames.end(), seen[k]);
        ASSERT_NE(at, frames.end()) << "frame " << k << " colour " << std::hex << seen[k];
        EXPECT_EQ(seen[k + 1], frames[static_cast<size_t>((at - frames.begin() + 1) % 3)]) << "in order";
    }

    // A new page without animations stops the timer.
    Viewer->LoadHtmlText("<p>still</p>", "other");
    EXPECT_FALSE(Viewer->AnimationTimerRunning());
}

TEST_F(HtmlDisplayPicturesTest, PicturesHandedOverLaterFillTheirPlacesAndTileTheBackground) {
    std::vector<std::string> asked;
    Viewer->SetOnImageRequest([&](TObject* Sender, const std::string& SRC, TStream*& Stream) {
        EXPECT_EQ(Sender, Viewer);
        asked.push_back(SRC);
        Stream = ImageLaterStream();
    });
    std::string page =
        "<body background=\"tile.bmp\"><p><img src=\"late.bmp\"> and <img src=\"Late.bmp\"></p>";
    for (int i = 0; i < 30; ++i)
        page += "<p>line " + std::to_string(i) + "</p>";
    Viewer->LoadHtmlText(page + "</body>", "late page");
    ShowAndPaint();
    EXPECT_EQ(asked, (std::vector<std::string>{"tile.bmp", "late.bmp"})) << "each name asked once";
    auto images = Images();
    ASSERT_EQ(images.size(), 2u);
    EXPECT_EQ(images[0]->Missing, StandIn::Pending);
    EXPECT_EQ(ImageCache().IndexOf("LATE.BMP"), -1) << "nothing cached for later";
    SaveScreen(Form->Handle(), "html-display-pictures-pending");

    // The images arrive: both take the picture, the page is laid out for its size.
    TMemoryStream red;
    const std::string redBytes = BmpBytes(30, 20, [](int, int) { return 0xFF0000u; });
    red.Write(redBytes.data(), static_cast<int64_t>(redBytes.size()));
    EXPECT_FALSE(Viewer->InsertImage("nothing.bmp", &red)) << "nobody waits for it";
    ASSERT_TRUE(Viewer->InsertImage("LATE.BMP", &red));
    EXPECT_TRUE(Viewer->SectionList().MissingImages.size() == 1u) << "the background still waits";
    for (TImageObj* image : images) {
        EXPECT_EQ(image->Missing, StandIn::None);
        EXPECT_EQ(image->ObjWidth, 30);
        EXPECT_EQ(image->ObjHeight, 20);
    }
    mv::test::PumpUntilIdle();
    const POINT p = Middle(images[1]);
    EXPECT_EQ(PanelPixel(p.x, p.y), RGB(255, 0, 0));
    EXPECT_EQ(ImageCache().Item(ImageCache().IndexOf("LATE.BMP")).UsageCount, 2);

    // The background arrives: an 8 x 8 tile, green left half and blue right half, top row black.
    TMemoryStream tile;
    const std::string tileBytes = BmpBytes(8, 8, [](int x, int y) -> uint32_t {
        if (y == 0) return 0;
        return x < 4 ? 0x00FF00u : 0x0000FFu;
    });
    tile.Write(tileBytes.data(), static_cast<int64_t>(tileBytes.size()));
    ASSERT_TRUE(Viewer->InsertImage("tile.bmp", &tile));
    EXPECT_TRUE(Viewer->SectionList().MissingImages.empty());
    mv::test::PumpUntilIdle();
    const int x = 390 - 16 - 8 * 3; // right of the text, left of the scroll bar
    auto expected = [](int px, int docY) -> COLORREF {
        if (docY % 8 == 0) return RGB(0, 0, 0);
        return px % 8 < 4 ? RGB(0, 255, 0) : RGB(0, 0, 255);
    };
    for (int y : {0, 1, 9, 20})
        for (int dx : {0, 3, 4, 7})
            EXPECT_EQ(PanelPixel(x + dx, y), expected(x + dx, y)) << x + dx << "," << y;
    SaveScreen(Form->Handle(), "html-display-pictures-background");

    // The tiles move with the document.
    Viewer->ScrollTo(3);
    mv::test::PumpUntilIdle();
    ASSERT_EQ(Viewer->SectionList().ScrollOffset, 3);
    for (int y : {0, 5, 13})
        for (int dx : {0, 4})
            EXPECT_EQ(PanelPixel(x + dx, y), expected(x + dx, y + 3)) << x + dx << "," << y;
}

TEST_F(HtmlDisplayPicturesTest, PictureClicksAreFoundAfterScrolling) {
    WriteFile(Dir / "p.bmp", BmpBytes(40, 30, [](int, int) { return 0x0000C0u; }));
    std::string page;
    for (int i = 0; i < 40; ++i)
        page += "<p>line " + std::to_string(i) + "</p>";
    page += "<p><img src=\"" + (Dir / "p.bmp").string() + "\"></p>";
    for (int i = 0; i < 40; ++i)
        page += "<p>more " + std::to_string(i) + "</p>";
    Viewer->LoadHtmlText(page, "tall");
    ShowAndPaint();
    auto images = Images();
    ASSERT_EQ(images.size(), 1u);
    // Scroll so that the picture's paragraph is in the middle of the panel.
    int32_t top = -1;
    for (const auto& section : Viewer->SectionList().Sections)
        if (auto* t = dynamic_cast<TSection*>(section.get()); t && !t->Images.Empty()) top = t->YValue;
    ASSERT_GT(top, 300);
    Viewer->ScrollTo(top - 100);
    mv::test::PumpUntilIdle();
    ASSERT_GT(Viewer->SectionList().ScrollOffset, 0);
    const POINT p = Middle(images[0]);
    ASSERT_EQ(PanelPixel(p.x, p.y), RGB(0, 0, 0xC0)) << "drawn where expected";
    TObject* clicked = nullptr;
    int cx = -1, cy = -1;
    Viewer->OnImageClick = [&](TObject*, TObject* Obj, TMouseButton, TShiftState, int X, int Y) {
        clicked = Obj;
        cx = X;
        cy = Y;
    };
    const LPARAM at = MAKELPARAM(p.x, p.y);
    SendMessageA(Panel(), WM_MOUSEMOVE, 0, at);
    SendMessageA(Panel(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(Panel(), WM_LBUTTONUP, 0, at);
    EXPECT_EQ(clicked, images[0]);
    EXPECT_EQ(cx, 20);
    EXPECT_EQ(cy, 15);
}

TEST_F(HtmlDisplayPicturesTest, TheCacheKeepsPicturesForItsCountOfLoads) {
    Viewer->SetImageCacheCount(25);
    EXPECT_EQ(Viewer->ImageCacheCount(), 20);
    Viewer->SetImageCacheCount(-3);
    EXPECT_EQ(Viewer->ImageCacheCount(), 0);
    Viewer->SetImageCacheCount(1);
    const std::string bmp = (Dir / "kept.bmp").string();
    WriteFile(bmp, BmpBytes(4, 4, [](int, int) { return 0x808080u; }));
    const std::string key = TStringBitmapList::KeyOf(bmp);

    Viewer->LoadHtmlText("<img src=\"" + bmp + "\">", "one");
    ASSERT_GE(ImageCache().IndexOf(key), 0);
    EXPECT_EQ(ImageCache().Item(ImageCache().IndexOf(key)).UsageCount, 1);
    // Unused, it survives one more load with a count of 1 and goes at the second.
    Viewer->LoadHtmlText("<p>no pictures</p>", "two");
    ASSERT_GE(ImageCache().IndexOf(key), 0);
    EXPECT_EQ(ImageCache().Item(ImageCache().IndexOf(key)).UsageCount, 0);
    Viewer->LoadHtmlText("<p>no pictures</p>", "three");
    EXPECT_EQ(ImageCache().IndexOf(key), -1);

    // A picture in use is never purged, however many loads the other viewer makes.
    THtmlDisplay* other = new THtmlDisplay(Form.get());
    other->SetParent(Form.get());
    Viewer->LoadHtmlText("<img src=\"" + bmp + "\">", "one");
    for (int i = 0; i < 4; ++i)
        other->LoadHtmlText("<p>load " + std::to_string(i) + "</p>", "x" + std::to_string(i));
    ASSERT_GE(ImageCache().IndexOf(key), 0);
    EXPECT_EQ(ImageCache().Item(ImageCache().IndexOf(key)).UsageCount, 1);
    Viewer->SetImageCacheCount(5);
}

TEST_F(HtmlDisplayPicturesTest, APictureFileOpensAsAPageAndPicturesCanBeSwitchedOff) {
    const std::string file = (Dir / "shown.bmp").string();
    WriteFile(file, BmpBytes(50, 40, [](int x, int) { return x < 25 ? 0x00A000u : 0xA000A0u; }));
    Viewer->OpenImageFile(file);
    ShowAndPaint();
    EXPECT_EQ(Viewer->FileType(), 2);
    auto images = Images();
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0]->ObjWidth, 50);
    EXPECT_EQ(images[0]->ObjHeight, 40);
    const POINT p = Middle(images[0]);
    EXPECT_EQ(PanelPixel(p.x - 10, p.y), RGB(0, 0xA0, 0));
    EXPECT_EQ(PanelPixel(p.x + 10, p.y), RGB(0xA0, 0, 0xA0));

    // Off: the stand-in shows in the picture's place; on again: the same picture, not fetched anew.
    const int uses = ImageCache().Item(ImageCache().IndexOf(TStringBitmapList::KeyOf(file))).UsageCount;
    Viewer->SetViewImages(false);
    mv::test::PumpUntilIdle();
    EXPECT_EQ(images[0]->Missing, StandIn::Pending);
    EXPECT_NE(PanelPixel(p.x + 10, p.y), RGB(0xA0, 0, 0xA0));
    SaveScreen(Form->Handle(), "html-display-pictures-off");
    Viewer->SetViewImages(true);
    mv::test::PumpUntilIdle();
    EXPECT_EQ(images[0]->Missing, StandIn::None);
    EXPECT_EQ(PanelPixel(p.x + 10, p.y), RGB(0xA0, 0, 0xA0));
    EXPECT_EQ(ImageCache().Item(ImageCache().IndexOf(TStringBitmapList::KeyOf(file))).UsageCount, uses);
}

TEST_F(HtmlDisplayPicturesTest, OnPaletteDisplaysPicturesAreDrawnInThePalettesColours) {
    std::array<uint32_t, 256> system{};
    for (int i = 0; i < 10; ++i)
        system[static_cast<size_t>(i)] = 0, system[static_cast<size_t>(246 + i)] = 0xFFFFFF;
    SetDisplayColors(8, system);
    ASSERT_NE(Viewer->GetPalette(), nullptr);
    EXPECT_EQ(Viewer->GetPalette(), DisplayPalette());
    const std::vector<uint32_t> palette = DisplayReductionPalette();
    const std::string file = (Dir / "offpalette.bmp").string();
    WriteFile(file, BmpBytes(40, 30, [](int, int) { return 0x123456u; }));
    Viewer->LoadHtmlText("<body bgcolor=\"#FFFFFF\"><img src=\"" + file + "\"></body>", "palette");
    ShowAndPaint();
    auto images = Images();
    ASSERT_EQ(images.size(), 1u);
    ASSERT_EQ(images[0]->Missing, StandIn::None);
    const POINT p = Middle(images[0]);
    TBitmap shot;
    UpdateWindow(Panel());
    CaptureWindow(Panel(), shot);
    std::set<COLORREF> seen;
    for (int dy = -5; dy <= 5; ++dy)
        for (int dx = -10; dx <= 10; ++dx)
            seen.insert(shot.Canvas().Pixel(p.x + dx, p.y + dy));
    for (COLORREF c : seen)
        EXPECT_NE(std::find(palette.begin(), palette.end(), c), palette.end()) << std::hex << c;
    EXPECT_EQ(seen.count(RGB(0x12, 0x34, 0x56)), 0u) << "drawn unreduced";
    SaveScreen(Form->Handle(), "html-display-pictures-palette");
}
