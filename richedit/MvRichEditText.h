// Window-free text rules of the rich-edit control: line breaks of plain-text
// stream-in, the RTF signature and completeness checks, progress, line and
// range buffer sizing, face names and the library version class.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace mv::richedit {

// Makes the line breaks of 8-bit plain text uniform as it streams in chunk by
// chunk: LF alone, CR alone and CR LF all become CR LF. A CR that ends a chunk
// is held back until the next chunk shows whether an LF follows, and Finish()
// turns a CR left at the end of the data into CR LF, so no break is lost at a
// chunk boundary.
class TLineBreakNormalizer {
public:
    // Appends the converted form of the chunk to Out.
    void Feed(const char* Data, std::size_t Count, std::string& Out);
    // Flushes a CR held back from the last chunk.
    void Finish(std::string& Out);
    bool HasPendingCR() const { return FPendingCR; }

private:
    bool FPendingCR = false;
};

// Convenience for a whole text at once.
std::string NormalizeLineBreaks(std::string_view Text);

// True when Data holds at least five bytes and they are "{\rtf" without regard
// to ASCII case.
bool HasRtfSignature(const char* Data, std::size_t Count);

// Remembers the last non-blank byte of an RTF text written in pieces, so that a
// save can tell a complete document (it ends with "}") from a truncated one.
class TRtfTailTracker {
public:
    void Feed(const char* Data, std::size_t Count);
    bool IsComplete() const { return FLast == '}'; }
    std::uint64_t BytesSeen() const { return FBytes; }

private:
    char FLast = 0;
    std::uint64_t FBytes = 0;
};

bool IsCompleteRtf(std::string_view Text);

// Percentage of a conversion: (Count * 100 + Size / 2) / Size clamped to
// 0..100; 0 when Size is below 1.
int ConversionPercent(std::int64_t Count, std::int64_t Size);

// The text of one line as EM_GETLINE returned it, without its break: a final
// CR LF goes; otherwise, for library version 2 and later, one final CR goes.
std::string TrimLineBreak(std::string Line, int RichEditVersion);

// Bytes to reserve for the text of the character range [Start, End): room for
// every character as a double-byte pair plus the terminating NUL; 0 when the
// range is empty or reversed.
std::uint64_t TextRangeBufferSize(std::int32_t Start, std::int32_t End);

// A font face name as it fits the 32-byte field of the format records: at most
// 31 bytes, leaving room for the NUL.
constexpr std::size_t kFaceNameField = 32;
std::string FitFaceName(std::string_view Name);

// Version class of RICHED20.DLL from the most significant half of its file
// version: minor version div 10, where 0 counts as 2 (5.30 -> 3, 5.40 -> 4).
std::uint8_t RichEditVersionFromFileVersion(std::uint32_t FileVersionMS);

// Zoom in percent from the EM_GETZOOM ratio; 100 for a denominator below 1.
int ZoomPercent(int Numerator, int Denominator);

// Length of the selection from the outputs and the reply of EM_GETSEL: end -
// start, or, when that is not positive and the reply is, the reply's high word
// minus its low word.
int SelectionLengthFromGetSel(std::uint32_t Start, std::uint32_t End, std::uint32_t Reply);

} // namespace mv::richedit
