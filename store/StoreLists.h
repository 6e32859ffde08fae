// Reading the lines of the store's lists ("title=id"). A title may itself hold '=', so a line is
// split at its last '=' (a string list's Names/Values would split at the first).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The title of a "title=id" line; the whole line when it holds no '='.
std::string ListLineTitle(std::string_view line);
// The id of a "title=id" line; -1 when the line holds no '=' or no valid id after it.
int32_t ListLineID(std::string_view line);
