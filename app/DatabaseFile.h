// Whether a path can be opened as the notes database, checked before the store
// touches it: a folder, or a file that holds something else, is refused with a
// message for the user, and the file is left exactly as it was.
#pragma once

#include <exception>
#include <string>
#include <vector>

#include "base/Exceptions.h"

namespace mv::app {

// What lies at a database path. An empty file (0 bytes) holds no notes at all:
// start-up treats it as a missing one and copies the template over it.
enum class TDatabaseFileState { Missing, Empty, Present, Folder };
TDatabaseFileState DatabaseFileState(const std::string& Path);

// Where start-up took the database path from, in the order it looks.
enum class TDatabaseOrigin {
    ProgramFolder, // "Miravelund.mvdb" in the program folder
    SettingsKey,   // the key "database" of the settings file
    FirstLaunch    // chosen in the first-launch dialog (not yet remembered)
};

struct TDatabaseContext {
    TDatabaseOrigin Origin = TDatabaseOrigin::SettingsKey;
    std::string ProgramFolder; // without a trailing delimiter
    std::string SettingsFile;  // the settings file's full path
};

// "" when the path is a notes database, an empty file, or no file at all (the
// store then makes a new database); otherwise the message to show the user:
// the file refused, why, and how to choose another one in the order start-up
// really uses. A notes file that is held by another program, read-only or
// damaged raises the store's own exception instead: choosing another file is
// not the way out of those.
std::string RefuseDatabaseFile(const std::string& Path, const TDatabaseContext& Context);

// How to make start-up open another database, for a path of the given origin.
std::string HowToChooseAnotherDatabase(const TDatabaseContext& Context);

// A save of a note that did not reach the file, told in plain words
// (NoteNotSavedText); the text stays in the note's window. Reason is the
// failure's own message.
class ENoteNotSaved : public Exception {
public:
    ENoteNotSaved(const std::string& Note, const std::exception& Why);
    const std::string& Reason() const { return FReason; }
    // The file was found damaged: no later save can succeed.
    bool Damaged() const { return FDamaged; }

private:
    std::string FReason;
    bool FDamaged = false;
};

// The message for a note whose save failed: the note, why (the store's own
// words for a file in use or damaged), that its text is kept in the window,
// and what happens next.
std::string NoteNotSavedText(const std::string& Note, const std::exception& Why);
// The same for several notes at once (a checkpoint or a quit names every note
// whose text is not in the file). At a quit, what happens next is the quit's
// own question: the text only says that the text is kept in the window.
std::string NotesNotSavedText(const std::vector<std::string>& Notes, const std::exception& Why,
                              bool Quitting = false);

} // namespace mv::app
