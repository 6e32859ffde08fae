// Pictures of what the tests showed, as PNG files under build/win32/screens/,
// so that anyone can look at every window of the program after a test run.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace mv::app::test {

// Pixels of a rectangle, row by row from the top, each 0x00RRGGBB.
struct TPicture {
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Pixels;
    uint32_t At(int X, int Y) const { return Pixels[static_cast<size_t>(Y) * Width + X]; }
};

// The screen's pixels in Rect (screen coordinates).
TPicture CaptureScreen(const RECT& Rect);
// The same once they hold still: another process paints there at its own pace, so the picture
// is the first that shows more than one colour and that the next capture repeats (TimeoutMs at
// most: then the last capture).
TPicture CaptureSettledScreen(const RECT& Rect, unsigned TimeoutMs = 5000);
// What an icon looks like drawn at Size by Size over a background colour.
TPicture DrawIcon(HICON Icon, int Size, uint32_t Background);

// Writes the picture as an uncompressed PNG; false when the file cannot be written.
bool SavePng(const TPicture& Picture, const std::string& Path);
// SavePng into the screens folder as Name + ".png" (the folder is created).
bool SaveScreen(const TPicture& Picture, const std::string& Name);
// SaveScreen of a window (another process's box, say) as it shows on the screen once it holds still.
bool SaveWindowScreen(HWND Window, const std::string& Name);
std::string ScreensFolder();

} // namespace mv::app::test
