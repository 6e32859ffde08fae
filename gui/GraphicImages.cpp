// TBitmap, TIcon and TMetafile.
#include "gui/GraphicImages.h"

#include "gui/GdiGuards.h"
#include "gui/WndProcThunk.h"

#include "base/Exceptions.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

void TGraphic::SetTransparent(bool value) {
    if (value == transparent_) return;
    transparent_ = value;
    Changed();
}

void TGraphic::Changed() {
    if (OnChange) OnChange(this);
}

// ---- TBitmap ----------------------------------------------------------------

// The memory DC of a bitmap, with the bitmap selected while the DC lives.
class TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap& bitmap) : bitmap_(bitmap) {}
    ~TBitmapCanvas() override { FreeContext(); }
    void FreeContext() {
        HDC dc = HandleAllocated() ? Handle() : nullptr;
        DeselectHandles();
        if (dc) {
            if (oldBitmap_) SelectObject(dc, oldBitmap_);
            DeleteDC(dc);
        }
        oldBitmap_ = nullptr;
    }

protected:
    void CreateHandle() override {
        HDC dc = CreateCompatibleDC(nullptr);
        if (!dc) throw EOutOfResources("Out of system resources");
        if (bitmap_.Handle()) oldBitmap_ = SelectObject(dc, bitmap_.Handle());
        SetHandle(dc);
    }

private:
    TBitmap& bitmap_;
    HGDIOBJ oldBitmap_ = nullptr;
};

namespace {

int BitCount(TPixelFormat format) {
    switch (format) {
    case TPixelFormat::pf1bit:
        return 1;
    case TPixelFormat::pf4bit:
        return 4;
    case TPixelFormat::pf8bit:
        return 8;
    case TPixelFormat::pf24bit:
        return 24;
    case TPixelFormat::pf32bit:
        return 32;
    }
    return 24;
}

TPixelFormat FormatFromBits(int bits) {
    switch (bits) {
    case 1:
        return TPixelFormat::pf1bit;
    case 4:
        return TPixelFormat::pf4bit;
    case 8:
        return TPixelFormat::pf8bit;
    case 32:
        return TPixelFormat::pf32bit;
    default:
        return TPixelFormat::pf24bit;
    }
}

} // namespace

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height, TPixelFormat format) : format_(format) {
    SetSize(width, height);
}

TBitmap::~TBitmap() {
    canvas_.reset();
    FreeImage();
}

void TBitmap::FreeImage() {
    if (canvas_) canvas_->FreeContext();
    if (handle_) DeleteObject(handle_);
    handle_ = nullptr;
    bits_ = nullptr;
    width_ = height_ = 0;
}

void TBitmap::CreateDib(int width, int height, TPixelFormat format) {
    int bits = BitCount(format);
    std::vector<unsigned char> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    auto* bi = reinterpret_cast<BITMAPINFO*>(info.data());
    bi->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi->bmiHeader.biWidth = width;
    bi->bmiHeader.biHeight = -height;
    bi->bmiHeader.biPlanes = 1;
    bi->bmiHeader.biBitCount = static_cast<WORD>(bits);
    bi->bmiHeader.biCompression = BI_RGB;
    if (bits <= 8) {
        // A grey ramp until the owner sets its own colour table.
        int colours = 1 << bits;
        bi->bmiHeader.biClrUsed = static_cast<DWORD>(colours);
        for (int i = 0; i < colours; ++i) {
            BYTE v = static_cast<BYTE>(colours == 1 ? 0 : i * 255 / (colours - 1));
            bi->bmiColors[i] = RGBQUAD{v, v, v, 0};
        }
    }
    void* pixels = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, bi, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (!bmp) throw EOutOfResources("Out of system resources");
    handle_ = bmp;
    bits_ = pixels;
    width_ = width;
    height_ = height;
    format_ = format;
}

