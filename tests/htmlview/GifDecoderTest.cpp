// The GIF decoder: every picture of giflib's source compared frame by frame with what giflib
// itself decodes, then hand-built files for the format's corners and hostile headers.
#include <gtest/gtest.h>

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "GifTestFiles.h"
#include "htmlview/GifDecoder.h"

using namespace std::string_literals;

namespace {

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

struct TMemoryInput {
    const std::string* bytes;
    size_t pos = 0;
};

int ReadFromMemory(GifFileType* gif, GifByteType* buffer, int count) {
    auto* in = static_cast<TMemoryInput*>(gif->UserData);
    const size_t n = std::min<size_t>(count, in->bytes->size() - in->pos);
    std::memcpy(buffer, in->bytes->data() + in->pos, n);
    in->pos += n;
    return static_cast<int>(n);
}

// giflib's decoding of the file, composed into a strip by a plain loop with the same rules:
// each frame starts from the one before, transparent pixels keep what is below (black in the
// first frame), a disposed frame leaves its rectangle transparent in the mask.
struct TReference {
    bool ok = false;
    int loopCount = -1;
    TGifStrip strip;
};

TReference DecodeWithGiflib(const std::string& bytes) {
    TReference ref;
    TMemoryInput input{&bytes};
    int error = 0;
    GifFileType* gif = DGifOpen(&input, ReadFromMemory, &error);
    if (!gif) return ref;
    if (DGifSlurp(gif) != GIF_OK || gif->ImageCount < 1) {
        DGifCloseFile(gif, &error);
        return ref;
    }
    const int sw = gif->SWidth, sh = gif->SHeight, n = gif->ImageCount;
    bool transparent = false;
    std::vector<GraphicsControlBlock> gcbs(n);
    for (int i = 0; i < n; ++i) {
        gcbs[i] = GraphicsControlBlock{0, false, 0, NO_TRANSPARENT_COLOR};
        DGifSavedExtensionToGCB(gif, i, &gcbs[i]);
        transparent = transparent || gcbs[i].TransparentColor != NO_TRANSPARENT_COLOR;
    }
    TPixelImage& image = ref.strip.Image;
    image.Allocate(sw * n, sh);
    if (transparent) ref.strip.Mask.Allocate(sw * n, sh, 1);
    for (int i = 0; i < n; ++i) {
        const SavedImage& frame = gif->SavedImages[i];
        const GifImageDesc& d = frame.ImageDesc;
        if (i > 0) {
            for (int y = 0; y < sh; ++y)
                for (int x = 0; x < sw; ++x) {
                    std::memcpy(image.Row(y) + (i * sw + x) * 3, image.Row(y) + ((i - 1) * sw + x) * 3, 3);
                    if (transparent)
                        ref.strip.Mask.At(i * sw + x, y) = ref.strip.Mask.At((i - 1) * sw + x, y);
                }
            const GifImageDesc& b = gif->SavedImages[i - 1].ImageDesc;
            const int disposal = gcbs[i - 1].DisposalMode & 3;
            if (transparent && (disposal == 2 || disposal == 3))
                for (int y = b.Top; y < b.Top + b.Height && y < sh; ++y)
                    for (int x = b.Left; x < b.Left + b.Width && x < sw; ++x)
                        ref.strip.Mask.At(i * sw + x, y) = 1;
        }
        const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
        const int t = gcbs[i].TransparentColor;
        for (int r = 0; r < d.Height; ++r)
            for (int c = 0; c < d.Width; ++c) {
                const int x = d.Left + c, y = d.Top + r;
                if (x >= sw || y >= sh) continue;
                const int p = frame.RasterBits[r * d.Width + c];
                uint8_t* px = image.Row(y) + (i * sw + x) * 3;
                if (p == t) {
                    if (i == 0 && transparent) ref.strip.Mask.At(i * sw + x, y) = 1;
                    continue;
                }
                GifColorType color{0, 0, 0};
                if (map && p < map->ColorCount) color = map->Colors[p];
                px[0] = color.Blue, px[1] = color.Green, px[2] = color.Red;
                if (transparent) ref.strip.Mask.At(i * sw + x, y) = 0;
            }
    }
    ref.ok = true;
    DGifCloseFile(gif, &error);
    return ref;
}

// The first differing pixel, or "" when the strips agree.
std::string CompareStrips(const TGifStrip& ours, const TGifStrip& ref) {
    if (ours.Image.Width != ref.Image.Width || ours.Image.Height != ref.Image.Height)
        return "size " + std::to_string(ours.Image.Width) + "x" + std::to_string(ours.Image.Height) + " vs " +
               std::to_string(ref.Image.Width) + "x" + std::to_string(ref.Image.Height);
    if (ours.Mask.Empty() != ref.Mask.Empty()) return "mask presence differs";
    for (int y = 0; y < ref.Image.Height; ++y)
        for (int x = 0; x < ref.Image.Width; ++x) {
            if (ours.Image.ColorAt(x, y) != ref.Image.ColorAt(x, y))
                return "colour at " + std::to_string(x) + "," + std::to_string(y);
            if (!ref.Mask.Empty() && ours.Mask.At(x, y) != ref.Mask.At(x, y))
                return "mask at " + std::to_string(x) + "," + std::to_string(y);
        }
    return "";
}

TGifStrip Decode(const std::string& bytes, TGif& gif) {
    gif.LoadFromBytes(bytes.data(), bytes.size());
    return gif.GifFrameToBitmapStream();
}

std::string ErrorOf(const std::string& bytes) {
    try {
        TGif gif;
        Decode(bytes, gif);
    } catch (const EInvalidGraphicOperation& e) {
        return e.Message();
    }
    return "";
}

std::vector<uint8_t> Ramp(int count, int modulo) {
    std::vector<uint8_t> out(count);
    for (int i = 0; i < count; ++i)
        out[i] = static_cast<uint8_t>((i * 7 + i / 3) % modulo);
    return out;
}

} // namespace

