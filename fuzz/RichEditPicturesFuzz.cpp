// The editor's picture files on arbitrary bytes: the BMP check and the JPEG
// decoder answer with pixels or a message, never a crash, a leak or a picture
// whose buffer does not match its size.
#include <cstdint>
#include <cstdlib>

#include "richedit/MvPictureFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace mv::richedit;
    (void)CheckBmpFile(data, size);
    TDecodedPicture picture;
    std::string error;
    const bool decoded = DecodeJpeg(data, size, picture, error, 1 << 20);
    if (decoded != error.empty()) std::abort();
    if (picture.Bgr.size() != static_cast<size_t>(picture.Width) * picture.Height * 3) std::abort();
    return 0;
}
