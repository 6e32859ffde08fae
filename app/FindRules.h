// The finder's rules, free of its window: which combo texts mean "every item",
// which items a remembered text names, and how the stored geometry is read.
#pragma once

#include <optional>
#include <string>
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

// One entry of the result list as a key: the namespace item and the title with their
// ASCII letters folded, as the list itself tells entries apart.
std::string FindEntryKey(const std::string& ItemText, const std::string& Title);

// A stored geometry value: a whole number, or nothing.
std::optional<int> FindGeometryValue(const std::string& Text);
