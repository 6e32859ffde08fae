// The animated GIF under Wine: frames, delays, loop counts and the frame clock with a test clock,
// copies sharing one file, a real window showing every frame of an animation by the GIF89a rules,
// and an animation too long to hold as a strip shown in bounded memory.
#include <gtest/gtest.h>

#include "GifReference.h"
#include "GifTestFiles.h"
#include "ImageScreens.h"
#include "htmlview/GifDecoder.h"
#include "htmlview/GifImage.h"
#include "htmlview/HtmlImageDisplay.h"

using namespace mv::test;

namespace {
// Three 6 x 4 frames, each one colour (table entries 1, 2, 3), the given delays and loop count.
std::string ThreeFrames(int loops, int delay0 = 0, int delay1 = 5, int delay2 = 1) {
    TGifWriter w(6, 4, 2);
    if (loops >= 0) w.Netscape(loops);
    const int delays[3] = {delay0, delay1, delay2};
    for (int i = 0; i < 3; ++i) {
        w.GraphicControl(1, delays[i], -1);
        w.Image(0, 0, 6, 4, std::vector<uint8_t>(24, static_cast<uint8_t>(i + 1)));
    }
    w.Trailer();
    return w.Bytes();
}

std::unique_ptr<TGIFImage> Make(const std::string& bytes, bool& nonAnimated) {
    TStringStream stream(bytes);
    return TGIFImage::CreateAGifFromStream(nonAnimated, stream);
}

class GifImageTest : public ::testing::Test {
protected:
    void SetUp() override {
        HtmlImagesStartup();
        saved_ = TGIFImage::Clock;
        TGIFImage::Clock = [this] { return now_; };
    }
    void TearDown() override {
        TGIFImage::Clock = saved_;
        HtmlImagesShutdown();
    }
    DWORD now_ = 1000;
    std::function<DWORD()> saved_;
};
} // namespace

TEST_F(GifImageTest, FramesDelaysAndIterationsFromTheFile) {
    bool nonAnimated = true;
    auto gif = Make(ThreeFrames(2), nonAnimated);
    ASSERT_TRUE(gif);
    EXPECT_FALSE(nonAnimated);
    EXPECT_TRUE(gif->Animated);
    EXPECT_EQ(gif->NumFrames, 3);
    EXPECT_EQ(gif->Width, 6);
    EXPECT_EQ(gif->Height, 4);
    EXPECT_EQ(gif->FrameBitmap(), nullptr); // nothing composed before it is drawn
    EXPECT_EQ(gif->NumIterations, 3);
    EXPECT_EQ(gif->Frames()[0].FrameDelay, 30); // 0 and 1 hundredths play as 30 ms
    EXPECT_EQ(gif->Frames()[1].FrameDelay, 50);
    EXPECT_EQ(gif->Frames()[2].FrameDelay, 30);
    EXPECT_EQ(gif->Frames()[1].FrameDisposal, 1);
    EXPECT_EQ(gif->GetMaskedBitmap(), nullptr);
    ASSERT_NE(gif->GetBitmap(), nullptr);
    EXPECT_EQ(gif->GetBitmap()->Width(), 6);
    EXPECT_EQ(gif->GetBitmap()->Canvas().Pixel(0, 0), 0x07FE01u);

    EXPECT_EQ(Make(ThreeFrames(0), nonAnimated)->NumIterations, 0);
    EXPECT_EQ(Make(ThreeFrames(-1), nonAnimated)->NumIterations, 1);
    TGifWriter one(2, 2, 1);
    one.GraphicControl(0, 0, 0);
    one.Image(0, 0, 2, 2, {0, 1, 1, 1});
    auto single = Make(one.Bytes(), nonAnimated);
    ASSERT_TRUE(single);
    EXPECT_TRUE(nonAnimated);
    EXPECT_TRUE(single->IsTransparent);
    ASSERT_NE(single->GetMaskedBitmap(), nullptr);
    EXPECT_EQ(single->GetMaskedBitmap()->Canvas().Pixel(0, 0), 0xFFFFFFu);
    EXPECT_EQ(single->GetMaskedBitmap()->Canvas().Pixel(1, 0), 0x000000u);
    EXPECT_EQ(Make("GIF89a broken", nonAnimated), nullptr);
    EXPECT_EQ(TGIFImage::CreateAGif("Z:\\no\\such.gif", nonAnimated), nullptr);
}

