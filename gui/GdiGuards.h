// Small RAII owners for GDI and USER handles: DCs, saved DC state, selected objects, GDI objects.
#pragma once

#include <windows.h>

#include <utility>

// Owns one GDI object (font, brush, pen, bitmap, region) and deletes it.
template <typename H> class TGdiObject {
public:
    TGdiObject() = default;
    explicit TGdiObject(H handle) : handle_(handle) {}
    ~TGdiObject() { Reset(); }
    TGdiObject(const TGdiObject&) = delete;
    TGdiObject& operator=(const TGdiObject&) = delete;
    TGdiObject(TGdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    TGdiObject& operator=(TGdiObject&& other) noexcept {
        if (this != &other) {
            Reset();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    H Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    H Release() { return std::exchange(handle_, nullptr); }
    void Reset(H handle = nullptr) {
        if (handle_) DeleteObject(handle_);
        handle_ = handle;
    }

private:
    H handle_ = nullptr;
};

// SaveDC on construction, RestoreDC to exactly that level on destruction, also
// while an exception unwinds.
class TSavedDC {
public:
    explicit TSavedDC(HDC dc) : dc_(dc), level_(dc ? SaveDC(dc) : 0) {}
    ~TSavedDC() {
        if (dc_ && level_ > 0) RestoreDC(dc_, level_);
    }
    TSavedDC(const TSavedDC&) = delete;
    TSavedDC& operator=(const TSavedDC&) = delete;

private:
    HDC dc_;
    int level_;
};

// Selects an object into a DC and puts the previous one back.
class TSelectObject {
public:
    TSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? SelectObject(dc, object) : nullptr) {}
    ~TSelectObject() {
        if (old_) SelectObject(dc_, old_);
    }
    TSelectObject(const TSelectObject&) = delete;
    TSelectObject& operator=(const TSelectObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// Selects a palette into a DC and realizes it (nothing for nullptr), and puts the previous one
// back. In the background the palette does not take over the system palette.
class TSelectPalette {
public:
    TSelectPalette(HDC dc, HPALETTE palette, bool background)
        : dc_(dc), background_(background), old_(palette ? SelectPalette(dc, palette, background) : nullptr) {
        if (palette) RealizePalette(dc);
    }
    ~TSelectPalette() {
        if (old_) SelectPalette(dc_, old_, background_);
    }
    TSelectPalette(const TSelectPalette&) = delete;
    TSelectPalette& operator=(const TSelectPalette&) = delete;

private:
    HDC dc_;
    BOOL background_;
    HPALETTE old_;
};

// GetDC / ReleaseDC of a window (nullptr: the screen).
class TWindowDC {
public:
    explicit TWindowDC(HWND wnd) : wnd_(wnd), dc_(GetDC(wnd)) {}
    ~TWindowDC() {
        if (dc_) ReleaseDC(wnd_, dc_);
    }
    TWindowDC(const TWindowDC&) = delete;
    TWindowDC& operator=(const TWindowDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND wnd_;
    HDC dc_;
};

// BeginPaint / EndPaint.
class TPaintDC {
public:
    explicit TPaintDC(HWND wnd) : wnd_(wnd) { dc_ = BeginPaint(wnd, &ps_); }
    ~TPaintDC() { EndPaint(wnd_, &ps_); }
    TPaintDC(const TPaintDC&) = delete;
    TPaintDC& operator=(const TPaintDC&) = delete;
    HDC Get() const { return dc_; }
    const PAINTSTRUCT& Info() const { return ps_; }

private:
    HWND wnd_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// A memory DC compatible with another DC (nullptr: the screen), deleted on destruction.
class TMemoryDC {
public:
    explicit TMemoryDC(HDC compatible = nullptr) : dc_(CreateCompatibleDC(compatible)) {}
    ~TMemoryDC() {
        if (dc_) DeleteDC(dc_);
    }
    TMemoryDC(const TMemoryDC&) = delete;
    TMemoryDC& operator=(const TMemoryDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
};
