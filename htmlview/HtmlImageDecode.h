// Any supported picture file's bytes to pixels: BMP, JPEG, and the first frame of a GIF. Free of
// windows, so documents can learn picture sizes in native tests too.
#pragma once

#include <cstddef>

#include "htmlview/HtmlImageTypes.h"

// Decodes the bytes by their kind (SniffImageType). With gifs false a GIF is not accepted. PNG and
// unknown kinds, and every decoding error, give false; out is then empty.
bool DecodePictureBytes(const void* data, size_t size, bool gifs, TPixelImage& out);
