// The GIF decoder: every picture of giflib's source compared frame by frame with what giflib
// itself decodes, then hand-built files for the format's corners and hostile headers.
#include <gtest/gtest.h>

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "GifReference.h"
#include "GifTestFiles.h"
#include "htmlview/GifDecoder.h"

using namespace std::string_literals;

using namespace mv::test;

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

// giflib's decoding of the file, composed by the reference compositor.
struct TReference {
    bool ok = false;
    std::vector<TReferenceScreen> frames;
    // What the file uses, so a test can tell what it covered.
    std::set<int> disposals;
    bool transparency = false, interlace = false, partial = false;
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
    const int sw = gif->SWidth, sh = gif->SHeight;
    std::vector<TReferenceImage> images;
    for (int i = 0; i < gif->ImageCount; ++i) {
        GraphicsControlBlock gcb{0, false, 0, NO_TRANSPARENT_COLOR};
        DGifSavedExtensionToGCB(gif, i, &gcb);
        const SavedImage& saved = gif->SavedImages[i];
        const GifImageDesc& d = saved.ImageDesc;
        TReferenceImage& image = images.emplace_back();
        image.left = d.Left, image.top = d.Top, image.width = d.Width, image.height = d.Height;
        image.indexes.assign(saved.RasterBits, saved.RasterBits + static_cast<size_t>(d.Width) * d.Height);
        if (const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap)
            for (int c = 0; c < map->ColorCount; ++c)
                image.colors.push_back(map->Colors[c].Red | map->Colors[c].Green << 8 |
                                       map->Colors[c].Blue << 16);
        image.transparent = gcb.TransparentColor;
        image.disposal = gcb.DisposalMode & 3;
        ref.disposals.insert(image.disposal);
        ref.transparency = ref.transparency || gcb.TransparentColor != NO_TRANSPARENT_COLOR;
        ref.interlace = ref.interlace || d.Interlace;
        ref.partial = ref.partial || d.Left > 0 || d.Top > 0 || d.Width < sw || d.Height < sh;
    }
    ref.frames = ComposeByTheRules(sw, sh, images);
    ref.ok = true;
    DGifCloseFile(gif, &error);
    return ref;
}

// The composer's frame as a screen.
TReferenceScreen ScreenOf(const TGifComposer& composer) {
    const TPixelImage& image = composer.Pixels();
    TReferenceScreen screen{image.Width, image.Height, {}, {}};
    for (int y = 0; y < image.Height; ++y)
        for (int x = 0; x < image.Width; ++x) {
            screen.color.push_back(image.ColorAt(x, y));
            screen.seeThrough.push_back(composer.Mask().At(x, y));
        }
    return screen;
}

// The first difference, or "" when the screens agree.
std::string CompareScreens(const TReferenceScreen& ours, const TReferenceScreen& ref) {
    if (ours.width != ref.width || ours.height != ref.height)
        return "size " + std::to_string(ours.width) + "x" + std::to_string(ours.height) + " vs " +
               std::to_string(ref.width) + "x" + std::to_string(ref.height);
    for (size_t i = 0; i < ref.color.size(); ++i) {
        const std::string at = std::to_string(i % ref.width) + "," + std::to_string(i / ref.width);
        if (ours.seeThrough[i] != ref.seeThrough[i]) return "see-through at " + at;
        if (ours.color[i] != ref.color[i]) return "colour at " + at;
    }
    return "";
}

// Every frame composed in the given order (frame numbers, 0-based) against the reference;
// "" when all agree.
std::string CompareFrames(const TGif& gif, const TReference& ref, const std::vector<int>& order) {
    if (gif.ImageCount() != static_cast<int>(ref.frames.size())) return "frame count";
    TGifComposer composer(gif);
    for (int frame : order) {
        composer.Seek(frame);
        if (composer.Frame() != frame) return "Seek(" + std::to_string(frame) + ") shows another frame";
        const std::string diff = CompareScreens(ScreenOf(composer), ref.frames[frame]);
        if (!diff.empty()) return "frame " + std::to_string(frame) + ": " + diff;
    }
    return "";
}

std::vector<int> InOrder(int count) {
    std::vector<int> order(count);
    for (int i = 0; i < count; ++i)
        order[i] = i;
    return order;
}

void Load(const std::string& bytes, TGif& gif) {
    gif.LoadFromBytes(bytes.data(), bytes.size());
}

