// Saving what a picture test drew as a PNG under the build tree's screens folder.
#pragma once

#include <string>

#include "htmlview/HtmlImageTypes.h"

// Writes build/win32/screens/<name>.png (uncompressed PNG) of the pixels.
void SaveScreenPng(const std::string& name, const TPixelImage& image);
