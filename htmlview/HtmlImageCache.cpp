// The process-wide picture cache.
#include "htmlview/HtmlImageCache.h"

#include <algorithm>

#include "base/StrUtils.h"

TBitmapItem::TBitmapItem(std::unique_ptr<TObject> image, std::unique_ptr<TObject> mask, uint8_t transp)
    : Transp(transp), MImage(std::move(image)), Mask(std::move(mask)) {}

std::string TStringBitmapList::KeyOf(std::string_view name) {
    return Trim(UpperCase(name));
}

namespace {
template <typename Entries> auto LowerBound(Entries& entries, std::string_view key) {
    return std::lower_bound(entries.begin(), entries.end(), key,
                            [](const auto& entry, std::string_view k) { return entry.first < k; });
}
} // namespace

int TStringBitmapList::IndexOf(std::string_view key) const {
    auto it = LowerBound(entries_, key);
    if (it == entries_.end() || it->first != key) return -1;
    return static_cast<int>(it - entries_.begin());
}

int TStringBitmapList::AddObject(const std::string& key, std::unique_ptr<TBitmapItem> item) {
    auto it = LowerBound(entries_, key);
    if (it != entries_.end() && it->first == key) {
        const int index = static_cast<int>(it - entries_.begin());
        if (it->second->UsageCount > 0) {
            GetImage(index);
            return index;
        }
        it->second = std::move(item);
    } else {
        it = entries_.emplace(it, key, std::move(item));
    }
    it->second->AccessCount = 0;
    it->second->UsageCount = 1;
    return static_cast<int>(it - entries_.begin());
}

TObject* TStringBitmapList::GetImage(int index) {
    TBitmapItem& item = Item(index);
    item.AccessCount = 0;
    ++item.UsageCount;
    return item.MImage.get();
}

void TStringBitmapList::ReleaseUsage(std::string_view key) {
    const int index = IndexOf(key);
    if (index >= 0 && entries_[index].second->UsageCount > 0) --entries_[index].second->UsageCount;
}

template <typename Pred> void TStringBitmapList::RemoveUnusedIf(Pred pred) {
    std::erase_if(entries_, [&](const auto& entry) {
        const TBitmapItem& item = *entry.second;
        return item.UsageCount < 1 && pred(item);
    });
}

void TStringBitmapList::MarkUsedAndPurge() {
    for (auto& entry : entries_)
        ++entry.second->AccessCount;
    RemoveUnusedIf([this](const TBitmapItem& item) { return item.AccessCount > MaxUsage; });
}

void TStringBitmapList::SetCacheCount(int n) {
    RemoveUnusedIf([n](const TBitmapItem& item) { return item.AccessCount > n; });
    MaxUsage = n;
}

void TStringBitmapList::PurgeCache() {
    RemoveUnusedIf([](const TBitmapItem&) { return true; });
}

TImageCacheUse& TImageCacheUse::operator=(TImageCacheUse&& other) noexcept {
    if (this != &other) {
        Release();
        list_ = std::exchange(other.list_, nullptr);
        key_ = std::move(other.key_);
    }
    return *this;
}

void TImageCacheUse::Release() {
    if (list_) std::exchange(list_, nullptr)->ReleaseUsage(key_);
}

TStringBitmapList& ImageCache() {
    static TStringBitmapList cache;
    return cache;
}
