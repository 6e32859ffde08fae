// The JPEG reader over libjpeg (API 62): a file in memory becomes rows of blue, green, red pixels,
// or libjpeg's error, never a crash. Free of windows. The caller decides which sizes it accepts
// and where the rows go, and turns the outcome into its own messages.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace mv::pictures {

// Where a decoded picture goes.
class IJpegTarget {
public:
    virtual ~IJpegTarget() = default;
    // After the header: whether a picture of this size is accepted, and if so room is made for it
    // (it may raise; nothing of libjpeg's is left behind then). Called before anything is decoded.
    virtual bool Accept(uint32_t width, uint32_t height, bool grayscale) = 0;
    // Row y of the picture, width × 3 bytes (blue, green, red), zero-filled by the target.
    virtual uint8_t* Row(uint32_t y) = 0;
};

enum class TJpegStatus {
    Decoded, // every row written (see Truncated)
    Refused, // the target did not accept the size
    Failed,  // libjpeg refused the file: ErrorCode and ErrorText say why
};

struct TJpegResult {
    TJpegStatus Status = TJpegStatus::Failed;
    // The file ended before the picture did: libjpeg finished it with what it had (its lower
    // part is grey or repeats). Set with Decoded.
    bool Truncated = false;
    int ErrorCode = 0; // libjpeg's message code
    std::string ErrorText;
};

// Decodes a JPEG file's bytes into target. Grey pictures come as grey pixels, Adobe's inverted
// CMYK as its colours. maxBytes bounds libjpeg's own working memory (with a decoded picture of
// at most that many bytes in mind); a progressive file with an absurd number of scans fails.
TJpegResult ReadJpeg(const void* data, size_t size, int64_t maxBytes, IJpegTarget& target);

} // namespace mv::pictures
