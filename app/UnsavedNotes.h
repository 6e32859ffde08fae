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

// The files one keeping wrote: the plain text of every note, and each note's RTF that the text
// names (none when there was no room for them).
struct TKeptText {
    std::string TextFile;
    std::vector<std::string> RichFiles;
};

// Writes the notes into new files named for the time, in the first of Folders that takes their
// plain text: "Unsaved notes 2026-12-08 14-05-09.txt", the text of every note as UTF-8 with a
// byte-order mark, written first; then, as far as there is room, each note's RTF in "Unsaved notes
// 2026-12-08 14-05-09 - 1.rtf" (2, 3, ...; a word processor opens it with the formatting and
// pictures), and the text again, naming the RTF files that were written. A number is added to the
// names rather than overwrite an earlier file. A folder that cannot take the text keeps nothing
// (its temporary file is removed) and the next is tried. Raises the last folder's error
// (EFCreateError, EWriteError) when none takes it.
TKeptText WriteUnsavedNotes(const std::vector<std::string>& Folders, const std::tm& Time,
                            const std::vector<TUnsavedNote>& Notes, const TWholeFileWriter& Write);

// The same, through SaveFileReplacing.
TKeptText WriteUnsavedNotes(const std::vector<std::string>& Folders, const std::tm& Time,
                            const std::vector<TUnsavedNote>& Notes);

} // namespace mv::app
