// Text that could not be saved into the notes file, kept whole in files of its own, so that a quit
// or the end of the Windows session never takes it away.
#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace mv::app {

struct TUnsavedNote {
    std::string Address;  // "namespace:title", in the program's code page (Windows-1252)
    std::u16string Text;  // every character the window holds, paragraphs on lines of their own
    std::string RichText; // the RTF the editor saves into the notes file, pictures and all ("": none)
};

// Writes a whole file under a temporary name and renames it when complete; raises when it cannot
// (the program's is SaveFileReplacing).
using TWholeFileWriter = std::function<void(const std::string& FileName, std::string_view Data)>;

// Writes the notes into new files named for the time, in the first of Folders that takes every one
// of them: each note's RTF in "Unsaved notes 2026-12-08 14-05-09 - 1.rtf" (2, 3, ...; a word
// processor opens it with the formatting and pictures), then "Unsaved notes 2026-12-08
// 14-05-09.txt", the plain text of every note as UTF-8 with a byte-order mark, which names the .rtf
// of each note. A number is added to the names rather than overwrite an earlier file. A folder that
// fails keeps nothing (what was written there, temporary files included, is removed) and the next
// is tried. Returns the .txt's full path; raises the last folder's error (EFCreateError,
// EWriteError) when none takes them.
std::string WriteUnsavedNotes(const std::vector<std::string>& Folders, const std::tm& Time,
                              const std::vector<TUnsavedNote>& Notes, const TWholeFileWriter& Write);

// The same, through SaveFileReplacing.
std::string WriteUnsavedNotes(const std::vector<std::string>& Folders, const std::tm& Time,
                              const std::vector<TUnsavedNote>& Notes);

} // namespace mv::app
