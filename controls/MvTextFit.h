// Shortening a text with "..." until it fits a width, free of any device: the
// caller says how wide a text is (a canvas in the program, a fixed pitch in tests).
#pragma once

#include <functional>
#include <string>

using TMvTextWidthFunc = std::function<int(const std::string&)>;

// S when it fits MaxWidth; otherwise the longest of S's first Length(S) - 2,
// Length(S) - 3, ... characters followed by "..." that fits, trying at most
// Length(S) candidates. A text too wide even as "..." ends as "...".
std::string ShortenTextToWidthBy(const std::string& S, int MaxWidth, const TMvTextWidthFunc& TextWidth);
