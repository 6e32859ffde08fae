// Waiting, in tests, until the display shows what a window painted. Wine paints
// into a window's own surface and copies it to the display a little later, so
// a test that reads the screen (or saves it) first waits for the two to agree.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace mv::test {

// The pixels of Source's Width x Height rectangle at (X, Y), row by row, as 0x00RRGGBB.
std::vector<uint32_t> ReadPixels(HDC Source, int X, int Y, int Width, int Height);

// Dispatches the messages waiting in this thread's queue (paints included)
// until none is left, or TimeoutMs pass; true when the queue ran dry.
bool PumpUntilIdle(unsigned TimeoutMs = 5000);

// Paints what is invalid in Window and its children now, then dispatches
// messages until every pixel of it that no other window covers reads on the
// screen as the window painted it. False when that has not happened within
// TimeoutMs (a test fails then rather than look at a half-shown window).
bool WaitUntilShown(HWND Window, unsigned TimeoutMs = 5000);
// Invalidates the whole window (frame and children) first, then waits as above.
bool RepaintAndWaitUntilShown(HWND Window, unsigned TimeoutMs = 5000);

} // namespace mv::test