TEST_F(GifImageTest, LoopCountTwoPlaysThreeTimesThenStopsOnTheLastFrame) {
    bool nonAnimated;
    auto gif = Make(ThreeFrames(2), nonAnimated);
    gif->SetAnimate(true);
    std::vector<int> shown{gif->CurrentFrame()};
    for (int tick = 0; tick < 100 && gif->Animate(); ++tick) {
        now_ += 10;
        const int before = gif->CurrentFrame();
        gif->CheckTime(nullptr);
        if (gif->CurrentFrame() != before) shown.push_back(gif->CurrentFrame());
    }
    EXPECT_FALSE(gif->Animate());
    EXPECT_EQ(shown, (std::vector<int>{1, 2, 3, 1, 2, 3, 1, 2, 3}));
    EXPECT_EQ(gif->CurrentFrame(), 3);
}

TEST_F(GifImageTest, FrameTimesAreKeptAndSurviveTheClockWrapping) {
    bool nonAnimated;
    auto gif = Make(ThreeFrames(0), nonAnimated);
    now_ = 0xFFFFFFF0u;
    gif->SetAnimate(true);
    now_ = 0xFFFFFFF0u + 29;
    gif->CheckTime(nullptr);
    EXPECT_EQ(gif->CurrentFrame(), 1); // 29 ms of 30
    now_ = 14;                         // 30 ms later, across the wrap
    gif->CheckTime(nullptr);
    EXPECT_EQ(gif->CurrentFrame(), 2);
    now_ += 49;
    gif->CheckTime(nullptr);
    EXPECT_EQ(gif->CurrentFrame(), 2); // frame 2 stays 50 ms
    now_ += 1;
    gif->CheckTime(nullptr);
    EXPECT_EQ(gif->CurrentFrame(), 3);
    gif->SetAnimate(false);
    now_ += 1000;
    gif->CheckTime(nullptr);
    EXPECT_EQ(gif->CurrentFrame(), 3);
}

TEST_F(GifImageTest, CurrentFrameWrapsAndCopiesShareTheFile) {
    bool nonAnimated;
    auto gif = Make(ThreeFrames(0), nonAnimated);
    const std::pair<int, int> cases[] = {{2, 2}, {0, 3}, {4, 1}, {-7, 3}, {3, 3}};
    for (auto [value, expected] : cases) {
        gif->SetCurrentFrame(value);
        EXPECT_EQ(gif->CurrentFrame(), expected) << value;
    }
    auto copy = TGIFImage::CreateCopy(*gif);
    EXPECT_EQ(copy->CurrentFrame(), 1);
    EXPECT_EQ(copy->CurrentIteration, 1);
    EXPECT_TRUE(copy->IsCopy);
    EXPECT_EQ(&copy->Source(), &gif->Source());
    EXPECT_TRUE(copy->Frames()[2].IsCopy);
    gif.reset(); // the copy keeps the file alive
    TBitmap target(6, 4, TPixelFormat::pf24bit);
    copy->Visible = true;
    copy->SetCurrentFrame(2);
    copy->Draw(target.Canvas(), 0, 0, 6, 4);
    EXPECT_EQ(target.Canvas().Pixel(3, 3), 0x0EFD02u);
    EXPECT_EQ(copy->StretchedRect.right, 6);
}

TEST_F(GifImageTest, TransparentFramesDrawThroughTheirMask) {
    TGifWriter w(4, 1, 2);
    w.GraphicControl(0, 0, 0);
    w.Image(0, 0, 4, 1, {0, 1, 0, 1});
    w.GraphicControl(2, 0, 0);
    w.Image(0, 0, 4, 1, {2, 0, 0, 0});
    bool nonAnimated;
    auto gif = Make(w.Bytes(), nonAnimated);
    ASSERT_TRUE(gif && gif->IsTransparent);
    TBitmap target(8, 2, TPixelFormat::pf24bit);
    target.Canvas().Brush().SetColor(clRed);
    target.Canvas().FillRect(RECT{0, 0, 8, 2});
    gif->Visible = true;
    gif->Draw(target.Canvas(), 0, 0, 4, 1);
    gif->SetCurrentFrame(2);
    gif->Draw(target.Canvas(), 4, 1, 4, 1);
    EXPECT_EQ(target.Canvas().Pixel(0, 0), 0x0000FFu); // transparent: background
    EXPECT_EQ(target.Canvas().Pixel(1, 0), 0x07FE01u);
    EXPECT_EQ(target.Canvas().Pixel(4, 1), 0x0EFD02u); // frame 2 drew index 2
    EXPECT_EQ(target.Canvas().Pixel(5, 1), 0x07FE01u); // frame 1 shows through frame 2
    EXPECT_EQ(target.Canvas().Pixel(6, 1), 0x0000FFu);
    gif->Visible = false;
    gif->Draw(target.Canvas(), 0, 0, 8, 2); // not visible: nothing drawn
    EXPECT_EQ(target.Canvas().Pixel(0, 0), 0x0000FFu);
}

