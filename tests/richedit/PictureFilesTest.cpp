// Picture files the editor inserts: JPEG decoding against libjpeg-turbo's own
// test pictures, and the refusals for files that are not whole pictures.
#include "richedit/MvPictureFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

using namespace mv::richedit;

namespace {

std::string ReadAll(const std::string& Path) {
    std::ifstream In(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), {});
}

std::string TestImage(const std::string& Name) {
    return ReadAll(std::string(MV_JPEG_TESTIMAGES) + "/" + Name);
}

bool Decode(const std::string& Bytes, TDecodedPicture& Picture, std::string& Error) {
    return DecodeJpeg(reinterpret_cast<const uint8_t*>(Bytes.data()), Bytes.size(), Picture, Error);
}

std::string CheckBmp(const std::string& Bytes) {
    return CheckBmpFile(reinterpret_cast<const uint8_t*>(Bytes.data()), Bytes.size());
}

// A BMP file: 14-byte file header and a 40-byte info header, then Pixels bytes.
std::string MakeBmp(int32_t Width, int32_t Height, uint16_t Bits, uint32_t Compression, size_t Pixels) {
    std::string B(54 + Pixels, '\0');
    auto Put16 = [&](size_t At, uint32_t V) {
        B[At] = static_cast<char>(V & 0xFF);
        B[At + 1] = static_cast<char>((V >> 8) & 0xFF);
    };
    auto Put32 = [&](size_t At, uint32_t V) {
        Put16(At, V & 0xFFFF);
        Put16(At + 2, V >> 16);
    };
    B[0] = 'B';
    B[1] = 'M';
    Put32(2, static_cast<uint32_t>(B.size()));
    Put32(10, 54);
    Put32(14, 40);
    Put32(18, static_cast<uint32_t>(Width));
    Put32(22, static_cast<uint32_t>(Height));
    Put16(26, 1);
    Put16(28, Bits);
    Put32(30, Compression);
    return B;
}

// The frame header (SOF0) of a JPEG file gets another size.
std::string WithFrameSize(std::string Jpeg, uint16_t Width, uint16_t Height) {
    for (size_t I = 2; I + 9 < Jpeg.size(); ++I) {
        if (static_cast<uint8_t>(Jpeg[I]) == 0xFF && static_cast<uint8_t>(Jpeg[I + 1]) == 0xC0) {
            Jpeg[I + 5] = static_cast<char>(Height >> 8);
            Jpeg[I + 6] = static_cast<char>(Height & 0xFF);
            Jpeg[I + 7] = static_cast<char>(Width >> 8);
            Jpeg[I + 8] = static_cast<char>(Width & 0xFF);
            return Jpeg;
        }
    }
    ADD_FAILURE() << "no frame header";
    return Jpeg;
}

} // namespace

// libjpeg-turbo's test picture is the original of testorig.ppm, compressed: the
// decoded pixels are close to the original's, channel by channel and row by row.
TEST(PictureFiles, JpegDecodesCloseToTheOriginalPixels) {
    const std::string Jpeg = TestImage("testorig.jpg");
    const std::string Ppm = TestImage("testorig.ppm");
    ASSERT_FALSE(Jpeg.empty());
    ASSERT_FALSE(Ppm.empty());
    std::istringstream Header(Ppm);
    std::string Magic;
    int W = 0, H = 0, Max = 0;
    Header >> Magic >> W >> H >> Max;
    ASSERT_EQ(Magic, "P6");
    const size_t PixelsAt = static_cast<size_t>(Header.tellg()) + 1;

    TDecodedPicture Picture;
    std::string Error;
    ASSERT_TRUE(Decode(Jpeg, Picture, Error)) << Error;
    ASSERT_EQ(Picture.Width, W);
    ASSERT_EQ(Picture.Height, H);
    ASSERT_EQ(Picture.Bgr.size(), static_cast<size_t>(W) * H * 3);
    double Total = 0;
    for (size_t P = 0; P < static_cast<size_t>(W) * H; ++P)
        for (int C = 0; C < 3; ++C) {
            // The original is red, green, blue; the decoded picture blue, green, red.
            const int Original = static_cast<uint8_t>(Ppm[PixelsAt + P * 3 + C]);
            const int Decoded = Picture.Bgr[P * 3 + (2 - C)];
            Total += std::abs(Original - Decoded);
        }
    EXPECT_LT(Total / (static_cast<double>(W) * H * 3), 4.0);
}

TEST(PictureFiles, OtherJpegCodingsOfTheSamePictureDecode) {
    for (const char* Name : {"testimgint.jpg", "testimgari.jpg"}) {
        TDecodedPicture Picture;
        std::string Error;
        EXPECT_TRUE(Decode(TestImage(Name), Picture, Error)) << Name << ": " << Error;
        EXPECT_EQ(Picture.Width, 227) << Name;
        EXPECT_EQ(Picture.Height, 149) << Name;
    }
}

