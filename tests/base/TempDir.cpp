// Scratch folder for file tests.
#include "tests/base/TempDir.h"

#include <atomic>
#include <filesystem>
#include <system_error>

#include "base/StrUtils.h"

#ifdef _WIN32
#include <process.h>
#define MV_GETPID _getpid
#else
#include <unistd.h>
#define MV_GETPID getpid
#endif

namespace {
std::atomic<int> counter{0};
}

TempDir::TempDir() {
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    const std::filesystem::path dir =
        base / Format("mv-base-%d-%d", static_cast<int>(MV_GETPID()), counter.fetch_add(1));
    std::filesystem::create_directories(dir);
    path_ = dir.string();
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::File(const std::string& name) const {
    return IncludeTrailingPathDelimiter(path_) + name;
}
