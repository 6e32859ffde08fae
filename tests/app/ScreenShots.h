// Saves what a window shows as a PNG under the build tree's screens folder
// (build/win32/screens/NAME.png), so that anyone can look at every window
// after the tests ran.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace mv::app::test {

// A PNG file of Width × Height pixels given top row first, 3 bytes each in
// the order blue, green, red (a 24-bit DIB's rows without padding).
std::string EncodePng(int Width, int Height, const std::vector<uint8_t>& Bgr);

// Captures the whole window (frame and caption included) from the screen and
// writes it as Name.png; returns the pixels (as EncodePng takes them) so that
// a test can look at them too. The window must be shown.
std::vector<uint8_t> SaveWindowPng(HWND Window, const std::string& Name, int* Width = nullptr,
                                   int* Height = nullptr);

} // namespace mv::app::test