void TBitmap::SetSize(int width, int height) {
    if (width < 0 || height < 0) throw EInvalidOperation("Invalid bitmap size");
    if (width == width_ && height == height_ && handle_) return;
    TGdiObject<HBITMAP> old(handle_);
    int oldW = width_, oldH = height_;
    if (canvas_) canvas_->FreeContext();
    handle_ = nullptr;
    bits_ = nullptr;
    width_ = height_ = 0;
    if (width > 0 && height > 0) {
        CreateDib(width, height, format_);
        if (old) {
            TMemoryDC src, dst;
            TSelectObject s1(src.Get(), old.Get());
            TSelectObject s2(dst.Get(), handle_);
            BitBlt(dst.Get(), 0, 0, std::min(oldW, width), std::min(oldH, height), src.Get(), 0, 0, SRCCOPY);
        }
    }
    Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
    if (format == format_) return;
    if (!handle_) {
        format_ = format;
        return;
    }
    TGdiObject<HBITMAP> old(handle_);
    int w = width_, h = height_;
    if (canvas_) canvas_->FreeContext();
    handle_ = nullptr;
    CreateDib(w, h, format);
    TMemoryDC src, dst;
    TSelectObject s1(src.Get(), old.Get());
    TSelectObject s2(dst.Get(), handle_);
    BitBlt(dst.Get(), 0, 0, w, h, src.Get(), 0, 0, SRCCOPY);
    Changed();
}

void TBitmap::Assign(const TBitmap& source) {
    if (&source == this) return;
    FreeImage();
    format_ = source.format_;
    transparentColor_ = source.transparentColor_;
    SetTransparent(source.Transparent());
    if (source.handle_) {
        CreateDib(source.width_, source.height_, source.format_);
        GdiFlush();
        std::memcpy(bits_, source.bits_, static_cast<size_t>(BytesPerLine()) * static_cast<size_t>(height_));
        if (BitCount(format_) <= 8) {
            RGBQUAD table[256];
            TMemoryDC a, b;
            TSelectObject s1(a.Get(), source.handle_);
            UINT n = GetDIBColorTable(a.Get(), 0, 256, table);
            TSelectObject s2(b.Get(), handle_);
            if (n) SetDIBColorTable(b.Get(), 0, n, table);
        }
    }
    Changed();
}

void TBitmap::SetHandle(HBITMAP bitmap) {
    FreeImage();
    if (!bitmap) {
        Changed();
        return;
    }
    TGdiObject<HBITMAP> adopted(bitmap);
    DIBSECTION ds{};
    if (GetObjectA(bitmap, sizeof(ds), &ds) == sizeof(ds) && ds.dsBm.bmBits && ds.dsBmih.biHeight < 0) {
        handle_ = adopted.Release();
        bits_ = ds.dsBm.bmBits;
        width_ = ds.dsBm.bmWidth;
        height_ = ds.dsBm.bmHeight;
        format_ = FormatFromBits(ds.dsBm.bmBitsPixel);
    } else {
        // A DDB or a bottom-up DIB: copy into our own top-down section.
        BITMAP bm{};
        GetObjectA(bitmap, sizeof(bm), &bm);
        CreateDib(bm.bmWidth, bm.bmHeight, FormatFromBits(bm.bmBitsPixel == 16 ? 24 : bm.bmBitsPixel));
        TMemoryDC src, dst;
        TSelectObject s1(src.Get(), bitmap);
        TSelectObject s2(dst.Get(), handle_);
        BitBlt(dst.Get(), 0, 0, width_, height_, src.Get(), 0, 0, SRCCOPY);
    }
    Changed();
}

HBITMAP TBitmap::ReleaseHandle() {
    if (canvas_) canvas_->FreeContext();
    HBITMAP h = handle_;
    handle_ = nullptr;
    bits_ = nullptr;
    width_ = height_ = 0;
    return h;
}

TCanvas& TBitmap::Canvas() {
    if (!canvas_) canvas_ = std::make_unique<TBitmapCanvas>(*this);
    return *canvas_;
}

int TBitmap::BytesPerLine() const {
    return ((width_ * BitCount(format_) + 31) / 32) * 4;
}

void* TBitmap::ScanLine(int row) {
    if (!bits_ || row < 0 || row >= height_) throw EInvalidOperation("Scan line index out of range");
    GdiFlush();
    return static_cast<unsigned char*>(bits_) +
           static_cast<size_t>(row) * static_cast<size_t>(BytesPerLine());
}

