// Miravelund.exe: one instance at a time; the main window and the long-lived
// dialogs, then the message loop.
#include "app/Find.h"
#include "app/Main.h"
#include "app/Plugins.h"
#include "app/Rename.h"
#include "app/Settings.h"
#include "app/SingleInstance.h"
#include "gui/Forms.h"

#include <windows.h>

#include <string>

namespace {

std::string ProgramFolder() {
    char Path[MAX_PATH] = {};
    const DWORD Length = GetModuleFileNameA(nullptr, Path, MAX_PATH);
    std::string Folder(Path, Length);
    const auto Slash = Folder.find_last_of("\\/");
    return Slash == std::string::npos ? std::string(".") : Folder.substr(0, Slash);
}

// The exit code; Ran tells whether the program got as far as its message loop.
int RunProgram(bool& Ran) {
    TSingleInstance Instance("Miravelund3MuteX");
    if (Instance.AlreadyRunning()) {
        Application->MessageBox(
            "Miravelund is already running.\r\rCheck the system tray for the Miravelund icon.", "Miravelund",
            MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    Application->Initialize();
    Application->SetTitle("Miravelund");
    auto* Main = new TfrmMain(Application, ProgramFolder());
    Application->SetMainForm(Main);
    Main->DoCreate();
    if (!Main->Initialized()) {
        // The start-up was refused or cancelled; it has said why.
        Application->Finalize();
        return 1;
    }
    frmSettings = Application->CreateForm<TfrmSettings>();
    frmRename = Application->CreateForm<TfrmRename>();
    frmFind = new TfrmFind(Application, Main->TopicServices());
    frmFind->DoCreate();
    frmPlugins = new TfrmPlugins(Application, Main->PluginManager());
    frmPlugins->DoCreate();
    Ran = true;
    Application->Run();
    Application->Finalize();
    return 0;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int Result = 1;
    bool Ran = false;
    try {
        LoadSettings();
        Result = RunProgram(Ran);
    } catch (const std::exception& E) {
        MessageBoxA(nullptr, E.what(), "Miravelund", MB_OK | MB_ICONERROR);
    } catch (...) {
        MessageBoxA(nullptr, "Unexpected error", "Miravelund", MB_OK | MB_ICONERROR);
    }
    // A start that was refused or cancelled, or a second instance, changes no
    // file: the settings are written only by a program that ran.
    if (Ran) SaveSettings(); // reports its own failure
    return Result;
}