std::string ErrorOf(const std::string& bytes) {
    try {
        TGif gif;
        Load(bytes, gif);
    } catch (const EInvalidGraphicOperation& e) {
        return e.Message();
    }
    return "";
}

// The frame the composer shows after Seek(frame), from the first.
TReferenceScreen Frame(const TGif& gif, int frame) {
    TGifComposer composer(gif);
    composer.Seek(frame);
    return ScreenOf(composer);
}

std::vector<uint8_t> Ramp(int count, int modulo) {
    std::vector<uint8_t> out(count);
    for (int i = 0; i < count; ++i)
        out[i] = static_cast<uint8_t>((i * 7 + i / 3) % modulo);
    return out;
}

} // namespace

TEST(GifDecoder, EveryPictureOfGiflibsSourceComposesLikeTheReference) {
    const std::filesystem::path dir = MV_TESTPICS "/gif";
    ASSERT_TRUE(std::filesystem::is_directory(dir)) << "run scripts/setup";
    int compared = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        const std::string bytes = ReadFile(entry.path());
        const TReference ref = DecodeWithGiflib(bytes);
        TGif gif;
        std::string ours;
        try {
            Load(bytes, gif);
        } catch (const EInvalidGraphicOperation& e) {
            ours = e.Message();
        }
        SCOPED_TRACE(entry.path().filename().string());
        if (!ref.ok) continue; // giflib refuses it too; ours only had to survive it
        ASSERT_EQ(ours, "");
        EXPECT_EQ(CompareFrames(gif, ref, InOrder(gif.ImageCount())), "");
        ++compared;
    }
    EXPECT_GE(compared, 30);
}

TEST(GifDecoder, ImageMagickAnimationsComposeByTheGif89aRules) {
    // Animations ImageMagick made (tests/htmlview/animations/make-animations.sh): between them
    // every disposal method, see-through pixels, interlaced and partial frames.
    const std::filesystem::path dir = MV_ANIMATIONS;
    TReference all;
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().extension() != ".gif") continue;
        SCOPED_TRACE(entry.path().filename().string());
        const std::string bytes = ReadFile(entry.path());
        const TReference ref = DecodeWithGiflib(bytes);
        ASSERT_TRUE(ref.ok);
        TGif gif;
        Load(bytes, gif);
        const int n = gif.ImageCount();
        EXPECT_EQ(CompareFrames(gif, ref, InOrder(n)), "");
        // Looping round, jumping back and skipping ahead give the same frames.
        EXPECT_EQ(CompareFrames(gif, ref, {n - 1, 0, n - 1, 1, 0, n / 2, n - 1, n / 2}), "");
        all.disposals.insert(ref.disposals.begin(), ref.disposals.end());
        all.transparency = all.transparency || ref.transparency;
        all.interlace = all.interlace || ref.interlace;
        all.partial = all.partial || ref.partial;
        ++files;
    }
    EXPECT_EQ(files, 5);
    EXPECT_EQ(all.disposals, (std::set<int>{0, 1, 2, 3}));
    EXPECT_TRUE(all.transparency && all.interlace && all.partial);
}

