// Reading JPEG files through libjpeg (API 62) into a picture buffer, from memory. Free of windows.
#pragma once

#include <cstddef>

#include "htmlview/HtmlImageTypes.h"

// Decodes a JPEG file. A file that is not a JPEG (or that libjpeg refuses) raises
// EInvalidGraphicOperation "JPEG error #N" with libjpeg's message code N; a header asking for a
// picture bigger than kMaxPictureBytes raises before anything is allocated; a file that ends early
// gives what was decoded (libjpeg fills the rest). Grey pictures come back as grey pixels with
// Grayscale set.
// maxBytes lowers the size limit (fuzzing keeps pictures small with it).
TPixelImage DecodeJpeg(const void* data, size_t size, int64_t maxBytes = kMaxPictureBytes);
