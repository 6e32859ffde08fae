// Small Windows routines.
#include "controls/MvFragments.h"

#include "gui/Canvas.h"

#include <algorithm>
#include <cstring>

std::string ShortenTextToWidth(const std::string& S, TCanvas& Canvas, int MaxWidth) {
    return ShortenTextToWidthBy(S, MaxWidth, [&Canvas](const std::string& T) { return Canvas.TextWidth(T); });
}

void KillMessage(HWND Wnd, UINT Msg) {
    MSG M{};
    if (PeekMessageA(&M, Wnd, Msg, Msg, PM_REMOVE) && M.message == WM_QUIT)
        PostQuitMessage(static_cast<int>(M.wParam));
}

namespace {

int DrawTextSafely(HDC DC, const char* Text, int Len, RECT& R, UINT Format) {
    Format &= ~static_cast<UINT>(DT_MODIFYSTRING);
    if (!Text) Text = "";
    return DrawTextA(DC, Text, Len, &R, Format);
}

} // namespace

int DrawTextOnCanvas(TCanvas& Canvas, const char* Text, int Len, RECT& R, UINT Format) {
    // Measuring nothing selects the canvas's font and brush into its DC.
    RECT none{0, 0, 0, 0};
    Canvas.DrawText("", none, DT_CALCRECT);
    return DrawTextSafely(Canvas.Handle(), Text, Len, R, Format);
}

int DrawTextOnDC(HDC DC, const std::string& S, int Len, RECT& R, UINT Format) {
    if (Len > static_cast<int>(S.size())) Len = static_cast<int>(S.size());
    return DrawTextSafely(DC, S.c_str(), Len, R, Format);
}

BOOL CallBitBlt(HDC DestDC, int X, int Y, int Width, int Height, HDC SrcDC, int XSrc, int YSrc, DWORD Rop) {
    return BitBlt(DestDC, X, Y, Width, Height, SrcDC, XSrc, YSrc, Rop);
}

bool SameGUID(const GUID& A, const GUID& B) {
    return IsEqualGUID(A, B) != 0;
}

TMvGUID ToMvGUID(const GUID& G) {
    TMvGUID R;
    R.D1 = static_cast<uint32_t>(G.Data1);
    R.D2 = G.Data2;
    R.D3 = G.Data3;
    std::copy(std::begin(G.Data4), std::end(G.Data4), R.D4.begin());
    return R;
}

void UnloadModuleHandle(HMODULE& Handle) {
    if (Handle) FreeLibrary(Handle);
    Handle = nullptr;
}
