// The document picture fetch under Wine: one cache entry per name whatever its case and blanks,
// exactly the uses taken given back (two documents sharing pictures), the application's handler
// with its "later" stream, GIFs of one frame and animated ones, TRANSP masks.
#include <gtest/gtest.h>

#include <filesystem>

#include "GifTestFiles.h"
#include "PictureOracle.h"
#include "htmlview/GifImage.h"
#include "htmlview/HtmlImageDisplay.h"
#include "htmlview/HtmlImageFetch.h"

namespace fs = std::filesystem;

namespace {
class PictureFetch : public ::testing::Test {
protected:
    void SetUp() override {
        HtmlImagesStartup();
        dir_ = fs::temp_directory_path() / ("mv-fetch-" + std::to_string(GetCurrentProcessId()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        HtmlImagesShutdown();
        fs::remove_all(dir_);
    }
    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = (dir_ / name).string();
        WriteWholeFile(path, bytes);
        return path;
    }
    std::unique_ptr<TFetchedPicture> Fetch(const std::string& name, uint8_t transparent = 0) {
        last_ = transparent;
        return fetcher_.Fetch(name, last_, delayed_, fromCache_);
    }
    int Uses(const std::string& name) {
        const int index = ImageCache().IndexOf(TStringBitmapList::KeyOf(name));
        return index < 0 ? -1 : ImageCache().Item(index).UsageCount;
    }
    fs::path dir_;
    THtmlImageFetcher fetcher_;
    uint8_t last_ = 0;
    bool delayed_ = false, fromCache_ = false;
};

std::string OneFrame(bool transparent) {
    TGifWriter w(4, 2, 1);
    if (transparent) w.GraphicControl(0, 0, 1);
    w.Image(0, 0, 4, 2, {0, 1, 1, 0, 0, 0, 1, 1});
    w.Trailer();
    return w.Bytes();
}

std::string TwoFrames() {
    TGifWriter w(4, 2, 1);
    w.Image(0, 0, 4, 2, std::vector<uint8_t>(8, 0));
    w.Image(0, 0, 4, 2, std::vector<uint8_t>(8, 1));
    w.Trailer();
    return w.Bytes();
}
} // namespace

TEST_F(PictureFetch, TwoDocumentsShareOneEntryAndGiveBackTheirUses) {
    const std::string path = Write("pic.gif", OneFrame(false));
    auto first = Fetch(path);
    ASSERT_TRUE(first);
    EXPECT_FALSE(fromCache_);
    EXPECT_EQ(first->Width, 4);
    EXPECT_EQ(Uses(path), 1);
    // The same name upper-cased and among blanks is the same entry.
    std::string shouting = path;
    for (char& c : shouting)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    auto second = Fetch("  " + shouting + " ");
    ASSERT_TRUE(second);
    EXPECT_TRUE(fromCache_);
    EXPECT_EQ(second->Bitmap, first->Bitmap);
    EXPECT_EQ(ImageCache().Count(), 1);
    EXPECT_EQ(Uses(path), 2);

    first.reset();
    EXPECT_EQ(Uses(path), 1);
    for (int load = 0; load < 10; ++load)
        ImageCache().MarkUsedAndPurge(); // still drawn by the second
    ASSERT_EQ(Uses(path), 1);
    EXPECT_FALSE(second->Bitmap->Empty());
    second.reset();
    EXPECT_EQ(Uses(path), 0);
    for (int load = 0; load <= ImageCache().MaxUsage; ++load)
        ImageCache().MarkUsedAndPurge();
    EXPECT_EQ(Uses(path), -1);
}

TEST_F(PictureFetch, HandlerStreamsLaterAndFailures) {
    int calls = 0;
    std::unique_ptr<TStream> served;
    fetcher_.OnImageRequest = [&](const std::string& name) -> TStream* {
        ++calls;
        if (name == "later.gif") return ImageLaterStream();
        if (name == "short.bmp") return served.get();
        if (name == "jpeg") return served.get();
        return nullptr;
    };
    EXPECT_EQ(Fetch("later.gif"), nullptr);
    EXPECT_TRUE(delayed_);
    EXPECT_EQ(ImageCache().Count(), 0);
    EXPECT_EQ(Fetch("later.gif"), nullptr); // asked again: the handler is asked again
    EXPECT_EQ(calls, 2);

    served = std::make_unique<TStringStream>(std::string("BM") + std::string(17, '\0'));
    EXPECT_EQ(Fetch("short.bmp"), nullptr);
    EXPECT_FALSE(delayed_);
    EXPECT_EQ(Fetch("missing"), nullptr);
    EXPECT_EQ(ImageCache().Count(), 0);

    auto jpeg = std::make_unique<TMemoryStream>();
    jpeg->LoadFromFile(MV_TESTPICS "/jpeg/testorig.jpg");
    served = std::move(jpeg);
    auto picture = Fetch("jpeg", 1);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->Width, 227);
    EXPECT_EQ(last_, 0); // a JPEG has no transparency
    EXPECT_EQ(picture->Mask, nullptr);
    EXPECT_EQ(Uses("jpeg"), 1);
}