TEST(GifDecoder, DisposalsAndTheFirstFrameFollowTheGif89aRules) {
    // A 4 x 1 screen; index 1 and 2 are colours, 3 is transparent where a frame says so.
    const uint32_t c1 = 0x07FE01, c2 = 0x0EFD02, c3 = 0x15FC03;
    auto colors = [](const TReferenceScreen& s) {
        std::vector<uint32_t> out;
        for (size_t i = 0; i < s.color.size(); ++i)
            out.push_back(s.seeThrough[i] ? 0xFFFFFFFFu : s.color[i]);
        return out;
    };
    const uint32_t behind = 0xFFFFFFFF; // what lies behind the picture shows
    {
        // A first frame smaller than the screen shows what is behind it around it.
        TGifWriter w(4, 1, 2);
        w.Image(1, 0, 2, 1, {1, 2});
        TGif gif;
        Load(w.Bytes(), gif);
        EXPECT_TRUE(gif.Transparent());
        EXPECT_EQ(colors(Frame(gif, 0)), (std::vector<uint32_t>{behind, c1, c2, behind}));
    }
    {
        // Restore to background without transparency: the old frame goes, the next shows alone.
        TGifWriter w(4, 1, 2);
        w.GraphicControl(2, 1, -1);
        w.Image(0, 0, 4, 1, {1, 1, 1, 1});
        w.Image(1, 0, 1, 1, {2});
        TGif gif;
        Load(w.Bytes(), gif);
        EXPECT_EQ(colors(Frame(gif, 1)), (std::vector<uint32_t>{behind, c2, behind, behind}));
    }
    {
        // Restore to previous, over a frame left in place: a transparent pixel of the restored
        // frame shows the kept frame again, not a hole, and the opaque part does not linger.
        TGifWriter w(4, 1, 2);
        w.GraphicControl(1, 1, -1);
        w.Image(0, 0, 4, 1, {1, 1, 1, 1});
        w.GraphicControl(3, 1, 3);
        w.Image(0, 0, 4, 1, {2, 3, 2, 2});
        w.GraphicControl(1, 1, 3);
        w.Image(3, 0, 1, 1, {3});
        TGif gif;
        Load(w.Bytes(), gif);
        EXPECT_EQ(colors(Frame(gif, 1)), (std::vector<uint32_t>{c2, c1, c2, c2}));
        EXPECT_EQ(colors(Frame(gif, 2)), (std::vector<uint32_t>{c1, c1, c1, c1}));
    }
    {
        // Restore to previous on the first frame brings back the empty screen; a disposed last
        // frame does not make the animation see-through, the restart does not need it.
        TGifWriter w(4, 1, 2);
        w.GraphicControl(3, 1, -1);
        w.Image(0, 0, 4, 1, {1, 2, 3, 1});
        w.GraphicControl(2, 1, -1);
        w.Image(2, 0, 1, 1, {3});
        TGif gif;
        Load(w.Bytes(), gif);
        EXPECT_TRUE(gif.Transparent());
        EXPECT_EQ(colors(Frame(gif, 1)), (std::vector<uint32_t>{behind, behind, c3, behind}));
        TGifWriter last(4, 1, 2);
        last.Image(0, 0, 4, 1, {1, 2, 3, 1});
        last.GraphicControl(2, 1, -1);
        last.Image(2, 0, 1, 1, {3});
        TGif opaque;
        Load(last.Bytes(), opaque);
        EXPECT_FALSE(opaque.Transparent());
    }
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
        Load(w.Bytes(), gif);
        EXPECT_EQ(CompareFrames(gif, ref, {0}), "");
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
    // Extensions of unknown kinds or odd block sizes are read past; the picture loads.
    auto withExtension = [](const std::string& extension) {
        TGifWriter w(2, 1, 1);
        w.Raw(extension);
        w.Image(0, 0, 2, 1, {1, 0});
        w.Trailer();
        return w.Bytes();
    };
    TGifWriter badOpcode(2, 2, 1);
    badOpcode.Raw("?");
    // A 65535 x 65535 screen (16 GB to compose), with two small frames or one 30-byte huge one.
    TGifWriter hugeScreen(65535, 65535, 1);
    hugeScreen.Image(0, 0, 1, 1, {1});
    hugeScreen.Image(0, 0, 1, 1, {0});
    TGifWriter hugeFrame(65535, 65535, 0);
    hugeFrame.RawImage(0, 0, 65535, 65535, 0x80, 2, PackCodes({{4, 3}, {5, 3}}));

    // A huge frame on a small screen costs no more than the screen: it loads.
    TGifWriter hugeOnSmall(4, 4, 2);
    hugeOnSmall.RawImage(0, 0, 65535, 65535, 0, 2, PackCodes({{4, 3}, {1, 3}, {5, 3}}));
    hugeOnSmall.Trailer();

    const Case cases[] = {
        {"huge frame on a small screen", hugeOnSmall.Bytes(), ""},
        {"signature", "GIF88a\0\0\0\0\0\0\0;"s, "TGif: Invalid GIF Signature Code"},
        {"no image", headerOnly.Bytes(), "TGif: No Image Description"},
        {"no colour table", noTable.Bytes(), "TGif: No Local or Global Color Table for Image"},
        {"short sub-block", shortBlock.Bytes(), "TGif: Unexpected end of file"},
        {"unknown extension", withExtension("!\xAB\x02xy\0"s), ""},
        {"graphic control size", withExtension("!\xF9\x05\x05\0\0\x01\0\0"s), ""},
        {"graphic control with more blocks",
         withExtension("!\xF9\x04\x01\0\0\x01\x02"
                       "ab\0"s),
         ""},
        {"application size", withExtension("!\xFF\x0ANETSCAPE2.\x03\x01\0\0\0"s), ""},
        {"plain text size",
         withExtension("!\x01\x02"
                       "ab\x01"
                       "c\0"s),
         ""},
        {"opcode", badOpcode.Bytes(), "TGif: Unknown Graphics Operation Code"},
        {"code size 0", image(0, "\x01"), "TGif: Invalid LZW Code Size"},
        {"code size 12", image(12, "\x01"), "TGif: Invalid LZW Code Size"},
        {"code size 255", image(255, "\x01"), "TGif: Invalid LZW Code Size"},
        {"clear then end", image(2, PackCodes({{4, 3}, {5, 3}})), "TGif: Invalid LZW Data Format"},
        {"code past next free: the picture stops there", image(2, PackCodes({{4, 3}, {1, 3}, {7, 3}})), ""},
        {"huge screen", hugeScreen.Bytes(), "TGif: Animated GIF too large"},
        {"huge frame", hugeFrame.Bytes(), "TGif: Animated GIF too large"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ErrorOf(c.bytes), c.message) << c.name;
    EXPECT_LE(hugeFrame.Bytes().size(), 40u);
    // The graphic control of the wrong size sets nothing, the one with a further block counts.
    TGif odd;
    Load(withExtension("!\xF9\x05\x05\0\0\x01\0\0"s), odd);
    EXPECT_EQ(odd.ImageTransparentIndex(0), -1);
    Load(withExtension("!\xF9\x04\x01\0\0\x01\x02"
                       "ab\0"s),
         odd);
    EXPECT_EQ(odd.ImageTransparentIndex(0), 1);
    Load(withExtension("!\xFF\x0ANETSCAPE2.\x03\x01\0\0\0"s), odd);
    EXPECT_EQ(odd.LoopCount, -1); // not the looping block
    Load(image(2, PackCodes({{4, 3}, {1, 3}, {7, 3}})), odd);
    EXPECT_TRUE(odd.Image(0).Damaged);
    std::vector<uint8_t> stopped;
    odd.DecodeImage(0, stopped);
    EXPECT_EQ(stopped, (std::vector<uint8_t>{1, 0, 0, 0}));
    TGif gif;
    Load(hugeOnSmall.Bytes(), gif);
    EXPECT_EQ(Frame(gif, 0).color[0], 0x07FE01u);
    EXPECT_EQ(Frame(gif, 0).color[1], 0x00FF00u); // not reached by the data: index 0
    EXPECT_EQ(gif.VisibleWidth(0), 4);
}

TEST(GifDecoder, CodeSizesOneAndElevenDecode) {
    for (int minCode : {1, 11}) {
        SCOPED_TRACE(minCode);
        TGifWriter w(5, 1, 1);
        w.Image(0, 0, 5, 1, {1, 0, 1, 1, 0}, false, minCode);
        TGif gif;
        Load(w.Bytes(), gif); // no trailer: the end of the file ends it
        const TReferenceScreen screen = Frame(gif, 0);
        ASSERT_EQ(screen.width, 5);
        for (int x = 0; x < 5; ++x) {
            const uint32_t expected = (x == 1 || x == 4) ? 0x00FF00 : 0x07FE01;
            EXPECT_EQ(screen.color[x], expected) << x;
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
    Load(gw.Bytes(), gif);
    EXPECT_EQ(CompareFrames(gif, ref, {0}), "");
    std::vector<uint8_t> decoded;
    gif.DecodeImage(0, decoded);
    EXPECT_EQ(decoded, pixels);
}

TEST(GifDecoder, DataEndingEarlyLeavesIndexZero) {
    TGifWriter w(4, 2, 2);
    w.RawImage(0, 0, 4, 2, 0, 2, PackCodes({{4, 3}, {3, 3}, {2, 3}}));
    TGif gif;
    Load(w.Bytes(), gif);
    std::vector<uint8_t> decoded;
    gif.DecodeImage(0, decoded);
    EXPECT_EQ(decoded, (std::vector<uint8_t>{3, 2, 0, 0, 0, 0, 0, 0}));
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
}

TEST(GifDecoder, TransparentPixelsAndDisposalsClipToTheScreen) {
    // Three 100 x 100 frames and a 1 x 1 one: transparency see-through in frame 0, kept from the
    // frame before later; a disposed frame clears its rectangle, clipped to the screen.
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
    Load(w.Bytes(), gif);
    EXPECT_EQ(gif.VisibleWidth(2), 10);
    EXPECT_EQ(gif.VisibleHeight(2), 10);
    TGifComposer c(gif);
    auto at = [&c](int x, int y) { return c.Mask().At(x, y) ? 0xFFFFFFFFu : c.Pixels().ColorAt(x, y); };
    c.Seek(0);
    EXPECT_EQ(at(5, 5), 0x07FE01u); // index 1
    c.Seek(1);
    EXPECT_EQ(at(5, 5), 0x0EFD02u);   // index 2 over frame 0's place, which was cleared
    EXPECT_EQ(at(0, 0), 0xFFFFFFFFu); // transparent over the cleared frame 0: see-through
    c.Seek(2);
    EXPECT_EQ(at(95, 95), 0x0EFD02u); // frame 2 is all transparent: frame 1 stays
    c.Seek(3);
    EXPECT_EQ(at(89, 89), 0x0EFD02u); // frame 2 disposed: its clipped rectangle clears
    EXPECT_EQ(at(90, 90), 0xFFFFFFFFu);
    EXPECT_EQ(at(99, 99), 0xFFFFFFFFu);
    EXPECT_EQ(at(0, 0), 0x15FC03u); // frame 3 drew index 3
    // Canvas, mask and one frame's indexes; nothing saved without disposal 3.
    EXPECT_LE(c.MemoryBytes(), 100u * 100 * 5);
}

TEST(GifDecoder, ScreenOfNoSizeComposesNothing) {
    for (auto [w, h] : {std::pair{0, 5}, std::pair{5, 0}}) {
        TGifWriter gw(w, h, 1);
        gw.GraphicControl(3, 0, 1);
        gw.Image(0, 0, 2, 2, {0, 1, 1, 0});
        gw.Image(1, 1, 2, 2, {1, 1, 1, 1});
        TGif gif;
        Load(gw.Bytes(), gif);
        TGifComposer c(gif);
        c.Seek(1);
        EXPECT_EQ(c.Frame(), 1);
        EXPECT_EQ(c.Pixels().Width, w);
        EXPECT_EQ(c.Pixels().Height, h);
        EXPECT_TRUE(c.Pixels().Pixels.empty());
    }
}

TEST(GifDecoder, DamagedAnimationsThatGiflibDecodesAreShown) {
    // Every ImageMagick animation with each byte after the screen's size in turn replaced by a
    // few values, and cut short at each length: whatever giflib still decodes, ours loads and
    // composes alike.
    const std::filesystem::path dir = MV_ANIMATIONS;
    int decoded = 0, tried = 0;
    std::set<std::string> failures;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().extension() != ".gif") continue;
        const std::string original = ReadFile(entry.path());
        std::vector<std::string> variants;
        for (size_t at = 10; at < original.size(); ++at) {
            for (const char value : {'\0', '\x2C', '\xFF'}) {
                if (original[at] == value) continue;
                std::string bytes = original;
                bytes[at] = value;
                variants.push_back(std::move(bytes));
            }
            variants.push_back(original.substr(0, at));
        }
        for (const std::string& bytes : variants) {
            ++tried;
            const TReference ref = DecodeWithGiflib(bytes);
            if (!ref.ok) continue;
            ++decoded;
            TGif gif;
            std::string diff;
            try {
                Load(bytes, gif);
                // Frames from a damaged one on show what our decoder made of the damage.
                int sound = 0;
                while (sound < gif.ImageCount() && !gif.Image(sound).Damaged)
                    ++sound;
                diff = CompareFrames(gif, ref, InOrder(sound));
                TGifComposer composer(gif);
                composer.Seek(gif.ImageCount() - 1);
            } catch (const EInvalidGraphicOperation& e) {
                diff = e.Message();
            }
            if (!diff.empty() && failures.size() < 10)
                failures.insert(entry.path().filename().string() + ": " + diff);
        }
    }
    EXPECT_GT(decoded, tried / 4);
    for (const std::string& failure : failures)
        ADD_FAILURE() << failure;
}
