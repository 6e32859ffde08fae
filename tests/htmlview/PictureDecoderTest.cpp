// BMP and JPEG decoding of real files, compared pixel by pixel with libjpeg's own djpeg (which
// also writes the BMPs we read) and with ImageMagick for BMPs we did not make; then the damaged
// and hostile cases.
#include <gtest/gtest.h>

#include <jerror.h>

#include <filesystem>

#include "GifTestFiles.h"
#include "PictureOracle.h"
#include "htmlview/HtmlImageDecode.h"
#include "htmlview/BmpDecoder.h"
#include "htmlview/JpegDecoder.h"

namespace fs = std::filesystem;

namespace {
const std::string kPics = MV_TESTPICS "/jpeg/";

class TempDir {
public:
    TempDir() : path_(fs::temp_directory_path() / ("mv-pictures-" + std::to_string(::getpid()))) {
        fs::create_directories(path_);
    }
    ~TempDir() { fs::remove_all(path_); }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    fs::path path_;
};

TPixelImage Djpeg(const std::string& options, const std::string& file) {
    return ParsePnm(RunCapture("djpeg " + options + " '" + file + "' 2>/dev/null"));
}

std::string JpegError(const std::string& bytes) {
    try {
        DecodeJpeg(bytes.data(), bytes.size());
    } catch (const EInvalidGraphicOperation& e) {
        return e.Message();
    }
    return "";
}
} // namespace

TEST(JpegDecoder, RealFilesAndTheirVariantsMatchDjpeg) {
    TempDir tmp;
    const std::string orig = kPics + "testorig.jpg";
    ASSERT_TRUE(fs::exists(orig)) << "run scripts/setup";
    // Variants made by libjpeg's own encoder from its reference picture.
    const std::string ppm = kPics + "testorig.ppm";
    struct Variant {
        const char* name;
        const char* options;
    };
    const Variant variants[] = {{"gray.jpg", "-grayscale"},
                                {"progressive.jpg", "-progressive"},
                                {"restart.jpg", "-restart 1 -quality 30"},
                                {"h1v1.jpg", "-sample 1x1"},
                                {"odd.jpg", "-sample 2x1 -quality 95"}};
    std::vector<std::string> files = {orig, kPics + "testimgint.jpg", kPics + "testimgari.jpg"};
    for (const Variant& v : variants) {
        RunCapture(std::string("cjpeg ") + v.options + " -outfile '" + (tmp / v.name) + "' '" + ppm + "'");
        files.push_back(tmp / v.name);
    }
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        const TPixelImage expected = Djpeg("-pnm", file);
        ASSERT_FALSE(expected.Empty());
        const std::string bytes = ReadWholeFile(file);
        const TPixelImage ours = DecodeJpeg(bytes.data(), bytes.size());
        EXPECT_EQ(ComparePictures(ours, expected), "");
        EXPECT_EQ(ours.Grayscale, file.ends_with("gray.jpg"));
    }
}

TEST(JpegDecoder, TruncatedFileShowsWhatWasDecoded) {
    TempDir tmp;
    const std::string whole = ReadWholeFile(kPics + "testorig.jpg");
    const std::string cut = whole.substr(0, whole.size() / 2);
    WriteWholeFile(tmp / "cut.jpg", cut);
    const TPixelImage ours = DecodeJpeg(cut.data(), cut.size());
    EXPECT_EQ(ComparePictures(ours, Djpeg("-pnm", tmp / "cut.jpg")), "");
    // The top rows are those of the whole picture.
    const TPixelImage full = DecodeJpeg(whole.data(), whole.size());
    ASSERT_EQ(ours.Width, full.Width);
    EXPECT_TRUE(
        std::equal(full.Pixels.begin(), full.Pixels.begin() + full.Width * 3 * 16, ours.Pixels.begin()));
}