TColor TBitmap::TransparentColor() const {
    if (transparentColor_ != clDefault) return transparentColor_;
    // The bottom-left pixel, as is usual for masked pictures.
    if (!handle_) return clDefault;
    TMemoryDC dc;
    TSelectObject sel(dc.Get(), handle_);
    return static_cast<TColor>(GetPixel(dc.Get(), 0, height_ - 1));
}

void TBitmap::Draw(TCanvas& canvas, const RECT& rect) {
    if (!handle_) return;
    HDC dst = canvas.Handle();
    TMemoryDC src;
    TSelectObject sel(src.Get(), handle_);
    int w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (Transparent()) {
        TransparentBlt(dst, rect.left, rect.top, w, h, src.Get(), 0, 0, width_, height_,
                       ColorToRGB(TransparentColor()));
    } else {
        int old = SetStretchBltMode(dst, COLORONCOLOR);
        StretchBlt(dst, rect.left, rect.top, w, h, src.Get(), 0, 0, width_, height_, canvas.CopyMode());
        SetStretchBltMode(dst, old);
    }
}

void TBitmap::LoadFromFile(const std::string& fileName) {
    auto h = static_cast<HBITMAP>(
        LoadImageA(nullptr, fileName.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (!h) throw EFOpenError("Cannot open file \"" + fileName + "\"");
    SetHandle(h);
}

std::string TBitmap::SaveToBytes() {
    if (!handle_) return {};
    int bits = BitCount(format_);
    int colours = bits <= 8 ? (1 << bits) : 0;
    std::vector<RGBQUAD> table(static_cast<size_t>(colours));
    if (colours) {
        TMemoryDC dc;
        TSelectObject sel(dc.Get(), handle_);
        GetDIBColorTable(dc.Get(), 0, static_cast<UINT>(colours), table.data());
    }
    GdiFlush();
    const size_t stride = static_cast<size_t>(BytesPerLine());
    const size_t imageSize = stride * static_cast<size_t>(height_);
    BITMAPFILEHEADER fh{};
    BITMAPINFOHEADER ih{};
    ih.biSize = sizeof(ih);
    ih.biWidth = width_;
    ih.biHeight = height_; // bottom-up in the file, as readers expect
    ih.biPlanes = 1;
    ih.biBitCount = static_cast<WORD>(bits);
    ih.biCompression = BI_RGB;
    ih.biSizeImage = static_cast<DWORD>(imageSize);
    ih.biClrUsed = static_cast<DWORD>(colours);
    const size_t offBits = sizeof(fh) + sizeof(ih) + table.size() * sizeof(RGBQUAD);
    fh.bfType = 0x4D42;
    fh.bfOffBits = static_cast<DWORD>(offBits);
    fh.bfSize = static_cast<DWORD>(offBits + imageSize);
    std::string out;
    out.reserve(offBits + imageSize);
    out.append(reinterpret_cast<const char*>(&fh), sizeof(fh));
    out.append(reinterpret_cast<const char*>(&ih), sizeof(ih));
    out.append(reinterpret_cast<const char*>(table.data()), table.size() * sizeof(RGBQUAD));
    for (int y = height_ - 1; y >= 0; --y)
        out.append(static_cast<const char*>(bits_) + static_cast<size_t>(y) * stride, stride);
    return out;
}

void TBitmap::SaveToFile(const std::string& fileName) {
    std::string bytes = SaveToBytes();
    std::ofstream f(fileName, std::ios::binary);
    if (!f) throw EFCreateError("Cannot create file \"" + fileName + "\"");
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!f) throw EWriteError();
}

// ---- TIcon ------------------------------------------------------------------

TIcon::~TIcon() {
    if (handle_) DestroyIcon(handle_);
}

void TIcon::Assign(const TIcon& source) {
    if (&source == this) return;
    SetHandle(source.handle_ ? CopyIcon(source.handle_) : nullptr);
}

void TIcon::SetHandle(HICON icon) {
    if (icon == handle_) return;
    if (handle_) DestroyIcon(handle_);
    handle_ = icon;
    size_ = {0, 0};
    Changed();
}

HICON TIcon::ReleaseHandle() {
    HICON h = handle_;
    handle_ = nullptr;
    size_ = {0, 0};
    return h;
}

int TIcon::Width() const {
    if (!handle_) return 0;
    if (size_.cx == 0) {
        ICONINFO info{};
        if (GetIconInfo(handle_, &info)) {
            TGdiObject<HBITMAP> color(info.hbmColor),
                mask(info.hbmMask); // GetIconInfo's bitmaps are the caller's to free
            BITMAP bm{};
            GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bm), &bm);
            size_.cx = bm.bmWidth;
            size_.cy = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
        }
    }
    return size_.cx;
}

