// The display side of the viewer's pictures.
#include "htmlview/HtmlImageDisplay.h"

#include <algorithm>
#include <cstring>

#include "gui/GdiGuards.h"
#include "htmlview/HtmlDither.h"
#include "htmlview/HtmlImageCache.h"

int TargetBits(HDC dc) {
    // A memory DC draws into its selected bitmap; any other into its device.
    BITMAP bm{};
    if (GetObjectType(dc) == OBJ_MEMDC && GetObjectA(GetCurrentObject(dc, OBJ_BITMAP), sizeof bm, &bm))
        return bm.bmBitsPixel * bm.bmPlanes;
    return GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
}

int DisplayColorBits = 24;

namespace {
int startupCount = 0;
HCURSOR cursors[6] = {};

// What start-up makes and shut-down frees. A process that never shuts down frees them at exit.
struct TDisplayResources {
    TGdiObject<HPALETTE> palette;
    std::unique_ptr<TBitmap> pending;
    std::unique_ptr<TBitmap> error;
    std::unique_ptr<TBitmap> errorMask;
    std::unique_ptr<TMemoryStream> later;
};

TDisplayResources& Resources() {
    static TDisplayResources resources;
    return resources;
}

// A 16 x 16 placeholder drawn in code: a page with a folded corner (pending) or a red cross in a
// frame (error), and the error picture's mask with its corners see-through.
std::unique_ptr<TBitmap> DrawPlaceholder(bool error) {
    TPixelImage image;
    image.Allocate(16, 16);
    auto put = [&](int x, int y, uint32_t rgb) {
        uint8_t* p = image.Row(y) + x * 3;
        p[0] = static_cast<uint8_t>(rgb >> 16), p[1] = static_cast<uint8_t>(rgb >> 8),
        p[2] = static_cast<uint8_t>(rgb);
    };
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool border = x == 1 || y == 1 || x == 14 || y == 14;
            const bool inside = x >= 1 && x <= 14 && y >= 1 && y <= 14;
            uint32_t rgb = 0xC0C0C0;
            if (inside) rgb = border ? 0x808080 : 0xFFFFFF;
            if (error && inside && !border && (x == y || x == 15 - y)) rgb = 0x0000FF;
            if (!error && inside && !border && y >= 9 && y <= 12 && x >= 4 && x <= 11)
                rgb = (x + y) % 2 ? 0x008000 : 0x800000;
            if (!error && x + (14 - y) >= 24) rgb = 0xC0C0C0;
            put(x, y, rgb);
        }
    return BitmapFromPixels(image);
}

std::unique_ptr<TBitmap> PlaceholderMask() {
    TPixelMask mask;
    mask.Allocate(16, 16, 0);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (x < 1 || y < 1 || x > 14 || y > 14) mask.At(x, y) = 1;
    return MaskFromPixels(mask);
}

// A bitmap resource of the program copied into a bitmap of the given format, or nullptr when
// the program carries no such resource.
std::unique_ptr<TBitmap> ResourceBitmap(int id, TPixelFormat format) {
    auto* handle = static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!handle) return nullptr;
    TGdiObject<HBITMAP> loaded(handle);
    BITMAP bm{};
    GetObjectA(handle, sizeof bm, &bm);
    auto bitmap = std::make_unique<TBitmap>(bm.bmWidth, bm.bmHeight, format);
    TMemoryDC source;
    TSelectObject select(source.Get(), handle);
    BitBlt(bitmap->Canvas().Handle(), 0, 0, bm.bmWidth, bm.bmHeight, source.Get(), 0, 0, SRCCOPY);
    return bitmap;
}

// A cursor resource of the program, else the system's cursor of a like role. Cursors loaded
// from resources are shared and never destroyed.
HCURSOR ResourceCursor(const char* name, const char* fallback) {
    if (HCURSOR own = LoadCursorA(GetModuleHandleA(nullptr), name)) return own;
    return LoadCursorA(nullptr, fallback);
}

std::array<uint32_t, 256> ScreenSystemPalette(HDC dc) {
    PALETTEENTRY entries[256]{};
    GetSystemPaletteEntries(dc, 0, 256, entries);
    std::array<uint32_t, 256> out{};
    for (int i = 0; i < 256; ++i)
        out[i] = entries[i].peRed | (entries[i].peGreen << 8) | (uint32_t{entries[i].peBlue} << 16);
    return out;
}

