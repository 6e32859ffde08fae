// What lies at a path, as the C runtime sees it.
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
