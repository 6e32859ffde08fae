// TStringList (lines and objects in a vector, optionally sorted) and THashedStringList.
#include "base/StringList.h"

#include <algorithm>
#include <numeric>

#include "base/Exceptions.h"
#include "base/StrUtils.h"

TStringList::~TStringList() {
    if (!ownsObjects_) return;
    for (Item& item : items_)
        delete item.object;
}

std::string TStringList::Get(int index) const {
    CheckIndex(index, Count());
    return items_[static_cast<size_t>(index)].text;
}

void TStringList::Put(int index, const std::string& s) {
    CheckIndex(index, Count());
    const auto at = static_cast<size_t>(index);
    if (!sorted_) {
        Changing();
        items_[at].text = s;
        Changed();
        return;
    }
    // A sorted list keeps its order: the line moves to where its new text belongs. Dropping it in
    // favour of an equal line would lose it, so an equal line is an error unless duplicates are
    // accepted.
    Changing();
    Item item = std::move(items_[at]);
    items_.erase(items_.begin() + index);
    int target;
    if (Find(s, target) && duplicates_ != dupAccept) {
        items_.insert(items_.begin() + index, std::move(item));
        throw EStringListError("String list does not allow duplicates");
    }
    item.text = s;
    items_.insert(items_.begin() + target, std::move(item));
    Changed();
}

TObject* TStringList::GetObject(int index) const {
    CheckIndex(index, Count());
    return items_[static_cast<size_t>(index)].object;
}

void TStringList::PutObject(int index, TObject* object) {
    CheckIndex(index, Count());
    Item& item = items_[static_cast<size_t>(index)];
    Changing();
    TObject* old = item.object;
    item.object = object;
    if (ownsObjects_ && old != object) delete old;
    Changed();
}

void TStringList::Insert(int index, const std::string& s) {
    InsertObject(index, s, nullptr);
}

void TStringList::InsertObject(int index, const std::string& s, TObject* object) {
    if (sorted_) SortedListError();
    if (index < 0 || index > Count()) ListIndexError(index);
    InsertItem(index, s, object);
}

void TStringList::InsertItem(int index, const std::string& s, TObject* object) {
    Changing();
    items_.insert(items_.begin() + index, Item{s, object});
    Changed();
}

void TStringList::Delete(int index) {
    CheckIndex(index, Count());
    Changing();
    TObject* object = items_[static_cast<size_t>(index)].object;
    items_.erase(items_.begin() + index);
    if (ownsObjects_) delete object;
    Changed();
}

void TStringList::Clear() {
    if (items_.empty()) return;
    Changing();
    std::vector<Item> old;
    old.swap(items_);
    if (ownsObjects_)
        for (Item& item : old)
            delete item.object;
    Changed();
}

int TStringList::Add(const std::string& s) {
    return AddObject(s, nullptr);
}

int TStringList::AddObject(const std::string& s, TObject* object) {
    int index = Count();
    if (sorted_ && Find(s, index)) {
        if (duplicates_ == dupIgnore) return index;
        if (duplicates_ == dupError) throw EStringListError("String list does not allow duplicates");
    }
    InsertItem(index, s, object);
    return index;
}

void TStringList::Move(int curIndex, int newIndex) {
    if (sorted_) SortedListError();
    CheckIndex(curIndex, Count());
    CheckIndex(newIndex, Count());
    if (curIndex == newIndex) return;
    Changing();
    Item item = std::move(items_[static_cast<size_t>(curIndex)]);
    items_.erase(items_.begin() + curIndex);
    items_.insert(items_.begin() + newIndex, std::move(item));
    Changed();
}

void TStringList::Exchange(int index1, int index2) {
    if (sorted_) SortedListError();
    CheckIndex(index1, Count());
    CheckIndex(index2, Count());
    if (index1 == index2) return;
    Changing();
    std::swap(items_[static_cast<size_t>(index1)], items_[static_cast<size_t>(index2)]);
    Changed();
}

