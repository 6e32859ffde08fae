// The finder's rules.
#include "app/FindRules.h"

#include "base/StrUtils.h"

#include <cerrno>
#include <cstdint>
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

size_t TFindEntrySet::TFoldedHash::operator()(const std::string& Key) const noexcept {
    // FNV-1a over the bytes with a-z read as A-Z.
    uint32_t Hash = 2166136261u;
    for (const char C : Key) {
        const unsigned char Byte = static_cast<unsigned char>(C >= 'a' && C <= 'z' ? C - 'a' + 'A' : C);
        Hash = (Hash ^ Byte) * 16777619u;
    }
    return Hash;
}

bool TFindEntrySet::TFoldedEqual::operator()(const std::string& A, const std::string& B) const noexcept {
    return SameText(A, B);
}

const std::string& TFindEntrySet::KeyOf(std::string_view ItemText, std::string_view Title) const {
    FKey.assign(ItemText);
    FKey += '\0';
    FKey.append(Title);
    return FKey;
}

void TFindEntrySet::Insert(std::string_view ItemText, std::string_view Title) {
    FKeys.insert(KeyOf(ItemText, Title));
}

bool TFindEntrySet::Contains(std::string_view ItemText, std::string_view Title) const {
    return FKeys.count(KeyOf(ItemText, Title)) != 0;
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