TEST(GifDecoder, EveryPictureOfGiflibsSourceMatchesGiflib) {
    const std::filesystem::path dir = MV_TESTPICS "/gif";
    ASSERT_TRUE(std::filesystem::is_directory(dir)) << "run scripts/setup";
    int compared = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        const std::string bytes = ReadFile(entry.path());
        const TReference ref = DecodeWithGiflib(bytes);
        TGif gif;
        std::string ours;
        TGifStrip strip;
        try {
            strip = Decode(bytes, gif);
        } catch (const EInvalidGraphicOperation& e) {
            ours = e.Message();
        }
        SCOPED_TRACE(entry.path().filename().string());
        if (!ref.ok) continue; // giflib refuses it too; ours only had to survive it
        ASSERT_EQ(ours, "");
        EXPECT_EQ(CompareStrips(strip, ref.strip), "");
        ++compared;
    }
    EXPECT_GE(compared, 30);
}

TEST(GifDecoder, InterlacedPicturesOfOneToNineRowsMatchGiflib) {
    for (int height : {1, 2, 3, 4, 5, 8, 9}) {
        SCOPED_TRACE(height);
        TGifWriter w(3, height, 4);
        w.Image(0, 0, 3, height, Ramp(3 * height, 16), true, 4);
        w.Trailer();
        const TReference ref = DecodeWithGiflib(w.Bytes());
        ASSERT_TRUE(ref.ok);
        TGif gif;
        EXPECT_EQ(CompareStrips(Decode(w.Bytes(), gif), ref.strip), "");
    }
}