int TStringList::IndexOf(const std::string& s) const {
    if (!sorted_) return TStrings::IndexOf(s);
    int index;
    return Find(s, index) ? index : -1;
}

int TStringList::CompareStrings(const std::string& a, const std::string& b) const {
    return caseSensitive_ ? CompareStr(a, b) : CompareText(a, b);
}

bool TStringList::Find(const std::string& s, int& index) const {
    // Lower bound: the first line not less than s.
    int low = 0;
    int high = Count();
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (CompareStrings(items_[static_cast<size_t>(mid)].text, s) < 0)
            low = mid + 1;
        else
            high = mid;
    }
    index = low;
    return low < Count() && CompareStrings(items_[static_cast<size_t>(low)].text, s) == 0;
}

void TStringList::Sort() {
    if (sorted_) return; // already in order
    SortItems();
}

void TStringList::SortItems() {
    if (items_.size() < 2) return;
    Changing();
    std::stable_sort(items_.begin(), items_.end(),
                     [this](const Item& a, const Item& b) { return CompareStrings(a.text, b.text) < 0; });
    Changed();
}

void TStringList::CustomSort(const TStringListSortCompare& compare) {
    // A sorted list must stay in its own order, or Find would fail.
    if (sorted_ || items_.size() < 2) return;
    // Compare by index on the unchanged list, then apply the permutation.
    std::vector<int> order(items_.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(*this, a, b) < 0; });
    std::vector<Item> sorted;
    sorted.reserve(items_.size());
    for (int i : order)
        sorted.push_back(std::move(items_[static_cast<size_t>(i)]));
    Changing();
    items_.swap(sorted);
    Changed();
}

void TStringList::SetSorted(bool sorted) {
    if (sorted == sorted_) return;
    if (sorted) SortItems();
    sorted_ = sorted;
}

void TStringList::SetCaseSensitive(bool caseSensitive) {
    if (caseSensitive == caseSensitive_) return;
    caseSensitive_ = caseSensitive;
    LookupRulesChanged();
    if (sorted_) SortItems();
}

void TStringList::Changing() {
    if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::Changed() {
    if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::SetUpdateState(bool updating) {
    if (updating)
        Changing();
    else
        Changed();
}

void TStringList::SortedListError() {
    throw EStringListError("Operation not allowed on sorted list");
}

int THashedStringList::IndexOf(const std::string& s) const {
    if (!valueHashValid_) BuildValueHash();
    const auto found = valueHash_.find(HashKey(s));
    return found == valueHash_.end() ? -1 : found->second;
}

int THashedStringList::IndexOfName(const std::string& name) const {
    if (!nameHashValid_) BuildNameHash();
    const auto found = nameHash_.find(HashKey(name));
    return found == nameHash_.end() ? -1 : found->second;
}

void THashedStringList::Changed() {
    Invalidate();
    TStringList::Changed();
}

void THashedStringList::LookupRulesChanged() {
    Invalidate();
}

void THashedStringList::Invalidate() {
    valueHashValid_ = false;
    nameHashValid_ = false;
}

std::string THashedStringList::HashKey(const std::string& s) const {
    return CaseSensitive() ? s : UpperCase(s);
}

void THashedStringList::BuildValueHash() const {
    valueHash_.clear();
    const int count = Count();
    for (int i = 0; i < count; ++i)
        valueHash_.emplace(HashKey(Get(i)), i); // keeps the first index
    valueHashValid_ = true;
}

void THashedStringList::BuildNameHash() const {
    nameHash_.clear();
    const int count = Count();
    for (int i = 0; i < count; ++i) {
        const std::string line = Get(i);
        const size_t at = line.find(NameValueSeparator());
        if (at != std::string::npos) nameHash_.emplace(HashKey(line.substr(0, at)), i);
    }
    nameHashValid_ = true;
}
