// Building blocks of the store's statements: quoted text, decimal ids, a stream's bytes for binding,
// and the check that keeps NUL bytes out of titles.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class TStream;

// 'text' with inner single quotes doubled: a text literal that holds exactly the given bytes.
std::string SqlText(std::string_view text);

// Decimal text of an id or number.
std::string SqlInt(int64_t value);

// Every byte of the stream, whatever its position (which is left at the end).
std::string StreamBytes(TStream& stream);

// Raises ESQLiteException when the name holds a NUL byte: the lists and the windows read names
// only up to their first NUL, so such a name could never be shown or found again. kind names it
// in the message ("title", "namespace", "tag"); the NUL shows as \0.
// CheckName("tag", "a\0b") raises: The tag "a\0b" contains a NUL character, which names cannot hold
void CheckName(const char* kind, std::string_view name);
