// Whether a path can be opened as the notes database, checked before the store
// touches it: a folder, or a file that holds something else, is refused with a
// message for the user, and the file is left exactly as it was.
#pragma once

#include <string>

namespace mv::app {

// "" when the path is a notes database, an empty file, or no file at all (the
// store then makes a new database); otherwise the reason to show the user.
std::string RefuseDatabaseFile(const std::string& Path);

} // namespace mv::app