int TIcon::Height() const {
    Width();
    return size_.cy;
}

void TIcon::Draw(TCanvas& canvas, const RECT& rect) {
    if (!handle_) return;
    DrawIconEx(canvas.Handle(), rect.left, rect.top, handle_, rect.right - rect.left, rect.bottom - rect.top,
               0, nullptr, DI_NORMAL);
}

void TIcon::LoadFromFile(const std::string& fileName) {
    auto h = static_cast<HICON>(LoadImageA(nullptr, fileName.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE));
    if (!h) throw EFOpenError("Cannot open file \"" + fileName + "\"");
    SetHandle(h);
}

void TIcon::SaveToFile(const std::string&) {
    throw EInvalidOperation("Saving icons is not supported");
}

// ---- TMetafile --------------------------------------------------------------

TMetafile::~TMetafile() {
    if (handle_) DeleteEnhMetaFile(handle_);
}

void TMetafile::Assign(const TMetafile& source) {
    if (&source == this) return;
    width_ = source.width_;
    height_ = source.height_;
    SetHandle(source.handle_ ? CopyEnhMetaFileA(source.handle_, nullptr) : nullptr);
}

void TMetafile::SetHandle(HENHMETAFILE metafile) {
    if (metafile == handle_) return;
    if (handle_) DeleteEnhMetaFile(handle_);
    handle_ = metafile;
    if (handle_) {
        ENHMETAHEADER header{};
        GetEnhMetaFileHeader(handle_, sizeof(header), &header);
        // rclFrame is in 0.01 mm; convert through the reference device's resolution.
        int ppi = TFont::ScreenPixelsPerInch();
        width_ = MulDiv(header.rclFrame.right - header.rclFrame.left, ppi, 2540);
        height_ = MulDiv(header.rclFrame.bottom - header.rclFrame.top, ppi, 2540);
    }
    Changed();
}

HENHMETAFILE TMetafile::ReleaseHandle() {
    HENHMETAFILE h = handle_;
    handle_ = nullptr;
    return h;
}

int TMetafile::Width() const {
    return handle_ ? width_ : 0;
}
int TMetafile::Height() const {
    return handle_ ? height_ : 0;
}

void TMetafile::Draw(TCanvas& canvas, const RECT& rect) {
    if (handle_) PlayEnhMetaFile(canvas.Handle(), handle_, &rect);
}

void TMetafile::LoadFromFile(const std::string& fileName) {
    HENHMETAFILE h = GetEnhMetaFileA(fileName.c_str());
    if (!h) throw EFOpenError("Cannot open file \"" + fileName + "\"");
    SetHandle(h);
}

void TMetafile::SaveToFile(const std::string& fileName) {
    if (!handle_) throw EInvalidOperation("Metafile is empty");
    HENHMETAFILE copy = CopyEnhMetaFileA(handle_, fileName.c_str());
    if (!copy) throw EFCreateError("Cannot create file \"" + fileName + "\"");
    DeleteEnhMetaFile(copy);
}

TMetafileCanvas::TMetafileCanvas(TMetafile& metafile, HDC referenceDC) : metafile_(metafile) {
    recordDC_ = CreateEnhMetaFileA(referenceDC, nullptr, nullptr, nullptr);
    if (!recordDC_) throw EOutOfResources("Out of system resources");
    SetHandle(recordDC_);
}

TMetafileCanvas::~TMetafileCanvas() {
    DeselectHandles();
    HENHMETAFILE h = CloseEnhMetaFile(recordDC_);
    if (!h) return;
    try {
        metafile_.SetHandle(h); // runs the metafile's OnChange
    } catch (...) {
        HandleCurrentException(nullptr);
    }
}
