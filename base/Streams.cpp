// TStream's shared behaviour and the memory and string streams.
#include "base/Streams.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>
#include <vector>

#include "base/Exceptions.h"

namespace {

// Copy buffer size; big enough to keep per-call overhead low, small enough for any stack.
constexpr int64_t kCopyChunk = 64 * 1024;

// The largest size a memory stream may take on this platform.
int64_t MaxMemorySize() {
    const uint64_t limit = std::string().max_size();
    return limit > static_cast<uint64_t>(INT64_MAX) ? INT64_MAX : static_cast<int64_t>(limit);
}

} // namespace

int64_t TStream::Size() {
    const int64_t saved = Seek(0, soCurrent);
    const int64_t size = Seek(0, soEnd);
    Seek(saved, soBeginning);
    return size;
}

void TStream::ReadBuffer(void* buffer, int64_t count) {
    if (count < 0) throw EReadError();
    auto* p = static_cast<char*>(buffer);
    while (count > 0) {
        const int64_t n = Read(p, count);
        if (n <= 0) throw EReadError();
        p += n;
        count -= n;
    }
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
    if (count < 0) throw EWriteError();
    const auto* p = static_cast<const char*>(buffer);
    while (count > 0) {
        const int64_t n = Write(p, count);
        if (n <= 0) throw EWriteError();
        p += n;
        count -= n;
    }
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
    if (count < 0) throw EReadError();
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    std::vector<char> buffer(static_cast<size_t>(std::min(count, kCopyChunk)));
    const int64_t total = count;
    while (count > 0) {
        const int64_t n = std::min(count, kCopyChunk);
        source.ReadBuffer(buffer.data(), n);
        WriteBuffer(buffer.data(), n);
        count -= n;
    }
    return total;
}

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
    const int64_t size = Size();
    if (count <= 0 || position_ >= size) return 0;
    const int64_t n = std::min(count, size - position_);
    std::memcpy(buffer, data_.data() + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
    if (count <= 0) return 0;
    if (count > MaxMemorySize() - position_) throw EOutOfMemory();
    const int64_t end = position_ + count;
    if (end > Size()) SetSize(end);
    std::memcpy(data_.data() + position_, buffer, static_cast<size_t>(count));
    position_ = end;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
    int64_t base = 0;
    switch (origin) {
    case soBeginning:
        base = 0;
        break;
    case soCurrent:
        base = position_;
        break;
    case soEnd:
        base = Size();
        break;
    }
    int64_t target;
    if (__builtin_add_overflow(base, offset, &target) || target < 0)
        throw EStreamError("Invalid stream seek");
    position_ = target;
    return position_;
}

void TMemoryStream::SetSize(int64_t newSize) {
    if (newSize < 0) throw EStreamError("Invalid stream size");
    if (newSize > MaxMemorySize()) throw EOutOfMemory();
    try {
        data_.resize(static_cast<size_t>(newSize), '\0');
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    } catch (const std::length_error&) {
        throw EOutOfMemory();
    }
    if (position_ > newSize) position_ = newSize;
}

void TMemoryStream::Clear() {
    data_.clear();
    data_.shrink_to_fit();
    position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& source) {
    source.SetPosition(0);
    const int64_t count = source.Size();
    std::string loaded;
    if (count > MaxMemorySize()) throw EOutOfMemory();
    try {
        loaded.resize(static_cast<size_t>(count));
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    }
    source.ReadBuffer(loaded.data(), count);
    data_.swap(loaded);
    position_ = 0;
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream& dest) {
    if (&dest == this) {
        // Writing may grow our own buffer, so write from a copy.
        const std::string copy = data_;
        dest.WriteBuffer(copy.data(), static_cast<int64_t>(copy.size()));
        return;
    }
    dest.WriteBuffer(data_.data(), Size());
}

void TMemoryStream::SaveToFile(const std::string& fileName) {
    TFileStream file(fileName, fmCreate);
    SaveToStream(file);
}

TStringStream::TStringStream(std::string data) {
    data_ = std::move(data);
}

std::string TStringStream::ReadString(int64_t count) {
    const int64_t available = Size() - position_;
    const int64_t n = std::max<int64_t>(0, std::min(count, available));
    std::string result = n > 0 ? data_.substr(static_cast<size_t>(position_), static_cast<size_t>(n)) : "";
    position_ += n;
    return result;
}

void TStringStream::WriteString(const std::string& s) {
    WriteBuffer(s.data(), static_cast<int64_t>(s.size()));
}
