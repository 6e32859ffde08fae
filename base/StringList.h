// String lists: TStringList and THashedStringList (the abstract TStrings is in Strings.h).
#pragma once

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/Strings.h"

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList;
// <0, 0, >0 for the lines at index1 and index2 of list.
using TStringListSortCompare = std::function<int(const TStringList& list, int index1, int index2)>;

// The string list proper: lines and objects in a vector, optionally kept sorted.
// Index errors raise EStringListError "List index out of bounds (%d)".
class TStringList : public TStrings {
public:
    TStringList() = default;
    explicit TStringList(bool ownsObjects) : ownsObjects_(ownsObjects) {}
    ~TStringList() override;

    int Count() const override { return static_cast<int>(items_.size()); }
    std::string Get(int index) const override;
    // On a sorted list the line moves to its sorted place (duplicate rules apply).
    void Put(int index, const std::string& s) override;
    TObject* GetObject(int index) const override;
    // With OwnsObjects, a replaced object is freed.
    void PutObject(int index, TObject* object) override;
    // Raises EStringListError "Operation not allowed on sorted list" on a sorted list.
    void Insert(int index, const std::string& s) override;
    void InsertObject(int index, const std::string& s, TObject* object) override;
    void Delete(int index) override;
    void Clear() override;
    // On a sorted list: an equal line is ignored (its index returned), accepted, or raises
    // EStringListError "String list does not allow duplicates", by Duplicates. An ignored object
    // stays with the caller.
    int Add(const std::string& s) override;
    int AddObject(const std::string& s, TObject* object) override;
    // Not allowed on a sorted list.
    void Move(int curIndex, int newIndex) override;
    void Exchange(int index1, int index2) override;
    int IndexOf(const std::string& s) const override;
    int CompareStrings(const std::string& a, const std::string& b) const override;

    // Binary search of a sorted list: true when found, index = the first equal line or the place
    // where s would go.
    bool Find(const std::string& s, int& index) const;
    virtual void Sort();
    virtual void CustomSort(const TStringListSortCompare& compare);

    bool Sorted() const { return sorted_; }
    void SetSorted(bool sorted);
    TDuplicates Duplicates() const { return duplicates_; }
    void SetDuplicates(TDuplicates duplicates) { duplicates_ = duplicates; }
    bool CaseSensitive() const { return caseSensitive_; }
    void SetCaseSensitive(bool caseSensitive);
    // With OwnsObjects the list deletes the objects of lines it deletes, and all on Clear / destruction.
    bool OwnsObjects() const { return ownsObjects_; }
    void SetOwnsObjects(bool owns) { ownsObjects_ = owns; }

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    // Changing() comes before and Changed() after every modification; the events fire only
    // outside BeginUpdate/EndUpdate (EndUpdate fires OnChange once).
    virtual void Changing();
    virtual void Changed();
    void SetUpdateState(bool updating) override;

private:
    struct Item {
        std::string text;
        TObject* object = nullptr;
    };
    void InsertItem(int index, const std::string& s, TObject* object);
    void SortItems();
    [[noreturn]] static void SortedListError();

    std::vector<Item> items_;
    bool sorted_ = false;
    TDuplicates duplicates_ = dupIgnore;
    bool caseSensitive_ = false;
    bool ownsObjects_ = false;
};

// A string list whose IndexOf and IndexOfName use hash tables, rebuilt after any change.
class THashedStringList : public TStringList {
public:
    using TStringList::TStringList;

    int IndexOf(const std::string& s) const override;
    int IndexOfName(const std::string& name) const override;

protected:
    void Changed() override;
    void LookupRulesChanged() override;

private:
    void Invalidate();
    std::string HashKey(const std::string& s) const;
    void BuildValueHash() const;
    void BuildNameHash() const;

    // Key (upper-cased unless CaseSensitive) -> first index holding it.
    mutable std::unordered_map<std::string, int> valueHash_;
    mutable std::unordered_map<std::string, int> nameHash_;
    mutable bool valueHashValid_ = false;
    mutable bool nameHashValid_ = false;
};