TEST(PictureFiles, UnreadableJpegFilesAreRefusedWithAMessage) {
    const std::string Jpeg = TestImage("testorig.jpg");
    ASSERT_GT(Jpeg.size(), 1000u);
    struct Case {
        const char* What;
        std::string Bytes;
        const char* Message;
    };
    const Case Cases[] = {
        {"empty", "", "The JPEG picture is empty."},
        {"text file", "This is not a picture at all.\r\n",
         "The JPEG picture cannot be read: Not a JPEG file"},
        {"cut in its data", Jpeg.substr(0, Jpeg.size() / 2), "The JPEG picture is truncated."},
        {"cut in its header", Jpeg.substr(0, 40), "The JPEG picture cannot be read"},
        {"30000 x 30000", WithFrameSize(Jpeg, 30000, 30000),
         "The picture is too large (30000 x 30000 pixels)."},
        {"no pixels", WithFrameSize(Jpeg, 0, 149), "The JPEG picture cannot be read"},
    };
    for (const Case& C : Cases) {
        TDecodedPicture Picture;
        std::string Error;
        EXPECT_FALSE(Decode(C.Bytes, Picture, Error)) << C.What;
        EXPECT_EQ(Error.rfind(C.Message, 0), 0u) << C.What << ": " << Error;
        EXPECT_TRUE(Picture.Bgr.empty()) << C.What;
        EXPECT_EQ(Picture.Width, 0) << C.What;
    }
}

TEST(PictureFiles, PictureSizeLimits) {
    EXPECT_EQ(CheckPictureSize(1, 1), "");
    EXPECT_EQ(CheckPictureSize(MaxPictureSide, 2000), "");
    EXPECT_NE(CheckPictureSize(MaxPictureSide + 1, 1), "");
    EXPECT_NE(CheckPictureSize(8000, 8000), ""); // 64 million pixels
    EXPECT_NE(CheckPictureSize(0, 10), "");
    EXPECT_NE(CheckPictureSize(10, -1), "");
}

TEST(PictureFiles, BmpHeadersAreCheckedBeforeReading) {
    const size_t Row24 = ((3 * 3 + 3) / 4) * 4; // 3 pixels of 24 bits, padded to 12 bytes
    struct Case {
        const char* What;
        std::string Bytes;
        bool Accepted;
    };
    std::string BadSignature = MakeBmp(3, 2, 24, 0, Row24 * 2);
    BadSignature[0] = 'X';
    std::string BadOffset = MakeBmp(3, 2, 24, 0, Row24 * 2);
    BadOffset[10] = static_cast<char>(0xF0);
    const Case Cases[] = {
        {"24 bits", MakeBmp(3, 2, 24, 0, Row24 * 2), true},
        {"top-down", MakeBmp(3, -2, 24, 0, Row24 * 2), true},
        {"1 bit", MakeBmp(33, 1, 1, 0, 8), true},
        {"run-length 8 bits", MakeBmp(3, 2, 8, 1, 16), true},
        {"rows missing", MakeBmp(3, 2, 24, 0, Row24 * 2 - 1), false},
        {"30000 x 30000", MakeBmp(30000, 30000, 24, 0, 16), false},
        {"no width", MakeBmp(0, 2, 24, 0, 16), false},
        {"odd depth", MakeBmp(3, 2, 7, 0, 64), false},
        {"JPEG inside", MakeBmp(3, 2, 24, 4, 64), false},
        {"signature", BadSignature, false},
        {"pixels beyond the file", BadOffset, false},
        {"header only", MakeBmp(3, 2, 24, 0, 0).substr(0, 20), false},
        {"text", "Hello, world, this is text.", false},
    };
    for (const Case& C : Cases) {
        const std::string Refusal = CheckBmp(C.Bytes);
        EXPECT_EQ(Refusal.empty(), C.Accepted) << C.What << ": " << Refusal;
    }
    EXPECT_EQ(CheckBmp(MakeBmp(30000, 30000, 24, 0, 16)), "The picture is too large (30000 x 30000 pixels).");
}

TEST(PictureFiles, RealBmpFilesAreAccepted) {
    for (const char* Name : {"vgl_5674_0098.bmp", "vgl_6434_0018a.bmp", "nightshot_iso_100.bmp"}) {
        const std::string Bytes = TestImage(Name);
        ASSERT_FALSE(Bytes.empty()) << Name;
        EXPECT_EQ(CheckBmp(Bytes), "") << Name;
        // The same file cut short is refused.
        EXPECT_NE(CheckBmp(Bytes.substr(0, Bytes.size() - 100)), "") << Name;
    }
}
