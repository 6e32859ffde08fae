// The process-wide picture cache: decoded pictures shared by every document and viewer, keyed by
// the upper-cased, trimmed image name, aged by document loads. Free of windows: an entry owns its
// picture and mask as TObjects (bitmaps or animated GIFs on Windows, anything in tests).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/Object.h"

// One cache entry.
class TBitmapItem : public TObject {
public:
    TBitmapItem(std::unique_ptr<TObject> image, std::unique_ptr<TObject> mask, uint8_t transp);

    // Document loads since the entry was last taken from the cache.
    int AccessCount = 0;
    // Image objects that hold a use of the picture; never purged while above 0.
    int UsageCount = 0;
    // Kind of transparency: 0 none, 1 from the TRANSP attribute (bottom-left pixel), 2 from a GIF.
    uint8_t Transp = 0;
    std::unique_ptr<TObject> MImage;
    std::unique_ptr<TObject> Mask;
};

// The sorted list of keys and entries. Not thread-safe: the GUI thread alone uses it.
class TStringBitmapList {
public:
    TStringBitmapList() = default;
    TStringBitmapList(const TStringBitmapList&) = delete;
    TStringBitmapList& operator=(const TStringBitmapList&) = delete;

    // The key of an image name: upper-cased, then trimmed of characters up to a space.
    static std::string KeyOf(std::string_view name);

    int Count() const { return static_cast<int>(entries_.size()); }
    // The entry's index, or -1.
    int IndexOf(std::string_view key) const;
    const std::string& Key(int index) const { return entries_.at(index).first; }
    TBitmapItem& Item(int index) { return *entries_.at(index).second; }
    // The entry itself, shared: a holder keeps its picture alive even past a purge or Clear.
    std::shared_ptr<TBitmapItem> SharedItem(int index) const { return entries_.at(index).second; }

    // Adds an entry for a picture just fetched. The entry starts with one use, the fetcher's, and
    // AccessCount 0. A key already present has its entry replaced only when that one is unused;
    // otherwise the new item is dropped and the existing index returned with a use taken.
    int AddObject(const std::string& key, std::unique_ptr<TBitmapItem> item);
    // Takes a use of the entry: AccessCount 0, UsageCount + 1; returns its picture.
    TObject* GetImage(int index);
    // Gives back one use of the key's entry (never below 0). An unknown key is ignored.
    void ReleaseUsage(std::string_view key);

    // One more document load: every entry ages; entries past MaxUsage loads that nobody uses go.
    void MarkUsedAndPurge();
    // Drops unused entries older than n loads, then MaxUsage := n.
    void SetCacheCount(int n);
    // Drops every unused entry.
    void PurgeCache();
    // Drops everything (shut-down).
    void Clear() { entries_.clear(); }

    int MaxUsage = 4;

private:
    template <typename Pred> void RemoveUnusedIf(Pred pred);

    std::vector<std::pair<std::string, std::shared_ptr<TBitmapItem>>> entries_;
};

// One use of a cache entry held by a document's image. It gives the use back exactly once: when
// it is destroyed or released, so a document can never release a use it did not take.
class TImageCacheUse {
public:
    TImageCacheUse() = default;
    // Records a use already taken (by GetImage or AddObject) of the key's entry.
    TImageCacheUse(TStringBitmapList& list, std::string key) : list_(&list), key_(std::move(key)) {}
    ~TImageCacheUse() { Release(); }
    TImageCacheUse(const TImageCacheUse&) = delete;
    TImageCacheUse& operator=(const TImageCacheUse&) = delete;
    TImageCacheUse(TImageCacheUse&& other) noexcept
        : list_(std::exchange(other.list_, nullptr)), key_(std::move(other.key_)) {}
    TImageCacheUse& operator=(TImageCacheUse&& other) noexcept;

    bool Holds() const { return list_ != nullptr; }
    const std::string& Key() const { return key_; }
    void Release();

private:
    TStringBitmapList* list_ = nullptr;
    std::string key_;
};

// The cache every viewer of the process shares (`ImageCache`). Lives until the process ends;
// the display shut-down clears it while the GDI is still there.
TStringBitmapList& ImageCache();
