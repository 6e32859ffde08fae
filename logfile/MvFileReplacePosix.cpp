// Whole-file replacement outside Windows: write and sync a temporary file,
// then rename it over the target.
#include "logfile/MvFileReplace.h"

#include "base/Exceptions.h"
#include "base/StrUtils.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

[[noreturn]] void Fail(const std::string& FileName, int Error) {
    throw EFCreateError(Format("Cannot create file \"%s\". %s", FileName.c_str(), std::strerror(Error)));
}

} // namespace

std::string ReplacementFileName(const std::string& FileName) {
    return FileName + ".new";
}

void SaveFileReplacing(const std::string& FileName, std::string_view Data) {
    const std::string Temp = ReplacementFileName(FileName);
    int Fd = open(Temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (Fd < 0) Fail(FileName, errno);
    int Error = 0;
    std::size_t Done = 0;
    while (Done < Data.size() && Error == 0) {
        ssize_t Written = write(Fd, Data.data() + Done, Data.size() - Done);
        if (Written < 0 && errno != EINTR)
            Error = errno;
        else if (Written > 0)
            Done += static_cast<std::size_t>(Written);
    }
    if (Error == 0 && fsync(Fd) != 0) Error = errno;
    if (close(Fd) != 0 && Error == 0) Error = errno;
    if (Error == 0 && std::rename(Temp.c_str(), FileName.c_str()) != 0) Error = errno;
    if (Error != 0) {
        unlink(Temp.c_str());
        Fail(FileName, Error);
    }
}

bool TInPlaceFile::Open(const std::string& FileName) {
    int Fd = open(FileName.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (Fd < 0) return false;
    FHandle = Fd;
    FFileName = FileName;
    return true;
}

bool TInPlaceFile::WriteInPlace(std::string_view Data) {
    const int Fd = static_cast<int>(FHandle);
    std::size_t Done = 0;
    while (Done < Data.size()) {
        ssize_t Written = pwrite(Fd, Data.data() + Done, Data.size() - Done, static_cast<off_t>(Done));
        if (Written < 0 && errno == EINTR) continue;
        if (Written <= 0) return false;
        Done += static_cast<std::size_t>(Written);
    }
    return ftruncate(Fd, static_cast<off_t>(Data.size())) == 0;
}

void TInPlaceFile::Close() {
    if (FHandle != InvalidHandle) close(static_cast<int>(FHandle));
    FHandle = InvalidHandle;
    FFileName.clear();
}
