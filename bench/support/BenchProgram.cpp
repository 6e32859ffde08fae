#include "bench/support/BenchProgram.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

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
