// The display side of pictures under Wine: loaders on real files (BMPs checked against Windows'
// own reader), adapting to 24-bit, palette and 16-colour displays, masks and masked drawing,
// palette copies and device-independent copies at every depth.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "GifTestFiles.h"
#include "ImageScreens.h"
#include "PictureOracle.h"
#include "htmlview/BmpDecoder.h"
#include "htmlview/HtmlDither.h"
#include "htmlview/HtmlImageCache.h"
#include "htmlview/HtmlImageDisplay.h"
#include "htmlview/HtmlImageLoad.h"

namespace fs = std::filesystem;

namespace {
const std::string kPics = MV_TESTPICS "/jpeg/";

class PictureDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        HtmlImagesStartup();
        dir_ = fs::temp_directory_path() / ("mv-display-" + std::to_string(GetCurrentProcessId()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        SetDisplayColors(24, {});
        HtmlImagesShutdown();
        fs::remove_all(dir_);
    }
    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = (dir_ / name).string();
        WriteWholeFile(path, bytes);
        return path;
    }
    fs::path dir_;
};

std::array<uint32_t, 256> FakeSystemPalette() {
    std::array<uint32_t, 256> p{};
    const uint32_t first[10] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000,
                                0x800080, 0x808000, 0xC0C0C0, 0xC0DCC0, 0xF0CAA6};
    const uint32_t last[10] = {0xF0FBFF, 0xA4A0A0, 0x808080, 0x0000FF, 0x00FF00,
                               0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
    for (int i = 0; i < 10; ++i)
        p[i] = first[i], p[246 + i] = last[i];
    return p;
}

TPixelImage Checker(int w, int h) {
    TPixelImage image;
    image.Allocate(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = image.Row(y) + x * 3;
            p[0] = static_cast<uint8_t>(x * 255 / std::max(w - 1, 1));
            p[1] = static_cast<uint8_t>(y * 255 / std::max(h - 1, 1));
            p[2] = ((x / 4 + y / 4) % 2) ? 255 : 0;
        }
    return image;
}
} // namespace

