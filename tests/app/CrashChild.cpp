// A helper program for the crash-safety test: it starts the application in
// process on the folder given, writes in Home, follows a link to another topic
// (which saves Home), marks the folder "ready" and waits to be killed.
#include "app/Main.h"
#include "app/Note.h"
#include "app/Settings.h"
#include "app/TopicViewer.h"
#include "gui/Forms.h"

#include <windows.h>

#include <string>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::string Folder = argv[1];
    try {
        Settings().SetValue("database", Folder + "\\notes.mvdb");
        Application->Initialize();
        auto* Main = new TfrmMain(Application, Folder);
        Main->DoCreate();
        TfrmNote* Home = NoteWindowsByNamespace.Find("");
        if (Home == nullptr) return 3;
        Home->Editor()->SetText("Home\rWritten just before the crash\r");
        Main->ShowTopic("Next", "");
        Home->Editor()->SetText("Typed after the last save");
    } catch (const std::exception&) {
        return 4;
    }
    HANDLE Ready =
        CreateFileA((Folder + "\\ready").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(Ready);
    for (;;)
        Application->HandleMessage();
}
