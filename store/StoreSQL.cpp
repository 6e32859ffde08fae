// Building blocks of the store's statements.
#include "store/StoreSQL.h"

#include "base/StrUtils.h"

namespace {

std::string EscapeLike(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 4);
    for (char c : text) {
        if (c == '%' || c == '_' || c == '\\') out += '\\';
        out += c;
    }
    return out;
}

} // namespace

std::string SqlText(std::string_view text) {
    return QuotedStr(text);
}

std::string SqlLike(std::string_view text) {
    return SqlText(EscapeLike(text)) + " ESCAPE '\\'";
}

std::string SqlLikeContains(std::string_view text) {
    std::string pattern(1, '%');
    pattern += EscapeLike(text);
    pattern += '%';
    return SqlText(pattern) + " ESCAPE '\\'";
}

std::string SqlInt(int64_t value) {
    return IntToStr(value);
}
