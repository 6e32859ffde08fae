// Pictures: TGraphic, TBitmap (a DIB section with its own canvas), TIcon, TMetafile (enhanced).
#pragma once

#include "gui/Canvas.h"

#include <memory>
#include <string>

class TGraphic : public TObject {
public:
    ~TGraphic() override = default;
    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Draws the picture scaled into rect on the canvas.
    virtual void Draw(TCanvas& canvas, const RECT& rect) = 0;
    virtual void LoadFromFile(const std::string& fileName) = 0;
    virtual void SaveToFile(const std::string& fileName) = 0;

    bool Transparent() const { return transparent_; }
    virtual void SetTransparent(bool value);

    TNotifyEvent OnChange;

protected:
    virtual void Changed();

private:
    bool transparent_ = false;
};

enum class TPixelFormat { pf1bit, pf4bit, pf8bit, pf24bit, pf32bit };

class TBitmapCanvas;

// A device-independent bitmap (top-down DIB section). Canvas() gives a memory DC
// with the bitmap selected; ScanLine(y) the bytes of row y.
class TBitmap : public TGraphic {
public:
    TBitmap();
    TBitmap(int width, int height, TPixelFormat format = TPixelFormat::pf24bit);
    ~TBitmap() override;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    void Assign(const TBitmap& source);

    bool Empty() const override { return handle_ == nullptr; }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void SetWidth(int width) { SetSize(width, height_); }
    void SetHeight(int height) { SetSize(width_, height); }
    // Re-creates the pixels at the new size, keeping what fits of the old picture.
    void SetSize(int width, int height);
    TPixelFormat PixelFormat() const { return format_; }
    void SetPixelFormat(TPixelFormat format);

    HBITMAP Handle() const { return handle_; }
    // Adopts a bitmap handle (the TBitmap frees it); DDBs are converted to a DIB section.
    void SetHandle(HBITMAP bitmap);
    // Gives the handle away; the TBitmap is empty afterwards.
    HBITMAP ReleaseHandle();

    TCanvas& Canvas();
    void* ScanLine(int row);
    int BytesPerLine() const;

    TColor TransparentColor() const;
    void SetTransparentColor(TColor color) { transparentColor_ = color; }

    void Draw(TCanvas& canvas, const RECT& rect) override;
    void LoadFromFile(const std::string& fileName) override;
    void SaveToFile(const std::string& fileName) override;
    // BMP file bytes.
    std::string SaveToBytes();

private:
    void FreeImage();
    void CreateDib(int width, int height, TPixelFormat format);

    HBITMAP handle_ = nullptr;
    void* bits_ = nullptr;
    int width_ = 0, height_ = 0;
    TPixelFormat format_ = TPixelFormat::pf24bit;
    TColor transparentColor_ = clDefault;
    std::unique_ptr<TBitmapCanvas> canvas_;
};

class TIcon : public TGraphic {
public:
    TIcon() = default;
    ~TIcon() override;
    TIcon(const TIcon&) = delete;
    TIcon& operator=(const TIcon&) = delete;

    void Assign(const TIcon& source);
    bool Empty() const override { return handle_ == nullptr; }
    int Width() const override;
    int Height() const override;
    HICON Handle() const { return handle_; }
    // Adopts an icon handle; the TIcon destroys it.
    void SetHandle(HICON icon);
    HICON ReleaseHandle();

    void Draw(TCanvas& canvas, const RECT& rect) override;
    void LoadFromFile(const std::string& fileName) override;
    void SaveToFile(const std::string& fileName) override;

private:
    HICON handle_ = nullptr;
    mutable SIZE size_{0, 0};
};

class TMetafile : public TGraphic {
public:
    TMetafile() = default;
    ~TMetafile() override;
    TMetafile(const TMetafile&) = delete;
    TMetafile& operator=(const TMetafile&) = delete;

    void Assign(const TMetafile& source);
    bool Empty() const override { return handle_ == nullptr; }
    // Size in screen pixels from the picture frame.
    int Width() const override;
    int Height() const override;
    void SetSize(int width, int height) { width_ = width, height_ = height; }
    HENHMETAFILE Handle() const { return handle_; }
    void SetHandle(HENHMETAFILE metafile);
    HENHMETAFILE ReleaseHandle();

    void Draw(TCanvas& canvas, const RECT& rect) override;
    void LoadFromFile(const std::string& fileName) override;
    void SaveToFile(const std::string& fileName) override;

private:
    HENHMETAFILE handle_ = nullptr;
    int width_ = 0, height_ = 0;
};

// Records drawing into a metafile; the picture goes into the TMetafile when the
// canvas is destroyed.
class TMetafileCanvas : public TCanvas {
public:
    TMetafileCanvas(TMetafile& metafile, HDC referenceDC);
    ~TMetafileCanvas() override;

private:
    TMetafile& metafile_;
    HDC recordDC_ = nullptr;
};
