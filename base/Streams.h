// Byte streams: the abstract TStream and its memory, string and file implementations.
#pragma once

#include <cstdint>
#include <string>

#include "base/Object.h"

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
public:
    TStream() = default;
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;

    // Transfer up to count bytes and return how many moved (0 at the end).
    virtual int64_t Read(void* buffer, int64_t count) = 0;
    virtual int64_t Write(const void* buffer, int64_t count) = 0;
    // Returns the new position.
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
    virtual int64_t Size();
    virtual void SetSize(int64_t newSize) = 0;

    int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(int64_t position) { Seek(position, soBeginning); }

    // Transfer exactly count bytes or raise EReadError / EWriteError.
    void ReadBuffer(void* buffer, int64_t count);
    void WriteBuffer(const void* buffer, int64_t count);
    // Copies count bytes from source's position; count 0 copies all of source from position 0.
    // Returns the number of bytes copied.
    int64_t CopyFrom(TStream& source, int64_t count);
};

// A growable block of memory. Seeking past the end is allowed; a write there fills the gap with zeros.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return static_cast<int64_t>(data_.size()); }
    void SetSize(int64_t newSize) override;

    void* Memory() { return data_.data(); }
    const void* Memory() const { return data_.data(); }
    void Clear();
    // Replace the contents with all of source (from its position 0) / the file; position becomes 0.
    void LoadFromStream(TStream& source);
    void LoadFromFile(const std::string& fileName);
    // Write all of the contents, whatever the position.
    void SaveToStream(TStream& dest);
    void SaveToFile(const std::string& fileName);

protected:
    std::string data_;
    int64_t position_ = 0;
};

// A memory stream whose contents are read back as a string.
class TStringStream : public TMemoryStream {
public:
    TStringStream() = default;
    explicit TStringStream(std::string data);

    const std::string& DataString() const { return data_; }
    // Reads up to count bytes from the position.
    std::string ReadString(int64_t count);
    void WriteString(const std::string& s);
};

// File open modes: one access mode, optionally or-ed with one share mode (share modes are accepted
// and ignored). fmCreate creates the file, or empties an existing one, for reading and writing.
inline constexpr uint16_t fmOpenRead = 0x0000;
inline constexpr uint16_t fmOpenWrite = 0x0001;
inline constexpr uint16_t fmOpenReadWrite = 0x0002;
inline constexpr uint16_t fmShareCompat = 0x0000;
inline constexpr uint16_t fmShareExclusive = 0x0010;
inline constexpr uint16_t fmShareDenyWrite = 0x0020;
inline constexpr uint16_t fmShareDenyRead = 0x0030;
inline constexpr uint16_t fmShareDenyNone = 0x0040;
inline constexpr uint16_t fmCreate = 0xFF00;

// A file on disk. Raises EFOpenError "Cannot open file "%s". %s" or EFCreateError
// "Cannot create file "%s". %s" (the second part is the system's reason).
class TFileStream : public TStream {
public:
    TFileStream(const std::string& fileName, uint16_t mode);
    ~TFileStream() override;

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t newSize) override;

    const std::string& FileName() const { return fileName_; }

private:
    std::string fileName_;
    int fd_ = -1;
};
