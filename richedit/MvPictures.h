// Pictures the editor inserts from files: TJPEGImage (decoded through libjpeg
// into a DIB) and a BMP loader that checks the file before the system reads it.
#pragma once

#include "base/Exceptions.h"
#include "gui/GraphicImages.h"

#include <string>

// A picture file that cannot be read; its message says why.
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};

class TJPEGImage : public TGraphic {
public:
    TJPEGImage() = default;

    bool Empty() const override { return bitmap_.Empty(); }
    int Width() const override { return bitmap_.Width(); }
    int Height() const override { return bitmap_.Height(); }
    void Draw(TCanvas& canvas, const RECT& rect) override;
    // Raises EInvalidGraphic (and keeps the old picture) when the file is not a
    // whole JPEG picture of an accepted size.
    void LoadFromFile(const std::string& fileName) override;
    void LoadFromBytes(const std::string& bytes);
    void SaveToFile(const std::string& fileName) override;

    // The decoded pixels.
    TBitmap& Bitmap() { return bitmap_; }

private:
    TBitmap bitmap_;
};

// The whole file, or EInvalidGraphic when it cannot be read or is beyond any picture's size.
std::string ReadPictureFile(const std::string& fileName);

// Loads a BMP file into Bitmap after checking its headers; EInvalidGraphic
// (and Bitmap unchanged) when it is not a readable BMP picture of an accepted size.
void LoadBitmapFile(TBitmap& bitmap, const std::string& fileName);
