// What lies at a path, as the C runtime sees it, and what the system would let a program do there.
#include "base/FileInfo.h"

#include <sys/stat.h>

#include <atomic>

#include "base/StrUtils.h"

#ifdef _WIN32
// Only the kernel's file functions: base/ stays free of windows.h and its window declarations.
#include <windef.h>
#include <winbase.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/statvfs.h>
#include <unistd.h>
#endif

TPathInfo PathInfo(const std::string& path) {
    // The C runtime of Windows finds no folder by a name with a delimiter at its end ("D:\Notes\"),
    // except a drive's root.
    std::string name = path;
    if (name.size() > 1 && IsPathDelimiter(name.back()) && name[name.size() - 2] != ':') name.pop_back();
#ifdef _WIN32
    struct _stati64 info {};
    if (name.empty() || _stati64(name.c_str(), &info) != 0) return {};
#else
    struct stat info {};
    if (name.empty() || stat(name.c_str(), &info) != 0) return {};
#endif
    if ((info.st_mode & S_IFMT) == S_IFDIR) return {TPathKind::Folder, 0};
    return {TPathKind::File, static_cast<int64_t>(info.st_size)};
}

#ifdef _WIN32

namespace {

TWriteAccess AccessAfter(DWORD error) {
    switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        return TWriteAccess::ReadOnly;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return TWriteAccess::Held;
    default:
        return TWriteAccess::Unknown;
    }
}

} // namespace

TWriteAccess FileWriteAccess(const std::string& file) {
    const DWORD attributes = GetFileAttributesA(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return TWriteAccess::Unknown;
    // An account that may write anything (Wine's, say) still opens a file with this attribute
    // for writing; Windows refuses it to every program.
    if (attributes & FILE_ATTRIBUTE_READONLY) return TWriteAccess::ReadOnly;
    const HANDLE handle =
        CreateFileA(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return AccessAfter(GetLastError());
    CloseHandle(handle);
    return TWriteAccess::Writable;
}

// The probe makes its file itself: Wine's GetTempFileNameA reports a name, with error 5, in a folder
// where it made no file. The file goes when its handle closes, even when another program (a virus
// scanner) opened it meanwhile, where a DeleteFileA would fail and leave it behind.
TWriteAccess FolderWriteAccess(const std::string& folder) {
    static std::atomic<unsigned> made = 0;
    const std::string prefix =
        IncludeTrailingPathDelimiter(folder) + "mv" + std::to_string(GetCurrentProcessId()) + "-";
    for (int tries = 0; tries < 100; ++tries) {
        const std::string name = prefix + std::to_string(made++) + ".tmp";
        const HANDLE handle = CreateFileA(
            name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
            CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE,
            nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
            return AccessAfter(error);
        }
        // A handle is not yet a file: it counts only once the folder shows it.
        const bool there = GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES;
        CloseHandle(handle);
        return there ? TWriteAccess::Writable : TWriteAccess::Unknown;
    }
    return TWriteAccess::Unknown;
}

int64_t FreeSpace(const std::string& folder) {
    ULARGE_INTEGER available{};
    if (!GetDiskFreeSpaceExA(folder.c_str(), &available, nullptr, nullptr)) return -1;
    return static_cast<int64_t>(available.QuadPart);
}

bool OnRemovableOrNetworkDrive(const std::string& path) {
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH) return false;
    const std::string name(full, length);
    // "\\server\share\...": a network drive without a letter.
    if (name.size() > 2 && IsPathDelimiter(name[0]) && IsPathDelimiter(name[1])) return true;
    if (name.size() < 3 || name[1] != ':') return false;
    const UINT type = GetDriveTypeA(name.substr(0, 3).c_str());
    return type == DRIVE_REMOVABLE || type == DRIVE_REMOTE;
}

#else

namespace {

TWriteAccess AccessAfter(int error) {
    return error == EACCES || error == EPERM || error == EROFS ? TWriteAccess::ReadOnly
                                                               : TWriteAccess::Unknown;
}

} // namespace

TWriteAccess FileWriteAccess(const std::string& file) {
    if (PathInfo(file).Kind != TPathKind::File) return TWriteAccess::Unknown;
    const int fd = open(file.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return AccessAfter(errno);
    close(fd);
    return TWriteAccess::Writable;
}

TWriteAccess FolderWriteAccess(const std::string& folder) {
    std::string name = folder + "/.mvXXXXXX";
    const int fd = mkstemp(name.data());
    if (fd < 0) return AccessAfter(errno);
    close(fd);
    unlink(name.c_str());
    return TWriteAccess::Writable;
}

int64_t FreeSpace(const std::string& folder) {
    struct statvfs volume {};
    if (statvfs(folder.c_str(), &volume) != 0) return -1;
    return static_cast<int64_t>(volume.f_bavail) * static_cast<int64_t>(volume.f_frsize);
}

bool OnRemovableOrNetworkDrive(const std::string&) {
    return false;
}

#endif