TEST_F(PictureDisplay, BmpFilesReadAsWindowsReadsThem) {
    for (const char* name : {"vgl_5674_0098.bmp", "vgl_6434_0018a.bmp", "nightshot_iso_100.bmp"}) {
        SCOPED_TRACE(name);
        const std::string path = kPics + name;
        auto ours = LoadImageFile(path, true);
        ASSERT_TRUE(ours);
        HBITMAP theirs = static_cast<HBITMAP>(
            LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
        ASSERT_TRUE(theirs);
        TBitmap windows;
        windows.SetHandle(theirs);
        EXPECT_EQ(ComparePictures(PixelsFromBitmap(*ours), PixelsFromBitmap(windows)), "");
    }
}

TEST_F(PictureDisplay, LoadersByKindAndTheirFailures) {
    TGifWriter gif(3, 2, 1);
    gif.Image(0, 0, 3, 2, {0, 1, 0, 1, 1, 1});
    gif.Trailer();
    const std::string gifPath = Write("pic.dat", gif.Bytes()); // a GIF whatever its name
    const std::string jpegPath = Write("a.jpg", ReadWholeFile(kPics + "testorig.jpg"));
    const std::string pngPath = Write("a.png", "\x89PNG\r\n\x1A\n" + std::string(40, '\0'));
    const std::string junkPath = Write("junk.bmp", "BM but nothing after it, not a picture at all");

    EXPECT_EQ(ImageTypeOfFile(gifPath), itGIF89);
    EXPECT_EQ(ImageTypeOfFile(jpegPath), itJPEG);
    EXPECT_EQ(ImageTypeOfFile((dir_ / "missing.gif").string()), itUnknown);

    auto first = LoadImageFile(gifPath, true);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->Width(), 3);
    EXPECT_EQ(first->Canvas().Pixel(1, 0), 0x07FE01u);
    auto jpeg = LoadImageFile(jpegPath, true);
    ASSERT_TRUE(jpeg);
    EXPECT_EQ(jpeg->Width(), 227);
    EXPECT_EQ(LoadImageFile(pngPath, true), nullptr);
    EXPECT_EQ(LoadImageFile(junkPath, true), nullptr);
    EXPECT_EQ(LoadImageFile((dir_ / "missing.bmp").string(), true), nullptr);

    // TRANSP: the mask of the bottom-left colour; no TRANSP: no mask.
    std::unique_ptr<TBitmap> mask;
    int transparent = 1;
    auto masked = LoadImageFileWithMask(gifPath, transparent, mask);
    ASSERT_TRUE(masked && mask);
    EXPECT_EQ(mask->PixelFormat(), TPixelFormat::pf1bit);
    EXPECT_EQ(mask->Canvas().Pixel(0, 1), 0xFFFFFFu); // bottom row is all index 1: transparent
    EXPECT_EQ(mask->Canvas().Pixel(0, 0), 0x000000u);
    transparent = 0;
    EXPECT_TRUE(LoadImageFileWithMask(gifPath, transparent, mask));
    EXPECT_EQ(mask, nullptr);
    EXPECT_EQ(LoadImageFileWithMask((dir_ / "none.gif").string(), transparent, mask), nullptr);

    // Streams: BMP and JPEG only, 20 bytes at least.
    TMemoryStream jpegStream;
    jpegStream.LoadFromFile(jpegPath);
    jpegStream.SetPosition(100);
    transparent = 1;
    EXPECT_TRUE(LoadImageStream(&jpegStream, transparent, mask));
    EXPECT_EQ(transparent, 0);
    TStringStream short19(std::string("BM") + std::string(17, '\0'));
    EXPECT_EQ(LoadImageStream(&short19, transparent, mask), nullptr);
    TStringStream gifStream(gif.Bytes() + std::string(20, '\0'));
    EXPECT_EQ(LoadImageStream(&gifStream, transparent, mask), nullptr);
    TStringStream pngStream("\x89PNG\r\n\x1A\n" + std::string(40, '\0'));
    EXPECT_EQ(LoadImageStream(&pngStream, transparent, mask), nullptr);
    EXPECT_EQ(LoadImageStream(nullptr, transparent, mask), nullptr);
}

TEST_F(PictureDisplay, HugeOrDamagedPicturesGiveNoBitmapInsteadOfACrash) {
    // A 30000 x 30000 24-bit BMP header (2.7 GB) and a JPEG asking for 60000 x 60000.
    std::string bmp = std::string("BM") + std::string(8, '\0') + std::string("\x36\0\0\0", 4) +
                      std::string("\x28\0\0\0\x30\x75\0\0\x30\x75\0\0\x01\0\x18\0", 16) +
                      std::string(40, '\0');
    EXPECT_EQ(LoadImageFile(Write("huge.bmp", bmp), true), nullptr);
    std::string jpeg = ReadWholeFile(kPics + "testorig.jpg");
    const size_t sof = jpeg.find("\xFF\xC0");
    for (size_t at : {sof + 5, sof + 7})
        jpeg[at] = static_cast<char>(0xEA), jpeg[at + 1] = 0x60;
    EXPECT_EQ(LoadImageFile(Write("huge.jpg", jpeg), true), nullptr);
}

TEST_F(PictureDisplay, ConvertKeepsTrueColourAndRebuildsPaletteBitmapsOnTrueColourDisplays) {
    SetDisplayColors(32, {});
    EXPECT_EQ(DisplayColorBits, 24);
    EXPECT_EQ(DisplayPalette(), nullptr);
    auto eight = std::make_unique<TBitmap>(4, 4, TPixelFormat::pf8bit);
    TBitmap* before = eight.get();
    auto converted = ConvertToDisplay(std::move(eight));
    EXPECT_EQ(converted.get(), before);
    EXPECT_EQ(converted->PixelFormat(), TPixelFormat::pf24bit);
    auto truecolour = BitmapFromPixels(Checker(5, 5));
    before = truecolour.get();
    EXPECT_EQ(ConvertToDisplay(std::move(truecolour)).get(), before);
    EXPECT_EQ(ConvertToDisplay(nullptr), nullptr);
}

