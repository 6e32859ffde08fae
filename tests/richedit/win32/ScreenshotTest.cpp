// Takes a picture of a form holding the rich edit with formatted text, as a
// user would see it, and writes it to richedit-form.bmp in the working folder.
#include "richedit/MvRichEdit.h"
#include "richedit/MvRichEditStrings.h"

#include "base/Streams.h"
#include "tests/support/TestForm.h"
#include "tests/support/ScreenWait.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <vector>

namespace {

const char kDocument[] =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern Courier New;}}"
    "{\\colortbl;\\red200\\green0\\blue0;\\red0\\green0\\blue200;\\red0\\green128\\blue0;}"
    "\\pard\\fs32\\b Miravelund notes\\b0\\par"
    "\\pard\\fs20 Plain text, {\\b bold}, {\\i italic}, {\\ul underlined} and {\\strike struck} words.\\par"
    "\\pard\\fs20 Colours: {\\cf1 red}, {\\cf2 blue}, {\\cf3 green}; sizes {\\fs16 small} {\\fs28 "
    "large}.\\par"
    "\\pard{\\pntext\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnindent300{\\pntxtb\\'B7}}\\fi-300\\li600 First "
    "bullet\\par"
    "\\pard{\\pntext\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnindent300{\\pntxtb\\'B7}}\\fi-300\\li600 Second "
    "bullet\\par"
    "\\pard\\li1200 {\\f1 An indented line in a fixed font}\\par"
    "\\pard See http://example.org for more.\\par}";

void WriteBmp(const char* Path, int W, int H, const std::vector<std::uint8_t>& Bgr) {
    const int Stride = (W * 3 + 3) & ~3;
    BITMAPFILEHEADER F{};
    BITMAPINFOHEADER I{};
    I.biSize = sizeof(I);
    I.biWidth = W;
    I.biHeight = -H;
    I.biPlanes = 1;
    I.biBitCount = 24;
    F.bfType = 0x4D42;
    F.bfOffBits = sizeof(F) + sizeof(I);
    F.bfSize = F.bfOffBits + static_cast<DWORD>(Stride * H);
    std::FILE* Out = std::fopen(Path, "wb");
    ASSERT_NE(Out, nullptr);
    std::fwrite(&F, sizeof(F), 1, Out);
    std::fwrite(&I, sizeof(I), 1, Out);
    std::fwrite(Bgr.data(), 1, Bgr.size(), Out);
    std::fclose(Out);
}

} // namespace

TEST(RichEditScreenshot, FormWithFormattedText) {
    Application->Initialize();
    TForm Form(nullptr);
    Form.SetBounds(60, 60, 560, 300);
    Form.SetCaption("Miravelund - rich edit");
    auto* Edit = new TMvRichEdit(&Form);
    Edit->SetParent(&Form);
    Edit->SetAlign(TAlign::alClient);
    TStringStream S(kDocument);
    Edit->Lines().LoadFromStream(S);
    Form.Show();
    // Above anything another test shows meanwhile on the same display.
    SetWindowPos(Form.Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(Form.Handle());
    ASSERT_TRUE(mv::test::RepaintAndWaitUntilShown(Form.Handle()));

    RECT R{};
    GetWindowRect(Form.Handle(), &R);
    const int W = R.right - R.left, H = R.bottom - R.top;
    TWindowDC Screen(nullptr);
    TMemoryDC Mem(Screen.Get());
    BITMAPINFO Info{};
    Info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    Info.bmiHeader.biWidth = W;
    Info.bmiHeader.biHeight = -H;
    Info.bmiHeader.biPlanes = 1;
    Info.bmiHeader.biBitCount = 24;
    void* Bits = nullptr;
    TGdiObject<HBITMAP> Dib(CreateDIBSection(Screen.Get(), &Info, DIB_RGB_COLORS, &Bits, nullptr, 0));
    ASSERT_TRUE(Dib);
    {
        TSelectObject Sel(Mem.Get(), Dib.Get());
        ASSERT_TRUE(BitBlt(Mem.Get(), 0, 0, W, H, Screen.Get(), R.left, R.top, SRCCOPY));
    }
    GdiFlush();
    const int Stride = (W * 3 + 3) & ~3;
    std::vector<std::uint8_t> Pixels(static_cast<std::uint8_t*>(Bits),
                                     static_cast<std::uint8_t*>(Bits) + Stride * H);
    WriteBmp("richedit-form.bmp", W, H, Pixels);

    // What a user sees: many colours of text, among them the red of "red".
    std::set<std::uint32_t> Colours;
    bool Reddish = false;
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X) {
            const std::uint8_t* P = &Pixels[static_cast<std::size_t>(Y * Stride + X * 3)];
            Colours.insert(P[0] | (P[1] << 8) | (P[2] << 16));
            if (P[2] > 150 && P[1] < 80 && P[0] < 80) Reddish = true;
        }
    EXPECT_GT(Colours.size(), 8u);
    EXPECT_TRUE(Reddish);
}
