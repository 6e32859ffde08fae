// String helpers: ASCII case, trimming, integer conversion, formatting, file-name parts.
#include "base/StrUtils.h"

#include <cstdio>
#include <vector>

#include "base/Exceptions.h"

namespace {

char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

int CompareBytes(std::string_view a, std::string_view b, bool foldCase) {
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        unsigned char ca = static_cast<unsigned char>(foldCase ? AsciiUpper(a[i]) : a[i]);
        unsigned char cb = static_cast<unsigned char>(foldCase ? AsciiUpper(b[i]) : b[i]);
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Parses into a magnitude and sign. False on any malformed text or a magnitude above maxMagnitude
// (which is given for the positive side; the negative side may go one further).
bool ParseInteger(std::string_view s, bool& negative, bool& hex, uint64_t& magnitude) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    hex = false;
    if (i < s.size() && s[i] == '$') {
        hex = true;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i == s.size()) return false;
    const uint64_t base = hex ? 16 : 10;
    uint64_t value = 0;
    for (; i < s.size(); ++i) {
        int digit = hex ? HexDigit(s[i]) : ((s[i] >= '0' && s[i] <= '9') ? s[i] - '0' : -1);
        if (digit < 0) return false;
        // Anything above 2^64 / 16 is out of every range we accept.
        if (value > (UINT64_MAX - static_cast<uint64_t>(digit)) / base) return false;
        value = value * base + static_cast<uint64_t>(digit);
    }
    magnitude = value;
    return true;
}

[[noreturn]] void ConvertError(std::string_view s) {
    throw EConvertError(Format("'%.*s' is not a valid integer value", static_cast<int>(s.size()), s.data()));
}

} // namespace

std::string UpperCase(std::string_view s) {
    std::string result(s);
    for (char& c : result)
        c = AsciiUpper(c);
    return result;
}

std::string LowerCase(std::string_view s) {
    std::string result(s);
    for (char& c : result)
        c = AsciiLower(c);
    return result;
}

int CompareStr(std::string_view a, std::string_view b) {
    return CompareBytes(a, b, false);
}
int CompareText(std::string_view a, std::string_view b) {
    return CompareBytes(a, b, true);
}
bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && CompareText(a, b) == 0;
}

std::string Trim(std::string_view s) {
    return TrimRight(TrimLeft(s));
}

std::string TrimLeft(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && IsBlank(s[i]))
        ++i;
    return std::string(s.substr(i));
}

std::string TrimRight(std::string_view s) {
    size_t n = s.size();
    while (n > 0 && IsBlank(s[n - 1]))
        --n;
    return std::string(s.substr(0, n));
}

std::string IntToStr(int64_t value) {
    return Format("%lld", static_cast<long long>(value));
}

std::string IntToHex(int64_t value, int digits) {
    if (digits < 0) digits = 0;
    if (digits > 16) digits = 16;
    return Format("%0*llX", digits, static_cast<unsigned long long>(value));
}

bool TryStrToInt64(std::string_view s, int64_t& value) {
    bool negative, hex;
    uint64_t magnitude;
    if (!ParseInteger(s, negative, hex, magnitude)) return false;
    if (hex && !negative) {
        // A 64-bit hexadecimal value is its bit pattern.
        value = static_cast<int64_t>(magnitude);
        return true;
    }
    const uint64_t limit = negative ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1;
    if (magnitude > limit) return false;
    value = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
    return true;
}

bool TryStrToInt(std::string_view s, int32_t& value) {
    bool negative, hex;
    uint64_t magnitude;
    if (!ParseInteger(s, negative, hex, magnitude)) return false;
    if (hex && !negative) {
        // $80000000..$FFFFFFFF name negative values by their bit pattern (system colours do this).
        if (magnitude > UINT32_MAX) return false;
        value = static_cast<int32_t>(static_cast<uint32_t>(magnitude));
        return true;
    }
    const uint64_t limit = negative ? uint64_t{1} << 31 : (uint64_t{1} << 31) - 1;
    if (magnitude > limit) return false;
    value =
        negative ? static_cast<int32_t>(-static_cast<int64_t>(magnitude)) : static_cast<int32_t>(magnitude);
    return true;
}

