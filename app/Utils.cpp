// Small routines used across the program's windows.
#include "app/Utils.h"

#include "base/StrUtils.h"

#ifdef _WIN32
#include <windows.h>
#include <shlobj.h>
#endif

int32_t Max(int32_t A, int32_t B) {
    return A > B ? A : B;
}

bool IsValidName(const std::string& Name) {
    for (char C : Name) {
        bool Letter = (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z');
        bool Digit = C >= '0' && C <= '9';
        if (!Letter && !Digit) return false;
    }
    return true;
}

#ifdef _WIN32

std::string GetVolumeSerial(const std::string& RootPath) {
    DWORD Serial = 0;
    // No "insert a disk" box for an empty drive: the answer is just "".
    UINT OldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    BOOL Ok = GetVolumeInformationA(RootPath.c_str(), nullptr, 0, &Serial, nullptr, nullptr, nullptr, 0);
    SetErrorMode(OldMode);
    if (!Ok) return std::string();
    return IntToHex(static_cast<int64_t>(Serial), 8);
}

std::string GetSpecialFolderPath(int FolderID) {
    IMalloc* Malloc = nullptr;
    if (FAILED(SHGetMalloc(&Malloc)) || !Malloc) return std::string();
    std::string Path;
    LPITEMIDLIST Items = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, FolderID, &Items)) && Items) {
        char Buffer[MAX_PATH] = {};
        if (SHGetPathFromIDListA(Items, Buffer)) Path = Buffer;
        Malloc->Free(Items);
    }
    Malloc->Release();
    return Path;
}

#endif