TEST_F(PictureDisplay, PaletteDisplaysGetPicturesReducedToTheirPalette) {
    SetDisplayColors(8, FakeSystemPalette());
    ASSERT_EQ(DisplayColorBits, 8);
    ASSERT_NE(DisplayPalette(), nullptr);
    const std::vector<uint32_t> palette = DisplayReductionPalette();
    ASSERT_EQ(palette.size(), 256u);
    EXPECT_EQ(palette[10], 0x373737u);
    EXPECT_EQ(palette[255], 0xFFFFFFu);

    HPALETTE copy = CopyDisplayPalette(DisplayPalette());
    ASSERT_NE(copy, nullptr);
    PALETTEENTRY a[256], b[256];
    ASSERT_EQ(GetPaletteEntries(copy, 0, 256, a), 256u);
    GetPaletteEntries(DisplayPalette(), 0, 256, b);
    EXPECT_EQ(std::memcmp(a, b, sizeof a), 0);
    DeleteObject(copy);
    EXPECT_EQ(CopyDisplayPalette(nullptr), nullptr);

    const TPixelImage picture = Checker(40, 30);
    auto reduced = ConvertToDisplay(BitmapFromPixels(picture));
    ASSERT_TRUE(reduced);
    EXPECT_EQ(reduced->PixelFormat(), TPixelFormat::pf8bit);
    const std::vector<uint8_t> expected = ReduceToPalette(picture, palette);
    for (int y = 0; y < 30; ++y)
        ASSERT_EQ(std::memcmp(reduced->ScanLine(y), expected.data() + y * 40, 40), 0) << y;
    // Its colours are the palette's: a palette colour stays exactly itself.
    TPixelImage pure;
    pure.Allocate(3, 1);
    pure.Row(0)[0] = 0xFF;                                 // pure blue (system entry)
    pure.Row(0)[3] = pure.Row(0)[4] = pure.Row(0)[5] = 55; // the cube's darkest grey
    auto same = ReduceToDisplay(*BitmapFromPixels(pure));
    EXPECT_EQ(PixelsFromBitmap(*same).ColorAt(0, 0), 0xFF0000u);
    EXPECT_EQ(PixelsFromBitmap(*same).ColorAt(1, 0), 0x373737u);
    SaveScreenPng("htmlimages-palette-reduced", PixelsFromBitmap(*reduced));

    SetDisplayColors(4, {});
    EXPECT_EQ(DisplayColorBits, 4);
    EXPECT_EQ(DisplayReductionPalette().size(), 20u);
    auto sixteen = ConvertToDisplay(BitmapFromPixels(picture));
    const TPixelImage back = PixelsFromBitmap(*sixteen);
    const std::vector<uint32_t> system = DisplayReductionPalette();
    for (int y = 0; y < back.Height; ++y)
        for (int x = 0; x < back.Width; ++x)
            ASSERT_NE(std::find(system.begin(), system.end(), back.ColorAt(x, y)), system.end());
    TBitmap empty;
    EXPECT_EQ(ReduceToDisplay(empty), nullptr);
}

