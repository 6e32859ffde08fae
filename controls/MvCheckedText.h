// The checked combo box's text model: the checked items joined by a delimiter.
// Tokens compare exactly (case-sensitive). Only adding is limited: a text may not
// reach 256 characters; testing and removing read the whole text whatever its length.
#pragma once

#include <string>
#include <vector>

constexpr size_t kMvCheckedTextLimit = 256;

// True when Item is the whole Text or one of its Delimiter-separated tokens.
bool CheckedTextHasToken(const std::string& Item, const std::string& Text, char Delimiter);
// Appends Item as a token; false (and Text unchanged) when it is already there.
// Raises EMvLibException "Too many items selected" when the new text would reach
// the limit; Text is then unchanged.
bool CheckedTextAdd(const std::string& Item, std::string& Text, char Delimiter);
// Removes the first occurrence of the token Item; false when it is not there.
bool CheckedTextRemove(const std::string& Item, std::string& Text, char Delimiter);
// The items joined by Delimiter, in order.
std::string CheckedTextJoin(const std::vector<std::string>& Items, char Delimiter);
// Text cut at every Delimiter (an empty text has no tokens).
std::vector<std::string> CheckedTextSplit(const std::string& Text, char Delimiter);