std::vector<uint32_t> PaletteColors(HPALETTE palette, int maxCount) {
    std::vector<uint32_t> out;
    if (!palette) return out;
    WORD count = 0;
    GetObjectA(palette, sizeof count, &count);
    count = static_cast<WORD>(std::min<int>(count, maxCount));
    std::vector<PALETTEENTRY> entries(count);
    if (count) GetPaletteEntries(palette, 0, count, entries.data());
    for (const PALETTEENTRY& e : entries)
        out.push_back(e.peRed | (e.peGreen << 8) | (uint32_t{e.peBlue} << 16));
    return out;
}

HPALETTE PaletteOf(const std::vector<uint32_t>& colors) {
    if (colors.empty()) return nullptr;
    std::vector<uint8_t> buffer(sizeof(LOGPALETTE) + colors.size() * sizeof(PALETTEENTRY));
    auto* log = reinterpret_cast<LOGPALETTE*>(buffer.data());
    log->palVersion = 0x300;
    log->palNumEntries = static_cast<WORD>(colors.size());
    for (size_t i = 0; i < colors.size(); ++i)
        log->palPalEntry[i] = PALETTEENTRY{static_cast<BYTE>(colors[i]), static_cast<BYTE>(colors[i] >> 8),
                                           static_cast<BYTE>(colors[i] >> 16), 0};
    return CreatePalette(log);
}

bool IsMonochrome(HDC dc) {
    return TargetBits(dc) == 1;
}
} // namespace

HPALETTE DisplayPalette() {
    return Resources().palette.Get();
}
TBitmap* ImagePendingBitmap() {
    return Resources().pending.get();
}
TBitmap* ImageErrorBitmap() {
    return Resources().error.get();
}
TBitmap* ImageErrorMask() {
    return Resources().errorMask.get();
}
TMemoryStream* ImageLaterStream() {
    return Resources().later.get();
}

void SetDisplayColors(int bitsTimesPlanes, const std::array<uint32_t, 256>& systemPalette) {
    DisplayColorBits = DisplayColorBitsFor(bitsTimesPlanes);
    Resources().palette.Reset();
    if (DisplayColorBits == 8) {
        const std::array<uint32_t, 256> entries = BuildDisplayPaletteEntries(systemPalette);
        Resources().palette.Reset(PaletteOf(std::vector<uint32_t>(entries.begin(), entries.end())));
    }
}

void HtmlImagesStartup() {
    if (startupCount++ > 0) return;
    {
        TWindowDC screen(nullptr);
        SetDisplayColors(GetDeviceCaps(screen.Get(), BITSPIXEL) * GetDeviceCaps(screen.Get(), PLANES),
                         ScreenSystemPalette(screen.Get()));
    }
    // The program's own pictures (htmlview/res); drawn here for a program without them.
    auto pending = ResourceBitmap(1002, TPixelFormat::pf24bit);
    auto error = ResourceBitmap(1001, TPixelFormat::pf24bit);
    auto mask = ResourceBitmap(1005, TPixelFormat::pf1bit);
    if (!error || !mask) {
        error = DrawPlaceholder(true);
        mask = PlaceholderMask();
    }
    TDisplayResources& own = Resources();
    own.pending = pending ? std::move(pending) : DrawPlaceholder(false);
    own.error = std::move(error);
    own.errorMask = std::move(mask);
    cursors[1] = ResourceCursor(MAKEINTRESOURCEA(1003), IDC_HAND);
    cursors[2] = ResourceCursor(MAKEINTRESOURCEA(1006), IDC_IBEAM);
    cursors[3] = ResourceCursor("UPDOWNCURSOR", IDC_SIZENS);
    cursors[4] = ResourceCursor("UPONLYCURSOR", IDC_UPARROW);
    cursors[5] = ResourceCursor("DOWNONLYCURSOR", IDC_SIZENS);
    own.later = std::make_unique<TMemoryStream>();
}

void HtmlImagesShutdown() {
    if (startupCount == 0 || --startupCount > 0) return;
    ImageCache().Clear();
    Resources() = TDisplayResources{};
    std::fill(std::begin(cursors), std::end(cursors), nullptr);
}

HCURSOR HtmlViewCursor(int slot) {
    return slot >= 1 && slot <= 5 ? cursors[slot] : nullptr;
}

void PixelsToBitmap(const TPixelImage& image, TBitmap& target) {
    target.SetSize(0, 0);
    target.SetPixelFormat(TPixelFormat::pf24bit);
    if (image.Empty()) return;
    target.SetSize(image.Width, image.Height);
    const size_t rowBytes = static_cast<size_t>(image.Width) * 3;
    for (int y = 0; y < image.Height; ++y)
        std::memcpy(target.ScanLine(y), image.Row(y), rowBytes);
}