TEST(JpegDecoder, BadFilesRaiseTheLibrarysCode) {
    EXPECT_EQ(JpegError("not a jpeg at all"), "JPEG error #" + std::to_string(JERR_NO_SOI));
    EXPECT_EQ(JpegError(""), "JPEG error #" + std::to_string(JERR_NO_SOI));
    EXPECT_EQ(JpegError("\xFF\xD8"), "JPEG error #" + std::to_string(JERR_NO_IMAGE));
    // 12-bit samples are outside this build of the library.
    const std::string twelve = ReadWholeFile(kPics + "testorig12.jpg");
    EXPECT_EQ(JpegError(twelve), "JPEG error #" + std::to_string(JERR_BAD_PRECISION));
}

TEST(JpegDecoder, HugeHeaderFailsBeforeAllocating) {
    std::string bytes = ReadWholeFile(kPics + "testorig.jpg");
    const size_t sof = bytes.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    // Height and width of the frame header: 60000 x 60000.
    for (size_t at : {sof + 5, sof + 7})
        bytes[at] = static_cast<char>(0xEA), bytes[at + 1] = 0x60;
    EXPECT_THROW(DecodeJpeg(bytes.data(), bytes.size()), EOutOfMemory);
}

TEST(BmpDecoder, BmpsWrittenByDjpegMatchItsPpm) {
    TempDir tmp;
    const std::string orig = kPics + "testorig.jpg";
    struct Variant {
        const char* name;
        const char* bmpOptions;
        const char* pnmOptions;
        int bits;
    };
    const Variant variants[] = {{"24.bmp", "-bmp", "-pnm", 24},
                                {"os2.bmp", "-os2", "-pnm", 24},
                                {"256.bmp", "-bmp -colors 256", "-pnm -colors 256", 8},
                                {"os2-16.bmp", "-os2 -colors 16", "-pnm -colors 16", 8},
                                {"gray.bmp", "-bmp -grayscale", "-pnm -grayscale", 8}};
    for (const Variant& v : variants) {
        SCOPED_TRACE(v.name);
        RunCapture(std::string("djpeg ") + v.bmpOptions + " -outfile '" + (tmp / v.name) + "' '" + orig +
                   "'");
        const std::string bytes = ReadWholeFile(tmp / v.name);
        const TPixelImage ours = DecodeBmp(bytes.data(), bytes.size());
        EXPECT_EQ(ComparePictures(ours, Djpeg(v.pnmOptions, orig)), "");
        EXPECT_EQ(ours.SourceBits, v.bits);
    }
}

TEST(BmpDecoder, RealBmpsAndImageMagickVariantsMatchImageMagick) {
    TempDir tmp;
    std::vector<std::string> files;
    for (const char* name :
         {"vgl_5674_0098.bmp", "vgl_6434_0018a.bmp", "vgl_6548_0026a.bmp", "nightshot_iso_100.bmp"})
        files.push_back(kPics + name);
    // Formats only other writers make: 1, 4 bits, run lengths, 16 and 32 bits with fields, top-down.
    const std::string src = kPics + "vgl_6434_0018a.bmp";
    struct Variant {
        const char* name;
        const char* options;
    };
    const Variant variants[] = {{"mono.bmp", "-monochrome -type bilevel BMP3:"},
                                {"16.bmp", "-colors 16 -type palette BMP3:"},
                                {"rle8.bmp", "-colors 200 -type palette -compress RLE BMP3:"},
                                {"565.bmp", "-define bmp:subtype=RGB565 BMP:"},
                                {"555.bmp", "-define bmp:subtype=RGB555 BMP:"},
                                {"argb.bmp", "-alpha on -define bmp:format=bmp4 BMP:"},
                                {"flip.bmp", "-flip BMP3:"}};
    for (const Variant& v : variants) {
        const std::string options = v.options;
        const size_t split = options.rfind(' ');
        RunCapture("/usr/bin/convert '" + src + "' " + options.substr(0, split) + " '" +
                   options.substr(split + 1) + (tmp / v.name) + "'");
        files.push_back(tmp / v.name);
    }
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        const TPixelImage expected =
            ParsePnm(RunCapture("/usr/bin/convert '" + file + "' -depth 8 ppm:- 2>/dev/null"));
        ASSERT_FALSE(expected.Empty());
        const std::string bytes = ReadWholeFile(file);
        EXPECT_EQ(ComparePictures(DecodeBmp(bytes.data(), bytes.size()), expected), "");
    }
}

