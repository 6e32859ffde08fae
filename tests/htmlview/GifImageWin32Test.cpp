// The animated GIF under Wine: frames, delays, loop counts and the frame clock with a test clock,
// copies sharing one strip, and a real window showing two different frames drawn apart in time.
#include <gtest/gtest.h>

#include "GifTestFiles.h"
#include "ImageScreens.h"
#include "htmlview/GifImage.h"
#include "htmlview/HtmlImageDisplay.h"

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
    EXPECT_EQ(gif->Strip().Width(), 18);
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

TEST_F(GifImageTest, CurrentFrameWrapsAndCopiesShareTheStrip) {
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
    EXPECT_EQ(&copy->Strip(), &gif->Strip());
    EXPECT_TRUE(copy->Frames()[2].IsCopy);
    gif.reset(); // the copy keeps the strip alive
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
    ASSERT_TRUE(gif && gif->Strip().HasMask());
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

LRESULT CALLBACK GifWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(wnd, &ps);
        TCanvas canvas;
        canvas.SetHandle(dc);
        windowGif->Visible = true;
        windowGif->Draw(canvas, 10, 10, 60, 40);
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

void Pump(DWORD ms) {
    const DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < ms) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(5);
    }
}
} // namespace

TEST(GifImageWindow, AnimatedGifShowsAnotherFrameLater) {
    HtmlImagesStartup();
    bool nonAnimated;
    TStringStream stream(ThreeFrames(0, 10, 10, 10));
    auto gif = TGIFImage::CreateAGifFromStream(nonAnimated, stream);
    ASSERT_TRUE(gif);
    windowGif = gif.get();
    WNDCLASSA wc{};
    wc.lpfnWndProc = GifWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = "MvGifTestWindow";
    RegisterClassA(&wc);
    HWND wnd = CreateWindowExA(0, "MvGifTestWindow", "GIF", WS_POPUP | WS_VISIBLE, 50, 50, 80, 60, nullptr,
                               nullptr, wc.hInstance, nullptr);
    ASSERT_TRUE(wnd);
    UpdateWindow(wnd);
    Pump(100);
    const TPixelImage first = Capture(wnd);
    // The document's timer: every 50 ms each shown image checks its clock.
    gif->SetAnimate(true);
    for (int tick = 0; tick < 4 && gif->CurrentFrame() == 1; ++tick) {
        Pump(50);
        gif->CheckTime(wnd);
    }
    Pump(100);
    const TPixelImage later = Capture(wnd);
    EXPECT_EQ(gif->CurrentFrame(), 2);
    EXPECT_EQ(first.ColorAt(40, 30), 0x07FE01u);
    EXPECT_EQ(later.ColorAt(40, 30), 0x0EFD02u);
    EXPECT_EQ(later.ColorAt(2, 2), 0xFFFFFFu);
    SaveScreenPng("htmlimages-gif-frame1", first);
    SaveScreenPng("htmlimages-gif-frame2", later);
    DestroyWindow(wnd);
    windowGif = nullptr;
    HtmlImagesShutdown();
}
