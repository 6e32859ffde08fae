#include "bench/support/BareNoteWindow.h"

#include "bench/support/BenchProgram.h"

#include <ole2.h>
#include <richedit.h>
#include <richole.h>

#include <algorithm>
#include <cstring>

namespace {

struct TSource {
    const std::string& Text;
    size_t At = 0;
};

DWORD CALLBACK In(DWORD_PTR Cookie, LPBYTE Buffer, LONG Count, LONG* Done) {
    auto* Source = reinterpret_cast<TSource*>(Cookie);
    const size_t N = std::min<size_t>(static_cast<size_t>(Count), Source->Text.size() - Source->At);
    std::memcpy(Buffer, Source->Text.data() + Source->At, N);
    Source->At += N;
    *Done = static_cast<LONG>(N);
    return 0;
}

DWORD CALLBACK Out(DWORD_PTR Cookie, LPBYTE Buffer, LONG Count, LONG* Done) {
    reinterpret_cast<std::string*>(Cookie)->append(reinterpret_cast<char*>(Buffer),
                                                   static_cast<size_t>(Count));
    *Done = Count;
    return 0;
}

} // namespace

TBareNoteWindow::TBareNoteWindow() {
    LoadLibraryA("riched20.dll");
    WNDCLASSA Class{};
    Class.lpfnWndProc = DefWindowProcA;
    Class.hInstance = GetModuleHandleA(nullptr);
    Class.lpszClassName = "BareNoteWindow";
    Class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    RegisterClassA(&Class); // fails harmlessly when a window before this one registered it
    FForm = CreateWindowExA(WS_EX_APPWINDOW, Class.lpszClassName, ":Home", WS_OVERLAPPEDWINDOW, 20, 20, 637,
                            379, nullptr, nullptr, Class.hInstance, nullptr);
    RECT Client{};
    GetClientRect(FForm, &Client);
    FEditor = CreateWindowExA(WS_EX_CLIENTEDGE, "RichEdit20A", "",
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE |
                                  ES_AUTOVSCROLL | ES_SAVESEL | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                              153, 27, Client.right - 153, Client.bottom - 27, FForm, nullptr,
                              Class.hInstance, nullptr);
    ShowWindow(FForm, SW_SHOW);
    SetForegroundWindow(FForm);
    SetFocus(FEditor);
    Pump();
}

TBareNoteWindow::~TBareNoteWindow() {
    DestroyWindow(FForm);
}

void TBareNoteWindow::LoadRtf(const std::string& Rtf) {
    TSource Source{Rtf};
    EDITSTREAM Stream{reinterpret_cast<DWORD_PTR>(&Source), 0, In};
    SendMessageA(FEditor, WM_SETREDRAW, FALSE, 0);
    SendMessageA(FEditor, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&Stream));
    SendMessageA(FEditor, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(FEditor, nullptr, TRUE);
}

std::string TBareNoteWindow::SaveRtf() {
    std::string Rtf;
    EDITSTREAM Stream{reinterpret_cast<DWORD_PTR>(&Rtf), 0, Out};
    SendMessageA(FEditor, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&Stream));
    return Rtf;
}

std::string TBareNoteWindow::Text() {
    GETTEXTLENGTHEX Length{GTL_DEFAULT | GTL_NUMCHARS, CP_ACP};
    const LRESULT Chars = SendMessageA(FEditor, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&Length), 0);
    std::string Text(static_cast<size_t>(std::max<LRESULT>(Chars, 0)) + 1, '\0');
    GETTEXTEX Get{static_cast<DWORD>(Text.size()), GT_DEFAULT, CP_ACP, nullptr, nullptr};
    const LRESULT Got = SendMessageA(FEditor, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&Get),
                                     reinterpret_cast<LPARAM>(Text.data()));
    Text.resize(static_cast<size_t>(std::max<LRESULT>(Got, 0)));
    return Text;
}

long TBareNoteWindow::Objects() {
    IRichEditOle* Ole = nullptr;
    SendMessageA(FEditor, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&Ole));
    if (!Ole) return 0;
    const long Count = Ole->GetObjectCount();
    Ole->Release();
    return Count;
}
