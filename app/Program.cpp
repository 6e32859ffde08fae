// Miravelund.exe: one instance at a time; the main window and the long-lived
// dialogs, then the message loop.
#include "app/Main.h"
#include "app/Settings.h"
#include "app/SingleInstance.h"
#include "app/StartupRules.h"
#include "app/Utils.h"
#include "gui/Forms.h"

#include <windows.h>

#include <string>

namespace {

std::wstring Widened(const std::string& Text) {
    const UINT CodePage = FileNameCodePage();
    const int Size = static_cast<int>(Text.size());
    std::wstring Wide(static_cast<size_t>(MultiByteToWideChar(CodePage, 0, Text.data(), Size, nullptr, 0)),
                      L'\0');
    MultiByteToWideChar(CodePage, 0, Text.data(), Size, Wide.data(), static_cast<int>(Wide.size()));
    return Wide;
}

// A program folder whose name the code page of file names cannot hold names no
// file of the program's: said before anything is read or written. The box shows
// the folder's own name, which only a wide box can.
bool RefuseUnheldProgramFolder(std::string& Folder) {
    const std::wstring Wide = ProgramFolderW();
    if (FileNameInCodePage(Wide, Folder)) return false;
    std::wstring Text = Widened("Miravelund cannot start.\r\r" +
                                mv::app::ProgramFolderUnheldText(Folder, FileNameCodePage()));
    const std::wstring Shown = Widened(Folder);
    if (const size_t At = Text.find(Shown); At != std::wstring::npos) Text.replace(At, Shown.size(), Wide);
    MessageBoxW(nullptr, Text.c_str(), L"Miravelund", MB_OK | MB_ICONERROR);
    return true;
}

// The exit code; Ran tells whether the program got as far as its message loop.
int RunProgram(const std::string& ProgramFolder, bool& Ran) {
    TSingleInstance Instance("Miravelund3MuteX");
    if (Instance.AlreadyRunning()) {
        Application->MessageBox(
            "Miravelund is already running.\r\rCheck the system tray for the Miravelund icon.", "Miravelund",
            MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    Application->Initialize();
    Application->SetTitle("Miravelund");
    auto* Main = new TfrmMain(Application, ProgramFolder);
    Application->SetMainForm(Main);
    Main->DoCreate();
    if (!Main->Initialized()) {
        // The start-up was refused or cancelled; it has said why.
        Application->Finalize();
        return 1;
    }
    Main->CreateKeptForms();
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
        std::string ProgramFolder;
        if (RefuseUnheldProgramFolder(ProgramFolder)) return 1;
        LoadSettings();
        Result = RunProgram(ProgramFolder, Ran);
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
