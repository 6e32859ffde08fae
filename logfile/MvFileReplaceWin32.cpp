// Whole-file replacement on Windows: write and flush a temporary file, then
// MoveFileExA with MOVEFILE_REPLACE_EXISTING.
#include "logfile/MvFileReplace.h"

#include "base/Exceptions.h"
#include "base/StrUtils.h"

#include <windows.h>

#include <algorithm>

namespace {

std::string SystemReason(DWORD Error) {
    char Buffer[512] = {};
    DWORD Length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, Error,
                                  0, Buffer, sizeof Buffer, nullptr);
    return TrimRight(std::string(Buffer, Length));
}

[[noreturn]] void Fail(const std::string& FileName, DWORD Error) {
    throw EFCreateError(
        Format("Cannot create file \"%s\". %s", FileName.c_str(), SystemReason(Error).c_str()));
}

class TFileHandle {
public:
    explicit TFileHandle(HANDLE Handle) : FHandle(Handle) {}
    ~TFileHandle() { Close(); }
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;
    HANDLE Get() const { return FHandle; }
    bool Valid() const { return FHandle != INVALID_HANDLE_VALUE; }
    bool Close() {
        bool Ok = true;
        if (Valid()) Ok = CloseHandle(FHandle) != 0;
        FHandle = INVALID_HANDLE_VALUE;
        return Ok;
    }

private:
    HANDLE FHandle;
};

} // namespace

std::string ReplacementFileName(const std::string& FileName) {
    return FileName + ".new";
}

void SaveFileReplacing(const std::string& FileName, std::string_view Data) {
    const std::string Temp = ReplacementFileName(FileName);
    TFileHandle File(
        CreateFileA(Temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!File.Valid()) Fail(FileName, GetLastError());
    std::size_t Done = 0;
    DWORD Error = 0;
    while (Done < Data.size() && Error == 0) {
        DWORD Chunk = static_cast<DWORD>(std::min<std::size_t>(Data.size() - Done, 1u << 20));
        DWORD Written = 0;
        if (!WriteFile(File.Get(), Data.data() + Done, Chunk, &Written, nullptr) || Written != Chunk)
            Error = GetLastError() ? GetLastError() : ERROR_DISK_FULL;
        Done += Written;
    }
    if (Error == 0 && !FlushFileBuffers(File.Get())) Error = GetLastError();
    if (!File.Close() && Error == 0) Error = GetLastError();
    if (Error == 0 &&
        !MoveFileExA(Temp.c_str(), FileName.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        Error = GetLastError();
    if (Error != 0) {
        DeleteFileA(Temp.c_str());
        Fail(FileName, Error);
    }
}

bool TInPlaceFile::Open(const std::string& FileName) {
    // Readers are welcome; nobody may write, rename or delete the file meanwhile.
    HANDLE File = CreateFileA(FileName.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (File == INVALID_HANDLE_VALUE) return false;
    FHandle = reinterpret_cast<std::intptr_t>(File);
    FFileName = FileName;
    return true;
}

bool TInPlaceFile::WriteInPlace(std::string_view Data) {
    HANDLE File = reinterpret_cast<HANDLE>(FHandle);
    if (SetFilePointer(File, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return false;
    std::size_t Done = 0;
    while (Done < Data.size()) {
        DWORD Chunk = static_cast<DWORD>(std::min<std::size_t>(Data.size() - Done, 1u << 20));
        DWORD Written = 0;
        if (!WriteFile(File, Data.data() + Done, Chunk, &Written, nullptr) || Written != Chunk) return false;
        Done += Written;
    }
    return SetEndOfFile(File) != 0;
}

void TInPlaceFile::Close() {
    if (FHandle != InvalidHandle) CloseHandle(reinterpret_cast<HANDLE>(FHandle));
    FHandle = InvalidHandle;
    FFileName.clear();
}