namespace {
TGIFImage* windowGif = nullptr;
constexpr int kScale = 3, kAt = 12; // the picture is shown three times its size at (12, 12)

LRESULT CALLBACK GifWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_ERASEBKGND) {
        // A page behind the picture: stripes of two colours, so see-through pixels show.
        RECT r;
        GetClientRect(wnd, &r);
        HDC dc = reinterpret_cast<HDC>(wp);
        for (int x = 0; x < r.right; x += 6) {
            RECT stripe{x, 0, x + 6, r.bottom};
            HBRUSH brush = CreateSolidBrush(x / 6 % 2 ? RGB(255, 255, 224) : RGB(200, 220, 255));
            FillRect(dc, &stripe, brush);
            DeleteObject(brush);
        }
        return 1;
    }
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(wnd, &ps);
        TCanvas canvas;
        canvas.SetHandle(dc);
        windowGif->Visible = true;
        windowGif->Draw(canvas, kAt, kAt, windowGif->Width * kScale, windowGif->Height * kScale);
        windowGif->IsShown = true;
        canvas.SetHandle(nullptr);
        EndPaint(wnd, &ps);
        return 0;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

TPixelImage Capture(HWND wnd) {
    RECT r;
    GetClientRect(wnd, &r);
    TBitmap shot(r.right, r.bottom, TPixelFormat::pf24bit);
    TWindowDC dc(wnd);
    BitBlt(shot.Canvas().Handle(), 0, 0, r.right, r.bottom, dc.Get(), 0, 0, SRCCOPY);
    return PixelsFromBitmap(shot);
}

// A window showing the picture on a striped page, closed with the test.
class TGifWindow {
public:
    explicit TGifWindow(TGIFImage& gif) {
        windowGif = &gif;
        WNDCLASSA wc{};
        wc.lpfnWndProc = GifWindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "MvGifTestWindow";
        RegisterClassA(&wc);
        const int w = gif.Width * kScale + 2 * kAt, h = gif.Height * kScale + 2 * kAt;
        wnd_ = CreateWindowExA(0, "MvGifTestWindow", "GIF", WS_POPUP | WS_VISIBLE, 50, 50, w, h, nullptr,
                               nullptr, wc.hInstance, nullptr);
        UpdateWindow(wnd_);
    }
    ~TGifWindow() {
        DestroyWindow(wnd_);
        windowGif = nullptr;
    }
    HWND Handle() const { return wnd_; }

private:
    HWND wnd_ = nullptr;
};

// The reference frames of a loaded GIF: its images as our decoder reads them (checked index for
// index against giflib by the native tests), composed by the rules.
std::vector<TReferenceScreen> ReferenceFrames(const TGif& gif) {
    std::vector<TReferenceImage> images;
    for (int i = 0; i < gif.ImageCount(); ++i) {
        TReferenceImage& image = images.emplace_back();
        image.left = gif.ImageLeft(i), image.top = gif.ImageTop(i);
        image.width = gif.VisibleWidth(i), image.height = gif.VisibleHeight(i);
        gif.DecodeImage(i, image.indexes);
        const TGifColorTable& table = gif.ColorTable(gif.Image(i).TableIndex);
        image.colors.assign(table.Colors.begin(), table.Colors.begin() + table.Count);
        image.transparent = gif.ImageTransparentIndex(i);
        image.disposal = gif.ImageDisposalMethod(i);
    }
    return ComposeByTheRules(gif.ScreenWidth(), gif.ScreenHeight(), images);
}

std::string ReadAnimation(const char* name) {
    TFileStream file(std::string(MV_ANIMATIONS) + "/" + name, fmOpenRead);
    std::string bytes(static_cast<size_t>(file.Size()), '\0');
    file.Read(bytes.data(), static_cast<int64_t>(bytes.size()));
    return bytes;
}
} // namespace

