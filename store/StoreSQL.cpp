// Building blocks of the store's statements.
#include "store/StoreSQL.h"

#include "base/StrUtils.h"
#include "base/Streams.h"
#include "store/SQLiteAccess.h"

std::string SqlText(std::string_view text) {
    return QuotedStr(text);
}

std::string SqlInt(int64_t value) {
    return IntToStr(value);
}

std::string StreamBytes(TStream& stream) {
    const int64_t size = stream.Size();
    if (size < 0 || size > INT32_MAX) throw ESQLiteException("Error getting memory to save blob");
    std::string bytes(static_cast<size_t>(size), '\0');
    stream.SetPosition(0);
    if (size > 0) stream.ReadBuffer(bytes.data(), size);
    return bytes;
}

void CheckName(const char* kind, std::string_view name) {
    if (name.find('\0') == std::string_view::npos) return;
    std::string shown;
    for (char c : name) {
        if (c == '\0')
            shown += "\\0";
        else
            shown += c;
    }
    throw ESQLiteException(std::string("The ") + kind + " \"" + shown +
                           "\" contains a NUL character, which names cannot hold");
}
