// Reading picture files for the editor.
#include "richedit/MvPictureFiles.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

// libjpeg's header wants size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>

namespace mv::richedit {

std::string CheckPictureSize(int64_t Width, int64_t Height) {
    if (Width <= 0 || Height <= 0) return "The picture has no pixels.";
    if (Width > MaxPictureSide || Height > MaxPictureSide || Width * Height > MaxPicturePixels)
        return "The picture is too large (" + std::to_string(Width) + " x " + std::to_string(Height) +
               " pixels).";
    return "";
}

namespace {

// libjpeg reports errors through this record; a fatal one jumps back to the
// decoder's set-up point (libjpeg is C: no exception may pass through it).
struct TJpegErrors {
    jpeg_error_mgr Manager;
    std::jmp_buf Return;
    bool Truncated;
    char Message[JMSG_LENGTH_MAX];
};

[[noreturn]] void FatalError(j_common_ptr Info) {
    auto* Errors = reinterpret_cast<TJpegErrors*>(Info->err);
    Info->err->format_message(Info, Errors->Message);
    std::longjmp(Errors->Return, 1);
}

// Warnings are collected, not printed; running out of data means the file was
// cut short, which would otherwise give a picture with a grey lower part.
void Warning(j_common_ptr Info, int Level) {
    if (Level >= 0) return; // trace messages
    auto* Errors = reinterpret_cast<TJpegErrors*>(Info->err);
    if (Info->err->msg_code == JWRN_JPEG_EOF) Errors->Truncated = true;
    ++Info->err->num_warnings;
}

// The part of the decoder that libjpeg may leave by its jump: only plain data
// lives in this frame. Returns 0 on success, 1 after a fatal libjpeg error,
// 2 when the size is refused (SizeError then holds the message).
int DecodeRows(jpeg_decompress_struct& Info, TJpegErrors& Errors, const uint8_t* Data, size_t Size,
               int64_t MaxPixels, TDecodedPicture& Picture, std::string& SizeError) {
    if (setjmp(Errors.Return)) return 1;
    jpeg_create_decompress(&Info);
    jpeg_mem_src(&Info, Data, static_cast<unsigned long>(Size));
    jpeg_read_header(&Info, TRUE);
    SizeError = CheckPictureSize(Info.image_width, Info.image_height);
    if (SizeError.empty() && static_cast<int64_t>(Info.image_width) * Info.image_height > MaxPixels)
        SizeError = "The picture is too large.";
    if (!SizeError.empty()) return 2;
#ifdef JCS_EXTENSIONS
    Info.out_color_space = JCS_EXT_BGR; // straight into a DIB's byte order
#else
    Info.out_color_space = JCS_RGB;
#endif
    jpeg_start_decompress(&Info);
    if (Info.output_components != 3) return 1;
    const size_t Stride = static_cast<size_t>(Info.output_width) * 3;
    Picture.Width = static_cast<int>(Info.output_width);
    Picture.Height = static_cast<int>(Info.output_height);
    Picture.Bgr.resize(Stride * Info.output_height);
    while (Info.output_scanline < Info.output_height && !Errors.Truncated) {
        JSAMPROW Row = Picture.Bgr.data() + Stride * Info.output_scanline;
        jpeg_read_scanlines(&Info, &Row, 1);
    }
    if (!Errors.Truncated) jpeg_finish_decompress(&Info);
    return 0;
}

} // namespace

bool DecodeJpeg(const uint8_t* Data, size_t Size, TDecodedPicture& Picture, std::string& Error,
                int64_t MaxPixels) {
    Picture = TDecodedPicture{};
    Error.clear();
    if (!Data || Size == 0) {
        Error = "The JPEG picture is empty.";
        return false;
    }
    jpeg_decompress_struct Info{};
    TJpegErrors Errors{};
    Info.err = jpeg_std_error(&Errors.Manager);
    Errors.Manager.error_exit = FatalError;
    Errors.Manager.emit_message = Warning;
    std::string SizeError;
    const int Result = DecodeRows(Info, Errors, Data, Size, MaxPixels, Picture, SizeError);
    jpeg_destroy_decompress(&Info);
    if (Result == 0 && Errors.Truncated) Error = "The JPEG picture is truncated.";
    if (Result == 1) Error = std::string("The JPEG picture cannot be read: ") + Errors.Message;
    if (Result == 1 && Errors.Message[0] == 0) Error = "The JPEG picture cannot be read.";
    if (Result == 2) Error = SizeError;
    if (!Error.empty()) {
        Picture = TDecodedPicture{};
        return false;
    }
#ifndef JCS_EXTENSIONS
    // Plain libjpeg gives red, green, blue; a DIB wants blue first.
    for (size_t I = 0; I + 2 < Picture.Bgr.size(); I += 3)
        std::swap(Picture.Bgr[I], Picture.Bgr[I + 2]);
#endif
    return true;
}

namespace {

uint32_t Read16(const uint8_t* P) {
    return static_cast<uint32_t>(P[0]) | static_cast<uint32_t>(P[1]) << 8;
}
uint32_t Read32(const uint8_t* P) {
    return Read16(P) | Read16(P + 2) << 16;
}

} // namespace

std::string CheckBmpFile(const uint8_t* Data, size_t Size) {
    constexpr size_t FileHeader = 14;
    if (!Data || Size < FileHeader + 12 || Data[0] != 'B' || Data[1] != 'M')
        return "The file is not a BMP picture.";
    const uint32_t OffBits = Read32(Data + 10);
    const uint8_t* Info = Data + FileHeader;
    const uint32_t InfoSize = Read32(Info);
    int64_t Width = 0, Height = 0;
    uint32_t Planes = 0, Bits = 0, Compression = 0;
    if (InfoSize == 12) {
        Width = Read16(Info + 4);
        Height = Read16(Info + 6);
        Planes = Read16(Info + 8);
        Bits = Read16(Info + 10);
    } else if (InfoSize >= 40 && InfoSize <= 124 && Size >= FileHeader + InfoSize) {
        Width = static_cast<int32_t>(Read32(Info + 4));
        Height = static_cast<int32_t>(Read32(Info + 8));
        Planes = Read16(Info + 12);
        Bits = Read16(Info + 14);
        Compression = Read32(Info + 16);
    } else {
        return "The BMP picture is damaged or truncated.";
    }
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
