// TFileStream over the C runtime's low-level file handles (POSIX io, or the MSVCRT variants).
#include "base/Streams.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "base/Exceptions.h"
#include "base/StrUtils.h"

namespace {

#ifdef _WIN32
constexpr int kBinary = _O_BINARY;
constexpr int kNoInherit = _O_NOINHERIT;
constexpr int kCreatePermissions = _S_IREAD | _S_IWRITE;
int64_t SeekHandle(int fd, int64_t offset, int whence) {
    return _lseeki64(fd, offset, whence);
}
int TruncateHandle(int fd, int64_t size) {
    return _chsize_s(fd, size) == 0 ? 0 : -1;
}
#else
constexpr int kBinary = 0;
constexpr int kNoInherit = O_CLOEXEC;
constexpr int kCreatePermissions = 0666;
int64_t SeekHandle(int fd, int64_t offset, int whence) {
    return lseek(fd, offset, whence);
}
int TruncateHandle(int fd, int64_t size) {
    return ftruncate(fd, size);
}
#endif

// One read or write call never asks for more than this, so the count fits the C runtime's int.
constexpr int64_t kMaxTransfer = 1 << 30;

std::string SystemReason(int error) {
    return std::strerror(error);
}

} // namespace

TFileStream::TFileStream(const std::string& fileName, uint16_t mode) : fileName_(fileName) {
    if (mode == fmCreate || (mode & 0xFF00) == fmCreate) {
        fd_ = open(fileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | kBinary | kNoInherit, kCreatePermissions);
        if (fd_ < 0) {
            const int error = errno;
            throw EFCreateError(
                Format("Cannot create file \"%s\". %s", fileName.c_str(), SystemReason(error).c_str()));
        }
        return;
    }
    int access;
    switch (mode & 0x0003) {
    case fmOpenWrite:
        access = O_WRONLY;
        break;
    case fmOpenReadWrite:
        access = O_RDWR;
        break;
    default:
        access = O_RDONLY;
        break;
    }
    fd_ = open(fileName.c_str(), access | kBinary | kNoInherit);
    if (fd_ >= 0) {
        // A folder opens read-only on POSIX; it is not a file we can stream.
        struct stat info;
        if (fstat(fd_, &info) == 0 && S_ISDIR(info.st_mode)) {
            close(fd_);
            fd_ = -1;
            errno = EISDIR;
        }
    }
    if (fd_ < 0) {
        const int error = errno;
        throw EFOpenError(
            Format("Cannot open file \"%s\". %s", fileName.c_str(), SystemReason(error).c_str()));
    }
}

TFileStream::~TFileStream() {
    if (fd_ >= 0) close(fd_);
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
    if (count <= 0) return 0;
    const auto n = read(fd_, buffer, static_cast<unsigned>(std::min(count, kMaxTransfer)));
    return n < 0 ? 0 : static_cast<int64_t>(n);
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
    if (count <= 0) return 0;
    const auto n = write(fd_, buffer, static_cast<unsigned>(std::min(count, kMaxTransfer)));
    return n < 0 ? 0 : static_cast<int64_t>(n);
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
    const int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
    const int64_t result = SeekHandle(fd_, offset, whence);
    if (result < 0)
        throw EStreamError(
            Format("Cannot seek in file \"%s\". %s", fileName_.c_str(), SystemReason(errno).c_str()));
    return result;
}

void TFileStream::SetSize(int64_t newSize) {
    if (newSize < 0) throw EStreamError("Invalid stream size");
    const int64_t position = Position();
    if (TruncateHandle(fd_, newSize) != 0)
        throw EStreamError(Format("Cannot change the size of file \"%s\". %s", fileName_.c_str(),
                                  SystemReason(errno).c_str()));
    if (position > newSize) Seek(newSize, soBeginning);
}