std::unique_ptr<TBitmap> BitmapFromPixels(const TPixelImage& image) {
    auto bitmap = std::make_unique<TBitmap>();
    PixelsToBitmap(image, *bitmap);
    return bitmap;
}

std::unique_ptr<TBitmap> MaskFromPixels(const TPixelMask& mask) {
    if (mask.Empty()) return std::make_unique<TBitmap>();
    auto bitmap = std::make_unique<TBitmap>(mask.Width, mask.Height, TPixelFormat::pf1bit);
    for (int y = 0; y < mask.Height; ++y) {
        auto* row = static_cast<uint8_t*>(bitmap->ScanLine(y));
        std::memset(row, 0, static_cast<size_t>(bitmap->BytesPerLine()));
        for (int x = 0; x < mask.Width; ++x)
            if (mask.At(x, y)) row[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
    }
    return bitmap;
}

TPixelImage PixelsFromBitmap(TBitmap& bitmap) {
    TPixelImage image;
    if (bitmap.Empty()) return image;
    image.Allocate(bitmap.Width(), bitmap.Height());
    TBitmap copy;
    TBitmap* source = &bitmap;
    if (bitmap.PixelFormat() != TPixelFormat::pf24bit) {
        copy.SetPixelFormat(TPixelFormat::pf24bit);
        copy.SetSize(bitmap.Width(), bitmap.Height());
        BitBlt(copy.Canvas().Handle(), 0, 0, copy.Width(), copy.Height(), bitmap.Canvas().Handle(), 0, 0,
               SRCCOPY);
        source = &copy;
    }
    const size_t rowBytes = static_cast<size_t>(image.Width) * 3;
    for (int y = 0; y < image.Height; ++y)
        std::memcpy(image.Row(y), source->ScanLine(y), rowBytes);
    return image;
}

std::vector<uint32_t> DisplayReductionPalette() {
    if (DisplayColorBits < 8)
        return PaletteColors(static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), 20);
    return PaletteColors(DisplayPalette(), 256);
}

std::unique_ptr<TBitmap> ReduceToDisplay(TBitmap& bitmap) {
    if (bitmap.Empty() || bitmap.Width() == 0 || bitmap.Height() == 0) return nullptr;
    const TPixelImage pixels = PixelsFromBitmap(bitmap);
    const std::vector<uint32_t> palette = DisplayReductionPalette();
    const std::vector<uint8_t> indexes = ReduceToPalette(pixels, palette);
    auto out = std::make_unique<TBitmap>(pixels.Width, pixels.Height, TPixelFormat::pf8bit);
    std::vector<RGBQUAD> table(256, RGBQUAD{0, 0, 0, 0});
    for (size_t i = 0; i < palette.size() && i < 256; ++i)
        table[i] = RGBQUAD{static_cast<BYTE>(palette[i] >> 16), static_cast<BYTE>(palette[i] >> 8),
                           static_cast<BYTE>(palette[i]), 0};
    SetDIBColorTable(out->Canvas().Handle(), 0, 256, table.data());
    for (int y = 0; y < pixels.Height; ++y)
        std::memcpy(out->ScanLine(y), indexes.data() + static_cast<size_t>(y) * pixels.Width,
                    static_cast<size_t>(pixels.Width));
    return out;
}

std::unique_ptr<TBitmap> ConvertToDisplay(std::unique_ptr<TBitmap> bitmap) {
    if (!bitmap || bitmap->Empty()) return bitmap;
    if (DisplayColorBits > 8) {
        const TPixelFormat f = bitmap->PixelFormat();
        if (f == TPixelFormat::pf1bit || f == TPixelFormat::pf4bit || f == TPixelFormat::pf8bit)
            bitmap->SetPixelFormat(TPixelFormat::pf24bit);
        return bitmap;
    }
    return ReduceToDisplay(*bitmap);
}

std::unique_ptr<TBitmap> MakeImageMask(TBitmap& image, bool colorValid, TColor color) {
    const TPixelImage pixels = PixelsFromBitmap(image);
    return MaskFromPixels(MakePixelMask(pixels, colorValid, ColorToRGB(color)));
}

void DrawMasked(HDC dc, TBitmap& image, TBitmap& mask, int x, int y, int w, int h) {
    DrawMaskedPart(dc, image, mask, RECT{0, 0, image.Width(), image.Height()}, RECT{x, y, x + w, y + h});
}

