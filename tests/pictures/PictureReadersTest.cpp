// The shared picture readers on their own: what the JPEG reader tells its caller (decoded, cut
// short, refused before any row, failed with libjpeg's reason) and how BMP headers are read.
#include "pictures/BmpHeader.h"
#include "pictures/JpegReader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace mv::pictures;

namespace {

std::string TestImage(const std::string& Name) {
    std::ifstream In(std::string(MV_JPEG_TESTIMAGES) + "/" + Name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), {});
}

// Keeps what the reader asked for.
struct TRecordingTarget : IJpegTarget {
    bool Accepts = true;
    uint32_t Width = 0, Height = 0;
    int Accepted = 0;
    std::vector<uint8_t> Pixels;
    std::vector<uint32_t> RowsAsked;
    bool Accept(uint32_t W, uint32_t H, bool) override {
        ++Accepted;
        Width = W;
        Height = H;
        if (Accepts) Pixels.assign(static_cast<size_t>(W) * H * 3, 0);
        return Accepts;
    }
    uint8_t* Row(uint32_t Y) override {
        RowsAsked.push_back(Y);
        return Pixels.data() + static_cast<size_t>(Width) * 3 * Y;
    }
};

TJpegResult Read(const std::string& Bytes, IJpegTarget& Target) {
    return ReadJpeg(Bytes.data(), Bytes.size(), 100'000'000, Target);
}

} // namespace

TEST(JpegReader, TellsItsCallerHowTheFileEnded) {
    const std::string Whole = TestImage("testorig.jpg");
    ASSERT_GT(Whole.size(), 1000u);
    {
        SCOPED_TRACE("whole file: every row, in order, once");
        TRecordingTarget Target;
        const TJpegResult R = Read(Whole, Target);
        EXPECT_EQ(R.Status, TJpegStatus::Decoded);
        EXPECT_FALSE(R.Truncated);
        ASSERT_EQ(Target.RowsAsked.size(), Target.Height);
        for (uint32_t Y = 0; Y < Target.Height; ++Y)
            EXPECT_EQ(Target.RowsAsked[Y], Y);
    }
    {
        SCOPED_TRACE("cut in half: decoded to the end, and said so");
        TRecordingTarget Target;
        const TJpegResult R = Read(Whole.substr(0, Whole.size() / 2), Target);
        EXPECT_EQ(R.Status, TJpegStatus::Decoded);
        EXPECT_TRUE(R.Truncated);
        EXPECT_EQ(Target.RowsAsked.size(), Target.Height);
    }
    {
        SCOPED_TRACE("size refused: no row is asked for");
        TRecordingTarget Target;
        Target.Accepts = false;
        const TJpegResult R = Read(Whole, Target);
        EXPECT_EQ(R.Status, TJpegStatus::Refused);
        EXPECT_EQ(Target.Accepted, 1);
        EXPECT_TRUE(Target.RowsAsked.empty());
    }
    {
        SCOPED_TRACE("not a JPEG: libjpeg's code and text");
        TRecordingTarget Target;
        const TJpegResult R = Read("GIF89a and then some bytes", Target);
        EXPECT_EQ(R.Status, TJpegStatus::Failed);
        EXPECT_NE(R.ErrorCode, 0);
        EXPECT_FALSE(R.ErrorText.empty());
        EXPECT_EQ(Target.Accepted, 0);
    }
}

TEST(BmpHeader, FieldsAndRefusals) {
    auto File = [](uint32_t InfoSize, size_t Size) {
        std::string B(Size, '\0');
        B[0] = 'B';
        B[1] = 'M';
        B[10] = 54;
        B[14] = static_cast<char>(InfoSize);
        return B;
    };
    auto ReadHeader = [](const std::string& B, TBmpHeader& H) {
        return ReadBmpHeader(reinterpret_cast<const uint8_t*>(B.data()), B.size(), H);
    };
    TBmpHeader H;
    {
        SCOPED_TRACE("OS/2: unsigned 16-bit sizes");
        std::string B = File(12, 26);
        B[18] = 3;
        B[20] = 0x40, B[21] = static_cast<char>(0x9C); // 40000 rows
        B[22] = 1;
        B[24] = 24;
        ASSERT_EQ(ReadHeader(B, H), TBmpHeaderResult::Read);
        EXPECT_EQ(H.Width, 3);
        EXPECT_EQ(H.Height, 40000);
        EXPECT_EQ(H.Planes, 1u);
        EXPECT_EQ(H.Bits, 24u);
        EXPECT_TRUE(H.WholeInfo);
    }
    {
        SCOPED_TRACE("Windows: signed sizes, compression and colours used");
        std::string B = File(40, 54);
        B[18] = 5;
        B[22] = B[23] = B[24] = B[25] = static_cast<char>(0xFF); // -1: rows from the top
        B[28] = 16;
        B[30] = 3;
        B[46] = 7;
        ASSERT_EQ(ReadHeader(B, H), TBmpHeaderResult::Read);
        EXPECT_EQ(H.Width, 5);
        EXPECT_EQ(H.Height, -1);
        EXPECT_EQ(H.Compression, 3u);
        EXPECT_EQ(H.ColorsUsed, 7u);
        EXPECT_EQ(H.OffBits, 54u);
        EXPECT_TRUE(H.WholeInfo);
    }
    {
        SCOPED_TRACE("a Windows header the file does not hold whole");
        ASSERT_EQ(ReadHeader(File(124, 60), H), TBmpHeaderResult::Read);
        EXPECT_FALSE(H.WholeInfo);
    }
    EXPECT_EQ(ReadHeader(File(20, 60), H), TBmpHeaderResult::UnknownHeader);
    EXPECT_EQ(ReadHeader(File(128, 200), H), TBmpHeaderResult::UnknownHeader);
    EXPECT_EQ(ReadHeader(File(40, 25), H), TBmpHeaderResult::NotBmp);
    std::string NotBm = File(40, 54);
    NotBm[1] = 'A';
    EXPECT_EQ(ReadHeader(NotBm, H), TBmpHeaderResult::NotBmp);
    EXPECT_EQ(ReadBmpHeader(nullptr, 100, H), TBmpHeaderResult::NotBmp);
}
