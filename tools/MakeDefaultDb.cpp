// Writes the template database "Default.mvdb" that lies beside the program and
// is copied when a user's database does not exist yet. It is made with the
// notes store itself, so its schema is always the one the program opens.
//
// Usage: mv_make_default_db <output file>
#include "base/Exceptions.h"
#include "base/Streams.h"
#include "store/NotesStore.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

struct TTemplateTopic {
    const char* Namespace;
    const char* Title;
    const char* Rtf;
};

// Topic texts in the editor's own format (RTF, 8-bit, Windows-1252).
const TTemplateTopic Topics[] = {
    {"", "Home",
     "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Tahoma;}}\\viewkind4\\uc1\\pard\\f0\\fs20"
     "\\b Welcome to Miravelund\\b0\\par\\par "
     "This is your Home note. Double-click any word to open the note of that name; a note that does "
     "not exist yet is created on the spot. Try it on the word Ideas.\\par\\par "
     "Write work:plan to reach the note plan in the namespace work, and :plan for the note plan in the "
     "default namespace. Each namespace has its own window.\\par\\par "
     "A line that begins with a dot lists tags, like the next line.\\par "
     ".welcome\\par}"},
    {"Help", "",
     "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Tahoma;}}\\viewkind4\\uc1\\pard\\f0\\fs20"
     "\\b Miravelund Help\\b0\\par\\par "
     "Notes are saved when you leave them, when you press Ctrl+S and when a window closes. "
     "Use the Back and Forward buttons to move through the notes you visited.\\par}"},
};

int32_t WriteText(TNotesStore& Store, const TTemplateTopic& Topic) {
    bool Created = true;
    const int32_t ID = Store.FindTopic(Topic.Namespace, Topic.Title, Created);
    TStringStream Content{std::string(Topic.Rtf)};
    Store.SaveTopic(ID, Topic.Namespace, TTopicRect{}, Content, Topic.Title);
    TStringStream Meta;
    Store.SetTopicMeta(ID, Meta);
    return ID;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: mv_make_default_db <output file>\n");
        return 2;
    }
    const std::string Path = argv[1];
    try {
        std::filesystem::remove(Path);
        TNotesStore Store(Path);
        // Home's dot-line lists the tag welcome; the link is stored as a save would make it.
        Store.AttachTag(WriteText(Store, Topics[0]), "welcome");
        for (const TTemplateTopic& Topic : Topics)
            if (&Topic != &Topics[0]) WriteText(Store, Topic);
        Store.Commit();
    } catch (const std::exception& E) {
        std::fprintf(stderr, "mv_make_default_db: %s\n", E.what());
        return 1;
    }
    return 0;
}