TEST_F(PictureDisplay, MasksAndMaskedDrawing) {
    // A 4 x 4 picture whose bottom-left colour (white) is transparent, drawn doubled on red.
    TPixelImage picture;
    picture.Allocate(4, 4);
    std::fill(picture.Pixels.begin(), picture.Pixels.end(), 255);
    for (int x = 0; x < 4; ++x)
        picture.Row(0)[x * 3] = 200, picture.Row(0)[x * 3 + 1] = picture.Row(0)[x * 3 + 2] = 0;
    auto image = BitmapFromPixels(picture);
    auto mask = MakeImageMask(*image, false, 0);
    ASSERT_EQ(mask->PixelFormat(), TPixelFormat::pf1bit);
    auto black = MakeImageMask(*image, true, clBlack);
    EXPECT_EQ(black->Canvas().Pixel(0, 3), 0x000000u);

    TBitmap target(10, 10, TPixelFormat::pf24bit);
    target.Canvas().Brush().SetColor(clRed);
    target.Canvas().FillRect(RECT{0, 0, 10, 10});
    SetBkColor(target.Canvas().Handle(), RGB(1, 2, 3));
    DrawMasked(target.Canvas().Handle(), *image, *mask, 1, 1, 8, 8);
    EXPECT_EQ(target.Canvas().Pixel(2, 1), 0xC80000u); // blue row drawn (doubled)
    EXPECT_EQ(target.Canvas().Pixel(2, 2), 0xC80000u);
    EXPECT_EQ(target.Canvas().Pixel(2, 3), 0x0000FFu);
    EXPECT_EQ(target.Canvas().Pixel(5, 6), 0x0000FFu); // white was transparent: red shows
    EXPECT_EQ(target.Canvas().Pixel(0, 0), 0x0000FFu);
    EXPECT_EQ(GetBkColor(target.Canvas().Handle()), RGB(1, 2, 3));
    SaveScreenPng("htmlimages-draw-masked", PixelsFromBitmap(target));

    TBitmap mono(10, 10, TPixelFormat::pf1bit);
    for (int y = 0; y < 10; ++y)
        std::memset(mono.ScanLine(y), 0xFF, static_cast<size_t>(mono.BytesPerLine()));
    EXPECT_EQ(TargetBits(mono.Canvas().Handle()), 1);
    auto rows = [&] {
        std::string bytes;
        for (int y = 0; y < 10; ++y)
            bytes.append(static_cast<char*>(mono.ScanLine(y)), 4);
        return bytes;
    };
    const std::string before = rows();
    DrawMasked(mono.Canvas().Handle(), *image, *mask, 0, 0, 4, 4);
    EXPECT_EQ(rows(), before); // nothing drawn on a monochrome target
}

TEST_F(PictureDisplay, DibCopiesAtEveryDepthRoundTrip) {
    struct Case {
        TPixelFormat format;
        int bits;
        int size;
    };
    const Case cases[] = {{TPixelFormat::pf1bit, 1, 40},   {TPixelFormat::pf4bit, 4, 40},
                          {TPixelFormat::pf8bit, 8, 40},   {TPixelFormat::pf24bit, 24, 40},
                          {TPixelFormat::pf32bit, 24, 40}, {TPixelFormat::pf24bit, 24, 200}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bits * 1000 + c.size);
        TBitmap bitmap(c.size, c.size, c.format);
        bitmap.Canvas().Brush().SetColor(clWhite);
        bitmap.Canvas().FillRect(RECT{0, 0, c.size, c.size});
        bitmap.Canvas().Brush().SetColor(clBlack);
        bitmap.Canvas().FillRect(RECT{3, 5, 20, 9});
        TDib dib(bitmap);
        EXPECT_EQ(dib.Info()->bmiHeader.biBitCount, c.bits);
        const size_t rowBytes = ((c.bits * c.size + 31) / 32) * 4;
        EXPECT_EQ(dib.BitsSize(), rowBytes * c.size);
        EXPECT_EQ(dib.Handle() != nullptr, dib.BitsSize() >= 0xFF00);
        EXPECT_EQ(dib.InfoSize(), 40 + (c.bits <= 8 ? 4 << c.bits : 0));
        auto back = dib.CreateBitmap();
        EXPECT_EQ(ComparePictures(PixelsFromBitmap(*back), PixelsFromBitmap(bitmap)), "");
    }
}

