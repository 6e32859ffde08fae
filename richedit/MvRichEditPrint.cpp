// Printing of the rich-edit control: the page loop over EM_FORMATRANGE, a
// printer DC's document, and the default printer.
#include "richedit/MvRichEdit.h"

#include "base/Exceptions.h"

#include <commdlg.h>

#include <algorithm>

mv::richedit::TPrintLoopResult TMvCustomRichEdit::RenderPages(HDC DC, const RECT& PageTwips,
                                                              const std::function<void()>& NewPage) {
    HandleNeeded();
    const HWND H = Handle();
    int Length;
    if (RichEditVersion() >= 2) {
        GETTEXTLENGTHEX G{GTL_DEFAULT, CP_ACP};
        Length = static_cast<int>(SendMessageA(H, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&G), 0));
    } else {
        Length = GetWindowTextLengthA(H);
    }
    struct TRestore {
        HWND H;
        HDC DC;
        int OldMap;
        ~TRestore() {
            SendMessageA(H, EM_FORMATRANGE, 0, 0);
            SetMapMode(DC, OldMap);
        }
    } Restore{H, DC, SetMapMode(DC, MM_TEXT)};
    SendMessageA(H, EM_FORMATRANGE, 0, 0);
    FORMATRANGE FR{};
    FR.hdc = DC;
    FR.hdcTarget = DC;
    FR.rcPage = PageTwips;
    return mv::richedit::RunPrintLoop(
        Length,
        [&](int From) {
            FR.rc = PageTwips;
            FR.chrg.cpMin = From;
            FR.chrg.cpMax = -1;
            return static_cast<int>(SendMessageA(H, EM_FORMATRANGE, 1, reinterpret_cast<LPARAM>(&FR)));
        },
        NewPage);
}

void TMvCustomRichEdit::PrintTextOn(HDC DC, const std::string& Caption) {
    DOCINFOA Doc{};
    Doc.cbSize = sizeof(Doc);
    Doc.lpszDocName = Caption.c_str();
    if (StartDocA(DC, &Doc) <= 0) throw EInvalidOperation("Printing failed");
    struct TDoc {
        HDC DC;
        bool Ended = false;
        ~TDoc() {
            if (!Ended) AbortDoc(DC);
        }
    } DocGuard{DC};
    const int PX = std::max(1, GetDeviceCaps(DC, LOGPIXELSX));
    const int PY = std::max(1, GetDeviceCaps(DC, LOGPIXELSY));
    RECT Twips;
    if (IsRectEmpty(&FPageRect)) {
        Twips = RECT{0, 0, MulDiv(GetDeviceCaps(DC, HORZRES), 1440, PX),
                     MulDiv(GetDeviceCaps(DC, VERTRES), 1440, PY)};
    } else {
        Twips = RECT{MulDiv(FPageRect.left, 1440, PX), MulDiv(FPageRect.top, 1440, PY),
                     MulDiv(FPageRect.right, 1440, PX), MulDiv(FPageRect.bottom, 1440, PY)};
    }
    StartPage(DC);
    RenderPages(DC, Twips, [DC] {
        EndPage(DC);
        StartPage(DC);
    });
    EndPage(DC);
    EndDoc(DC);
    DocGuard.Ended = true;
}

void TMvCustomRichEdit::PrintText(const std::string& Caption) {
    PRINTDLGA PD{};
    PD.lStructSize = sizeof(PD);
    PD.Flags = PD_RETURNDEFAULT | PD_RETURNDC;
    if (!PrintDlgA(&PD) || !PD.hDC) throw EInvalidOperation("There is no default printer");
    struct TPrinter {
        PRINTDLGA& PD;
        ~TPrinter() {
            DeleteDC(PD.hDC);
            if (PD.hDevMode) GlobalFree(PD.hDevMode);
            if (PD.hDevNames) GlobalFree(PD.hDevNames);
        }
    } Printer{PD};
    PrintTextOn(PD.hDC, Caption);
}
