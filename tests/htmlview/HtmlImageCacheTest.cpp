// The picture cache's ageing, purging and use counting, with two documents sharing pictures.
#include <gtest/gtest.h>

#include "htmlview/HtmlImageCache.h"
#include "htmlview/HtmlImageTypes.h"

namespace {
struct TCounted : TObject {
    explicit TCounted(int* alive) : alive_(alive) { ++*alive_; }
    ~TCounted() override { --*alive_; }
    int* alive_;
};

std::unique_ptr<TBitmapItem> NewItem(int* alive) {
    return std::make_unique<TBitmapItem>(std::make_unique<TCounted>(alive), nullptr, 0);
}
} // namespace

TEST(ImageCache, KeysIgnoreCaseAndSurroundingBlanks) {
    EXPECT_EQ(TStringBitmapList::KeyOf("  pic.gif\t"), "PIC.GIF");
    TStringBitmapList cache;
    int alive = 0;
    cache.AddObject(TStringBitmapList::KeyOf("pic.gif"), NewItem(&alive));
    EXPECT_EQ(cache.IndexOf(TStringBitmapList::KeyOf(" PIC.GIF ")), 0);
    EXPECT_EQ(cache.IndexOf("OTHER.GIF"), -1);
}

TEST(ImageCache, TwoDocumentsReleaseExactlyTheUsesTheyTook) {
    TStringBitmapList cache;
    int alive = 0;
    // Document A fetches the picture first (the new entry holds A's one use), B takes another.
    TImageCacheUse a(cache, "A.BMP");
    cache.AddObject("A.BMP", NewItem(&alive));
    EXPECT_EQ(cache.Item(0).UsageCount, 1);
    cache.GetImage(cache.IndexOf("A.BMP"));
    TImageCacheUse b(cache, "A.BMP");
    EXPECT_EQ(cache.Item(0).UsageCount, 2);

    // A goes away (and releases twice by mistake): B still draws it, so no load purges it.
    a.Release();
    a.Release();
    EXPECT_EQ(cache.Item(0).UsageCount, 1);
    cache.PurgeCache();
    for (int load = 0; load < 10; ++load)
        cache.MarkUsedAndPurge();
    ASSERT_EQ(cache.Count(), 1);
    EXPECT_EQ(alive, 1);

    // B moves its use elsewhere and then goes: the entry survives MaxUsage loads, then goes.
    TImageCacheUse moved = std::move(b);
    EXPECT_FALSE(b.Holds());
    moved = TImageCacheUse();
    EXPECT_EQ(cache.Item(0).UsageCount, 0);
    cache.Item(0).AccessCount = 0;
    for (int load = 0; load < cache.MaxUsage; ++load)
        cache.MarkUsedAndPurge();
    EXPECT_EQ(cache.Count(), 1);
    cache.MarkUsedAndPurge();
    EXPECT_EQ(cache.Count(), 0);
    EXPECT_EQ(alive, 0);
}

TEST(ImageCache, SetCacheCountPurgeAndGetImage) {
    TStringBitmapList cache;
    int alive = 0;
    for (const char* key : {"C", "A", "B"})
        cache.AddObject(key, NewItem(&alive));
    EXPECT_EQ(cache.Key(0), "A");
    EXPECT_EQ(cache.Key(2), "C");
    for (const char* key : {"A", "B", "C"})
        cache.ReleaseUsage(key);
    cache.ReleaseUsage("A"); // never below zero
    EXPECT_EQ(cache.Item(0).UsageCount, 0);
    cache.MarkUsedAndPurge();
    cache.MarkUsedAndPurge();
    // B taken again: fresh and in use.
    TObject* picture = cache.GetImage(cache.IndexOf("B"));
    EXPECT_EQ(picture, cache.Item(1).MImage.get());
    EXPECT_EQ(cache.Item(1).AccessCount, 0);
    EXPECT_EQ(cache.Item(1).UsageCount, 1);
    cache.SetCacheCount(1);
    EXPECT_EQ(cache.MaxUsage, 1);
    ASSERT_EQ(cache.Count(), 1);
    EXPECT_EQ(cache.Key(0), "B");
    cache.ReleaseUsage("B");
    cache.PurgeCache();
    EXPECT_EQ(cache.Count(), 0);
    EXPECT_EQ(alive, 0);
}

TEST(ImageCache, AddingAKeyInUseKeepsTheSharedPicture) {
    TStringBitmapList cache;
    int alive = 0;
    cache.AddObject("K", NewItem(&alive));
    TObject* first = cache.Item(0).MImage.get();
    cache.AddObject("K", NewItem(&alive));
    EXPECT_EQ(cache.Item(0).MImage.get(), first);
    EXPECT_EQ(cache.Item(0).UsageCount, 2);
    EXPECT_EQ(alive, 1);
}

TEST(ImageTypes, SniffAndMask) {
    struct Case {
        std::string bytes;
        TImageType type;
    };
    const Case cases[] = {{"GIF89a", itGIF89},      {"GIF87a", itGIF87}, {"GIF8x", itGIF87},
                          {"GIF8", itUnknown},      {"BMxx", itBMP},     {"\x89PNG\r\n", itPNG},
                          {"\xFF\xD8\xFF", itJPEG}, {"\xFF", itUnknown}, {"", itUnknown}};
    for (const Case& c : cases)
        EXPECT_EQ(SniffImageType(c.bytes.data(), c.bytes.size()), c.type) << c.bytes;

    TPixelImage image;
    image.Allocate(2, 2);
    image.Row(1)[0] = 9;     // bottom-left pixel: blue 9
    image.Row(0)[3 + 0] = 9; // top-right the same colour
    const TPixelMask bottomLeft = MakePixelMask(image, false, 0);
    EXPECT_EQ(bottomLeft.Bits, (std::vector<uint8_t>{0, 1, 1, 0}));
    const TPixelMask black = MakePixelMask(image, true, 0);
    EXPECT_EQ(black.Bits, (std::vector<uint8_t>{1, 0, 0, 1}));
    EXPECT_THROW(image.Allocate(100000, 100000), EOutOfMemory);
}

TEST(ImageCache, SharedEntryOutlivesPurgeAndClear) {
    TStringBitmapList cache;
    int alive = 0;
    cache.AddObject("K", NewItem(&alive));
    std::shared_ptr<TBitmapItem> held = cache.SharedItem(0);
    cache.ReleaseUsage("K");
    cache.PurgeCache();
    EXPECT_EQ(cache.Count(), 0);
    EXPECT_EQ(alive, 1); // the holder still draws it
    held.reset();
    EXPECT_EQ(alive, 0);
}
