// Whole-process helpers of the application tests.
#include "tests/app/ProgramProcess.h"

#include "store/NotesStore.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace mv::app::test {

namespace {

void RemoveTree(const std::string& Path) {
    WIN32_FIND_DATAA Data;
    HANDLE Find = FindFirstFileA((Path + "\\*").c_str(), &Data);
    if (Find != INVALID_HANDLE_VALUE) {
        do {
            const std::string Name = Data.cFileName;
            if (Name == "." || Name == "..") continue;
            const std::string Full = Path + "\\" + Name;
            if (Data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(Full);
            else
                DeleteFileA(Full.c_str());
        } while (FindNextFileA(Find, &Data));
        FindClose(Find);
    }
    RemoveDirectoryA(Path.c_str());
}

struct TWindowQuery {
    DWORD Pid;
    const std::string* Caption;
    const char* ClassName;
    bool VisibleOnly;
    HWND Found = nullptr;
};

BOOL CALLBACK MatchWindow(HWND Window, LPARAM Param) {
    auto& Q = *reinterpret_cast<TWindowQuery*>(Param);
    DWORD Pid = 0;
    GetWindowThreadProcessId(Window, &Pid);
    if (Pid != Q.Pid || (Q.VisibleOnly && !IsWindowVisible(Window))) return TRUE;
    char Buffer[512] = {};
    if (Q.ClassName) {
        GetClassNameA(Window, Buffer, sizeof Buffer);
        if (std::string(Buffer) != Q.ClassName) return TRUE;
    }
    if (Q.Caption) {
        GetWindowTextA(Window, Buffer, sizeof Buffer);
        if (*Q.Caption != Buffer) return TRUE;
    }
    Q.Found = Window;
    return FALSE;
}

HWND FindTopWindow(DWORD Pid, const std::string* Caption, const char* ClassName, bool VisibleOnly) {
    TWindowQuery Q{Pid, Caption, ClassName, VisibleOnly};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&Q));
    return Q.Found;
}

BOOL CALLBACK FirstStaticText(HWND Child, LPARAM Param) {
    char ClassName[32] = {};
    GetClassNameA(Child, ClassName, sizeof ClassName);
    if (lstrcmpiA(ClassName, "Static") != 0) return TRUE;
    char Text[1024] = {};
    GetWindowTextA(Child, Text, sizeof Text);
    if (Text[0] == '\0') return TRUE;
    *reinterpret_cast<std::string*>(Param) = Text;
    return FALSE;
}

} // namespace

std::string ProgramDirectory() {
    return MV_PROGRAM_DIR_W;
}
std::string ProgramPath() {
    return ProgramDirectory() + "\\Miravelund.exe";
}

TProgramFolder::TProgramFolder(const std::string& Name, const std::string& Root) {
    char Temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, Temp);
    FPath = (Root.empty() ? std::string(Temp) : Root + "\\") + "mv-" + Name + "-" +
            std::to_string(GetCurrentProcessId());
    RemoveTree(FPath);
    if (!CreateDirectoryA(FPath.c_str(), nullptr) || !CreateDirectoryA(File("Plugins").c_str(), nullptr))
        throw std::runtime_error("cannot create " + FPath);
    for (const char* F : {"Miravelund.exe", "Default.mvdb"})
        if (!CopyFileA((ProgramDirectory() + "\\" + F).c_str(), File(F).c_str(), FALSE))
            throw std::runtime_error(std::string("cannot copy ") + F);
    WriteFile("Miravelund.ini", "database=" + Database() + "\r\n");
}

TProgramFolder::~TProgramFolder() {
    RemoveTree(FPath);
}

