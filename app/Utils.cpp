// Small routines used across the program's windows.
#include "app/Utils.h"

#include "base/StrUtils.h"

#ifdef _WIN32
#include <windows.h>
#include <shlobj.h>

#include "gui/Dialogs.h"
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

std::wstring GetSpecialFolderPathW(int FolderID) {
    IMalloc* Malloc = nullptr;
    if (FAILED(SHGetMalloc(&Malloc)) || !Malloc) return std::wstring();
    std::wstring Path;
    LPITEMIDLIST Items = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, FolderID, &Items)) && Items) {
        wchar_t Buffer[MAX_PATH] = {};
        if (SHGetPathFromIDListW(Items, Buffer)) Path = Buffer;
        Malloc->Free(Items);
    }
    Malloc->Release();
    return Path;
}

std::string GetSpecialFolderPath(int FolderID) {
    std::string Path;
    if (!FileNameInCodePage(GetSpecialFolderPathW(FolderID), Path)) return std::string();
    return Path;
}

std::wstring ProgramFolderW() {
    wchar_t Path[MAX_PATH] = {};
    const DWORD Length = GetModuleFileNameW(nullptr, Path, MAX_PATH);
    std::wstring Folder(Path, Length < MAX_PATH ? Length : 0);
    const size_t Slash = Folder.find_last_of(L"\\/");
    return Slash == std::wstring::npos ? std::wstring(L".") : Folder.substr(0, Slash);
}

unsigned FileNameCodePage() {
    return FileApisCodePage();
}

bool FileNameInCodePage(const std::wstring& Name, std::string& Narrow) {
    return NarrowFileName(Name, Narrow);
}

#endif
