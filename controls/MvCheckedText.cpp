// The checked combo box's text model.
#include "controls/MvCheckedText.h"

#include "controls/MvLibException.h"

bool CheckedTextHasToken(const std::string& Item, const std::string& Text, char Delimiter) {
    if (Item == Text) return true;
    for (const std::string& token : CheckedTextSplit(Text, Delimiter))
        if (token == Item) return true;
    return false;
}

bool CheckedTextAdd(const std::string& Item, std::string& Text, char Delimiter) {
    if (!Text.empty() && CheckedTextHasToken(Item, Text, Delimiter)) return false;
    if (Text.size() + Item.size() + 1 >= kMvCheckedTextLimit)
        throw EMvLibException("Too many items selected");
    if (Text.empty())
        Text = Item;
    else
        Text += Delimiter + Item;
    return true;
}

bool CheckedTextRemove(const std::string& Item, std::string& Text, char Delimiter) {
    const std::string padded = Delimiter + Text + Delimiter;
    const std::string needle = Delimiter + Item + Delimiter;
    const size_t p = padded.find(needle);
    if (p == std::string::npos) return false;
    std::string result;
    if (p == 0) {
        result = Item.size() + 1 <= Text.size() ? Text.substr(Item.size() + 1) : std::string();
    } else {
        // Text[0, p) ends with the delimiter before the item; what follows the
        // delimiter after it comes next, and a trailing delimiter goes.
        result = Text.substr(0, p);
        const size_t after = p + Item.size() + 1;
        if (after < Text.size()) result += Text.substr(after);
        if (!result.empty() && result.back() == Delimiter && after >= Text.size()) result.pop_back();
    }
    if (result == Text) return false;
    Text = result;
    return true;
}

std::string CheckedTextJoin(const std::vector<std::string>& Items, char Delimiter) {
    std::string text;
    for (size_t i = 0; i < Items.size(); ++i) {
        if (i) text += Delimiter;
        text += Items[i];
    }
    return text;
}

std::vector<std::string> CheckedTextSplit(const std::string& Text, char Delimiter) {
    std::vector<std::string> tokens;
    if (Text.empty()) return tokens;
    size_t start = 0;
    for (;;) {
        const size_t end = Text.find(Delimiter, start);
        tokens.push_back(Text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return tokens;
}
