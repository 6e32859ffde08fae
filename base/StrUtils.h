// String helpers for the system's 8-bit text: ASCII case, trimming, integer conversion,
// formatting, replacement, quoting and file-name parts.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>
#include <string_view>

// Case changes and comparisons touch only 'a'..'z' / 'A'..'Z'.
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
int CompareStr(std::string_view a, std::string_view b);  // byte order: <0, 0, >0
int CompareText(std::string_view a, std::string_view b); // ASCII case ignored: <0, 0, >0
bool SameText(std::string_view a, std::string_view b);

// Remove characters <= ' ' from both ends / the start / the end.
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

std::string IntToStr(int64_t value);
// Upper-case hexadecimal of the 64-bit value, at least digits wide (a negative value gives 16 digits).
std::string IntToHex(int64_t value, int digits);

// Decimal with optional sign, or hexadecimal after "$", "0x" or "0X" (a sign may precede it);
// leading blanks are skipped, nothing may follow. A 32-bit hexadecimal value up to $FFFFFFFF is
// taken as its bit pattern. Anything else, including a value out of range, raises EConvertError
// "'%s' is not a valid integer value".
int32_t StrToInt(std::string_view s);
int32_t StrToIntDef(std::string_view s, int32_t defaultValue);
bool TryStrToInt(std::string_view s, int32_t& value);
int64_t StrToInt64(std::string_view s);
bool TryStrToInt64(std::string_view s, int64_t& value);

// printf-style formatting into a std::string (pass std::string arguments as .c_str()).
std::string Format(const char* fmt, ...) __attribute__((format(gnu_printf, 1, 2)));
std::string FormatV(const char* fmt, va_list args) __attribute__((format(gnu_printf, 1, 0)));

// Replaces the first (or every) occurrence of oldPattern; an empty oldPattern replaces nothing.
std::string StringReplace(std::string_view s, std::string_view oldPattern, std::string_view newPattern,
                          bool replaceAll = true, bool ignoreCase = false);

// 1-based position of sub in s, 0 when absent.
int Pos(std::string_view sub, std::string_view s);

// 'text' with every inner single quote doubled.
std::string QuotedStr(std::string_view s);

// File names: both '\\' and '/' are delimiters; PathDelim is the one this platform adds.
#ifdef _WIN32
inline constexpr char PathDelim = '\\';
#else
inline constexpr char PathDelim = '/';
#endif
bool IsPathDelimiter(char c);
std::string IncludeTrailingPathDelimiter(std::string_view path);
std::string ExcludeTrailingPathDelimiter(std::string_view path);
std::string ExtractFilePath(std::string_view fileName); // keeps the trailing delimiter
std::string ExtractFileName(std::string_view fileName);
std::string ExtractFileExt(std::string_view fileName); // with the dot; "" when there is none
std::string ChangeFileExt(std::string_view fileName, std::string_view extension);