TEST_F(PictureFetch, GifsOfOneFrameBecomeBitmapsAndAnimatedOnesPrivateCopies) {
    const std::string clear = Write("clear.gif", OneFrame(true));
    auto picture = Fetch(clear);
    ASSERT_TRUE(picture && picture->Mask);
    EXPECT_EQ(picture->Gif, nullptr);
    EXPECT_EQ(last_, 2);
    auto again = Fetch(clear);
    EXPECT_EQ(last_, 2); // the entry remembers where its mask came from

    // A GIF named otherwise is its first frame only, opaque unless TRANSP asks for a mask.
    const std::string other = Write("clear.pic", OneFrame(true));
    auto plain = Fetch(other);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->Mask, nullptr);
    auto masked = Fetch(Write("other.pic", OneFrame(true)), 1);
    ASSERT_TRUE(masked && masked->Mask);
    EXPECT_EQ(last_, 1);
    // TRANSP asked of a cached picture without a mask: the mask is made and kept.
    auto later = Fetch(other, 1);
    ASSERT_TRUE(later && later->Mask);
    EXPECT_EQ(ImageCache().Item(ImageCache().IndexOf(TStringBitmapList::KeyOf(other))).Transp, 1);

    const std::string anim = Write("anim.gif", TwoFrames());
    auto a = Fetch(anim);
    ASSERT_TRUE(a && a->Gif);
    a->Gif->SetCurrentFrame(2);
    auto b = Fetch(anim);
    ASSERT_TRUE(b && b->Gif);
    EXPECT_NE(a->Gif.get(), b->Gif.get());
    EXPECT_EQ(b->Gif->CurrentFrame(), 1);
    EXPECT_EQ(&a->Gif->Source(), &b->Gif->Source());
    EXPECT_EQ(Uses(anim), 2);
}

TEST_F(PictureFetch, DrawingPicturesMaskedAndAnimated) {
    auto masked = Fetch(Write("clear.gif", OneFrame(true)));
    auto anim = Fetch(Write("anim.gif", TwoFrames()));
    ASSERT_TRUE(masked && anim);
    TBitmap target(20, 4, TPixelFormat::pf24bit);
    target.Canvas().Brush().SetColor(clRed);
    target.Canvas().FillRect(RECT{0, 0, 20, 4});
    DrawFetchedPicture(target.Canvas().Handle(), *masked, 0, 0, 8, 4);
    DrawFetchedPicture(target.Canvas().Handle(), *anim, 10, 0, 4, 2);
    EXPECT_EQ(target.Canvas().Pixel(0, 0), 0x00FF00u);  // index 0 drawn (doubled)
    EXPECT_EQ(target.Canvas().Pixel(2, 0), 0x0000FFu);  // index 1 transparent: red
    EXPECT_EQ(target.Canvas().Pixel(10, 0), 0x00FF00u); // the animation's first frame
    EXPECT_TRUE(anim->Gif->IsShown);
    EXPECT_EQ(anim->Gif->StretchedRect.left, 10);
}

TEST_F(PictureFetch, APictureOutlivesItsCacheEntry) {
    auto picture = Fetch(Write("clear.gif", OneFrame(true)));
    ASSERT_TRUE(picture && picture->Bitmap && picture->Mask);
    ImageCache().Clear(); // as at shut-down while a document still holds it
    EXPECT_EQ(picture->Bitmap->Width(), 4);
    TBitmap target(4, 2, TPixelFormat::pf24bit);
    target.Canvas().Brush().SetColor(clRed);
    target.Canvas().FillRect(RECT{0, 0, 4, 2});
    DrawFetchedPicture(target.Canvas().Handle(), *picture, 0, 0, 4, 2);
    EXPECT_EQ(target.Canvas().Pixel(0, 0), 0x00FF00u);
    EXPECT_EQ(target.Canvas().Pixel(1, 0), 0x0000FFu);
    picture.reset(); // its use goes back to a cache that no longer has the key: nothing happens
}
