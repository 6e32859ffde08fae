// Writing a whole file so that a crash or a full disk half-way leaves the old
// contents in place: the data goes to a temporary file beside the target,
// which then replaces the target in one step.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Raises EFCreateError "Cannot create file "%s". %s" when the data cannot be
// written or the target cannot be replaced; the old file is then unchanged.
void SaveFileReplacing(const std::string& FileName, std::string_view Data);
// The temporary file SaveFileReplacing writes first.
std::string ReplacementFileName(const std::string& FileName);

// A file that is rewritten whole, often (the log after every record). A new
// file and a rename per write cost milliseconds under Wine, so the file stays
// open and each write goes over it from the first byte, then cuts it to the
// new length. A process that dies half-way leaves the whole new text, at worst
// followed by the last bytes of the old one; never an empty file. Others may
// read it meanwhile. When writing in place fails, the file is closed and
// replaced whole, which raises when that fails too.
class TInPlaceFile {
public:
    TInPlaceFile() = default;
    ~TInPlaceFile() { Close(); }
    TInPlaceFile(const TInPlaceFile&) = delete;
    TInPlaceFile& operator=(const TInPlaceFile&) = delete;

    void Rewrite(const std::string& FileName, std::string_view Data) {
        if (IsOpen() && FFileName != FileName) Close();
        if ((IsOpen() || Open(FileName)) && WriteInPlace(Data)) return;
        Close();
        SaveFileReplacing(FileName, Data);
    }
    // Lets go of the file; the next Rewrite opens it again.
    void Close();
    bool IsOpen() const { return FHandle != InvalidHandle; }

private:
    bool Open(const std::string& FileName);
    bool WriteInPlace(std::string_view Data);

    static constexpr std::intptr_t InvalidHandle = -1;
    std::string FFileName;
    std::intptr_t FHandle = InvalidHandle;
};
