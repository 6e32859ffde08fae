// Colours (TColor), fonts with a shared HFONT cache, brushes and pens.
#pragma once

#include "base/FontStyle.h"
#include "base/Object.h"
#include "gui/GdiGuards.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

// A colour: an RGB value (0x00BBGGRR), a system colour (0x80000000 | COLOR_x),
// or one of the two special values.
using TColor = int32_t;

constexpr TColor SystemColor(int index) {
    return static_cast<TColor>(0x80000000u | static_cast<unsigned>(index));
}

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clInfoBkDefault = 0xE1FFFF;

constexpr TColor clScrollBar = SystemColor(COLOR_SCROLLBAR);
constexpr TColor clBackground = SystemColor(COLOR_BACKGROUND);
constexpr TColor clActiveCaption = SystemColor(COLOR_ACTIVECAPTION);
constexpr TColor clInactiveCaption = SystemColor(COLOR_INACTIVECAPTION);
constexpr TColor clMenu = SystemColor(COLOR_MENU);
constexpr TColor clWindow = SystemColor(COLOR_WINDOW);
constexpr TColor clWindowFrame = SystemColor(COLOR_WINDOWFRAME);
constexpr TColor clMenuText = SystemColor(COLOR_MENUTEXT);
constexpr TColor clWindowText = SystemColor(COLOR_WINDOWTEXT);
constexpr TColor clCaptionText = SystemColor(COLOR_CAPTIONTEXT);
constexpr TColor clActiveBorder = SystemColor(COLOR_ACTIVEBORDER);
constexpr TColor clInactiveBorder = SystemColor(COLOR_INACTIVEBORDER);
constexpr TColor clAppWorkSpace = SystemColor(COLOR_APPWORKSPACE);
constexpr TColor clHighlight = SystemColor(COLOR_HIGHLIGHT);
constexpr TColor clHighlightText = SystemColor(COLOR_HIGHLIGHTTEXT);
constexpr TColor clBtnFace = SystemColor(COLOR_BTNFACE);
constexpr TColor clBtnShadow = SystemColor(COLOR_BTNSHADOW);
constexpr TColor clGrayText = SystemColor(COLOR_GRAYTEXT);
constexpr TColor clBtnText = SystemColor(COLOR_BTNTEXT);
constexpr TColor clInactiveCaptionText = SystemColor(COLOR_INACTIVECAPTIONTEXT);
constexpr TColor clBtnHighlight = SystemColor(COLOR_BTNHIGHLIGHT);
constexpr TColor cl3DDkShadow = SystemColor(COLOR_3DDKSHADOW);
constexpr TColor cl3DLight = SystemColor(COLOR_3DLIGHT);
constexpr TColor clInfoText = SystemColor(COLOR_INFOTEXT);
constexpr TColor clInfoBk = SystemColor(COLOR_INFOBK);
constexpr TColor clHotLight = SystemColor(COLOR_HOTLIGHT);

// The RGB value of a colour: system colours are looked up, clNone gives black and
// clDefault the window colour; plain values keep their low 24 bits.
COLORREF ColorToRGB(TColor color);
bool IsSystemColor(TColor color);

using TFontStyles = unsigned;
enum class TFontPitch { fpDefault, fpVariable, fpFixed };

struct TFontResource;

// A logical font. Its HFONT comes from a process-wide cache: fonts with the same
// description share one handle, which lives while any TFont uses it.
class TFont : public TObject {
public:
    TFont();
    ~TFont() override;
    TFont(const TFont&) = delete;
    TFont& operator=(const TFont&) = delete;

    void Assign(const TFont& source);
    bool SameAs(const TFont& other) const;

    HFONT Handle() const;
    // Takes the description of a foreign font; the foreign handle itself is not kept.
    void SetHandle(HFONT font);

    const std::string& Name() const { return name_; }
    void SetName(const std::string& name);
    int Size() const;
    void SetSize(int points);
    int Height() const { return height_; }
    void SetHeight(int height);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles style);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    BYTE Charset() const { return charset_; }
    void SetCharset(BYTE charset);
    TFontPitch Pitch() const { return pitch_; }
    void SetPitch(TFontPitch pitch);
    int PixelsPerInch() const { return pixelsPerInch_; }
    void SetPixelsPerInch(int ppi) { pixelsPerInch_ = ppi; }

    LOGFONTA LogFont() const;

    TNotifyEvent OnChange;

    // Number of distinct live handles in the cache (for tests and diagnostics).
    static size_t CachedHandleCount();
    // Screen pixels per logical inch, read once.
    static int ScreenPixelsPerInch();

protected:
    virtual void Changed();

private:
    // Forgets the handle and reports the change; the old handle is freed afterwards, once
    // the DCs have let go of it.
    void Recreate();
    // Sets a field that the handle is made of; nothing happens when it keeps its value.
    template <typename T> void Update(T& field, T value);

    std::string name_ = "Tahoma";
    int height_;
    TFontStyles style_ = 0;
    TColor color_ = clWindowText;
    BYTE charset_ = DEFAULT_CHARSET;
    TFontPitch pitch_ = TFontPitch::fpDefault;
    int pixelsPerInch_;
    mutable std::shared_ptr<TFontResource> resource_;
};

enum class TBrushStyle {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};

// What TBrush and TPen share: a handle made on first use and dropped by every change that
// alters it. A dropped handle is deleted after OnChange, once its users have switched over.
template <typename H> class TGdiTool : public TObject {
public:
    TNotifyEvent OnChange;

protected:
    virtual void Changed() {
        if (OnChange) OnChange(this);
    }
    // Drops the handle and reports the change; the old handle is freed afterwards.
    void Recreate() {
        TGdiObject<H> old = std::move(handle_);
        Changed();
    }
    // Sets a field that the handle is made of; nothing happens when it keeps its value.
    template <typename T> void Update(T& field, T value) {
        if (field == value) return;
        field = value;
        Recreate();
    }

    mutable TGdiObject<H> handle_;
};

class TBrush : public TGdiTool<HBRUSH> {
public:
    TBrush() = default;
    TBrush(const TBrush&) = delete;
    TBrush& operator=(const TBrush&) = delete;

    void Assign(const TBrush& source);
    HBRUSH Handle() const;
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TBrushStyle Style() const { return style_; }
    void SetStyle(TBrushStyle style) { Update(style_, style); }

private:
    TColor color_ = clWhite;
    TBrushStyle style_ = TBrushStyle::bsSolid;
};

enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum class TPenMode { pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMerge, pmMask, pmXor };

class TPen : public TGdiTool<HPEN> {
public:
    TPen() = default;
    TPen(const TPen&) = delete;
    TPen& operator=(const TPen&) = delete;

    void Assign(const TPen& source);
    HPEN Handle() const;
    TColor Color() const { return color_; }
    void SetColor(TColor color) { Update(color_, color); }
    int Width() const { return width_; }
    void SetWidth(int width) {
        if (width >= 0) Update(width_, width);
    }
    TPenStyle Style() const { return style_; }
    void SetStyle(TPenStyle style) { Update(style_, style); }
    TPenMode Mode() const { return mode_; }
    void SetMode(TPenMode mode);
    // The ROP2 code of Mode.
    int Rop2() const;

private:
    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = TPenStyle::psSolid;
    TPenMode mode_ = TPenMode::pmCopy;
};