void TProgramFolder::WriteFile(const std::string& Name, const std::string& Text) const {
    HANDLE F = CreateFileA(File(Name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (F == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write " + Name);
    DWORD Written = 0;
    ::WriteFile(F, Text.data(), static_cast<DWORD>(Text.size()), &Written, nullptr);
    CloseHandle(F);
}

std::string TProgramFolder::ReadFile(const std::string& Name) const {
    return ReadWholeFile(File(Name));
}

std::string ReadWholeFile(const std::string& Path) {
    HANDLE F = CreateFileA(Path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (F == INVALID_HANDLE_VALUE) return {};
    std::string Text;
    char Buffer[4096];
    DWORD Read = 0;
    while (::ReadFile(F, Buffer, sizeof Buffer, &Read, nullptr) && Read > 0)
        Text.append(Buffer, Read);
    CloseHandle(F);
    return Text;
}

TChildProcess::TChildProcess(const std::string& Program, const std::string& Arguments,
                             const std::string& Folder) {
    std::string CommandLine = "\"" + Program + "\"" + (Arguments.empty() ? "" : " " + Arguments);
    std::vector<char> Buffer(CommandLine.begin(), CommandLine.end());
    Buffer.push_back('\0');
    STARTUPINFOA Startup{};
    Startup.cb = sizeof Startup;
    if (!CreateProcessA(Program.c_str(), Buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, Folder.c_str(),
                        &Startup, &FInfo))
        throw std::runtime_error("cannot start " + Program);
}

TChildProcess::~TChildProcess() {
    if (FInfo.hProcess) {
        if (WaitForSingleObject(FInfo.hProcess, 0) == WAIT_TIMEOUT) Kill();
        CloseHandle(FInfo.hProcess);
        CloseHandle(FInfo.hThread);
    }
}

bool TChildProcess::WaitForExit(DWORD Milliseconds, DWORD* ExitCode) {
    if (WaitForSingleObject(FInfo.hProcess, Milliseconds) != WAIT_OBJECT_0) return false;
    if (ExitCode) GetExitCodeProcess(FInfo.hProcess, ExitCode);
    return true;
}

void TChildProcess::Kill() {
    TerminateProcess(FInfo.hProcess, 9);
    WaitForSingleObject(FInfo.hProcess, 10000);
}

HWND WaitForWindow(DWORD Pid, const std::string& Caption, DWORD Milliseconds, const char* ClassName) {
    const DWORD Start = GetTickCount();
    for (;;) {
        if (HWND W = FindTopWindow(Pid, &Caption, ClassName, true)) return W;
        if (GetTickCount() - Start > Milliseconds) return nullptr;
        Sleep(100);
    }
}

HWND FindMainWindow(DWORD Pid) {
    return FindTopWindow(Pid, nullptr, "TfrmMain", false);
}

HWND WaitForMainWindow(DWORD Pid, DWORD Milliseconds) {
    const DWORD Start = GetTickCount();
    for (;;) {
        if (HWND W = FindMainWindow(Pid)) return W;
        if (GetTickCount() - Start > Milliseconds) return nullptr;
        Sleep(20);
    }
}

std::string WaitForMessageBoxText(DWORD Pid, DWORD Milliseconds, HWND* Box) {
    const DWORD Start = GetTickCount();
    for (;;) {
        if (HWND W = FindTopWindow(Pid, nullptr, "#32770", true)) {
            std::string Text;
            EnumChildWindows(W, FirstStaticText, reinterpret_cast<LPARAM>(&Text));
            if (!Text.empty()) {
                if (Box) *Box = W;
                return Text;
            }
        }
        if (GetTickCount() - Start > Milliseconds) return {};
        Sleep(100);
    }
}

void EndSession(const TChildProcess& Program) {
    HWND Main = WaitForMainWindow(Program.Id(), 30000);
    ASSERT_NE(Main, nullptr) << "no main window";
    DWORD_PTR Reply = 0;
    ASSERT_NE(SendMessageTimeoutA(Main, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 30000, &Reply), 0);
}

bool HasTopic(const std::string& Database, const std::string& Namespace, const std::string& Title,
              std::string* Content) {
    TNotesStore Store(Database);
    bool Created = false;
    const int32_t ID = Store.FindTopic(Namespace, Title, Created);
    if (ID >= 0 && Content) {
        TTopicRect Rect;
        if (auto Stream = Store.GetTopic(ID, Rect)) *Content = Stream->DataString();
    }
    return ID >= 0;
}

namespace {

BOOL CALLBACK FindEditor(HWND Child, LPARAM Param) {
    char Name[128] = {};
    GetClassNameA(Child, Name, sizeof Name);
    const std::string Class = Name;
    if (Class == "RichEdit20A" || Class == "RichEdit20W" || Class == "RICHEDIT") {
        *reinterpret_cast<HWND*>(Param) = Child;
        return FALSE;
    }
    return TRUE;
}

} // namespace

void Type(HWND NoteWindow, const std::string& Text) {
    HWND Editor = nullptr;
    EnumChildWindows(NoteWindow, FindEditor, reinterpret_cast<LPARAM>(&Editor));
    ASSERT_NE(Editor, nullptr) << "no editor in the note window";
    DWORD_PTR Reply = 0;
    for (char C : Text)
        ASSERT_NE(SendMessageTimeoutA(Editor, WM_CHAR, static_cast<unsigned char>(C), 1, SMTO_NORMAL, 10000,
                                      &Reply),
                  0);
}

HWND EditorOf(HWND NoteWindow) {
    HWND Editor = nullptr;
    EnumChildWindows(NoteWindow, FindEditor, reinterpret_cast<LPARAM>(&Editor));
    return Editor;
}

std::string WindowText(HWND Window) {
    char Text[4096] = {};
    DWORD_PTR Reply = 0;
    SendMessageTimeoutA(Window, WM_GETTEXT, sizeof Text, reinterpret_cast<LPARAM>(Text), SMTO_NORMAL, 10000,
                        &Reply);
    return Text;
}

void PressKeyOn(HWND Window, BYTE Key, bool Control) {
    SetForegroundWindow(Window);
    for (const DWORD Start = GetTickCount();
         GetForegroundWindow() != Window && GetTickCount() - Start < 5000;)
        Sleep(20);
    if (Control) keybd_event(VK_CONTROL, 0, 0, 0);
    keybd_event(Key, 0, 0, 0);
    keybd_event(Key, 0, KEYEVENTF_KEYUP, 0);
    if (Control) keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
}

void PressSave(HWND NoteWindow) {
    PressKeyOn(NoteWindow, 'S', true);
}

bool PressOnBox(HWND Box, BYTE Key) {
    PressKeyOn(Box, Key, false);
    for (const DWORD Start = GetTickCount(); IsWindow(Box) && GetTickCount() - Start < 10000;)
        Sleep(50);
    return !IsWindow(Box);
}

void FillVolume(const std::string& Path) {
    HANDLE Fill = CreateFileA(Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(Fill, INVALID_HANDLE_VALUE);
    const std::string Block(65536, 'f');
    for (DWORD Size = static_cast<DWORD>(Block.size()); Size > 0;) {
        DWORD Written = 0;
        if (!WriteFile(Fill, Block.data(), Size, &Written, nullptr) || Written < Size) Size /= 2;
    }
    CloseHandle(Fill);
}

HWND StartAndWaitForHome(TChildProcess& Program) {
    HWND Home = WaitForWindow(Program.Id(), ":Home", 60000, "TfrmNote");
    WaitForMainWindow(Program.Id(), 30000);
    return Home;
}

bool WaitForContent(const std::string& Database, const std::string& Words, DWORD Milliseconds) {
    const DWORD Start = GetTickCount();
    do {
        std::string Content;
        if (HasTopic(Database, "", "Home", &Content) && Content.find(Words) != std::string::npos) return true;
        Sleep(200);
    } while (GetTickCount() - Start < Milliseconds);
    return false;
}

HWND TypeIntoHome(TChildProcess& Program, const std::string& Typed) {
    HWND Home = StartAndWaitForHome(Program);
    if (!Home) return nullptr;
    Type(Home, Typed);
    return FindMainWindow(Program.Id());
}

std::string UnsavedNotesFile(const TProgramFolder& Folder) {
    WIN32_FIND_DATAA Found{};
    HANDLE Search = FindFirstFileA(Folder.File("Unsaved notes *.txt").c_str(), &Found);
    if (Search == INVALID_HANDLE_VALUE) return {};
    FindClose(Search);
    return Found.cFileName;
}

namespace {

std::string RowText(int N) {
    return "The words of topic " + std::to_string(N) + ", kept in its row.";
}

} // namespace

void MakeLargeNotebook(const std::string& Database) {
    TNotesStore Store(Database);
    for (int N = 0; N <= 3000; ++N) {
        const std::string Title = N == 0 ? "Home" : "Topic " + std::to_string(N);
        bool Created = true;
        TStringStream Content(N == 0 ? std::string("Home of a large notebook") : RowText(N));
        TStringStream Meta("");
        Store.SaveTopic(Store.FindTopic("", Title, Created), "", TTopicRect{}, Content, Title, Meta);
    }
    Store.Commit();
}

void ZeroPageOfTopic(const std::string& Database, int N) {
    std::string Bytes = ReadWholeFile(Database);
    const size_t At = Bytes.find(RowText(N));
    ASSERT_NE(At, std::string::npos);
    const size_t PageSize = 4096;
    const size_t Page = At / PageSize;
    ASSERT_GT(Page, 1u);
    Bytes.replace(Page * PageSize, PageSize, std::string(PageSize, '\0'));
    HANDLE File = CreateFileA(Database.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(File, INVALID_HANDLE_VALUE);
    DWORD Written = 0;
    WriteFile(File, Bytes.data(), static_cast<DWORD>(Bytes.size()), &Written, nullptr);
    CloseHandle(File);
    ASSERT_EQ(Written, Bytes.size());
}

} // namespace mv::app::test
