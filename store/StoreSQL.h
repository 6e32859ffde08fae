// Building blocks of the store's statements: quoted text, LIKE patterns and decimal ids.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// 'text' with inner single quotes doubled: a text literal that holds exactly the given bytes.
std::string SqlText(std::string_view text);

// A LIKE operand matching exactly the given text, ASCII case ignored: '%', '_' and '\' are escaped
// and the escape character is declared, so "a_c" does not match "abc".
// SqlLike("a_c") is 'a\_c' ESCAPE '\'.
std::string SqlLike(std::string_view text);

// A LIKE operand matching any value that contains the text, ASCII case ignored.
std::string SqlLikeContains(std::string_view text);

// Decimal text of an id or number.
std::string SqlInt(int64_t value);
