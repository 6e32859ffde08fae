// Loading pictures for the HTML viewer (Win32): from files and from streams the application
// supplies, with transparency masks, adapted to the display. Every failure (unreadable, unknown,
// PNG, damaged, too big, out of memory) gives nullptr; the caller shows the error picture.
#pragma once

#include <memory>
#include <string>

#include "base/Streams.h"
#include "gui/Graphics.h"
#include "htmlview/HtmlImageTypes.h"

// Opens the file for reading and sniffs its first 11 bytes; itUnknown when it cannot be read.
TImageType ImageTypeOfFile(const std::string& name);

// The picture in the file (a GIF gives its first frame). With convert the result is adapted to
// the display, except a GIF of one frame, which is kept as decoded.
std::unique_ptr<TBitmap> LoadImageFile(const std::string& name, bool convert);

// transparent 1 asks for a mask of the bottom-left pixel's colour (TRANSP); otherwise no mask.
std::unique_ptr<TBitmap> LoadImageFileWithMask(const std::string& name, int& transparent,
                                               std::unique_ptr<TBitmap>& mask);

// A BMP or JPEG from the stream (from its start); streams of fewer than 20 bytes give nullptr.
// A JPEG sets transparent to 0. The result is adapted to the display.
std::unique_ptr<TBitmap> LoadImageStream(TStream* stream, int& transparent, std::unique_ptr<TBitmap>& mask);