TEST_F(PictureDisplay, StartupMadePlaceholdersAndCursorsOnce) {
    ASSERT_NE(ImagePendingBitmap(), nullptr);
    EXPECT_EQ(ImagePendingBitmap()->Width(), 16);
    EXPECT_EQ(ImageErrorBitmap()->Height(), 16);
    EXPECT_EQ(ImageErrorMask()->PixelFormat(), TPixelFormat::pf1bit);
    EXPECT_NE(ImageLaterStream(), nullptr);
    for (int slot = 1; slot <= 5; ++slot)
        EXPECT_NE(HtmlViewCursor(slot), nullptr) << slot;
    TBitmap* pending = ImagePendingBitmap();
    HtmlImagesStartup(); // counted: nothing is made again
    EXPECT_EQ(ImagePendingBitmap(), pending);
    HtmlImagesShutdown();
    EXPECT_EQ(ImagePendingBitmap(), pending);
    TBitmap both(40, 20, TPixelFormat::pf24bit);
    both.Canvas().Brush().SetColor(clWhite);
    both.Canvas().FillRect(RECT{0, 0, 40, 20});
    DrawMasked(both.Canvas().Handle(), *ImageErrorBitmap(), *ImageErrorMask(), 2, 2, 16, 16);
    DrawMasked(both.Canvas().Handle(), *ImagePendingBitmap(), *ImageErrorMask(), 22, 2, 16, 16);
    SaveScreenPng("htmlimages-placeholders", PixelsFromBitmap(both));
}

TEST_F(PictureDisplay, StandInsAndCursorsComeFromTheProgramsResources) {
    // The error picture's red cross, the pending picture's sun, and the mask: see-through
    // around the page, opaque on it.
    EXPECT_EQ(ImageErrorBitmap()->Canvas().Pixel(6, 7), RGB(255, 0, 0));
    EXPECT_EQ(ImageErrorBitmap()->Canvas().Pixel(4, 3), RGB(255, 255, 255));
    EXPECT_EQ(ImagePendingBitmap()->Canvas().Pixel(11, 4), RGB(255, 255, 0));
    EXPECT_EQ(ImagePendingBitmap()->Canvas().Pixel(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(ImageErrorMask()->Canvas().Pixel(0, 0), RGB(255, 255, 255));
    EXPECT_EQ(ImageErrorMask()->Canvas().Pixel(1, 1), RGB(0, 0, 0));
    EXPECT_EQ(ImageErrorMask()->Canvas().Pixel(15, 1), RGB(255, 255, 255)) << "the torn corner";
    // Drawn through its mask, the error picture leaves the corners alone.
    TBitmap target(16, 16, TPixelFormat::pf24bit);
    target.Canvas().Brush().SetColor(TColor(0x00FF00));
    target.Canvas().FillRect(RECT{0, 0, 16, 16});
    DrawMasked(target.Canvas().Handle(), *ImageErrorBitmap(), *ImageErrorMask(), 0, 0, 16, 16);
    EXPECT_EQ(target.Canvas().Pixel(0, 0), RGB(0, 255, 0));
    EXPECT_EQ(target.Canvas().Pixel(6, 7), RGB(255, 0, 0));
    // Our cursors, not the system's: each slot its own.
    EXPECT_NE(HtmlViewCursor(1), LoadCursorA(nullptr, IDC_HAND));
    EXPECT_NE(HtmlViewCursor(2), LoadCursorA(nullptr, IDC_IBEAM));
    for (int a = 1; a <= 5; ++a)
        for (int b = a + 1; b <= 5; ++b)
            EXPECT_NE(HtmlViewCursor(a), HtmlViewCursor(b)) << a << " " << b;
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(HtmlViewCursor(2), &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 3u);
    EXPECT_EQ(info.yHotspot, 8u);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
}
