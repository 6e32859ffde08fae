// What lies at a path, as the C runtime sees it.
#include "base/FileInfo.h"

#include <sys/stat.h>

#include "base/StrUtils.h"

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