void DrawMaskedPart(HDC dc, TBitmap& image, TBitmap& mask, const RECT& source, const RECT& dest) {
    if (image.Empty() || mask.Empty() || IsMonochrome(dc)) return;
    const int x = dest.left, y = dest.top, w = dest.right - dest.left, h = dest.bottom - dest.top;
    const int sx = source.left, sy = source.top, sw = source.right - source.left,
              sh = source.bottom - source.top;
    if (sw <= 0 || sh <= 0) return;
    // Clear the opaque part of the target: white (transparent) mask pixels AND-ed leave it alone.
    const COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    // A bitmap stays selected into its own canvas's DC, so that DC is the one to copy from.
    HDC maskDC = mask.Canvas().Handle();
    const int oldMode = SetStretchBltMode(dc, WHITEONBLACK);
    StretchBlt(dc, x, y, w, h, maskDC, sx, sy, sw, sh, SRCAND);
    // A copy of that part of the picture, black where the mask is set, OR-ed in.
    TBitmap copy(sw, sh, TPixelFormat::pf24bit);
    {
        HDC copyDC = copy.Canvas().Handle();
        BitBlt(copyDC, 0, 0, sw, sh, image.Canvas().Handle(), sx, sy, SRCCOPY);
        SetBkColor(copyDC, RGB(255, 255, 255));
        SetTextColor(copyDC, RGB(0, 0, 0));
        BitBlt(copyDC, 0, 0, sw, sh, maskDC, sx, sy, 0x00220326 /* DSna: clear where the mask is set */);
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, x, y, w, h, copyDC, 0, 0, sw, sh, SRCPAINT);
    }
    SetStretchBltMode(dc, oldMode);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBk);
}

HPALETTE CopyDisplayPalette(HPALETTE palette) {
    return PaletteOf(PaletteColors(palette, 256));
}

TDib::TDib(TBitmap& bitmap, HDC dc) {
    BITMAP bm{};
    if (bitmap.Empty() || !GetObjectA(bitmap.Handle(), sizeof bm, &bm)) throw EOutOfMemory();
    int bitCount = bm.bmPlanes * bm.bmBitsPixel;
    if (bitCount == 16 || bitCount == 32) bitCount = 24;
    const int colors = bitCount <= 8 ? 1 << bitCount : 0;
    info_.assign(sizeof(BITMAPINFOHEADER) + static_cast<size_t>(colors) * sizeof(RGBQUAD), 0);
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info_.data());
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = bm.bmWidth;
    header->biHeight = bm.bmHeight;
    header->biPlanes = 1;
    header->biBitCount = static_cast<WORD>(bitCount);
    header->biCompression = BI_RGB;
    const int64_t rowBytes = (int64_t{bitCount} * bm.bmWidth + 31) / 32 * 4;
    const int64_t size = rowBytes * bm.bmHeight;
    if (size <= 0 || size > kMaxPictureBytes) throw EOutOfMemory();
    header->biSizeImage = static_cast<DWORD>(size);
    bitsSize_ = static_cast<size_t>(size);
    if (bitsSize_ >= 0xFF00) {
        handle_ = GlobalAlloc(GMEM_MOVEABLE, bitsSize_);
        bits_ = handle_ ? GlobalLock(handle_) : nullptr;
        if (!bits_) {
            if (handle_) GlobalFree(std::exchange(handle_, nullptr));
            throw EOutOfMemory();
        }
    } else {
        heapBits_.assign(bitsSize_, 0);
        bits_ = heapBits_.data();
    }
    const bool ownDC = dc == nullptr;
    if (ownDC) dc = bitmap.Canvas().Handle();
    int lines = 0;
    {
        TSelectPalette palette(dc, DisplayPalette(), false);
        lines = GetDIBits(dc, bitmap.Handle(), 0, static_cast<UINT>(bm.bmHeight), bits_,
                          reinterpret_cast<BITMAPINFO*>(info_.data()), DIB_RGB_COLORS);
    }
    if (lines == 0) {
        // Short of memory: what nobody draws goes first.
        if (ownDC) ImageCache().PurgeCache();
        if (handle_) {
            GlobalUnlock(handle_);
            GlobalFree(std::exchange(handle_, nullptr));
        }
        throw EOutOfMemory();
    }
}

TDib::~TDib() {
    if (handle_) {
        GlobalUnlock(handle_);
        GlobalFree(handle_);
    }
}

std::unique_ptr<TBitmap> TDib::CreateBitmap() const {
    TWindowDC screen(nullptr);
    HBITMAP handle = nullptr;
    {
        TSelectPalette palette(screen.Get(), DisplayPalette(), false);
        handle = CreateDIBitmap(screen.Get(), &Info()->bmiHeader, CBM_INIT, bits_, Info(), DIB_RGB_COLORS);
    }
    if (!handle) throw EOutOfMemory();
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetHandle(handle);
    return bitmap;
}