TEST(BmpDecoder, DamagedAndHostileHeaders) {
    // A 2 x 2, 24-bit picture: rows bottom-up, padded to 8 bytes.
    std::string bmp = std::string("BM") + std::string(8, '\0') + std::string("\x36\0\0\0", 4) +
                      std::string("\x28\0\0\0\x02\0\0\0\x02\0\0\0\x01\0\x18\0", 16) + std::string(24, '\0') +
                      std::string("\x01\x02\x03\x04\x05\x06\0\0\x07\x08\x09\x0A\x0B\x0C\0\0", 16);
    const TPixelImage ok = DecodeBmp(bmp.data(), bmp.size());
    EXPECT_EQ(ok.ColorAt(0, 1), 0x010203u);
    EXPECT_EQ(ok.ColorAt(1, 0), 0x0A0B0Cu);

    const std::string truncated = bmp.substr(0, bmp.size() - 8); // the top row is missing
    const TPixelImage part = DecodeBmp(truncated.data(), truncated.size());
    EXPECT_EQ(part.ColorAt(0, 1), 0x010203u);
    EXPECT_EQ(part.ColorAt(0, 0), 0u);

    auto patched = [&](size_t at, const std::string& value) {
        std::string b = bmp;
        b.replace(at, value.size(), value);
        return b;
    };
    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case invalid[] = {{"not BM", patched(0, "XM")},
                            {"short", bmp.substr(0, 20)},
                            {"header size 20", patched(14, std::string("\x14\0\0\0", 4))},
                            {"width 0", patched(18, std::string("\0\0\0\0", 4))},
                            {"width negative", patched(18, std::string("\xFE\xFF\xFF\xFF", 4))},
                            {"height -2^31", patched(22, std::string("\0\0\0\x80", 4))},
                            {"bits 7", patched(28, std::string("\x07\0", 2))},
                            {"compression 4", patched(30, std::string("\x04\0\0\0", 4))},
                            {"rle8 at 24 bits", patched(30, std::string("\x01\0\0\0", 4))}};
    for (const Case& c : invalid)
        EXPECT_THROW(DecodeBmp(c.bytes.data(), c.bytes.size()), EInvalidGraphicOperation) << c.name;
    // 60000 x 60000 asks for 10 GB: refused before allocating.
    const std::string huge = patched(18, std::string("\x60\xEA\0\0\x60\xEA\0\0", 8));
    EXPECT_THROW(DecodeBmp(huge.data(), huge.size()), EOutOfMemory);
}

TEST(PictureBytes, DecodedByKind) {
    TGifWriter gif(2, 1, 1);
    gif.Image(0, 0, 2, 1, {1, 0});
    gif.Image(0, 0, 2, 1, {0, 0});
    const std::string jpeg = ReadWholeFile(kPics + "testorig.jpg");
    const std::string bmp = ReadWholeFile(kPics + "vgl_6434_0018a.bmp");
    struct Case {
        const char* name;
        std::string bytes;
        bool gifs;
        bool ok;
        int width;
    };
    const Case cases[] = {{"gif", gif.Bytes(), true, true, 2},
                          {"gif refused", gif.Bytes(), false, false, 0},
                          {"jpeg", jpeg, true, true, 227},
                          {"bmp", bmp, false, true, 119},
                          {"png", "\x89PNG\r\n\x1A\n" + std::string(30, '\0'), true, false, 0},
                          {"damaged jpeg", jpeg.substr(0, 2), true, false, 0},
                          {"empty", "", true, false, 0}};
    for (const Case& c : cases) {
        TPixelImage out;
        EXPECT_EQ(DecodePictureBytes(c.bytes.data(), c.bytes.size(), c.gifs, out), c.ok) << c.name;
        EXPECT_EQ(out.Width, c.width) << c.name;
    }
    TPixelImage first;
    ASSERT_TRUE(DecodePictureBytes(gif.Bytes().data(), gif.Bytes().size(), true, first));
    EXPECT_EQ(first.ColorAt(0, 0), 0x07FE01u); // the first frame, not the second
}
