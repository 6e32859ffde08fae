// The finder's rules.
#include "app/FindRules.h"

#include "base/StrUtils.h"

#include <cerrno>
#include <cstdlib>
#include <limits>

namespace {

std::string Trimmed(const std::string& S) {
    const size_t First = S.find_first_not_of(" \t");
    if (First == std::string::npos) return std::string();
    const size_t Last = S.find_last_not_of(" \t");
    return S.substr(First, Last - First + 1);
}

} // namespace

bool FindTextIsAll(const std::string& Text) {
    return SameText(Trimmed(Text), "ALL");
}

std::vector<int> FindItemsNamed(const std::vector<std::string>& Items, const std::string& Text,
                                char Delimiter) {
    std::vector<std::string> Tokens;
    size_t Start = 0;
    for (;;) {
        const size_t End = Text.find(Delimiter, Start);
        std::string Token =
            Trimmed(Text.substr(Start, End == std::string::npos ? std::string::npos : End - Start));
        if (!Token.empty()) Tokens.push_back(std::move(Token));
        if (End == std::string::npos) break;
        Start = End + 1;
    }
    std::vector<int> Named;
    for (size_t i = 0; i < Items.size(); ++i)
        for (const std::string& Token : Tokens)
            if (SameText(Items[i], Token)) {
                Named.push_back(static_cast<int>(i));
                break;
            }
    return Named;
}

std::string FindNamespaceOfItem(const std::string& Item) {
    return Item == kFindDefaultNamespace ? std::string() : Item;
}

std::string FindItemOfNamespace(const std::string& Namespace) {
    return Namespace.empty() ? std::string(kFindDefaultNamespace) : Namespace;
}

std::string FindEntryKey(const std::string& ItemText, const std::string& Title) {
    // A NUL cannot occur in a store name, so it separates the two unambiguously.
    return UpperCase(ItemText) + '\0' + UpperCase(Title);
}

std::optional<int> FindGeometryValue(const std::string& Text) {
    const std::string T = Trimmed(Text);
    if (T.empty()) return std::nullopt;
    char* End = nullptr;
    errno = 0;
    const long long V = std::strtoll(T.c_str(), &End, 10);
    if (errno != 0 || *End != '\0' || V < std::numeric_limits<int>::min() ||
        V > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(V);
}