TEST_F(GifImageTest, AnimationPlaysEachFrameByTheRulesOverThePage) {
    // ImageMagick's animation with every disposal, interlaced, see-through and partial frames,
    // played by the frame clock in a window; each frame on screen is checked pixel for pixel.
    for (const char* name : {"interlaced-mixed.gif", "previous.gif", "keep-partial.gif"}) {
        SCOPED_TRACE(name);
        const std::string bytes = ReadAnimation(name);
        TGif gif;
        gif.LoadFromBytes(bytes.data(), bytes.size());
        const std::vector<TReferenceScreen> expected = ReferenceFrames(gif);
        bool nonAnimated;
        TStringStream stream(bytes);
        auto image = TGIFImage::CreateAGifFromStream(nonAnimated, stream);
        ASSERT_TRUE(image && !nonAnimated);
        ASSERT_EQ(image->NumFrames, static_cast<int>(expected.size()));
        TGifWindow window(*image);
        const TPixelImage page = Capture(window.Handle());
        image->SetAnimate(true);
        std::vector<int> played;
        for (int step = 0; step < image->NumFrames; ++step) {
            const int frame = image->CurrentFrame();
            played.push_back(frame);
            UpdateWindow(window.Handle());
            const TPixelImage shown = Capture(window.Handle());
            const TReferenceScreen& ref = expected[static_cast<size_t>(frame - 1)];
            int wrong = 0;
            for (int y = 0; y < ref.height; ++y)
                for (int x = 0; x < ref.width; ++x) {
                    const size_t at = static_cast<size_t>(y) * ref.width + x;
                    const int px = kAt + x * kScale + 1, py = kAt + y * kScale + 1;
                    const uint32_t want = ref.seeThrough[at] ? page.ColorAt(px, py) : ref.color[at];
                    if (shown.ColorAt(px, py) != want && ++wrong <= 3)
                        ADD_FAILURE() << "frame " << frame << " at " << x << "," << y << ": " << std::hex
                                      << shown.ColorAt(px, py) << " instead of " << want;
                }
            if (std::string(name) == "interlaced-mixed.gif")
                SaveScreenPng("htmlimages-gif-animation-frame" + std::to_string(frame), shown);
            // The frame's time passes on the test clock; the next tick moves on and invalidates.
            now_ += image->Frames()[static_cast<size_t>(frame - 1)].FrameDelay;
            image->CheckTime(window.Handle());
        }
        EXPECT_EQ(played.size(), expected.size());
        EXPECT_EQ(image->CurrentFrame(), 1); // looped round
        for (size_t i = 0; i < played.size(); ++i)
            EXPECT_EQ(played[i], static_cast<int>(i) + 1);
    }
}

TEST_F(GifImageTest, AnAnimationTooBigForAStripIsShownAndAnimatedInBoundedMemory) {
    // 783 frames of a 640 x 421 screen (a strip of them would take 633 MB): the first frame
    // fills the screen, the others are bands of 8 rows moving down, restored after showing.
    const int w = 640, h = 421, n = 783;
    TGifWriter writer(w, h, 8);
    writer.Netscape(0);
    std::vector<uint8_t> full(static_cast<size_t>(w) * h);
    for (size_t i = 0; i < full.size(); ++i)
        full[i] = static_cast<uint8_t>(i % w / 64 + 16);
    writer.GraphicControl(1, 4, -1);
    writer.Image(0, 0, w, h, full);
    for (int f = 1; f < n; ++f) {
        writer.GraphicControl(3, 4, -1);
        writer.Image(0, f * 8 % (h - 8), w, 8, std::vector<uint8_t>(static_cast<size_t>(w) * 8, 200));
    }
    writer.Trailer();
    bool nonAnimated = true;
    TStringStream stream(writer.Bytes());
    auto image = TGIFImage::CreateAGifFromStream(nonAnimated, stream);
    ASSERT_TRUE(image);
    EXPECT_FALSE(nonAnimated);
    EXPECT_EQ(image->NumFrames, n);
    TBitmap target(w, h, TPixelFormat::pf24bit);
    image->Visible = true;
    image->SetCurrentFrame(500);
    image->Draw(target.Canvas(), 0, 0, w, h);
    const int band = 499 * 8 % (h - 8);
    EXPECT_EQ(target.Canvas().Pixel(5, band + 3), 0x7837C8u);         // the band: index 200
    EXPECT_EQ(target.Canvas().Pixel(5, (band + 100) % h), 0x70EF10u); // the first frame: 16
    image->SetCurrentFrame(700);
    image->SetAnimate(true);
    for (int tick = 0; tick < 100; ++tick) {
        now_ += 40;
        image->CheckTime(nullptr);
        image->Draw(target.Canvas(), 0, 0, w, h);
    }
    EXPECT_EQ(image->CurrentFrame(), 800 % n);
    // Beside the shared file: the composer and the frame's bitmaps, within four 32-bit screens.
    EXPECT_LE(image->MemoryBytes(), size_t{4} * 4 * w * h);
    EXPECT_LT(image->Source().FileSize(), size_t{10'000'000});
}
