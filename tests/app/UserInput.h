// Keys and clicks as a user gives them: real input through the system's queue to whichever
// window has the focus, so tests see what focus and key handling do with them.
#pragma once

#include <windows.h>

#include <string>

namespace mv::app::test {

// Brings Window to the front and makes it the active window; true when it is.
bool BringToFront(HWND Window);
// Presses and releases a virtual key, with Shift, Ctrl or Alt held when asked.
void PressKey(WORD Key, bool Shift = false, bool Control = false, bool Alt = false);
// Presses (Up false) or lets go of one virtual key alone, queued without waiting for it: keys
// held over others, such as an Alt that repeats while it is held.
void KeyEvent(WORD Key, bool Up);
// Types plain text (letters, digits, punctuation on the keyboard's layout).
void TypeText(const std::string& Text);
// Moves the mouse to (X, Y) in Window's client area and clicks the left button there.
void ClickAt(HWND Window, int X, int Y);
// The same with two clicks in a row: a double-click.
void DoubleClickAt(HWND Window, int X, int Y);
// Dispatches the messages of the input given so far (and what it brings) for a while.
void SettleInput(unsigned Milliseconds = 150);
// The class name of the window with the keyboard focus ("" none).
std::string FocusClass();

} // namespace mv::app::test
