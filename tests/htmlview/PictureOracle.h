// Test helpers: running a command-line decoder of Debian's and reading the PNM it writes.
#pragma once

#include <string>

#include "htmlview/HtmlImageTypes.h"

// The standard output of a shell command (empty when it could not run).
std::string RunCapture(const std::string& command);
// A binary PPM (P6) or PGM (P5) of 8-bit samples as a picture; Empty() when it is neither.
TPixelImage ParsePnm(const std::string& bytes);
std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);
// The first differing pixel as text, or "" when the pictures are equal.
std::string ComparePictures(const TPixelImage& ours, const TPixelImage& expected);
