// Reading picture files for the editor.
#include "richedit/MvPictureFiles.h"

#include "pictures/BmpHeader.h"
#include "pictures/JpegReader.h"

namespace mv::richedit {

std::string CheckPictureSize(int64_t Width, int64_t Height) {
    if (Width <= 0 || Height <= 0) return "The picture has no pixels.";
    if (Width > MaxPictureSide || Height > MaxPictureSide || Width * Height > MaxPicturePixels)
        return "The picture is too large (" + std::to_string(Width) + " x " + std::to_string(Height) +
               " pixels).";
    return "";
}

namespace {

// Rows straight into the editor's picture, after the editor's size limits.
class TPictureTarget : public mv::pictures::IJpegTarget {
public:
    TPictureTarget(TDecodedPicture& picture, int64_t maxPixels) : picture_(picture), maxPixels_(maxPixels) {}
    bool Accept(uint32_t width, uint32_t height, bool) override {
        SizeError = CheckPictureSize(width, height);
        if (SizeError.empty() && static_cast<int64_t>(width) * height > maxPixels_)
            SizeError = "The picture is too large.";
        if (!SizeError.empty()) return false;
        picture_.Width = static_cast<int>(width);
        picture_.Height = static_cast<int>(height);
        picture_.Bgr.resize(static_cast<size_t>(width) * 3 * height);
        return true;
    }
    uint8_t* Row(uint32_t y) override {
        return picture_.Bgr.data() + static_cast<size_t>(picture_.Width) * 3 * y;
    }
    std::string SizeError;

private:
    TDecodedPicture& picture_;
    int64_t maxPixels_;
};

} // namespace

bool DecodeJpeg(const uint8_t* Data, size_t Size, TDecodedPicture& Picture, std::string& Error,
                int64_t MaxPixels) {
    Picture = TDecodedPicture{};
    Error.clear();
    if (!Data || Size == 0) {
        Error = "The JPEG picture is empty.";
        return false;
    }
    TPictureTarget Target(Picture, MaxPixels);
    const mv::pictures::TJpegResult Result = mv::pictures::ReadJpeg(Data, Size, MaxPixels * 3, Target);
    switch (Result.Status) {
    case mv::pictures::TJpegStatus::Decoded:
        // A picture cut short would show a grey lower part: the editor refuses it.
        if (Result.Truncated) Error = "The JPEG picture is truncated.";
        break;
    case mv::pictures::TJpegStatus::Refused:
        Error = Target.SizeError;
        break;
    case mv::pictures::TJpegStatus::Failed:
        Error = Result.ErrorText.empty() ? "The JPEG picture cannot be read."
                                         : "The JPEG picture cannot be read: " + Result.ErrorText;
        break;
    }
    if (!Error.empty()) {
        Picture = TDecodedPicture{};
        return false;
    }
    return true;
}

std::string CheckBmpFile(const uint8_t* Data, size_t Size) {
    constexpr uint32_t FileHeader = 14;
    mv::pictures::TBmpHeader Header;
    switch (mv::pictures::ReadBmpHeader(Data, Size, Header)) {
    case mv::pictures::TBmpHeaderResult::NotBmp:
        return "The file is not a BMP picture.";
    case mv::pictures::TBmpHeaderResult::UnknownHeader:
        return "The BMP picture is damaged or truncated.";
    case mv::pictures::TBmpHeaderResult::Read:
        break;
    }
    if (!Header.WholeInfo) return "The BMP picture is damaged or truncated.";
    const uint32_t OffBits = Header.OffBits, InfoSize = Header.InfoSize;
    const uint32_t Planes = Header.Planes, Bits = Header.Bits, Compression = Header.Compression;
    const int64_t Width = Header.Width;
    int64_t Height = Header.Height;
    if (Height < 0) Height = -Height; // rows stored from the top
    if (std::string Refusal = CheckPictureSize(Width, Height); !Refusal.empty()) return Refusal;
    const bool KnownDepth = Bits == 1 || Bits == 4 || Bits == 8 || Bits == 16 || Bits == 24 || Bits == 32;
    if (Planes != 1 || !KnownDepth) return "The BMP picture's format is not supported.";
    if (OffBits < FileHeader + InfoSize || OffBits >= Size) return "The BMP picture is damaged or truncated.";
    switch (Compression) {
    case 0:   // plain rows
    case 3: { // rows with bit masks
        const int64_t Stride = ((Width * Bits + 31) / 32) * 4;
        if (static_cast<int64_t>(Size - OffBits) < Stride * Height)
            return "The BMP picture is damaged or truncated.";
        return "";
    }
    case 1: // run-length encoded, 8 or 4 bits: the system checks the runs
    case 2:
        if ((Compression == 1 && Bits != 8) || (Compression == 2 && Bits != 4))
            return "The BMP picture's format is not supported.";
        return "";
    default:
        return "The BMP picture's format is not supported.";
    }
}

} // namespace mv::richedit
