// TCustomMaskEdit.
#include "gui/Mask.h"

#include <algorithm>
#include <cstring>

TCustomMaskEdit::TCustomMaskEdit(TComponent* owner) : TCustomEdit(owner) {}

void TCustomMaskEdit::CreateParams(TCreateParams& params) {
    TCustomEdit::CreateParams(params);
    params.Style |= ES_MULTILINE;
    params.Style &= ~static_cast<DWORD>(ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL | WS_HSCROLL);
}

void TCustomMaskEdit::SetEditRect(const RECT& rect) {
    RECT r = rect;
    SendMessageA(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
}

RECT TCustomMaskEdit::EditRect() {
    RECT r{};
    SendMessageA(Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
    return r;
}

namespace {

// One line only: text from the first line break on is dropped, as a single-line edit does.
std::string OneLine(const std::string& text) {
    std::string out = text;
    auto cut = out.find_first_of("\r\n");
    if (cut != std::string::npos) out.resize(cut);
    return out;
}

} // namespace

void TCustomMaskEdit::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_GETDLGCODE:
        // A multi-line EDIT asks for every key; a single-line edit leaves Enter,
        // Escape and Tab to the dialog.
        TCustomEdit::WndProc(m);
        m.Result &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS | DLGC_WANTTAB);
        return;
    case WM_CHAR:
        if (m.WParam == '\r' || m.WParam == '\n' || m.WParam == '\t') return;
        break;
    case WM_KEYDOWN:
        if (m.WParam == VK_RETURN) return;
        break;
    case WM_SETTEXT:
    case EM_REPLACESEL:
        if (m.LParam) {
            std::string line = OneLine(reinterpret_cast<const char*>(m.LParam));
            m.LParam = reinterpret_cast<LPARAM>(line.c_str());
            TCustomEdit::WndProc(m);
            return;
        }
        break;
    case WM_PASTE: {
        // Pasted text keeps only its first line, like a single-line edit.
        if (!OpenClipboard(Handle())) break;
        std::string text;
        if (HANDLE data = GetClipboardData(CF_TEXT)) {
            if (const char* p = static_cast<const char*>(GlobalLock(data))) {
                text.assign(p, strnlen(p, GlobalSize(data)));
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
        if (text.find_first_of("\r\n") == std::string::npos) break;
        std::string line = OneLine(text);
        TMessage replace{EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(line.c_str()), 0};
        TCustomEdit::WndProc(replace);
        return;
    }
    default:
        break;
    }
    TCustomEdit::WndProc(m);
}
