// The finder's rules, free of its window: which combo texts mean "every item",
// which items a remembered text names, and how the stored geometry is read.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

// The display name of the empty namespace in the finder's combo and result list.
inline constexpr const char* kFindDefaultNamespace = "Default";

// True when Text stands for every item: the word All itself (blanks around it and
// the case of its letters do not matter). "Wallet" or "small" are names, not All.
bool FindTextIsAll(const std::string& Text);

// The indexes of the items that Text names: Text is cut at Delimiter, each token
// (blanks around it ignored) names every item equal to it, ASCII case ignored.
std::vector<int> FindItemsNamed(const std::vector<std::string>& Items, const std::string& Text,
                                char Delimiter);

// The store namespace an item of the namespace combo stands for ("" for "Default").
std::string FindNamespaceOfItem(const std::string& Item);

// The combo item (and result box) of a store namespace: "Default" for the empty one.
std::string FindItemOfNamespace(const std::string& Namespace);

// Entries of the result list (a namespace item and a title), told apart as the list itself
// tells them: ASCII letters folded, every other byte exact. A lookup allocates nothing once the
// set has looked up an entry as long.
class TFindEntrySet {
public:
    void Insert(std::string_view ItemText, std::string_view Title);
    bool Contains(std::string_view ItemText, std::string_view Title) const;
    size_t Size() const { return FKeys.size(); }
    void Clear() { FKeys.clear(); }

private:
    struct TFoldedHash {
        size_t operator()(const std::string& Key) const noexcept;
    };
    struct TFoldedEqual {
        bool operator()(const std::string& A, const std::string& B) const noexcept;
    };
    // The item and the title with a NUL between them: no store name holds one, so the two
    // parts cannot run into each other.
    const std::string& KeyOf(std::string_view ItemText, std::string_view Title) const;

    std::unordered_set<std::string, TFoldedHash, TFoldedEqual> FKeys;
    mutable std::string FKey; // the key made last
};

// A stored geometry value: a whole number, or nothing.
std::optional<int> FindGeometryValue(const std::string& Text);
