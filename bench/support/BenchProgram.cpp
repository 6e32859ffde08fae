#include "bench/support/BenchProgram.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

std::string ExeFolder() {
    char Path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, Path, MAX_PATH);
    std::string Folder = Path;
    return Folder.substr(0, Folder.find_last_of("\\/"));
}

void Pump() {
    MSG Msg;
    while (PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&Msg);
        DispatchMessageA(&Msg);
    }
}

void CopyOrDie(const std::string& From, const std::string& To) {
    if (!CopyFileA(From.c_str(), To.c_str(), FALSE)) {
        std::fprintf(stderr, "cannot copy %s to %s\n", From.c_str(), To.c_str());
        std::exit(1);
    }
    HANDLE Copy = CreateFileA(To.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (Copy != INVALID_HANDLE_VALUE) {
        FlushFileBuffers(Copy);
        CloseHandle(Copy);
    }
}

std::map<std::string, double> RunSessionProcess(const std::string& Folder, const std::string& Exe,
                                                const std::string& RunName, const std::string& Database,
                                                const std::string& Argument) {
    const std::string RunFolder = Folder + "\\" + RunName;
    CreateDirectoryA(RunFolder.c_str(), nullptr);
    CopyOrDie(Database, RunFolder + "\\Miravelund.mvdb");
    DeleteFileA((RunFolder + "\\Miravelund.ini").c_str());
    const std::string Out = RunFolder + "\\session.txt";
    DeleteFileA(Out.c_str());
    const std::string Program = Folder + "\\" + Exe;
    std::string CommandLine =
        "\"" + Program + "\" --session \"" + RunFolder + "\" " + Argument + " \"" + Out + "\"";
    STARTUPINFOA Startup{};
    Startup.cb = sizeof Startup;
    PROCESS_INFORMATION Info{};
    std::map<std::string, double> R;
    if (!CreateProcessA(Program.c_str(), CommandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        RunFolder.c_str(), &Startup, &Info))
        return R;
    WaitForSingleObject(Info.hProcess, 300000);
    DWORD Code = 1;
    GetExitCodeProcess(Info.hProcess, &Code);
    CloseHandle(Info.hProcess);
    CloseHandle(Info.hThread);
    std::ifstream File(Out);
    std::string Field;
    double Value = 0;
    while (Code == 0 && File >> Field >> Value)
        R[Field] = Value;
    return R;
}
