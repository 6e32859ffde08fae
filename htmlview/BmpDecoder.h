// Reading BMP files (Windows and OS/2 headers; 1, 4, 8, 16, 24 and 32 bits; RLE4, RLE8 and bit
// fields) into a picture buffer. Free of windows.
#pragma once

#include <cstddef>

#include "htmlview/HtmlImageTypes.h"

// Decodes a whole BMP file. Raises EInvalidGraphicOperation "Bitmap image is not valid" for a
// file it cannot read and EOutOfMemory for a picture bigger than kMaxPictureBytes; pixel data
// that ends early leaves the remaining pixels black.
// maxBytes lowers the size limit (fuzzing keeps pictures small with it).
TPixelImage DecodeBmp(const void* data, size_t size, int64_t maxBytes = kMaxPictureBytes);
