// What lies at a path, as the C runtime sees it, and what the system would let a program do there.
#pragma once

#include <cstdint>
#include <string>

// The name is read in the system's 8-bit code page, as TFileStream and Windows' "A" functions read
// it, so the answer is about the file they open. (On Windows std::filesystem reads an 8-bit name in
// a code page of its own and can look at another file.)
enum class TPathKind { Nothing, File, Folder };
struct TPathInfo {
    TPathKind Kind = TPathKind::Nothing;
    int64_t Size = 0; // a file's size in bytes
};
TPathInfo PathInfo(const std::string& path);

// The probes below tell why a write failed, by trying now what the write needed. Each leaves the
// disk as it found it.
// Writable: it can be written now. ReadOnly: the system refuses writing to it (its permissions, a
// write-protected medium; on Windows also a file's Read-only attribute, which binds every account).
// Held: another program has it open without sharing (Windows only). Unknown: none of these, or
// nothing is there.
enum class TWriteAccess { Writable, ReadOnly, Held, Unknown };
// Whether an existing file opens for writing, shared with every other program; nothing is written.
TWriteAccess FileWriteAccess(const std::string& file);
// Whether a new file can be made in the folder: one is made, seen there, and removed again. A name
// the system hands out is not taken for a file (Wine names a temporary file it did not make).
TWriteAccess FolderWriteAccess(const std::string& folder);
// The bytes this account may still write on the volume that holds the folder, or -1 when the
// system does not say.
int64_t FreeSpace(const std::string& folder);
// True for a path on a removable or network drive (on Windows, the drive type of its root), where
// a drive that went away explains a failed write; never elsewhere.
bool OnRemovableOrNetworkDrive(const std::string& path);
