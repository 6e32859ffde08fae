// Pictures from files for the editor.
#include "richedit/MvPictures.h"

#include "base/Streams.h"
#include "richedit/MvPictureFiles.h"

#include <cstring>

namespace {
// Far beyond the file of any picture of an accepted size.
constexpr int64_t MaxPictureFileSize = 256LL * 1024 * 1024;
} // namespace

std::string ReadPictureFile(const std::string& fileName) {
    std::string bytes;
    try {
        TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
        const int64_t size = file.Size();
        if (size > MaxPictureFileSize) throw EInvalidGraphic("The picture file is too large.");
        bytes.resize(static_cast<size_t>(size));
        if (size > 0) file.ReadBuffer(bytes.data(), size);
    } catch (const EInvalidGraphic&) {
        throw;
    } catch (const Exception& e) {
        throw EInvalidGraphic("The picture file cannot be read: " + e.Message());
    }
    return bytes;
}

void TJPEGImage::LoadFromFile(const std::string& fileName) {
    LoadFromBytes(ReadPictureFile(fileName));
}

void TJPEGImage::LoadFromBytes(const std::string& bytes) {
    mv::richedit::TDecodedPicture picture;
    std::string error;
    if (!mv::richedit::DecodeJpeg(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), picture,
                                  error))
        throw EInvalidGraphic(error);
    TBitmap decoded(picture.Width, picture.Height, TPixelFormat::pf24bit);
    if (decoded.Empty()) throw EInvalidGraphic("Not enough memory for the picture.");
    const size_t row = static_cast<size_t>(picture.Width) * 3;
    for (int y = 0; y < picture.Height; ++y)
        std::memcpy(decoded.ScanLine(y), picture.Bgr.data() + row * static_cast<size_t>(y), row);
    bitmap_.SetHandle(decoded.ReleaseHandle());
    Changed();
}

void TJPEGImage::Draw(TCanvas& canvas, const RECT& rect) {
    bitmap_.Draw(canvas, rect);
}

void TJPEGImage::SaveToFile(const std::string&) {
    throw EInvalidOperation("Saving JPEG pictures is not supported");
}

void LoadBitmapFile(TBitmap& bitmap, const std::string& fileName) {
    const std::string bytes = ReadPictureFile(fileName);
    const std::string refusal =
        mv::richedit::CheckBmpFile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    if (!refusal.empty()) throw EInvalidGraphic(refusal);
    try {
        bitmap.LoadFromFile(fileName);
    } catch (const Exception&) {
        throw EInvalidGraphic("The BMP picture cannot be read.");
    }
}
