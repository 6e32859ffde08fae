// Saves what a window shows as a PNG under the build tree's screens/ folder, so
// that anyone can look at every window the tests put on screen.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class TBitmap;

// Copies the window (frame included) from the screen into Shot.
void CaptureWindow(HWND Wnd, TBitmap& Shot);
// PNG file bytes of a 24-bit bitmap.
std::string EncodePng(TBitmap& Bitmap);
// Captures Wnd and writes screens/<Name>.png; returns the file's path.
std::string SaveScreen(HWND Wnd, const std::string& Name);
