// Reading what windows show on the display, for tests that check pixels and
// save screens: Wine puts a window's painting on the display a little after
// the paint, so both first paint the window and let the display catch up.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Paints the window (and its children) now and waits for the display.
void SettleWindow(HWND Window);

// The window's client area as 0x00RRGGBB pixels, read from the screen.
std::vector<std::uint32_t> CaptureClient(HWND Window, int& Width, int& Height);

// The client area as the display shows it now, without painting it first.
std::vector<std::uint32_t> CaptureClientAsShown(HWND Window, int& Width, int& Height);

// How many pixels in Part of a Width-pixel-wide capture Match (0x00RRGGBB) accepts.
int CountPixels(const std::vector<std::uint32_t>& Pixels, int Width, const RECT& Part,
                const std::function<bool(std::uint32_t)>& Match);
// How many pixels in Part of a Width-pixel-wide capture are dark (text, ticks,
// glyphs drawn in the window-text colour over a light background).
int CountDark(const std::vector<std::uint32_t>& Pixels, int Width, const RECT& Part);

// Settles the window and saves it as screens/<Name>.png; returns the path.
std::string SaveSettledScreen(HWND Window, const std::string& Name);
