// Colours, the shared font cache, brushes and pens.
#include "gui/GraphicsObjects.h"

#include "gui/GdiGuards.h"

#include <cstring>
#include <utility>
#include <map>
#include <tuple>

COLORREF ColorToRGB(TColor color) {
    if (color == clNone) return RGB(0, 0, 0);
    if (color == clDefault) return GetSysColor(COLOR_WINDOW);
    if (IsSystemColor(color)) return GetSysColor(static_cast<int>(static_cast<uint32_t>(color) & 0xFF));
    return static_cast<COLORREF>(color) & 0x00FFFFFF;
}

bool IsSystemColor(TColor color) {
    return (static_cast<uint32_t>(color) & 0x80000000u) != 0;
}

// ---- Font cache -------------------------------------------------------------

namespace {

using FontKey = std::tuple<std::string, int, unsigned, BYTE, int>;

std::map<FontKey, std::weak_ptr<TFontResource>>& FontCache() {
    // Never destroyed: fonts that outlive static destruction still find it.
    static auto* cache = new std::map<FontKey, std::weak_ptr<TFontResource>>;
    return *cache;
}

} // namespace

struct TFontResource {
    FontKey key;
    HFONT handle = nullptr;
    ~TFontResource() {
        auto& cache = FontCache();
        auto it = cache.find(key);
        if (it != cache.end() && it->second.expired()) cache.erase(it);
        if (handle) DeleteObject(handle);
    }
};

int TFont::ScreenPixelsPerInch() {
    static int ppi = [] {
        TWindowDC dc(nullptr);
        int v = dc.Get() ? GetDeviceCaps(dc.Get(), LOGPIXELSY) : 96;
        return v > 0 ? v : 96;
    }();
    return ppi;
}

size_t TFont::CachedHandleCount() {
    size_t n = 0;
    for (auto& [key, weak] : FontCache()) {
        if (!weak.expired()) ++n;
    }
    return n;
}

TFont::TFont() : pixelsPerInch_(ScreenPixelsPerInch()) {
    height_ = -MulDiv(8, pixelsPerInch_, 72);
}

TFont::~TFont() = default;

void TFont::Assign(const TFont& source) {
    if (&source == this) return;
    name_ = source.name_;
    height_ = source.height_;
    style_ = source.style_;
    color_ = source.color_;
    charset_ = source.charset_;
    pitch_ = source.pitch_;
    pixelsPerInch_ = source.pixelsPerInch_;
    auto old = std::exchange(resource_, source.resource_); // freed after the users have switched over
    Changed();
}

bool TFont::SameAs(const TFont& other) const {
    return name_ == other.name_ && height_ == other.height_ && style_ == other.style_ &&
           color_ == other.color_ && charset_ == other.charset_ && pitch_ == other.pitch_;
}

LOGFONTA TFont::LogFont() const {
    LOGFONTA lf{};
    lf.lfHeight = height_;
    lf.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (style_ & fsItalic) ? 1 : 0;
    lf.lfUnderline = (style_ & fsUnderline) ? 1 : 0;
    lf.lfStrikeOut = (style_ & fsStrikeOut) ? 1 : 0;
    lf.lfCharSet = charset_;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    switch (pitch_) {
    case TFontPitch::fpDefault:
        lf.lfPitchAndFamily = DEFAULT_PITCH;
        break;
    case TFontPitch::fpVariable:
        lf.lfPitchAndFamily = VARIABLE_PITCH;
        break;
    case TFontPitch::fpFixed:
        lf.lfPitchAndFamily = FIXED_PITCH;
        break;
    }
    // Face names hold at most 31 bytes and the terminating NUL.
    size_t n = std::min(name_.size(), sizeof(lf.lfFaceName) - 1);
    std::memcpy(lf.lfFaceName, name_.data(), n);
    lf.lfFaceName[n] = '\0';
    return lf;
}

HFONT TFont::Handle() const {
    if (resource_) return resource_->handle;
    FontKey key{name_, height_, style_, charset_, static_cast<int>(pitch_)};
    auto& cache = FontCache();
    auto it = cache.find(key);
    if (it != cache.end()) {
        if (auto shared = it->second.lock()) {
            resource_ = shared;
            return resource_->handle;
        }
        cache.erase(it);
    }
    LOGFONTA lf = LogFont();
    auto res = std::make_shared<TFontResource>();
    res->key = key;
    res->handle = CreateFontIndirectA(&lf);
    cache[key] = res;
    resource_ = res;
    return resource_->handle;
}

