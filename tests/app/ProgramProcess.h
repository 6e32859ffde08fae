// Running the real Miravelund.exe (or a helper program) from a private program
// folder, and finding its windows, for the tests that need whole processes.
#pragma once

#include <windows.h>

#include <string>

namespace mv::app::test {

// A fresh program folder with Miravelund.exe and Default.mvdb copied in, an
// empty Plugins folder, and a settings file that points the database at
// "notes.mvdb" in the folder (so the template is copied there on the first
// start). Removed when the object goes.
class TProgramFolder {
public:
    // Root: the folder to make it in ("": the temporary folder).
    explicit TProgramFolder(const std::string& Name, const std::string& Root = "");
    ~TProgramFolder();
    TProgramFolder(const TProgramFolder&) = delete;
    TProgramFolder& operator=(const TProgramFolder&) = delete;

    const std::string& Path() const { return FPath; }
    std::string File(const std::string& Name) const { return FPath + "\\" + Name; }
    std::string Database() const { return File("notes.mvdb"); }
    void WriteFile(const std::string& Name, const std::string& Text) const;
    std::string ReadFile(const std::string& Name) const;

private:
    std::string FPath;
};

// A child process; terminated when the object goes if it still runs.
class TChildProcess {
public:
    // Starts Program (a full path) with the arguments in Folder as its current directory.
    TChildProcess(const std::string& Program, const std::string& Arguments, const std::string& Folder);
    ~TChildProcess();
    TChildProcess(const TChildProcess&) = delete;
    TChildProcess& operator=(const TChildProcess&) = delete;

    // Waits for the end; true with the exit code when it ended in time.
    bool WaitForExit(DWORD Milliseconds, DWORD* ExitCode = nullptr);
    // Ends the process at once, as a crash would: nothing of its shutdown runs.
    void Kill();
    DWORD Id() const { return FInfo.dwProcessId; }

private:
    PROCESS_INFORMATION FInfo{};
};

// A visible top-level window of process Pid whose caption is Caption (and,
// when given, whose class is ClassName), waiting up to Milliseconds for it.
HWND WaitForWindow(DWORD Pid, const std::string& Caption, DWORD Milliseconds,
                   const char* ClassName = nullptr);

// The hidden main window of process Pid.
HWND FindMainWindow(DWORD Pid);
// The same, waiting up to Milliseconds: the window gets its handle only when
// the message loop starts, after the Home window shows.
HWND WaitForMainWindow(DWORD Pid, DWORD Milliseconds);

// Tells the program that the Windows session ends, as Windows does: WM_ENDSESSION to its main
// window, waited for (a test failure when there is no main window or no answer).
void EndSession(const TChildProcess& Program);

// The text of the static control of a message box shown by process Pid, or
// "" when none appears within Milliseconds; Box receives the box.
std::string WaitForMessageBoxText(DWORD Pid, DWORD Milliseconds, HWND* Box);

// The whole content of a file ("" when it cannot be read), read while its writer may hold it open.
std::string ReadWholeFile(const std::string& Path);

// Where the test programs were built (Miravelund.exe and its folder).
std::string ProgramDirectory();
std::string ProgramPath();

// Home's content in the notes file (Content, when given), read through a store of its own: false
// when there is no such topic.
bool HasTopic(const std::string& Database, const std::string& Namespace, const std::string& Title,
              std::string* Content = nullptr);
// Waits up to Milliseconds for Home in the notes file to hold Words.
bool WaitForContent(const std::string& Database, const std::string& Words, DWORD Milliseconds);
// The note window's editor, and a window's text.
HWND EditorOf(HWND NoteWindow);
std::string WindowText(HWND Window);
// Types Text into the note window's editor as keystrokes would.
void Type(HWND NoteWindow, const std::string& Text);
// A key (with Ctrl when asked) pressed and let go on the keyboard once Window is in front.
void PressKeyOn(HWND Window, BYTE Key, bool Control = false);
// Ctrl+S pressed on the keyboard while the note window has the focus.
void PressSave(HWND NoteWindow);
// A key pressed on a message box in front (a button's letter, Enter, Escape); true once the box
// is gone.
bool PressOnBox(HWND Box, BYTE Key);
// Writes the file at Path until its volume takes no more byte.
void FillVolume(const std::string& Path);
// Waits for the program's Home window and its main window; the Home window (nullptr: none).
HWND StartAndWaitForHome(TChildProcess& Program);
// Starts the program, types Typed into Home without saving it, and returns the main window
// (nullptr when either did not show).
HWND TypeIntoHome(TChildProcess& Program, const std::string& Typed);
// The file kept in the folder for text that could not be saved, "" when there is none.
std::string UnsavedNotesFile(const TProgramFolder& Folder);

// A notebook of a few thousand small topics ("Topic 1" ...), whose rows fill many pages.
void MakeLargeNotebook(const std::string& Database);
// Zeroes the page that holds the row of "Topic N", as a disk fault would.
void ZeroPageOfTopic(const std::string& Database, int N);

} // namespace mv::app::test
