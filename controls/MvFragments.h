// Small Windows routines the buttons, panels and drawing utilities share: text
// shortening on a canvas, rectangle sizes, removing one pending message, DrawText
// and BitBlt wrappers, GUID comparison and module unloading.
#pragma once

#include "controls/MvGuid.h"
#include "controls/MvTextFit.h"

#include <windows.h>

#include <string>

class TCanvas;

// S shortened with "..." until its width on Canvas is at most MaxWidth (see MvTextFit.h).
std::string ShortenTextToWidth(const std::string& S, TCanvas& Canvas, int MaxWidth);

inline int RectWidth(const RECT& R) {
    return R.right - R.left;
}
inline int RectHeight(const RECT& R) {
    return R.bottom - R.top;
}

// Removes one pending Msg of Wnd from the thread's queue. A WM_QUIT taken out this
// way is posted again with its exit code, so a quit request is never lost.
void KillMessage(HWND Wnd, UINT Msg);

// DrawTextA on the canvas's DC. DT_MODIFYSTRING is taken out of Format: Text may be
// a constant, and DrawText must never write into it.
int DrawTextOnCanvas(TCanvas& Canvas, const char* Text, int Len, RECT& R, UINT Format);
// DrawTextA on DC, likewise without DT_MODIFYSTRING; Len -1 means the whole string.
int DrawTextOnDC(HDC DC, const std::string& S, int Len, RECT& R, UINT Format);

BOOL CallBitBlt(HDC DestDC, int X, int Y, int Width, int Height, HDC SrcDC, int XSrc, int YSrc, DWORD Rop);

bool SameGUID(const GUID& A, const GUID& B);
TMvGUID ToMvGUID(const GUID& G);

// FreeLibrary(Handle) when it is not 0; Handle is 0 afterwards in every case.
void UnloadModuleHandle(HMODULE& Handle);