void TFont::SetHandle(HFONT font) {
    LOGFONTA lf{};
    if (!font || GetObjectA(font, sizeof(lf), &lf) == 0) return;
    lf.lfFaceName[sizeof(lf.lfFaceName) - 1] = '\0';
    name_ = lf.lfFaceName;
    height_ = lf.lfHeight;
    style_ = 0;
    if (lf.lfWeight >= FW_BOLD) style_ |= fsBold;
    if (lf.lfItalic) style_ |= fsItalic;
    if (lf.lfUnderline) style_ |= fsUnderline;
    if (lf.lfStrikeOut) style_ |= fsStrikeOut;
    charset_ = lf.lfCharSet;
    switch (lf.lfPitchAndFamily & 3) {
    case VARIABLE_PITCH:
        pitch_ = TFontPitch::fpVariable;
        break;
    case FIXED_PITCH:
        pitch_ = TFontPitch::fpFixed;
        break;
    default:
        pitch_ = TFontPitch::fpDefault;
        break;
    }
    Recreate();
}

void TFont::Recreate() {
    auto old = std::exchange(resource_, nullptr); // freed after the users have switched over
    Changed();
}

template <typename T> void TFont::Update(T& field, T value) {
    if (field == value) return;
    field = value;
    Recreate();
}

void TFont::SetName(const std::string& name) {
    if (!name.empty()) Update(name_, name);
}

int TFont::Size() const {
    return -MulDiv(height_, 72, pixelsPerInch_);
}

void TFont::SetSize(int points) {
    SetHeight(-MulDiv(points, pixelsPerInch_, 72));
}

void TFont::SetHeight(int height) {
    Update(height_, height);
}

void TFont::SetStyle(TFontStyles style) {
    Update(style_, style);
}

void TFont::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    Changed();
}

void TFont::SetCharset(BYTE charset) {
    Update(charset_, charset);
}

void TFont::SetPitch(TFontPitch pitch) {
    Update(pitch_, pitch);
}

void TFont::Changed() {
    if (OnChange) OnChange(this);
}

// ---- Brush ------------------------------------------------------------------

void TBrush::Assign(const TBrush& source) {
    if (&source == this) return;
    color_ = source.color_;
    style_ = source.style_;
    Recreate();
}

HBRUSH TBrush::Handle() const {
    if (handle_) return handle_.Get();
    LOGBRUSH lb{};
    lb.lbColor = ColorToRGB(color_);
    switch (style_) {
    case TBrushStyle::bsSolid:
        lb.lbStyle = BS_SOLID;
        break;
    case TBrushStyle::bsClear:
        lb.lbStyle = BS_HOLLOW;
        break;
    default:
        lb.lbStyle = BS_HATCHED;
        lb.lbHatch =
            static_cast<ULONG_PTR>(static_cast<int>(style_) - static_cast<int>(TBrushStyle::bsHorizontal));
        break;
    }
    handle_.Reset(CreateBrushIndirect(&lb));
    return handle_.Get();
}

void TBrush::SetColor(TColor color) {
    // A colour makes a clear brush solid again, even when the colour stays.
    if (color == color_ && style_ != TBrushStyle::bsClear) return;
    color_ = color;
    if (style_ == TBrushStyle::bsClear) style_ = TBrushStyle::bsSolid;
    Recreate();
}

// ---- Pen --------------------------------------------------------------------

void TPen::Assign(const TPen& source) {
    if (&source == this) return;
    color_ = source.color_;
    width_ = source.width_;
    style_ = source.style_;
    mode_ = source.mode_;
    Recreate();
}

HPEN TPen::Handle() const {
    if (handle_) return handle_.Get();
    static const int styles[] = {PS_SOLID,      PS_DASH, PS_DOT,        PS_DASHDOT,
                                 PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
    handle_.Reset(CreatePen(styles[static_cast<int>(style_)], width_, ColorToRGB(color_)));
    return handle_.Get();
}

void TPen::SetMode(TPenMode mode) {
    // The mode is applied by the canvas, not made into the handle.
    if (mode == mode_) return;
    mode_ = mode;
    Changed();
}

int TPen::Rop2() const {
    static const int codes[] = {R2_BLACK,      R2_WHITE,    R2_NOP,     R2_NOT,   R2_COPYPEN,
                                R2_NOTCOPYPEN, R2_MERGEPEN, R2_MASKPEN, R2_XORPEN};
    return codes[static_cast<int>(mode_)];
}