TEST(GifDecoder, FormatErrorsGiveTheirMessages) {
    struct Case {
        const char* name;
        std::string bytes;
        const char* message;
    };
    auto image = [](int minCode, std::string lzw) {
        TGifWriter w(2, 2, 2);
        w.RawImage(0, 0, 2, 2, 0, minCode, lzw);
        w.Trailer();
        return w.Bytes();
    };
    TGifWriter headerOnly(4, 4, 1);
    headerOnly.Trailer();
    TGifWriter noTable(2, 2, 0);
    noTable.Image(0, 0, 2, 2, {0, 1, 1, 0}, false, 2);
    TGifWriter shortBlock(2, 2, 1);
    shortBlock.Raw(",\0\0\0\0\x02\0\x02\0\0\x02\x09\x44\x01"s);
    TGifWriter unknownExt(2, 2, 1);
    unknownExt.Raw("!\xAB\0"s);
    TGifWriter badGce(2, 2, 1);
    badGce.Raw("!\xF9\x05\0\0\0\0\0"s);
    TGifWriter badGceEnd(2, 2, 1);
    badGceEnd.Raw("!\xF9\x04\0\0\0\0\x07"s);
    TGifWriter badApp(2, 2, 1);
    badApp.Raw("!\xFF\x0A"s);
    TGifWriter badOpcode(2, 2, 1);
    badOpcode.Raw("?");
    // 65535 x 65535 screen with two frames, and a 30-byte file whose one frame asks for 4 GB.
    TGifWriter hugeScreen(65535, 65535, 1);
    hugeScreen.Image(0, 0, 1, 1, {1});
    hugeScreen.Image(0, 0, 1, 1, {0});
    TGifWriter hugeFrame(65535, 65535, 0);
    hugeFrame.RawImage(0, 0, 65535, 65535, 0x80, 2, PackCodes({{4, 3}, {5, 3}}));

    const Case cases[] = {
        {"signature", "GIF88a\0\0\0\0\0\0\0;"s, "TGif: Invalid GIF Signature Code"},
        {"no image", headerOnly.Bytes(), "TGif: No Image Description"},
        {"no colour table", noTable.Bytes(), "TGif: No Local or Global Color Table for Image"},
        {"short sub-block", shortBlock.Bytes(), "TGif: Unexpected end of file"},
        {"unknown extension", unknownExt.Bytes(), "TGif: unknown extension: 00AB"},
        {"graphic control size", badGce.Bytes(), "TGif: Invalid Extension Block Size"},
        {"graphic control end", badGceEnd.Bytes(), "TGif: Invalid Extension Block Terminator"},
        {"application size", badApp.Bytes(), "TGif: Invalid Extension Block Size"},
        {"opcode", badOpcode.Bytes(), "TGif: Unknown Graphics Operation Code"},
        {"code size 0", image(0, "\x01"), "TGif: Invalid LZW Code Size"},
        {"code size 12", image(12, "\x01"), "TGif: Invalid LZW Code Size"},
        {"code size 255", image(255, "\x01"), "TGif: Invalid LZW Code Size"},
        {"clear then end", image(2, PackCodes({{4, 3}, {5, 3}})), "TGif: Invalid LZW Data Format"},
        {"code past next free", image(2, PackCodes({{4, 3}, {1, 3}, {7, 3}})),
         "TGif: Invalid LZW Data Format"},
        {"huge screen", hugeScreen.Bytes(), "TGif: Animated GIF too large"},
        {"huge frame", hugeFrame.Bytes(), "TGif: Animated GIF too large"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ErrorOf(c.bytes), c.message) << c.name;
    EXPECT_LE(hugeFrame.Bytes().size(), 40u);
}

TEST(GifDecoder, CodeSizesOneAndElevenDecode) {
    for (int minCode : {1, 11}) {
        SCOPED_TRACE(minCode);
        TGifWriter w(5, 1, 1);
        w.Image(0, 0, 5, 1, {1, 0, 1, 1, 0}, false, minCode);
        TGif gif;
        const TGifStrip strip = Decode(w.Bytes(), gif); // no trailer: the end of the file ends it
        ASSERT_EQ(strip.Image.Width, 5);
        for (int x = 0; x < 5; ++x) {
            const uint32_t expected = (x == 1 || x == 4) ? 0x00FF00 : 0x07FE01;
            EXPECT_EQ(strip.Image.ColorAt(x, 0), expected) << x;
        }
    }
}

TEST(GifDecoder, FullTableWithoutClearCodeKeepsDecodingLikeGiflib) {
    // 5000 pixels of 8-bit literals with no clear code: the table fills at 4095 and stays full.
    const int w = 100, h = 50;
    std::vector<std::pair<int, int>> codes{{256, 9}};
    std::vector<uint8_t> pixels;
    int nextFree = 258, width = 9;
    for (int i = 0; i < w * h; ++i) {
        const int p = (i * 13) % 256;
        pixels.push_back(static_cast<uint8_t>(p));
        codes.push_back({p, width});
        if (i > 0 && nextFree < 4096 && ++nextFree == (1 << width) && width < 12) ++width;
    }
    codes.push_back({257, width});
    TGifWriter gw(w, h, 8);
    gw.RawImage(0, 0, w, h, 0, 8, PackCodes(codes));
    gw.Trailer();
    const TReference ref = DecodeWithGiflib(gw.Bytes());
    ASSERT_TRUE(ref.ok);
    TGif gif;
    const TGifStrip strip = Decode(gw.Bytes(), gif);
    EXPECT_EQ(CompareStrips(strip, ref.strip), "");
    EXPECT_EQ(gif.Image(0).Pixels, pixels);
}

TEST(GifDecoder, DataEndingEarlyLeavesIndexZero) {
    TGifWriter w(4, 2, 2);
    w.RawImage(0, 0, 4, 2, 0, 2, PackCodes({{4, 3}, {3, 3}, {2, 3}}));
    TGif gif;
    Decode(w.Bytes(), gif);
    EXPECT_EQ(gif.Image(0).Pixels, (std::vector<uint8_t>{3, 2, 0, 0, 0, 0, 0, 0}));
}

TEST(GifDecoder, HeaderFactsAndPerImageQueries) {
    TGifWriter w(10, 10, 2, "gif89a");
    w.Netscape(0);
    w.Comment("made by hand");
    w.GraphicControl(2, 0, 3);
    w.Image(0, 0, 1, 1, {1});
    w.GraphicControl(7, 25, -1);
    w.Image(2, 3, 4, 5, std::vector<uint8_t>(20, 2));
    w.Image(0, 0, 1, 1, {0});
    w.Trailer();
    TGif gif;
    gif.LoadFromBytes(w.Bytes().data(), w.Bytes().size());
    EXPECT_EQ(gif.ImageCount(), 3);
    EXPECT_EQ(gif.LoopCount, 0);
    EXPECT_TRUE(gif.Transparent());
    EXPECT_EQ(gif.ImageDelay(0), 1);
    EXPECT_EQ(gif.ImageDelay(1), 25);
    EXPECT_EQ(gif.ImageDelay(2), 1);
    EXPECT_EQ(gif.ImageDisposalMethod(0), 2);
    EXPECT_EQ(gif.ImageDisposalMethod(1), 3);
    EXPECT_EQ(gif.ImageDisposalMethod(2), 0);
    EXPECT_EQ(gif.ImageTransparentIndex(0), 3);
    EXPECT_EQ(gif.ImageTransparentIndex(1), -1);
    EXPECT_EQ(gif.ImageLeft(1), 2);
    EXPECT_EQ(gif.ImageTop(1), 3);
    EXPECT_EQ(gif.ImageWidth(1), 4);
    EXPECT_EQ(gif.ImageHeight(1), 5);
    EXPECT_THROW(gif.ImageLeft(3), EInvalidGraphicOperation);
    EXPECT_THROW(gif.ImageDelay(-1), EInvalidGraphicOperation);

    TGifWriter plain(1, 1, 1);
    plain.Image(0, 0, 1, 1, {0});
    TGif noLoop;
    noLoop.LoadFromBytes(plain.Bytes().data(), plain.Bytes().size());
    EXPECT_EQ(noLoop.LoopCount, -1);
    EXPECT_FALSE(noLoop.Transparent());
    EXPECT_TRUE(noLoop.GifFrameToBitmapStream().Mask.Empty());
}

TEST(GifDecoder, StripComposesFramesOverTheOneBefore) {
    // Three 100 x 100 frames: a strip of 300 pixels; transparency black and see-through in
    // frame 0, kept from the frame before later; a disposed frame clears its rectangle in the
    // mask of the next frame, clipped to the screen.
    TGifWriter w(100, 100, 2);
    w.GraphicControl(2, 10, 0);
    w.Image(0, 0, 100, 100, std::vector<uint8_t>(10000, 1));
    w.GraphicControl(0, 10, 0);
    std::vector<uint8_t> second(100 * 100, 2);
    second[0] = 0;
    w.Image(0, 0, 100, 100, second);
    w.GraphicControl(2, 10, 0);
    w.Image(90, 90, 20, 20, std::vector<uint8_t>(400, 0));
    w.Image(0, 0, 1, 1, {3});
    w.Trailer();
    TGif gif;
    gif.LoadFromBytes(w.Bytes().data(), w.Bytes().size());
    const TGifStrip s = gif.GifFrameToBitmapStream();
    ASSERT_EQ(s.Image.Width, 400);
    ASSERT_EQ(s.Image.Height, 100);
    EXPECT_EQ(s.Image.ColorAt(5, 5), 0x07FE01u); // frame 0: index 1
    EXPECT_EQ(s.Mask.At(5, 5), 0);
    EXPECT_EQ(s.Mask.At(105, 5), 0); // frame 1 drew index 2 over it
    EXPECT_EQ(s.Image.ColorAt(105, 5), 0x0EFD02u);
    EXPECT_EQ(s.Image.ColorAt(100, 0), 0x07FE01u); // transparent in frame 1: frame 0's colour stays,
    EXPECT_EQ(s.Mask.At(100, 0), 1);               // but frame 0 was disposed, so it is see-through
    EXPECT_EQ(s.Mask.At(295, 95), 0);              // frame 2 is all transparent: frame 1 stays
    EXPECT_EQ(s.Mask.At(389, 89), 0);              // frame 2 disposed: its clipped rectangle clears
    EXPECT_EQ(s.Mask.At(390, 90), 1);
    EXPECT_EQ(s.Mask.At(399, 99), 1);
    EXPECT_EQ(s.Image.ColorAt(300, 0), 0x150000u + 0xFC03u); // frame 3 drew index 3
}

TEST(GifDecoder, FirstFrameTransparencyIsBlackAndMasked) {
    TGifWriter w(2, 1, 1);
    w.GraphicControl(0, 0, 1);
    w.Image(0, 0, 2, 1, {0, 1});
    w.GraphicControl(0, 0, 0);
    w.Image(0, 0, 2, 1, {0, 1});
    TGif gif;
    const TGifStrip s = Decode(w.Bytes(), gif);
    EXPECT_EQ(s.Image.ColorAt(1, 0), 0u);
    EXPECT_EQ(s.Mask.At(1, 0), 1);
    EXPECT_EQ(s.Mask.At(0, 0), 0);
    EXPECT_EQ(s.Image.ColorAt(2, 0), s.Image.ColorAt(0, 0)); // frame 1: index 0 is transparent now
    EXPECT_EQ(s.Mask.At(3, 0), 0);                           // index 1 drawn in frame 1
}

TEST(GifDecoder, ScreenOfNoSizeGivesAnEmptyStrip) {
    for (auto [w, h] : {std::pair{0, 5}, std::pair{5, 0}}) {
        TGifWriter gw(w, h, 1);
        gw.GraphicControl(2, 0, 1);
        gw.Image(0, 0, 2, 2, {0, 1, 1, 0});
        gw.Image(1, 1, 2, 2, {1, 1, 1, 1});
        TGif gif;
        const TGifStrip strip = Decode(gw.Bytes(), gif);
        EXPECT_EQ(strip.Image.Width, w * 2);
        EXPECT_EQ(strip.Image.Height, h);
        EXPECT_TRUE(strip.Image.Pixels.empty());
    }
}

TEST(GifDecoder, FirstFrameAloneEqualsTheStripsFirstBlock) {
    TGifWriter w(3, 2, 2);
    w.GraphicControl(2, 0, 3);
    w.Image(0, 0, 3, 2, {0, 1, 3, 2, 2, 1});
    w.Image(1, 0, 2, 2, {3, 3, 3, 3});
    TGif gif;
    const TGifStrip all = Decode(w.Bytes(), gif);
    const TGifStrip first = gif.ComposeFrames(1);
    ASSERT_EQ(first.Image.Width, 3);
    ASSERT_EQ(first.Mask.Width, 3);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(first.Image.ColorAt(x, y), all.Image.ColorAt(x, y));
            EXPECT_EQ(first.Mask.At(x, y), all.Mask.At(x, y));
        }
    EXPECT_EQ(gif.ComposeFrames(99).Image.Width, 6);
}
