// TControlCanvas, TGraphicControl, TCustomControl.
#include "gui/CustomControl.h"

TControlCanvas::~TControlCanvas() {
    FreeHandle();
}

void TControlCanvas::CreateHandle() {
    auto* wc = dynamic_cast<TWinControl*>(&control_);
    HWND wnd = nullptr;
    if (wc) {
        wnd = wc->Handle();
    } else if (control_.Parent()) {
        wnd = control_.Parent()->Handle();
    }
    if (!wnd) return;
    HDC dc = GetDCEx(wnd, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
    if (!dc) return;
    if (!wc) {
        // A windowless control draws in its part of the parent.
        SetWindowOrgEx(dc, -control_.Left(), -control_.Top(), nullptr);
        IntersectClipRect(dc, 0, 0, control_.Width(), control_.Height());
    }
    dcWindow_ = wnd;
    ownDC_ = dc;
    SetHandle(dc);
}

void TControlCanvas::FreeHandle() {
    if (!ownDC_) return;
    HDC dc = ownDC_;
    HWND wnd = dcWindow_;
    ownDC_ = nullptr;
    dcWindow_ = nullptr;
    SetHandle(nullptr);
    ReleaseDC(wnd, dc);
}

// ---- TGraphicControl --------------------------------------------------------

TGraphicControl::TGraphicControl(TComponent* owner)
    : TControl(owner), canvas_(std::make_unique<TControlCanvas>(*this)) {}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::WndProc(TMessage& m) {
    if (m.Msg == WM_PAINT && m.WParam) {
        const TCanvasDCLoan loan(*canvas_);
        canvas_->SetHandle(reinterpret_cast<HDC>(m.WParam));
        canvas_->Font().Assign(Font());
        Paint();
        return;
    }
    TControl::WndProc(m);
}

void TGraphicControl::Paint() {}

// ---- TCustomControl ---------------------------------------------------------

TCustomControl::TCustomControl(TComponent* owner)
    : TWinControl(owner), canvas_(std::make_unique<TControlCanvas>(*this)) {
    SetControlStyle(ControlStyle() | csAcceptsControls);
}

TCustomControl::~TCustomControl() {
    canvas_->FreeHandle();
}

void TCustomControl::DestroyWnd() {
    canvas_->FreeHandle();
    TWinControl::DestroyWnd();
}

void TCustomControl::PaintWindow(HDC dc) {
    const TCanvasDCLoan loan(*canvas_);
    canvas_->Font().Assign(Font());
    canvas_->Brush().SetColor(Color());
    if (!DoubleBuffered()) {
        canvas_->SetHandle(dc);
        Paint();
        return;
    }
    RECT r = ClientRect();
    TMemoryDC mem(dc);
    TGdiObject<HBITMAP> bmp(
        CreateCompatibleBitmap(dc, std::max<LONG>(r.right, 1), std::max<LONG>(r.bottom, 1)));
    TSelectObject sel(mem.Get(), bmp.Get());
    Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem.Get()), reinterpret_cast<LPARAM>(mem.Get()));
    canvas_->SetHandle(mem.Get());
    Paint();
    canvas_->SetHandle(nullptr);
    BitBlt(dc, 0, 0, r.right, r.bottom, mem.Get(), 0, 0, SRCCOPY);
}

void TCustomControl::Paint() {}