int32_t StrToInt(std::string_view s) {
    int32_t value;
    if (!TryStrToInt(s, value)) ConvertError(s);
    return value;
}

int32_t StrToIntDef(std::string_view s, int32_t defaultValue) {
    int32_t value;
    return TryStrToInt(s, value) ? value : defaultValue;
}

int64_t StrToInt64(std::string_view s) {
    int64_t value;
    if (!TryStrToInt64(s, value)) ConvertError(s);
    return value;
}

std::string FormatV(const char* fmt, va_list args) {
    char small[256];
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(small, sizeof small, fmt, copy);
    va_end(copy);
    if (needed < 0)
        throw EConvertError(std::string("Format '") + fmt + "' invalid or incompatible with argument");
    if (static_cast<size_t>(needed) < sizeof small) return std::string(small, static_cast<size_t>(needed));
    std::vector<char> big(static_cast<size_t>(needed) + 1);
    std::vsnprintf(big.data(), big.size(), fmt, args);
    return std::string(big.data(), static_cast<size_t>(needed));
}

std::string Format(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    try {
        std::string result = FormatV(fmt, args);
        va_end(args);
        return result;
    } catch (...) {
        va_end(args);
        throw;
    }
}

std::string StringReplace(std::string_view s, std::string_view oldPattern, std::string_view newPattern,
                          bool replaceAll, bool ignoreCase) {
    if (oldPattern.empty()) return std::string(s);
    std::string result;
    result.reserve(s.size());
    size_t i = 0;
    while (i + oldPattern.size() <= s.size()) {
        std::string_view candidate = s.substr(i, oldPattern.size());
        bool match = ignoreCase ? CompareText(candidate, oldPattern) == 0 : candidate == oldPattern;
        if (match) {
            result.append(newPattern);
            i += oldPattern.size();
            if (!replaceAll) break;
        } else {
            result.push_back(s[i]);
            ++i;
        }
    }
    result.append(s.substr(i));
    return result;
}

int Pos(std::string_view sub, std::string_view s) {
    if (sub.empty()) return 0;
    size_t at = s.find(sub);
    return at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
}

std::string QuotedStr(std::string_view s) {
    std::string result;
    result.reserve(s.size() + 2);
    result.push_back('\'');
    for (char c : s) {
        if (c == '\'') result.push_back('\'');
        result.push_back(c);
    }
    result.push_back('\'');
    return result;
}

bool IsPathDelimiter(char c) {
    return c == '\\' || c == '/';
}

namespace {

// Index just after the last path delimiter (0 when there is none).
size_t NameStart(std::string_view fileName) {
    size_t i = fileName.size();
    while (i > 0 && !IsPathDelimiter(fileName[i - 1]))
        --i;
    return i;
}

} // namespace

std::string IncludeTrailingPathDelimiter(std::string_view path) {
    std::string result(path);
    if (result.empty() || !IsPathDelimiter(result.back())) result.push_back(PathDelim);
    return result;
}

std::string ExcludeTrailingPathDelimiter(std::string_view path) {
    std::string result(path);
    if (!result.empty() && IsPathDelimiter(result.back())) result.pop_back();
    return result;
}

std::string ExtractFilePath(std::string_view fileName) {
    return std::string(fileName.substr(0, NameStart(fileName)));
}

std::string ExtractFileName(std::string_view fileName) {
    return std::string(fileName.substr(NameStart(fileName)));
}

std::string ExtractFileExt(std::string_view fileName) {
    const size_t start = NameStart(fileName);
    const size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos || dot < start) return std::string();
    return std::string(fileName.substr(dot));
}

std::string ChangeFileExt(std::string_view fileName, std::string_view extension) {
    const size_t start = NameStart(fileName);
    size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos || dot < start) dot = fileName.size();
    std::string result(fileName.substr(0, dot));
    result.append(extension);
    return result;
}
