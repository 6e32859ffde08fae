// Text that could not be saved into the notes file, kept whole in a file of its own beside the
// log, so that a quit or the end of the Windows session never takes it away.
#pragma once

#include <ctime>
#include <string>
#include <vector>

namespace mv::app {

struct TUnsavedNote {
    std::string Address; // "namespace:title"
    std::string Text;    // the whole plain text, paragraphs on lines of their own
};

// Writes the notes into a new file in Folder named for the time ("Unsaved notes 2026-12-08
// 14-05-09.txt"; a number is added to the name rather than overwrite an earlier file) and returns
// its full path. Raises the file's own error (EFCreateError, EWriteError) when it cannot be written.
std::string WriteUnsavedNotes(const std::string& Folder, const std::tm& Time,
                              const std::vector<TUnsavedNote>& Notes);

} // namespace mv::app
